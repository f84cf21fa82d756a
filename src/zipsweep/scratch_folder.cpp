#include "zipsweep/scratch_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>


namespace fs = std::filesystem;

namespace lyricade {
namespace {

// Hidden, so no folder walk takes a killed run's half-unpacked files.
constexpr std::string_view kScratchPrefix = ".zipsweep-";

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsRealFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Entries of one folder in name order (byte order), so placing is the same
// on every run.
std::vector<fs::directory_entry> SortedEntries(const std::string& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(*it);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  return entries;
}

void Collect(const std::string& base, const std::string& relative, std::vector<std::string>& files) {
  for (const fs::directory_entry& entry : SortedEntries(base + relative)) {
    const std::string name = relative + entry.path().filename().string();
    std::error_code error;
    if (entry.is_symlink(error)) continue;
    if (entry.is_directory(error))
      Collect(base, name + "/", files);
    else if (entry.is_regular_file(error))
      files.push_back(name);
  }
}

using Spared = std::function<bool(const std::string&)>;

void Place(const std::string& scratch, const std::string& folder, const std::string& relative,
           const Spared& spared, Placement& placement) {
  for (const fs::directory_entry& entry : SortedEntries(scratch + relative)) {
    const std::string name = relative + entry.path().filename().string();
    const std::string target = folder + name;
    std::error_code error;
    if (entry.is_symlink(error)) continue;
    if (entry.is_directory(error)) {
      if (::mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) {
        placement.Refused.push_back(target);
        continue;
      }
      if (!IsRealFolder(target)) {
        // A file or a link holds the folder's name: what would go inside it
        // stays out.
        std::vector<std::string> inside;
        Collect(scratch, name + "/", inside);
        for (const std::string& file : inside) placement.Refused.push_back(folder + file);
        continue;
      }
      Place(scratch, folder, name + "/", spared, placement);
    } else if (entry.is_regular_file(error)) {
      // rename() replaces a file or a link of that name (never what a link
      // points to) and fails on a folder.
      if (IsRealFolder(target) || (spared && spared(target)) ||
          ::rename((scratch + name).c_str(), target.c_str()) != 0)
        placement.Refused.push_back(target);
      else
        placement.Placed.push_back(target);
    }
  }
}

}  // namespace

ScratchFolder ScratchFolder::MakeInside(const std::string& parent) {
  ScratchFolder scratch;
  scratch.folder_ = RunFolder::MakeInside(parent, kScratchPrefix);
  return scratch;
}

size_t RemoveStaleScratch(const std::string& parent) { return RemoveStaleLockedFolders(parent, kScratchPrefix); }

bool ScratchFolder::Empty() const {
  if (!Valid()) return false;
  bool ok = true;
  std::error_code error;
  for (const fs::directory_entry& entry : SortedEntries(Path())) {
    fs::remove_all(entry.path(), error);
    if (error) ok = false;
  }
  return ok;
}

ScratchFolder& ScratchKeeper::Inside(const std::string& parent) {
  if (!folder_.Valid() || parent != parent_) {
    folder_.Remove();
    folder_ = ScratchFolder::MakeInside(parent);
    parent_ = parent;
  }
  return folder_;
}

Placement PlaceUnpacked(const std::string& scratch, const std::string& folder,
                        const Spared& spared) {
  Placement placement;
  Place(WithSlash(scratch), WithSlash(folder), {}, spared, placement);
  return placement;
}

std::vector<std::string> UnpackedFiles(const std::string& scratch) {
  std::vector<std::string> files;
  Collect(WithSlash(scratch), {}, files);
  return files;
}

}  // namespace lyricade
