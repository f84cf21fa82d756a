#pragma once
// Sizing the frameless karaoke screen window by its edges, as plain
// arithmetic so tests drive it without a window. A press within a few pixels
// of an edge grabs that edge; near a corner it grabs both edges of the
// corner. The window manager does the sizing when it can; without one (a
// bare X server driving a TV) the window sizes itself from the cursor's
// travel since the press.

#include <cstdint>

#include "screen/monitor_choice.h"
#include "screen/window_drag.h"

namespace lyricade {

// Edges of a window, combined for corners.
enum WindowEdge : uint8_t {
  kNoEdge = 0,
  kLeftEdge = 1,
  kTopEdge = 2,
  kRightEdge = 4,
  kBottomEdge = 8,
};
using WindowEdges = uint8_t;

// How near an edge, in pixels, a press grabs it.
inline constexpr int kResizeBorder = 6;
// How near a corner, along an edge, a press grabs the corner.
inline constexpr int kResizeCorner = 16;
// The window is never sized below this.
inline constexpr int kMinimumWindowWidth = 80;
inline constexpr int kMinimumWindowHeight = 60;

// The edges grabbed by a press at `cursor` (window coordinates) on a window
// of `width` x `height`; kNoEdge inside the border or outside the window.
WindowEdges EdgesAt(WindowPoint cursor, int width, int height);

// `start` with the grabbed edges moved by (dx, dy); an edge stops where the
// window would become smaller than the minimum, the opposite edge staying put.
ScreenRect ResizedRect(const ScreenRect& start, WindowEdges edges, int dx, int dy);

class WindowResize {
public:
  // Left button pressed on `edges` of a window at `window`, the cursor at
  // `globalCursor` (screen coordinates).
  void Begin(WindowEdges edges, const ScreenRect& window, WindowPoint globalCursor);
  // The cursor moved to `globalCursor`. Sizes only while a resize runs and the
  // left button is the only one held; then returns true with the new rectangle.
  bool Move(WindowPoint globalCursor, bool leftButtonOnly, ScreenRect& newRect) const;
  void End() { edges_ = kNoEdge; }
  bool Resizing() const { return edges_ != kNoEdge; }

private:
  WindowEdges edges_ = kNoEdge;
  ScreenRect start_;
  WindowPoint pressedAt_;
};

}  // namespace lyricade
