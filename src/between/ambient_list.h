#pragma once
// The break-music list: tracks (a name and a path) in play order, and its
// file "ambients.cfg", one path per line. Reading drops the lines whose files
// are gone, so a deleted track does not come back after the next exit.

#include <functional>
#include <string>
#include <vector>

namespace lyricade {

struct AmbientTrack {
  std::string Name;
  std::string Path;
};

class AmbientList {
public:
  static constexpr size_t kMaxField = 1023;
  static constexpr const char* kFileName = "ambients.cfg";
  // What "Add Folder..." collects.
  static constexpr const char* kFolderPatterns = "*.mp3, *.wma, *.wav";

  int Size() const { return static_cast<int>(tracks_.size()); }
  bool Empty() const { return tracks_.empty(); }
  bool Valid(int index) const { return index >= 0 && index < Size(); }
  const std::vector<AmbientTrack>& Tracks() const { return tracks_; }
  const AmbientTrack& At(int index) const { return tracks_.at(static_cast<size_t>(index)); }

  // "Add...": the file named by its name without folder and extension.
  void AddFile(const std::string& path);
  // "Add Folder...": every music file in the folder and below, named by its
  // file name with extension. `pump` keeps the window alive during the walk.
  // How many tracks were added.
  int AddFolder(const std::string& folder, const std::function<void()>& pump = {});
  // What a walk of "Add Folder..." found (ambient_folder_walk.h), appended.
  void AddFound(const std::vector<AmbientTrack>& tracks) {
    for (const AmbientTrack& track : tracks) Append(track.Name, track.Path);
  }
  void Remove(int index);
  void Clear() { tracks_.clear(); }

  // Appends the tracks of the file whose files exist; false (logged) when
  // the file cannot be read, which a first run's missing file is.
  bool Load(const std::string& file);
  bool Save(const std::string& file) const;

private:
  void Append(const std::string& name, const std::string& path);
  std::vector<AmbientTrack> tracks_;
};

}  // namespace lyricade
