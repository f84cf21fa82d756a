#pragma once
// The import's progress on a terminal: one line rewritten in place with the
// counts, the files per second and the folder being read or imported, at
// most ten times a second. Names are shown with control characters escaped,
// so a file name cannot move the cursor or clear the screen.

#include <chrono>
#include <ostream>
#include <string>

namespace lyricade {

// The text with every control character (and DEL) as "\xNN".
std::string EscapeControls(const std::string& text);

class TerminalProgress {
public:
  // `shown` false: nothing is ever written (not a terminal).
  TerminalProgress(std::ostream& out, bool shown) : out_(out), shown_(shown) {}
  ~TerminalProgress() { Finish(); }

  void Folder(const std::string& folder);
  void File(const std::string& path);
  // Clears the line before the final message.
  void Finish();

private:
  void Draw(bool force);

  std::ostream& out_;
  bool shown_;
  bool drawn_ = false;
  long folders_ = 0;
  long files_ = 0;
  std::string where_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace lyricade
