#include "common/folder_scanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace lyricade {
namespace {

constexpr size_t kEntriesPerPump = 256;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Past the one character that starts at `at`: a whole UTF-8 sequence, so
// "?" stands for a character as the host sees it, not for a byte of one.
size_t NextCharacter(std::string_view text, size_t at) {
  ++at;
  while (at < text.size() && IsContinuationByte(text[at])) ++at;
  return at;
}

}  // namespace

std::vector<std::string> SplitPatterns(std::string_view list) {
  std::vector<std::string> patterns;
  std::string piece;
  bool quoted = false;
  for (char c : list) {
    if (c == '"' || c == '\'') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == ';' || c == ',')) {
      if (!piece.empty()) patterns.push_back(std::move(piece));
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (!piece.empty()) patterns.push_back(std::move(piece));
  return patterns;
}

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") pattern = "*";
  // Greedy matching that goes back to the last "*" on a mismatch: linear in
  // practice and never recursive, whatever the pattern.
  size_t p = 0;
  size_t n = 0;
  size_t star = std::string_view::npos;
  size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      starName = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n = NextCharacter(name, n);
    } else if (p < pattern.size() && FoldAscii(pattern[p]) == FoldAscii(name[n])) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = starName = NextCharacter(name, starName);
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

bool FolderScanner::Scan(const std::string& root, std::string_view patternList) {
  // An abort during phase 1 does not skip phase 3: it ends after the first
  // folder (see the header).
  const std::vector<std::string> folders = ListFolders(root);
  return ScanFiles(folders, SplitPatterns(patternList)) && !Aborted();
}

std::vector<std::string> FolderScanner::ListFolders(const std::string& root) {
  walked_.clear();
  filesOf_.clear();
  std::vector<std::string> folders{root};
  MarkWalked(root);
  Walk(root, folders);
  return folders;
}

bool FolderScanner::Walk(const std::string& folder, std::vector<std::string>& folders) {
  std::vector<Entry> entries;
  if (!ListEntries(folder, entries)) return true;
  std::vector<std::string>& files = filesOf_[folder];
  for (const Entry& entry : entries)
    if (!entry.Folder) files.push_back(entry.Name);
  for (const Entry& entry : entries) {
    if (entry.Folder) {
      const std::string path = JoinPath(folder, entry.Name);
      if (MarkWalked(path)) {
        folders.push_back(path);
        if (hooks_.FolderFound) hooks_.FolderFound(path);
        if (!Walk(path, folders)) return false;
      }
    }
    if (Aborted()) return false;
    Pump();
  }
  return true;
}

bool FolderScanner::ScanFiles(const std::vector<std::string>& folders,
                              const std::vector<std::string>& patterns) {
  for (const std::string& folder : folders) {
    std::vector<std::string> files;
    bool listed = true;
    if (auto found = filesOf_.find(folder); found != filesOf_.end()) {
      files = std::move(found->second);
      filesOf_.erase(found);
    } else {
      std::vector<Entry> entries;
      listed = ListEntries(folder, entries);
      for (Entry& entry : entries)
        if (!entry.Folder) files.push_back(std::move(entry.Name));
    }
    if (listed) {
      // Regular files only, found once per folder and matched per pattern.
      for (const std::string& pattern : patterns) {
        for (const std::string& name : files) {
          if (!MatchesPattern(pattern, name)) continue;
          if (hooks_.FileFound) hooks_.FileFound(folder, name);
          if (Aborted()) break;
          Pump();
        }
      }
    }
    if (Aborted()) return false;
    Pump();
  }
  return true;
}

bool FolderScanner::ListEntries(const std::string& folder, std::vector<Entry>& entries) {
  entries.clear();
  DirHandle dir(::opendir(folder.c_str()));
  if (!dir) {
    if (hooks_.Unreadable) hooks_.Unreadable(folder, std::strerror(errno));
    return false;
  }
  const int fd = ::dirfd(dir.get());
  // Non-regular, non-folder entries (devices, sockets, dangling links) are
  // neither walked nor reported, so they are left out here.
  size_t read = 0;
  errno = 0;
  while (const dirent* item = ::readdir(dir.get())) {
    const std::string_view name = item->d_name;
    if (name == "." || name == "..") continue;
    if (hooks_.SkipHidden && name.front() == '.') continue;
    // A folder of a hundred thousand songs takes a while to read: the
    // window gets its turn between pieces of it.
    if (++read % kEntriesPerPump == 0) Pump();
    bool folderEntry = item->d_type == DT_DIR;
    bool fileEntry = item->d_type == DT_REG;
    if (item->d_type == DT_LNK || item->d_type == DT_UNKNOWN) {
      struct stat info {};
      if (::fstatat(fd, item->d_name, &info, 0) == 0) {
        folderEntry = S_ISDIR(info.st_mode);
        fileEntry = S_ISREG(info.st_mode);
      }
    }
    // Hidden folders are never walked: they hold no songs a host means, and
    // a killed zipsweep's private folders (".zipsweep-XXXXXX") are among
    // them, whose files would otherwise be taken as songs.
    if (folderEntry && name.front() == '.') continue;
    if (folderEntry || fileEntry) entries.push_back({std::string(name), folderEntry});
    errno = 0;
  }
  if (errno != 0 && hooks_.Unreadable) hooks_.Unreadable(folder, std::strerror(errno));
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.Name < b.Name; });
  return true;
}

bool FolderScanner::MarkWalked(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return false;
  return walked_.insert({info.st_dev, info.st_ino}).second;
}

}  // namespace lyricade
