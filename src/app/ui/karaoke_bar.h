#pragma once
// The progress bar (range 0 to 184) and the volume bar (0 to 133): a
// rounded grey frame with a dark-to-light ramp, an inner well and a blue-grey
// fill as wide as the value. The host drags it with the left button: the
// value follows the pointer while the button is held and once more on its
// release.

#include <QPixmap>
#include <QWidget>

namespace lyricade {

class KaraokeBar : public QWidget {
  Q_OBJECT

public:
  // `range` is the inner width: the bar is range + 8 pixels wide.
  KaraokeBar(int range, int height, QWidget* parent = nullptr);

  int Value() const { return value_; }
  int Range() const { return range_; }
  bool Dragging() const { return dragging_; }
  // Sets the value shown (clamped); no signal.
  void SetValue(int value);
  // The skin picture behind the bar, if any, and where the bar sits on it.
  void SetSkin(const QPixmap* skin) { skin_ = skin; }

  QSize sizeHint() const override { return {range_ + 8, height_}; }

signals:
  void dragStarted();
  // The value the host dragged to (on each move and on release).
  void valueDragged(int value);
  void dragFinished();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  int ValueAt(int x) const;

  int range_;
  int height_;
  int value_ = 0;
  bool dragging_ = false;
  const QPixmap* skin_ = nullptr;
};

}  // namespace lyricade
