#pragma once
// The main window's preview pane: shows the preview work surface, stretched
// to the pane, repainting on the UI thread about 30 times a second while the
// surface changes.

#include <QTimer>
#include <QWidget>

#include <cstdint>

namespace lyricade {

class PreviewSurface;

class PreviewWidget : public QWidget {
  Q_OBJECT
public:
  explicit PreviewWidget(PreviewSurface& surface, QWidget* parent = nullptr);

  QSize sizeHint() const override { return {320, 240}; }
  // Repaints at once when the surface changed since the last paint; the
  // timer calls it every 33 ms.
  void Refresh();
  uint64_t PaintedGeneration() const { return painted_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  PreviewSurface& surface_;
  QTimer timer_;
  uint64_t painted_ = ~uint64_t{0};
};

}  // namespace lyricade
