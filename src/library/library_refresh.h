#pragma once
// Keeps the library in step with its watched folders (watched_folders.h):
// a refresh adds the song files that are new, follows the ones that moved,
// and leaves the rows of vanished files in place (the list shows them red,
// as missing), so a drive that is unplugged costs nothing and a file that
// comes back is simply there again.
//
// What a refresh saw of each file (size, modification time) is kept in
// "SeenFiles": an unchanged file is known by its stamp alone, so a refresh
// of a big unchanged collection lists the folders and reads no file. A file
// whose row the host removed is not added again while it stays as it was.
//
// A moved file is one with the same name and size as a vanished one of the
// same watched folder; where several match, their first 64 KB decide. Its
// row, its History rows and its place on the Needs Attention list follow
// it; where a row already names the new path, the two are merged (History
// keeps the higher count). A watched folder that cannot be listed (an
// unplugged drive, an empty mount point) is left as it was and reported.
//
// Writes go through LibraryDatabase's batches, so the other program on the
// same file waits a moment at most. No windows: the program runs this on a
// worker thread with a connection of its own, the tool in its main thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "library/watched_folders.h"

namespace lyricade {

class LibraryDatabase;

struct RefreshOutcome {
  long Added = 0;
  long Moved = 0;
  long Changed = 0;   // same path, new contents (its row kept)
  long Missing = 0;   // vanished since the last refresh (rows kept)
  long Returned = 0;  // vanished before, back now
  long Unchanged = 0;
  // Watched folders (or folders below one) that could not be listed.
  std::vector<std::string> Unavailable;
  // The songs added or changed: the ones to check for playing.
  std::vector<std::string> ToCheck;
  // Every folder listed (for a watcher of changes).
  std::vector<std::string> Folders;
  bool Aborted = false;
  bool WroteLibrary() const { return Added + Moved + Changed + Missing + Returned > 0; }
};

struct RefreshHooks {
  // Raised to stop between files; what was done so far is committed.
  const std::atomic<bool>* Abort = nullptr;
  // The file being looked at (for a progress line); may be empty.
  std::function<void(const std::string& path)> File;
};

// The first 64 KB of a file as a 64-bit hash; 0 when it cannot be read.
int64_t HeadHash(const std::string& path);

class LibraryRefresh {
public:
  explicit LibraryRefresh(LibraryDatabase& database) : database_(database) {}

  // Every watched folder.
  RefreshOutcome RefreshAll(const RefreshHooks& hooks = {});
  // Only `folder` and the folders below it, which lie in a watched folder
  // (a folder the system reported changed); nothing when it lies in none.
  RefreshOutcome RefreshFolder(const std::string& folder, const RefreshHooks& hooks = {});

private:
  void RefreshScope(const WatchedFolder& root, const std::string& scope, const RefreshHooks& hooks,
                    RefreshOutcome& outcome);
  void MoveSong(const std::string& from, const std::string& to, bool targetHasRow);
  void Write(const std::string& sql);

  LibraryDatabase& database_;
};

}  // namespace lyricade
