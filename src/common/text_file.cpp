#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "common/write_outcomes.h"

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

bool SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

namespace {

// errno of the first step that failed; 0 when the file is in place.
int ReplaceFile(const std::string& path, const std::string& content, unsigned mode) {
  const std::string temp = path + ".tmp";
  // A left-over temporary (a crash's, or a link someone put there) goes
  // first: the file is made anew, never through a link, so the mode asked
  // for, less the user's umask, is the mode it has.
  if (::unlink(temp.c_str()) != 0 && errno != ENOENT) return errno;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return errno;
  const char* data = content.data();
  size_t left = content.size();
  int failure = 0;
  while (failure == 0 && left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno != EINTR) failure = errno;
      continue;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  // The data must be on disk before the rename makes it the file's content.
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && std::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temp.c_str());
    return failure;
  }
  // And the rename on disk before the caller counts the file as kept: a
  // power loss after it would otherwise bring the old file back. The new
  // content is in place either way, so a folder that cannot be synced is
  // no failure.
  SyncFolderOf(path);
  return 0;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content, unsigned mode) {
  const int failure = ReplaceFile(path, content, mode);
  ReportWriteOutcome(path, failure == 0, failure == 0 ? std::string() : std::strerror(failure));
  return failure == 0;
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
