#pragma once
// A song request resolved for playing.

#include <string>

namespace lyricade {

// How a location is played. Whether a local song shows video is decided by
// the media itself.
enum class SongKind { Local, Zipped, Streamed };

struct SongFile {
  SongKind Kind = SongKind::Local;
  // The text the request came with (library path, queued path, pseudo-URL).
  std::string Location;
  // What the graph renders: local path, extracted audio path or service URL.
  std::string Media;
  // The ".cdg" path, or empty.
  std::string Graphics;
  bool HasGraphics = false;
  // Timed lyrics are on the screen (a karaoke MIDI file or a ".lrc").
  bool HasLyrics = false;
  // For zipped and streamed songs: the folder holding the unpacked files.
  std::string ScratchFolder;
  // Key change in semitones, as queued.
  int Key = 0;
  // 0 centre (both channels), 1 left, 2 right.
  int Channel = 0;
  // For a MIDI song (".kar", ".mid"): the sound font it is played with.
  std::string SoundFont;
};

}  // namespace lyricade
