#include "screen/window_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace lyricade {
namespace {

int64_t OverlapArea(const ScreenRect& a, const ScreenRect& b) {
  const int64_t width = std::min<int64_t>(a.Right(), b.Right()) - std::max(a.Left, b.Left);
  const int64_t height = std::min<int64_t>(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
  return width > 0 && height > 0 ? width * height : 0;
}

// Squared distance between the rectangles' centres, in doubled coordinates
// so that it stays whole.
int64_t CentreDistance(const ScreenRect& a, const ScreenRect& b) {
  const int64_t dx = (int64_t{a.Left} * 2 + a.Width) - (int64_t{b.Left} * 2 + b.Width);
  const int64_t dy = (int64_t{a.Top} * 2 + a.Height) - (int64_t{b.Top} * 2 + b.Height);
  return dx * dx + dy * dy;
}

}  // namespace

WindowPlacement InitialPlacement(const MonitorChoice& choice,
                                 const std::vector<ScreenRect>& screens) {
  if (choice.MultiMonitor && choice.Index >= 0 &&
      choice.Index < static_cast<int>(screens.size()))
    return {screens[static_cast<size_t>(choice.Index)], true};
  return {{0, 0, kSingleScreenWidth, kSingleScreenHeight}, false};
}

ScreenRect ScreenUnder(const ScreenRect& window, const std::vector<ScreenRect>& screens) {
  if (screens.empty()) return window;
  const ScreenRect* best = &screens.front();
  int64_t bestArea = -1;
  int64_t bestDistance = std::numeric_limits<int64_t>::max();
  for (const ScreenRect& screen : screens) {
    const int64_t area = OverlapArea(window, screen);
    const int64_t distance = CentreDistance(window, screen);
    if (area > bestArea || (area == 0 && bestArea == 0 && distance < bestDistance)) {
      best = &screen;
      bestArea = area;
      bestDistance = distance;
    }
  }
  return *best;
}

ScreenRect PlacedRect(const WindowPlacement& placement, const std::vector<ScreenRect>& screens) {
  return placement.Maximised ? ScreenUnder(placement.Normal, screens) : placement.Normal;
}

WindowPlacement ToggleMaximised(const WindowPlacement& placement, const ScreenRect& current) {
  if (placement.Maximised) return {placement.Normal, false};
  return {current, true};
}

}  // namespace lyricade
