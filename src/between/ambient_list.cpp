#include "between/ambient_list.h"

#include <filesystem>

#include "between/between_log.h"
#include "common/folder_scanner.h"
#include "common/path_pieces.h"
#include "common/text_file.h"
#include "common/field_text.h"

namespace lyricade {

void AmbientList::Append(const std::string& name, const std::string& path) {
  tracks_.push_back({CutUtf8(name, kMaxField), CutUtf8(path, kMaxField)});
}

void AmbientList::AddFile(const std::string& path) {
  if (!path.empty()) Append(DisplayName(path), path);
}

int AmbientList::AddFolder(const std::string& folder, const std::function<void()>& pump) {
  int added = 0;
  FolderScanHooks hooks;
  hooks.FileFound = [this, &added](const std::string& where, const std::string& name) {
    Append(name, JoinPath(where, name));
    ++added;
  };
  hooks.Pump = pump;
  hooks.Unreadable = [](const std::string& where, const std::string& error) {
    qCWarning(lcBetween) << "the break-music folder" << where.c_str() << "could not be read:"
                         << error.c_str();
  };
  FolderScanner(std::move(hooks)).Scan(folder, kFolderPatterns);
  return added;
}

void AmbientList::Remove(int index) {
  if (Valid(index)) tracks_.erase(tracks_.begin() + index);
}

bool AmbientList::Present(int index) const { return Valid(index) && IsRegularFile(At(index).Path); }

bool AmbientList::Load(const std::string& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return false;  // a first run
  const std::optional<std::vector<std::string>> lines = ReadTextLines(file);
  if (!lines) {
    qCWarning(lcBetween) << "the break-music list could not be read from" << file.c_str();
    return false;
  }
  int absent = 0;
  for (const std::string& line : *lines) {
    const std::string path = CutUtf8(line, kMaxField);
    if (path.empty()) continue;
    if (!IsRegularFile(path)) ++absent;
    Append(DisplayName(path), path);
  }
  if (absent > 0)
    qCWarning(lcBetween) << absent << "break tracks are not there now; they stay in the list and are skipped";
  return true;
}

bool AmbientList::Save(const std::string& file) const {
  std::vector<std::string> lines;
  lines.reserve(tracks_.size());
  for (const AmbientTrack& track : tracks_) lines.push_back(track.Path);
  if (WriteTextLinesAtomically(file, lines)) return true;
  qCWarning(lcBetween) << "the break-music list could not be written to" << file.c_str();
  return false;
}

}  // namespace lyricade
