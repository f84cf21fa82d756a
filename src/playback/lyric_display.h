#pragma once
// Where a song's timed lyrics go (karaoke MIDI files, and audio with a timed
// lyric file beside it): the singers' screen draws the page the song is on,
// the sung syllables coloured as they come. Song opening hands the lyrics
// over; the transport's timer step moves them to the song's own position.

#include <cstdint>

namespace lyricade {

struct TimedLyrics;

class LyricDisplay {
public:
  virtual ~LyricDisplay() = default;
  // A song with these lyrics opened; the display keeps its own copy.
  virtual void OpenLyrics(const TimedLyrics& lyrics) = 0;
  // The song is at `positionMs` of its own time (UI thread, every tick).
  virtual void LyricsAt(int64_t positionMs) = 0;
  // The song ended or stopped.
  virtual void CloseLyrics() = 0;
};

}  // namespace lyricade
