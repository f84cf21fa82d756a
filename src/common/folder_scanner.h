#pragma once
// Walks a folder tree and reports every regular file whose name matches one
// of a list of patterns. The library import, the break music and zipsweep
// walk their folders with it.
//
// A scan has three phases:
//   1. folders: the list starts with the root; the tree is walked depth
//      first and every folder met is appended and walked in turn;
//   2. patterns: the pattern text is split into patterns ("*.mp3, *.zip");
//   3. files: folder by folder in list order and, within a folder, pattern
//      by pattern, every matching regular file is reported.
// Each folder's entries are taken in name order (byte order). Patterns match
// whatever the letter case ("*.mp3" finds "SONG.MP3"). Only regular files
// (or links to them) are reported: a folder or a dangling link named "x.mp3"
// is not a file. Links to folders are followed, but no folder is walked
// twice, so link loops end. Hidden folders (names starting with ".") are
// never walked.
//
// The caller keeps its window alive through the Pump hook, which runs after
// every entry (and every few hundred entries while a big folder is read),
// and stops a scan through the Aborted hook. Each folder is read once: the
// files phase 1 found are matched in phase 3 without listing it again. Abort rules: in
// phase 1 the walk ends at the next entry; in phase 3 a folder's listing for
// one pattern ends after the entry that saw the flag, and the whole phase
// ends after the folder. So a flag raised during phase 1 still lets phase 3
// report at most the first file of each pattern in the first folder.
//
// No Qt here: folders that cannot be read reach the caller, which logs them.

#include <sys/types.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lyricade {

// The caller's side of a scan; every member may be left empty.
struct FolderScanHooks {
  // A folder joined the list (phase 1), by its full path.
  std::function<void(const std::string& folder)> FolderFound;
  // A matching regular file (phase 3): the folder as listed and the name.
  std::function<void(const std::string& folder, const std::string& name)> FileFound;
  // Lets waiting events run.
  std::function<void()> Pump;
  // The abort flag.
  std::function<bool()> Aborted;
  // A folder that could not be listed, and why.
  std::function<void(const std::string& folder, const std::string& error)> Unreadable;
  // Leave out hidden files too (names starting with "."), among them the
  // "._Song.mp3" resource files another system leaves on shared drives.
  bool SkipHidden = false;
};

// Splits a pattern list at blanks, ";" and ","; a double quote or an
// apostrophe switches quoting on and off (separators inside quotes do not
// split) and is dropped; empty pieces are skipped.
std::vector<std::string> SplitPatterns(std::string_view list);

// Does `name` match `pattern` ("*" any run, "?" any one character), letter
// case of A to Z ignored? "*.*" matches every name, with a dot or without.
bool MatchesPattern(std::string_view pattern, std::string_view name);

// folder + "/" + name, without doubling a "/" the folder ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

class FolderScanner {
public:
  explicit FolderScanner(FolderScanHooks hooks) : hooks_(std::move(hooks)) {}

  // All three phases over the tree at `root` with the pattern list text.
  // False when the scan was aborted.
  bool Scan(const std::string& root, std::string_view patternList);

  // Phase 1: the root followed by every folder below it, depth first.
  std::vector<std::string> ListFolders(const std::string& root);
  // Phase 3 over folders from ListFolders. False when aborted.
  bool ScanFiles(const std::vector<std::string>& folders, const std::vector<std::string>& patterns);

private:
  struct Entry {
    std::string Name;
    bool Folder = false;  // a folder, or a link to one
  };
  // The folder's entries without "." and "..", sorted by name; false when it
  // cannot be listed (reported to Unreadable).
  bool ListEntries(const std::string& folder, std::vector<Entry>& entries);
  // Phase 1 below one folder; false once the walk is aborted.
  bool Walk(const std::string& folder, std::vector<std::string>& folders);
  // Marks a folder as walked; false when it was walked before or is gone.
  bool MarkWalked(const std::string& folder);
  bool Aborted() const { return hooks_.Aborted && hooks_.Aborted(); }
  void Pump() const {
    if (hooks_.Pump) hooks_.Pump();
  }

  FolderScanHooks hooks_;
  std::set<std::pair<dev_t, ino_t>> walked_;
  // The regular files of each folder phase 1 read, in name order.
  std::map<std::string, std::vector<std::string>> filesOf_;
};

}  // namespace lyricade
