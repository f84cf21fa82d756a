#include "screen/window_drag.h"

#include <algorithm>

namespace lyricade {

WindowPoint ClampWindowPosition(WindowPoint topLeft, int width, int height,
                                const ScreenRect& area) {
  topLeft.X = std::max(topLeft.X, area.Left);
  if (topLeft.X + width > area.Right()) topLeft.X = area.Right() - width;
  topLeft.Y = std::max(topLeft.Y, area.Top);
  if (topLeft.Y + height > area.Bottom()) topLeft.Y = area.Bottom() - height;
  return topLeft;
}

void WindowDrag::Press(WindowPoint windowTopLeft, WindowPoint cursor, bool maximised) {
  position_ = windowTopLeft;
  anchor_ = cursor;
  if (!maximised) dragging_ = true;
}

bool WindowDrag::Move(WindowPoint cursor, bool leftButtonOnly, bool shiftOrCtrl, int width,
                      int height, const ScreenRect& area, WindowPoint& newTopLeft) {
  if (!dragging_ || !leftButtonOnly || shiftOrCtrl) return false;
  position_.X += cursor.X - anchor_.X;
  position_.Y += cursor.Y - anchor_.Y;
  position_ = ClampWindowPosition(position_, width, height, area);
  newTopLeft = position_;
  return true;
}

}  // namespace lyricade
