#pragma once
// The lyrics of a karaoke MIDI file (".kar", or ".mid" with lyric events):
// lyric events (or, in ".kar" files, which have none, the text events),
// timed through the file's tempo map. The KAR conventions are kept: "@"
// headers ("@T" title then artist, "@K", "@L", "@I"), "/" before a syllable
// starts a line and "\" a page; a carriage return or line feed in an event
// starts a line too.

#include <optional>
#include <string>
#include <string_view>

#include "lyrics/timed_lyrics.h"

namespace lyricade {

// The biggest MIDI file read: real ones are tens of kilobytes.
inline constexpr size_t kMidiFileBytesMax = 4u << 20;

// nullopt when the bytes are not a Standard MIDI File (or are larger than
// the limit); lyrics without lines when it has none.
std::optional<TimedLyrics> ReadMidiLyrics(std::string_view bytes);
// The same for the file at `path`; nullopt too when it cannot be read.
std::optional<TimedLyrics> ReadMidiLyricsFile(const std::string& path);

}  // namespace lyricade
