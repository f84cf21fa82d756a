#include "screen/monitor_choice.h"

#include <algorithm>

#include "platform/prompts/prompts.h"

namespace lyricade {

MonitorChoice ChooseMonitor(const std::vector<ScreenRect>& screens) {
  const int count = static_cast<int>(std::min<size_t>(screens.size(), kMaxMonitors));
  MonitorChoice choice;
  if (count < 2) return choice;
  int lastOffOrigin = -1;
  for (int i = 0; i < count; ++i) {
    if (screens[i].Left != 0 || screens[i].Top != 0) lastOffOrigin = i;
  }
  choice.Index = lastOffOrigin >= 0 ? lastOffOrigin : count - 1;
  choice.MultiMonitor = true;
  return choice;
}

std::string VideoOutputHelpAddress(const std::string& programFolder) {
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return "file://" + folder + "help/video-output.html";
}

std::string SingleMonitorMessage(const std::string& helpAddress) {
  const char* const lines[] = {
      "You only have one Monitor output configured, ",
      "therefore the video window will appear as a small window.",
      "Double-click this window to go full-screen.",
      "",
      "If you are trying to use two monitor outputs,",
      "1. Your video card must first support Dual Monitor. ",
      "2. Your TV or second monitor must be connected. ",
      "3. Computer must be turned-on after connecting.",
      "",
      "If already connected do as follows:",
      "",
      "1. Exit the program,",
      "2. Configure the \"Extended Desktop\"",
      "3. Run the program.",
      "",
      "For More information visit:",
  };
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += '\n';
  }
  text += helpAddress;
  return text;
}

void ShowSingleMonitorMessage(Prompts& prompts, const std::string& helpAddress) {
  prompts.Message(kSingleMonitorCaption, SingleMonitorMessage(helpAddress), PromptButtons::Ok,
                  PromptIcon::Information);
}

}  // namespace lyricade
