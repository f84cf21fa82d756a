#pragma once
// Dragging the karaoke screen window with the mouse, as plain arithmetic so
// tests drive it without a window. The anchor is the cursor's position inside
// the window when the left button went down; it is never updated, because the
// window follows the cursor: the cursor's window position minus the anchor is
// the movement since the previous mouse event.

#include "screen/monitor_choice.h"

namespace lyricade {

struct WindowPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const WindowPoint&) const = default;
};

// Keeps a window of `width` x `height` at `topLeft` inside `area`: no edge
// passes the area's edges. The lower bound is applied first, so a window
// larger than the area ends with its right and bottom edges on the area's.
WindowPoint ClampWindowPosition(WindowPoint topLeft, int width, int height,
                                const ScreenRect& area);

class WindowDrag {
public:
  // Left button pressed at `cursor` (window coordinates) while the window's
  // top-left corner is at `windowTopLeft`. A maximised window does not drag.
  void Press(WindowPoint windowTopLeft, WindowPoint cursor, bool maximised);
  // The cursor moved to `cursor` (window coordinates). Moves only while a drag
  // runs and the left button is the only button held, with neither Shift nor
  // Ctrl. Returns true and sets `newTopLeft` when the window must move.
  bool Move(WindowPoint cursor, bool leftButtonOnly, bool shiftOrCtrl, int width, int height,
            const ScreenRect& area, WindowPoint& newTopLeft);
  // Left button released: the drag ends.
  void Release() { dragging_ = false; }

  bool Dragging() const { return dragging_; }

private:
  bool dragging_ = false;
  WindowPoint anchor_;
  WindowPoint position_;
};

}  // namespace lyricade
