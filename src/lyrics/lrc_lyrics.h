#pragma once
// Timed lyric files (".lrc") as found in the wild: "[mm:ss.xx]line" with
// two or three digits of fraction, several times before one line (a
// repeated chorus), word times written "<mm:ss.xx>" or inline "[mm:ss.xx]"
// after the line's first, "[offset:+/-ms]" (positive shows the lyrics
// earlier; a malformed one is ignored), "[ti:...]" and "[ar:...]" kept as
// title and artist, and lines without a time and unknown tags ignored.

#include <string>
#include <string_view>

#include "lyrics/timed_lyrics.h"

namespace lyricade {

// The biggest lyric file read: real ones are a few kilobytes.
inline constexpr size_t kLrcFileBytesMax = 1u << 20;

// Lyrics without lines when the text holds none (or is larger than the
// limit). The lines make one long page, which the screen turns as it fills.
TimedLyrics ReadLrcLyrics(std::string_view text);
// The same for the file at `path` (none when it cannot be read).
TimedLyrics ReadLrcLyricsFile(const std::string& path);

}  // namespace lyricade
