#pragma once
// The singer-facing window, "Lyricade Screen": frameless, 640x480 at first.
// Placed once the scene is ready: full screen (maximised) on the chosen
// monitor, or 320x240 at the top left with a single display. While it is
// not maximised the host drags it with the left button alone, never past
// the edges of the screen the scene draws for, and sizes it by its edges and
// corners (the resize cursors show there). A double-click switches between
// maximised and restored (see window_placement.h for the rectangles). The
// render thread presents into it; the window tells it its size and whether
// it is exposed.

#include <QWindow>

#include <functional>

#include <vector>

#include "screen/monitor_choice.h"
#include "screen/render_thread.h"
#include "screen/window_drag.h"
#include "screen/window_placement.h"
#include "screen/window_resize.h"

namespace lyricade {

// The screens Qt lists, in its order.
std::vector<ScreenRect> DesktopScreens();

class KaraokeStatic : public QWindow {
  Q_OBJECT
public:
  static constexpr const char* kTitle = "Lyricade Screen";
  static constexpr int kInitialWidth = 640;
  static constexpr int kInitialHeight = 480;
  static constexpr int kSingleWidth = kSingleScreenWidth;
  static constexpr int kSingleHeight = kSingleScreenHeight;

  // `screens` are the displays the monitor choice was made over; empty means
  // the ones Qt lists.
  explicit KaraokeStatic(std::vector<ScreenRect> screens = {});

  // Moves and sizes the window for the monitor choice: the chosen screen's
  // full rectangle, maximised; or (0, 0), 320x240 with one display.
  void Place(const MonitorChoice& choice);

  bool IsMaximised() const { return windowStates() & Qt::WindowMaximized; }
  // What a double-click does: maximised over the screen the window is on,
  // or back to its normal rectangle.
  void ToggleMaximised();
  const WindowPlacement& Placement() const { return placement_; }
  PresentTarget& Target() { return target_; }
  // The program's keyboard accelerators: the singers' screen is often the
  // only window a one-monitor host sees. The handler says whether it took
  // the key.
  void SetKeyHandler(std::function<bool(int key, Qt::KeyboardModifiers modifiers)> handler) {
    keyHandler_ = std::move(handler);
  }

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void exposeEvent(QExposeEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void ApplyPlacement();
  void UpdateTarget();
  void ShowEdgeCursor(WindowEdges edges);
  // The screen the scene draws for, which a drag keeps the window inside.
  ScreenRect ScreenArea() const;
  ScreenRect Rect() const { return {x(), y(), width(), height()}; }

  std::vector<ScreenRect> screens_;
  WindowPlacement placement_;
  bool placed_ = false;
  ScreenRect sceneScreen_;
  WindowDrag drag_;
  WindowResize resize_;
  WindowEdges cursorEdges_ = kNoEdge;
  PresentTarget target_;
  std::function<bool(int, Qt::KeyboardModifiers)> keyHandler_;
};

}  // namespace lyricade
