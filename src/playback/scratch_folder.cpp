#include "playback/scratch_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/unique_fd.h"
#include "playback/playback_log.h"

namespace lyricade {
namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsOwnRealFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

// Empties the folder open as `folderFd`, never leaving it: symbolic links are
// removed as links and sub-folders are opened with O_NOFOLLOW relative to
// their parent, so a link swapped in while this runs is not followed either.
bool EmptyFolderAt(int folderFd) {
  const int listFd = ::dup(folderFd);
  if (listFd < 0) return false;
  std::unique_ptr<DIR, DirCloser> dir(::fdopendir(listFd));
  if (!dir) {
    ::close(listFd);
    return false;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  dir.reset();

  bool ok = true;
  for (const std::string& name : names) {
    if (::unlinkat(folderFd, name.c_str(), 0) == 0 || errno == ENOENT) continue;
    if (errno != EISDIR && errno != EPERM) {
      ok = false;
      continue;
    }
    UniqueFd child(::openat(folderFd, name.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!child.Valid()) {
      ok = false;
      continue;
    }
    // A read-only folder of ours would keep its files; it is opened up first.
    struct stat info {};
    if (::fstat(child.Get(), &info) == 0 && info.st_uid == ::geteuid() &&
        (info.st_mode & S_IRWXU) != S_IRWXU)
      ::fchmod(child.Get(), info.st_mode | S_IRWXU);
    if (!EmptyFolderAt(child.Get())) ok = false;
    child.Reset();
    if (::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) ok = false;
  }
  return ok;
}

}  // namespace

std::string ScratchFolderName(uint32_t number) {
  char name[16];
  std::snprintf(name, sizeof name, "LYR%04X.TMP", static_cast<unsigned>(number & 0xFFFFu));
  return name;
}

uint32_t ScratchNumber(const ScratchClock& clock) {
  const int number = clock.Millisecond + clock.Minute * clock.Hour;
  return number < 0 ? 0u : static_cast<uint32_t>(number);
}

ScratchClock UtcScratchClock() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  ScratchClock clock;
  clock.Hour = utc.tm_hour;
  clock.Minute = utc.tm_min;
  clock.Millisecond =
      static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return clock;
}

bool MakePrivateFolder(const std::string& folder) {
  const std::string path = WithoutTrailingSlashes(folder);
  if (path.empty()) return false;
  std::error_code error;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, error);
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  if (!IsOwnRealFolder(path)) return false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  if ((info.st_mode & 07777) != 0700 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

std::string MakeScratchFolder(const std::string& root, uint32_t number) {
  if (!MakePrivateFolder(root)) return {};
  const std::string base = WithoutTrailingSlashes(root) + "/";
  if ((number & 0xFFFFu) != 0) {
    const std::string folder = base + ScratchFolderName(number);
    // The folder of this number is used as it is when it is there already.
    if (::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && IsOwnRealFolder(folder)))
      return folder + "/";
  }
  // Number 0, or something other than a folder of ours in the way: the next
  // name that is free.
  for (uint32_t next = 1; next <= 0xFFFFu; ++next) {
    const std::string folder = base + ScratchFolderName(next);
    if (::mkdir(folder.c_str(), 0700) == 0) return folder + "/";
    if (errno != EEXIST) return {};
  }
  return {};
}

bool RemoveScratchTree(const std::string& folder) {
  const std::string path = WithoutTrailingSlashes(folder);
  if (path.empty()) return false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  // A link or a file in the folder's place is removed itself, never what it
  // points at.
  if (!S_ISDIR(info.st_mode)) return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  bool removed = fd.Valid() && EmptyFolderAt(fd.Get());
  fd.Reset();
  if (::rmdir(path.c_str()) != 0 && errno != ENOENT) removed = false;
  if (!removed) qCWarning(lcPlayback, "the scratch folder %s could not be removed whole", path.c_str());
  return removed;
}

}  // namespace lyricade
