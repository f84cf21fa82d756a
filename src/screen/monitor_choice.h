#pragma once
// Which monitor carries the karaoke screen. Decided once at start-up from the
// screens in the order the system lists them: the primary display (the one at
// the desktop origin) stays the host's, and the screen goes to any other
// display, wherever it is extended. With a single display the screen is a
// small movable window on the host's own display, and the host is told how to
// set up a second output.

#include <string>
#include <vector>

namespace lyricade {

class Prompts;

struct ScreenRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool operator==(const ScreenRect&) const = default;
};

struct MonitorChoice {
  // Index into the screen list (0 with a single display).
  int Index = 0;
  // Two or more displays: the screen window goes full screen on Index.
  bool MultiMonitor = false;
};

// Only the first kMaxMonitors screens count; further ones are ignored.
inline constexpr int kMaxMonitors = 100;

// The last screen whose rectangle does not start at the desktop origin, or,
// when every screen starts there (mirrored outputs), the last one.
MonitorChoice ChooseMonitor(const std::vector<ScreenRect>& screens);

inline constexpr const char* kSingleMonitorCaption = "Monitor Information";

// The help page on video output, inside the program folder.
std::string VideoOutputHelpAddress(const std::string& programFolder);

// The seventeen lines of the single-display message, joined by line breaks;
// the last line is `helpAddress`.
std::string SingleMonitorMessage(const std::string& helpAddress);

// Shows the single-display message as an information box.
void ShowSingleMonitorMessage(Prompts& prompts, const std::string& helpAddress);

}  // namespace lyricade
