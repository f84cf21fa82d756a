#pragma once
// A singer of the rotation and the songs queued for them.

#include <string>
#include <vector>

namespace lyricade {

// Field capacities in bytes (a terminator included), as the list file and
// the views keep them.
inline constexpr int kTempoLimit = 20;

struct QueuedSongCapacity {
  static constexpr size_t Title = 180;
  static constexpr size_t Year = 10;
  static constexpr size_t Path = 1024;
  static constexpr size_t Artist = 200;
  static constexpr size_t Id = 198;
  static constexpr size_t Comment = 256;
  static constexpr size_t SingerName = 100;
};

struct QueuedSong {
  // Key change in half steps, -4 to 4.
  int Key = 0;
  // 0 centre (both channels), 1 left, 2 right.
  int Multiplex = 0;
  // The row in the list the song was taken from, when it was queued.
  int SourceRow = 0;
  std::string Title;
  // The library's year, or the play count when queued from History.
  std::string Year;
  // A path on disk, or an "http://" address for a streamed song.
  std::string Path;
  std::string Artist;
  std::string Id;
  std::string Comment;
  // Key and channel were taken from the singer's last time with the song
  // (the playlist row says so until the host changes them).
  bool KeyRemembered = false;
  // Tempo change in percent, -20 to 20 in steps of 1 (kept beside the list
  // file, whose readers know no tempo).
  int Tempo = 0;

  bool operator==(const QueuedSong&) const = default;
};

struct Singer {
  std::string Name;
  std::vector<QueuedSong> Playlist;
  // The advance, the ticker and the announce card pass over a singer who
  // sits out; their place and songs stay.
  bool SittingOut = false;
  // Songs started tonight (since the program started or the rotation was
  // cleared); "fairly" placement compares newcomers with it.
  int SungTonight = 0;

  bool operator==(const Singer&) const = default;
};

// Makes outside text safe for the song's fields: control characters become
// blanks, each field is cut to its capacity, key, multiplex and tempo are
// clamped.
QueuedSong SanitisedSong(QueuedSong song);
// A singer name as a 100-byte field keeps it.
std::string SanitisedSingerName(const std::string& name);

}  // namespace lyricade
