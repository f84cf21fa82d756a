#include "terminal_progress.h"

#include <cstdio>

namespace lyricade {

std::string EscapeControls(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

void TerminalProgress::Folder(const std::string& folder) {
  ++folders_;
  where_ = folder;
  Draw(false);
}

void TerminalProgress::File(const std::string& path) {
  ++files_;
  where_ = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
  Draw(false);
}

void TerminalProgress::Draw(bool force) {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  drawn_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const long rate = seconds > 0.05 ? static_cast<long>(files_ / seconds) : 0;
  // The folder is cut from the front: its end says most about where we are.
  std::string where = EscapeControls(where_);
  constexpr size_t kWhereWidth = 48;
  if (where.size() > kWhereWidth) where = "..." + where.substr(where.size() - kWhereWidth + 3);
  out_ << "\r\033[K" << folders_ << " folders, " << files_ << " files, " << rate << " files/s  "
       << where << std::flush;
}

void TerminalProgress::Finish() {
  if (!shown_ || !drawn_) return;
  out_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

}  // namespace lyricade
