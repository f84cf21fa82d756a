#include "app/ui/karaoke_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace lyricade {
namespace {

const QColor kLightGrey(210, 210, 210);
const QColor kBarFill(101, 131, 148);

}  // namespace

KaraokeBar::KaraokeBar(int range, int height, QWidget* parent)
    : QWidget(parent), range_(range), height_(height) {
  setFixedSize(range + 8, height);
  setAttribute(Qt::WA_OpaquePaintEvent, skin_ != nullptr);
  setCursor(Qt::PointingHandCursor);
}

void KaraokeBar::SetValue(int value) {
  value = std::clamp(value, 0, range_);
  if (value == value_) return;
  value_ = value;
  update();
}

int KaraokeBar::ValueAt(int x) const { return std::clamp(x - 4, 0, range_); }

void KaraokeBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (skin_ && !skin_->isNull()) {
    const QPoint at = mapTo(window(), QPoint(0, 0));
    painter.drawPixmap(rect(), *skin_, QRect(at, size()));
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kLightGrey);
  painter.drawRoundedRect(rect(), 3, 3);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // The ramp: black on the left to light grey on the right.
  const int rampWidth = width() - 4;
  for (int x = 2; x < width() - 2; ++x) {
    const int level = 210 * x / std::max(1, rampWidth);
    painter.setPen(QColor(level, level, level));
    painter.drawLine(x, 2, x, height() - 3);
  }
  const QRect inner = rect().adjusted(4, 4, -4, -4);
  painter.fillRect(inner, kLightGrey);
  if (value_ > 0) painter.fillRect(QRect(inner.left(), inner.top(), value_, inner.height()), kBarFill);
}

void KaraokeBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  emit dragStarted();
}

void KaraokeBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || event->buttons() != Qt::LeftButton) return;
  SetValue(ValueAt(event->position().toPoint().x()));
  emit valueDragged(value_);
}

void KaraokeBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  SetValue(ValueAt(event->position().toPoint().x()));
  emit valueDragged(value_);
  emit dragFinished();
}

}  // namespace lyricade
