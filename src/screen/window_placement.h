#pragma once
// Where the karaoke screen window sits, as plain arithmetic over screen
// rectangles so tests drive it without a display.
//
// The window has a normal rectangle and may be maximised. Maximised, it
// covers the whole rectangle of the screen its normal rectangle lies on
// (the screen sharing most area with it). Restoring puts it back on its
// normal rectangle. With two or more displays the window starts on the
// chosen screen's full rectangle and maximised there, so its normal
// rectangle is that screen's rectangle: a double-click restores it in place,
// windowed (draggable and resizable) but still on the singers' screen. With
// one display it starts windowed, 320x240 at the desktop origin.

#include <vector>

#include "screen/monitor_choice.h"

namespace lyricade {

struct WindowPlacement {
  ScreenRect Normal;
  bool Maximised = false;
  bool operator==(const WindowPlacement&) const = default;
};

inline constexpr int kSingleScreenWidth = 320;
inline constexpr int kSingleScreenHeight = 240;

// The placement at start-up for the monitor choice over `screens`.
WindowPlacement InitialPlacement(const MonitorChoice& choice,
                                 const std::vector<ScreenRect>& screens);

// The screen of `screens` that shares the most area with `window`; when none
// overlaps it, the one nearest to it. `window` itself when there is no screen.
ScreenRect ScreenUnder(const ScreenRect& window, const std::vector<ScreenRect>& screens);

// The rectangle the window occupies in `placement`.
ScreenRect PlacedRect(const WindowPlacement& placement, const std::vector<ScreenRect>& screens);

// A double-click: maximised becomes restored (to the normal rectangle);
// windowed becomes maximised, the window's rectangle `current` (where the
// host dragged or sized it) becoming the normal rectangle to come back to.
WindowPlacement ToggleMaximised(const WindowPlacement& placement, const ScreenRect& current);

}  // namespace lyricade
