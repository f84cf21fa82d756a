#include "screen/preview_widget.h"

#include <QPainter>

#include "screen/preview_surface.h"

namespace lyricade {

PreviewWidget::PreviewWidget(PreviewSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(&timer_, &QTimer::timeout, this, &PreviewWidget::Refresh);
  timer_.start(33);
}

void PreviewWidget::Refresh() {
  if (surface_.Generation() != painted_) update();
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  painted_ = surface_.Generation();
  const QImage picture = surface_.Snapshot();
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), picture);
}

}  // namespace lyricade
