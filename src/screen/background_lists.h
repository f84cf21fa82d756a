#pragma once
// The host's own pictures for the singers' screen, as lists kept in the data
// folder: the background videos ("backgrounds.cfg") that loop behind
// everything, and the custom pictures ("customlogos.cfg" for the background
// logos, and the same form for the announce card's images), one path a line.
// Each entry shows by its display name: the file name without folder and
// extension.

#include <cstddef>
#include <string>
#include <vector>

namespace lyricade {

struct PictureEntry {
  std::string Name;
  std::string Path;
};

// The longest path a list line holds (a longer one is left out, with a log
// line: a cut path would name another file), and the longest display name
// of a custom picture (cut at a character boundary), in bytes.
inline constexpr size_t kListPathBytes = 1023;
inline constexpr size_t kPictureNameBytes = 255;

// The display name of a path as the lists show it.
std::string ListDisplayName(const std::string& path);

// The background video list: videos and still pictures in show order, and
// the entry that plays now (-1 before any).
class BackgroundVideoList {
public:
  // What the program's "Backgrounds" folder offers on a first run: the
  // video files the background window adds, whatever their letter case.
  static bool IsVideoFile(const std::string& path);

  // Reads `listFile`: every line becomes an entry, those naming files that
  // are not there now included (a drive plugged in late; the player skips
  // them and they are written back as they were). Without the file, the videos of
  // `programFolder` + "Backgrounds/" are listed, sorted by name. The current
  // entry goes back to none.
  void Load(const std::string& listFile, const std::string& programFolder);
  // Rewrites `listFile` with one path a line, in list order.
  bool Save(const std::string& listFile) const;

  const std::vector<PictureEntry>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }
  void Add(const std::string& path);
  // False when there is no entry at `index`. The current index is left as
  // it is: a playing video plays on until another one starts.
  bool Remove(int index);

  int CurrentIndex() const { return current_; }
  void SetCurrent(int index) { current_ = index; }
  // The current entry's path; empty when the index names no entry.
  std::string CurrentPath() const;
  // Moves on by one, back to 0 after the last entry (or from an index the
  // list no longer has).
  void Advance();

private:
  std::vector<PictureEntry> entries_;
  int current_ = -1;
};

// A custom picture list (background logos, announce images): at most 50
// pictures, numbered from 0 in list order.
class CustomPictureList {
public:
  static constexpr size_t kMaximum = 50;

  // Reads `listFile`: empty lines skipped, reading stops at 50 entries. A
  // missing file gives an empty list.
  void Load(const std::string& listFile);
  bool Save(const std::string& listFile) const;

  const std::vector<PictureEntry>& Entries() const { return entries_; }
  size_t Size() const { return entries_.size(); }
  bool Full() const { return entries_.size() >= kMaximum; }
  std::vector<std::string> Names() const;
  // The path of picture `index`; empty when there is none.
  std::string Path(int index) const;
  // False when the list is full or the path is empty.
  bool Add(const std::string& path);
  // Later pictures move up by one. False when there is none at `index`.
  bool Remove(int index);

private:
  std::vector<PictureEntry> entries_;
};

}  // namespace lyricade
