#include "screen/karaoke_static.h"

#include <QKeyEvent>

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "screen/screen_log.h"

namespace lyricade {
namespace {

Qt::Edges QtEdges(WindowEdges edges) {
  Qt::Edges result;
  if (edges & kLeftEdge) result |= Qt::LeftEdge;
  if (edges & kTopEdge) result |= Qt::TopEdge;
  if (edges & kRightEdge) result |= Qt::RightEdge;
  if (edges & kBottomEdge) result |= Qt::BottomEdge;
  return result;
}

Qt::CursorShape CursorFor(WindowEdges edges) {
  const bool horizontal = edges & (kLeftEdge | kRightEdge);
  const bool vertical = edges & (kTopEdge | kBottomEdge);
  if (horizontal && vertical) {
    const bool falling = ((edges & kLeftEdge) != 0) == ((edges & kTopEdge) != 0);
    return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
  }
  if (horizontal) return Qt::SizeHorCursor;
  if (vertical) return Qt::SizeVerCursor;
  return Qt::ArrowCursor;
}

WindowPoint Point(const QPointF& at) {
  const QPoint p = at.toPoint();
  return {p.x(), p.y()};
}

}  // namespace

std::vector<ScreenRect> DesktopScreens() {
  std::vector<ScreenRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->geometry();
    screens.push_back({area.x(), area.y(), area.width(), area.height()});
  }
  return screens;
}

KaraokeStatic::KaraokeStatic(std::vector<ScreenRect> screens)
    : screens_(screens.empty() ? DesktopScreens() : std::move(screens)) {
  setTitle(kTitle);
  setFlags(Qt::Window | Qt::FramelessWindowHint);
  setSurfaceType(QWindow::OpenGLSurface);
  setGeometry(0, 0, kInitialWidth, kInitialHeight);
  placement_.Normal = {0, 0, kInitialWidth, kInitialHeight};
  target_.Surface = this;
}

void KaraokeStatic::Place(const MonitorChoice& choice) {
  placement_ = InitialPlacement(choice, screens_);
  // The scene draws for the chosen screen, or the only one.
  if (choice.MultiMonitor && choice.Index < static_cast<int>(screens_.size()))
    sceneScreen_ = screens_[static_cast<size_t>(choice.Index)];
  else if (!screens_.empty())
    sceneScreen_ = screens_.front();
  placed_ = !screens_.empty();
  if (!placed_) qCWarning(lcScreen) << "No screen is known; the window is placed at the origin";
  ApplyPlacement();
}

void KaraokeStatic::ApplyPlacement() {
  // The geometry is set as well as the state: without a window manager (a
  // bare X server driving a TV) nobody else would size the window.
  const ScreenRect rect = PlacedRect(placement_, screens_);
  if (placement_.Maximised) {
    setGeometry(rect.Left, rect.Top, rect.Width, rect.Height);
    showMaximized();
  } else {
    setWindowStates(Qt::WindowNoState);
    showNormal();
    setGeometry(rect.Left, rect.Top, rect.Width, rect.Height);
  }
  UpdateTarget();
}

void KaraokeStatic::ToggleMaximised() {
  // The window manager may have changed the state behind our back; what the
  // host sees is what a double-click toggles.
  placement_.Maximised = IsMaximised();
  placement_ = lyricade::ToggleMaximised(placement_, Rect());
  ApplyPlacement();
}

ScreenRect KaraokeStatic::ScreenArea() const {
  if (placed_) return sceneScreen_;
  const QScreen* current = screen();
  if (!current) return Rect();
  const QRect area = current->geometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

void KaraokeStatic::ShowEdgeCursor(WindowEdges edges) {
  if (edges == cursorEdges_) return;
  cursorEdges_ = edges;
  setCursor(CursorFor(edges));
}

void KaraokeStatic::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const WindowPoint cursor = Point(event->position());
    const WindowEdges edges =
        IsMaximised() ? WindowEdges{kNoEdge} : EdgesAt(cursor, width(), height());
    if (edges != kNoEdge) {
      // The window manager sizes the window when it can; otherwise the
      // window follows the cursor itself until the button comes up.
      if (!startSystemResize(QtEdges(edges))) {
        qCDebug(lcScreen) << "No window manager to size the window; sizing it directly";
        setMouseGrabEnabled(true);
        resize_.Begin(edges, Rect(), Point(event->globalPosition()));
      }
    } else {
      setMouseGrabEnabled(true);
      drag_.Press({x(), y()}, cursor, IsMaximised());
    }
  }
  QWindow::mousePressEvent(event);
}

void KaraokeStatic::mouseMoveEvent(QMouseEvent* event) {
  const WindowPoint cursor = Point(event->position());
  const bool leftOnly = event->buttons() == Qt::LeftButton;
  if (resize_.Resizing()) {
    ScreenRect sized;
    if (resize_.Move(Point(event->globalPosition()), leftOnly, sized))
      setGeometry(sized.Left, sized.Top, sized.Width, sized.Height);
  } else if (event->buttons() == Qt::NoButton) {
    ShowEdgeCursor(IsMaximised() ? WindowEdges{kNoEdge} : EdgesAt(cursor, width(), height()));
  } else {
    const bool shiftOrCtrl = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    WindowPoint topLeft;
    if (drag_.Move(cursor, leftOnly, shiftOrCtrl, width(), height(), ScreenArea(), topLeft))
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
    resize_.End();
  }
  QWindow::mouseReleaseEvent(event);
}

void KaraokeStatic::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ToggleMaximised();
  QWindow::mouseDoubleClickEvent(event);
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

void KaraokeStatic::keyPressEvent(QKeyEvent* event) {
  if (keyHandler_ && keyHandler_(event->key(), event->modifiers())) {
    event->accept();
    return;
  }
  QWindow::keyPressEvent(event);
}

}  // namespace lyricade
