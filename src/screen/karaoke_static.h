#pragma once
// The singer-facing window, "Lyricade Screen": frameless and resizable,
// 640x480 at first. Placed once the scene is ready: full screen (maximised)
// on the chosen monitor, or 320x240 at the top left with a single display.
// The host drags it with the left button alone while it is not maximised,
// never past the edges of its screen, and double-clicks it to switch between
// maximised and restored. The render thread presents into it; the window
// tells it its size and whether it is exposed.

#include <QWindow>

#include "screen/monitor_choice.h"
#include "screen/render_thread.h"
#include "screen/window_drag.h"

namespace lyricade {

class KaraokeStatic : public QWindow {
  Q_OBJECT
public:
  static constexpr const char* kTitle = "Lyricade Screen";
  static constexpr int kInitialWidth = 640;
  static constexpr int kInitialHeight = 480;
  static constexpr int kSingleWidth = 320;
  static constexpr int kSingleHeight = 240;

  KaraokeStatic();

  // Moves and sizes the window for the monitor choice: the chosen screen's
  // full rectangle, maximised; or (0, 0), 320x240 with one display.
  void Place(const MonitorChoice& choice, const ScreenRect& chosen);

  bool IsMaximised() const { return windowStates() & Qt::WindowMaximized; }
  // What a double-click does: maximised over the window's screen, or back to
  // the size and place it had before.
  void ToggleMaximised();
  PresentTarget& Target() { return target_; }

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void exposeEvent(QExposeEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void UpdateTarget();
  ScreenRect ScreenArea() const;

  WindowDrag drag_;
  QRect restored_{0, 0, kSingleWidth, kSingleHeight};
  PresentTarget target_;
};

}  // namespace lyricade
