#include "screen/window_resize.h"

#include <algorithm>

namespace lyricade {

WindowEdges EdgesAt(WindowPoint cursor, int width, int height) {
  if (width <= 0 || height <= 0) return kNoEdge;
  if (cursor.X < 0 || cursor.Y < 0 || cursor.X >= width || cursor.Y >= height) return kNoEdge;
  const int fromRight = width - 1 - cursor.X;
  const int fromBottom = height - 1 - cursor.Y;
  WindowEdges edges = kNoEdge;
  // On a window narrower than two borders the nearer edge wins.
  if (cursor.X < kResizeBorder && cursor.X <= fromRight)
    edges |= kLeftEdge;
  else if (fromRight < kResizeBorder)
    edges |= kRightEdge;
  if (cursor.Y < kResizeBorder && cursor.Y <= fromBottom)
    edges |= kTopEdge;
  else if (fromBottom < kResizeBorder)
    edges |= kBottomEdge;
  // Near a corner along one edge: the corner, so corners are easy to catch.
  if ((edges & (kLeftEdge | kRightEdge)) && !(edges & (kTopEdge | kBottomEdge))) {
    if (cursor.Y < kResizeCorner && cursor.Y <= fromBottom)
      edges |= kTopEdge;
    else if (fromBottom < kResizeCorner)
      edges |= kBottomEdge;
  } else if ((edges & (kTopEdge | kBottomEdge)) && !(edges & (kLeftEdge | kRightEdge))) {
    if (cursor.X < kResizeCorner && cursor.X <= fromRight)
      edges |= kLeftEdge;
    else if (fromRight < kResizeCorner)
      edges |= kRightEdge;
  }
  return edges;
}

ScreenRect ResizedRect(const ScreenRect& start, WindowEdges edges, int dx, int dy) {
  int left = start.Left;
  int top = start.Top;
  int right = start.Right();
  int bottom = start.Bottom();
  if (edges & kLeftEdge) left = std::min(left + dx, right - kMinimumWindowWidth);
  if (edges & kRightEdge) right = std::max(right + dx, left + kMinimumWindowWidth);
  if (edges & kTopEdge) top = std::min(top + dy, bottom - kMinimumWindowHeight);
  if (edges & kBottomEdge) bottom = std::max(bottom + dy, top + kMinimumWindowHeight);
  return {left, top, right - left, bottom - top};
}

void WindowResize::Begin(WindowEdges edges, const ScreenRect& window, WindowPoint globalCursor) {
  edges_ = edges;
  start_ = window;
  pressedAt_ = globalCursor;
}

bool WindowResize::Move(WindowPoint globalCursor, bool leftButtonOnly, ScreenRect& newRect) const {
  if (!Resizing() || !leftButtonOnly) return false;
  newRect = ResizedRect(start_, edges_, globalCursor.X - pressedAt_.X,
                        globalCursor.Y - pressedAt_.Y);
  return true;
}

}  // namespace lyricade
