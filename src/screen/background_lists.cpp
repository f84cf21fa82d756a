#include "screen/background_lists.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/path_pieces.h"
#include "common/text_file.h"
#include "common/field_text.h"
#include "screen/screen_log.h"

namespace lyricade {
namespace {

// A path longer than a list keeps is left out, never cut: a cut path names
// another file. The one rule of every picture list.
bool PathFits(const std::string& path) {
  if (path.size() <= kListPathBytes) return true;
  qCWarning(lcScreen) << "A picture path longer than" << kListPathBytes
                      << "bytes is left out of the list";
  return false;
}

// The non-empty lines of a list file that fit; nullopt when the file cannot
// be read.
std::optional<std::vector<std::string>> ReadPaths(const std::string& listFile) {
  std::optional<std::vector<std::string>> lines = ReadTextLines(listFile);
  if (!lines) return std::nullopt;
  std::vector<std::string> paths;
  for (const std::string& line : *lines)
    if (!line.empty() && PathFits(line)) paths.push_back(line);
  return paths;
}

bool WritePaths(const std::string& listFile, const std::vector<PictureEntry>& entries) {
  std::vector<std::string> lines;
  lines.reserve(entries.size());
  for (const PictureEntry& entry : entries) lines.push_back(entry.Path);
  if (WriteTextLinesAtomically(listFile, lines)) return true;
  qCWarning(lcScreen) << "The list" << listFile.c_str() << "could not be written";
  return false;
}

}  // namespace

std::string ListDisplayName(const std::string& path) {
  return CutUtf8(DisplayName(path), kPictureNameBytes);
}

bool BackgroundVideoList::IsVideoFile(const std::string& path) {
  const std::string extension = FileExtension(path);
  for (const char* video : {"wmv", "mpg", "mp4", "m4v", "avi"})
    if (EqualsIgnoreCase(extension, video)) return true;
  return false;
}

void BackgroundVideoList::Load(const std::string& listFile, const std::string& programFolder) {
  entries_.clear();
  current_ = -1;
  if (std::optional<std::vector<std::string>> paths = ReadPaths(listFile)) {
    int absent = 0;
    for (const std::string& path : *paths) {
      if (!IsRegularFile(path)) ++absent;
      Add(path);
    }
    if (absent > 0)
      qCWarning(lcScreen) << absent << "backgrounds are not there now; they stay in the list and are skipped";
    return;
  }
  std::error_code error;
  if (std::filesystem::exists(listFile, error)) {
    qCWarning(lcScreen) << "The background list" << listFile.c_str() << "could not be read";
    return;
  }
  // A first run: what the program brings along.
  const std::string folder = programFolder + "Backgrounds/";
  std::vector<std::string> names;
  std::filesystem::directory_iterator files(folder, error);
  for (; !error && files != std::filesystem::directory_iterator(); files.increment(error)) {
    const std::string name = files->path().filename().string();
    if (IsVideoFile(name) && IsRegularFile(folder + name)) names.push_back(name);
  }
  if (error)
    qCWarning(lcScreen) << "The backgrounds folder" << folder.c_str()
                        << "could not be listed:" << error.message().c_str();
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) Add(folder + name);
}

bool BackgroundVideoList::Save(const std::string& listFile) const {
  return WritePaths(listFile, entries_);
}

void BackgroundVideoList::Add(const std::string& path) {
  if (path.empty() || !PathFits(path)) return;
  entries_.push_back({CutUtf8(DisplayName(path), kListPathBytes), path});
}

bool BackgroundVideoList::Remove(int index) {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return false;
  entries_.erase(entries_.begin() + index);
  return true;
}

std::string BackgroundVideoList::CurrentPath() const {
  if (current_ < 0 || static_cast<size_t>(current_) >= entries_.size()) return {};
  return entries_[static_cast<size_t>(current_)].Path;
}

void BackgroundVideoList::Advance() {
  if (entries_.empty()) return;
  ++current_;
  if (current_ < 0 || static_cast<size_t>(current_) >= entries_.size()) current_ = 0;
}

void CustomPictureList::Load(const std::string& listFile) {
  entries_.clear();
  std::optional<std::vector<std::string>> paths = ReadPaths(listFile);
  if (!paths) return;
  for (const std::string& path : *paths) {
    if (Full()) {
      qCWarning(lcScreen) << listFile.c_str() << "lists more than" << kMaximum
                          << "pictures; the rest are left out";
      break;
    }
    Add(path);
  }
}

bool CustomPictureList::Save(const std::string& listFile) const {
  return WritePaths(listFile, entries_);
}

std::vector<std::string> CustomPictureList::Names() const {
  std::vector<std::string> names;
  for (const PictureEntry& entry : entries_) names.push_back(entry.Name);
  return names;
}

std::string CustomPictureList::Path(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return {};
  return entries_[static_cast<size_t>(index)].Path;
}

bool CustomPictureList::Add(const std::string& path) {
  if (Full() || path.empty() || !PathFits(path)) return false;
  entries_.push_back({ListDisplayName(path), path});
  return true;
}

bool CustomPictureList::Remove(int index) {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return false;
  entries_.erase(entries_.begin() + index);
  return true;
}

}  // namespace lyricade
