#pragma once
// The break-music list: tracks (a name and a path) in play order, and its
// file "ambients.cfg", one path per line. A line whose file is not there is
// kept (shown grey, skipped when playing) and written back as it was: a USB
// drive plugged in after the start must not cost the host the list.

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
  // Whether the track's file is there now (a stat: a late drive's tracks
  // become playable as soon as it is plugged in).
  bool Present(int index) const;

  // Appends every track of the file, those whose files are not there now
  // included; false (logged) when the file cannot be read, which a first
  // run's missing file is.
  bool Load(const std::string& file);
  bool Save(const std::string& file) const;

private:
  void Append(const std::string& name, const std::string& path);
  std::vector<AmbientTrack> tracks_;
};

}  // namespace lyricade
