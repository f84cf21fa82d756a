#pragma once
// Folders one running process owns. Ownership is an advisory lock (flock)
// the kernel lets go when the process ends, however it ends, so a folder a
// killed process left can be told from one a living process uses.

#include <string>
#include <string_view>

#include "common/unique_fd.h"

namespace lyricade {

// A lock on one file, held while the object lives.
class FileLock {
public:
  enum class State {
    Held,           // this process holds it
    HeldElsewhere,  // another process holds it
    Unavailable,    // the lock file can neither be made nor opened
  };

  // Makes `path` when missing (an existing read-only one is opened as it
  // is) and tries the lock once, without waiting.
  static FileLock Take(const std::string& path);

  State Current() const { return state_; }

private:
  State state_ = State::Unavailable;
  UniqueFd fd_;
};

// A private folder PREFIX + "XXXXXX" ("run-XXXXXX" unless told) below a
// shared root, locked while it lives and removed with everything in it when
// it goes.
class RunFolder {
public:
  RunFolder() = default;
  ~RunFolder() { Remove(); }
  RunFolder(RunFolder&& other) noexcept;
  RunFolder& operator=(RunFolder&& other) noexcept;
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  // Makes the root (and its parents) when missing; invalid when the folder
  // cannot be made or locked.
  static RunFolder MakeInside(const std::string& root, std::string_view prefix = "run-");

  bool Valid() const { return !path_.empty(); }
  // The folder, ending with "/".
  const std::string& Path() const { return path_; }
  void Remove();

private:
  std::string path_;
  UniqueFd lock_;
};

// Removes the folders below `root` named `prefix` + six characters that no
// living process holds locked (a process locks its folder right after it
// makes it; one made in the last minute is left alone, so one not yet
// locked is never taken for a dead process's); returns how many went.
size_t RemoveStaleLockedFolders(const std::string& root, std::string_view prefix);
// The program's own "run-XXXXXX" folders.
size_t RemoveStaleRunFolders(const std::string& root);

}  // namespace lyricade
