#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

namespace lyricade {

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    lines.push_back(std::move(line));
    line.clear();
  }
  return lines;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, unsigned mode) {
  const std::string temp = path + ".tmp";
  // A left-over temporary (a crash's, or a link someone put there) goes
  // first: the file is made anew, never through a link, so the mode asked
  // for, less the user's umask, is the mode it has.
  if (::unlink(temp.c_str()) != 0 && errno != ENOENT) return false;
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return false;
  const char* data = content.data();
  size_t left = content.size();
  bool ok = true;
  while (ok && left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  // The data must be on disk before the rename makes it the file's content.
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool WriteTextLinesAtomically(const std::string& path, const std::vector<std::string>& lines) {
  std::string content;
  for (const std::string& line : lines) {
    content += line;
    content += "\r\n";
  }
  return WriteFileAtomically(path, content);
}

}  // namespace lyricade
