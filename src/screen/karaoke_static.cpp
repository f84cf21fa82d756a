#include "screen/karaoke_static.h"

#include <QMouseEvent>
#include <QScreen>

namespace lyricade {

KaraokeStatic::KaraokeStatic() {
  setTitle(kTitle);
  setFlags(Qt::Window | Qt::FramelessWindowHint);
  setSurfaceType(QWindow::OpenGLSurface);
  setGeometry(0, 0, kInitialWidth, kInitialHeight);
  target_.Surface = this;
}

void KaraokeStatic::Place(const MonitorChoice& choice, const ScreenRect& chosen) {
  if (choice.MultiMonitor) {
    setGeometry(chosen.Left, chosen.Top, chosen.Width, chosen.Height);
    showMaximized();
  } else {
    setWindowStates(Qt::WindowNoState);
    setGeometry(0, 0, kSingleWidth, kSingleHeight);
    showNormal();
  }
  UpdateTarget();
}

ScreenRect KaraokeStatic::ScreenArea() const {
  const QScreen* current = screen();
  if (!current) return {x(), y(), width(), height()};
  const QRect area = current->geometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

void KaraokeStatic::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    setMouseGrabEnabled(true);
    const QPoint cursor = event->position().toPoint();
    drag_.Press({x(), y()}, {cursor.x(), cursor.y()}, IsMaximised());
  }
  QWindow::mousePressEvent(event);
}

void KaraokeStatic::mouseMoveEvent(QMouseEvent* event) {
  const QPoint cursor = event->position().toPoint();
  const bool leftOnly = event->buttons() == Qt::LeftButton;
  const bool shiftOrCtrl = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
  WindowPoint topLeft;
  if (drag_.Move({cursor.x(), cursor.y()}, leftOnly, shiftOrCtrl, width(), height(), ScreenArea(),
                 topLeft)) {
    setPosition(topLeft.X, topLeft.Y);
  }
  QWindow::mouseMoveEvent(event);
}

void KaraokeStatic::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    // The grab ends with the button even when no drag ran (a maximised
    // window), so the pointer is never left captured.
    setMouseGrabEnabled(false);
    drag_.Release();
  }
  QWindow::mouseReleaseEvent(event);
}

void KaraokeStatic::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ToggleMaximised();
  QWindow::mouseDoubleClickEvent(event);
}

void KaraokeStatic::ToggleMaximised() {
  // The geometry is set as well as the state: without a window manager (a
  // bare X server driving a TV) nobody else would resize the window.
  if (IsMaximised()) {
    showNormal();
    setGeometry(restored_);
  } else {
    restored_ = geometry();
    const ScreenRect area = ScreenArea();
    setGeometry(area.Left, area.Top, area.Width, area.Height);
    showMaximized();
  }
  UpdateTarget();
}

void KaraokeStatic::exposeEvent(QExposeEvent* event) {
  UpdateTarget();
  QWindow::exposeEvent(event);
}

void KaraokeStatic::resizeEvent(QResizeEvent* event) {
  UpdateTarget();
  QWindow::resizeEvent(event);
}

void KaraokeStatic::UpdateTarget() {
  const qreal ratio = devicePixelRatio();
  target_.Width.store(static_cast<int>(width() * ratio));
  target_.Height.store(static_cast<int>(height() * ratio));
  target_.Exposed.store(isExposed());
  ++target_.Changes;
}

}  // namespace lyricade
