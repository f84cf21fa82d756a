#include "common/process_folders.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace lyricade {
namespace {

constexpr std::string_view kRunPrefix = "run-";
// A folder made this recently may belong to a process that has not locked
// it yet (it locks right after making it): never taken for a dead one's.
constexpr auto kNewFolderAge = std::chrono::seconds(60);

UniqueFd OpenFolder(const std::string& path) {
  return UniqueFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool TryLock(const UniqueFd& fd) { return fd.Valid() && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0; }

}  // namespace

FileLock FileLock::Take(const std::string& path) {
  FileLock lock;
  lock.fd_ = UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  // A data folder that is read-only still has a lock file from earlier runs.
  if (!lock.fd_.Valid()) lock.fd_ = UniqueFd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!lock.fd_.Valid()) return lock;
  lock.state_ = TryLock(lock.fd_) ? State::Held : State::HeldElsewhere;
  if (lock.state_ != State::Held) lock.fd_.Reset();
  return lock;
}

RunFolder::RunFolder(RunFolder&& other) noexcept
    : path_(std::exchange(other.path_, {})), lock_(std::move(other.lock_)) {}

RunFolder& RunFolder::operator=(RunFolder&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::exchange(other.path_, {});
    lock_ = std::move(other.lock_);
  }
  return *this;
}

RunFolder RunFolder::MakeInside(const std::string& root, std::string_view prefix) {
  RunFolder folder;
  std::error_code error;
  fs::create_directories(root, error);
  std::string pattern = (fs::path(root) / (std::string(prefix) + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return folder;
  folder.path_ = pattern + "/";
  folder.lock_ = OpenFolder(pattern);
  // An unlocked folder would pass for a dead process's and could be removed
  // under us: none rather than that.
  if (!TryLock(folder.lock_)) folder.Remove();
  return folder;
}

void RunFolder::Remove() {
  if (path_.empty()) return;
  std::error_code error;
  // remove_all removes links themselves, never what they point to.
  fs::remove_all(path_, error);
  path_.clear();
  lock_.Reset();
}

size_t RemoveStaleRunFolders(const std::string& root) { return RemoveStaleLockedFolders(root, kRunPrefix); }

size_t RemoveStaleLockedFolders(const std::string& root, std::string_view prefix) {
  size_t removed = 0;
  std::error_code error;
  for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    std::error_code kind;
    if (it->is_symlink(kind) || !it->is_directory(kind)) continue;
    const fs::file_time_type made = fs::last_write_time(it->path(), kind);
    if (kind || fs::file_time_type::clock::now() - made < kNewFolderAge) continue;
    // Held until the folder is gone, so no process starting now takes it.
    const UniqueFd lock = OpenFolder(it->path().string());
    if (!TryLock(lock)) continue;
    std::error_code gone;
    fs::remove_all(it->path(), gone);
    if (!gone) ++removed;
  }
  return removed;
}

}  // namespace lyricade
