#pragma once
// Lyrics with times, as karaoke MIDI files and timed lyric (".lrc") files
// carry them: lines of syllables, each with the moment it is sung, grouped
// in pages. The lyric layer of the singers' screen draws them; the readers
// of both formats fill them. No Qt, no media framework.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

struct LyricSyllable {
  int64_t StartMs = 0;
  std::string Text;  // UTF-8, blanks kept ("Hel", "lo ")
};

struct LyricLine {
  int64_t StartMs = 0;
  std::vector<LyricSyllable> Syllables;
  // The line starts a new page (a KAR "\" break, or the first line).
  bool NewPage = false;
  // The whole line's text, its syllables joined.
  std::string Text() const;
};

struct TimedLyrics {
  std::vector<LyricLine> Lines;  // in time order
  std::string Title;
  std::string Artist;
  bool Empty() const { return Lines.empty(); }
};

// What any reader keeps of hostile input.
inline constexpr size_t kLyricLinesMax = 10000;
inline constexpr size_t kLyricSyllablesMax = 100000;
inline constexpr size_t kLyricTextBytesMax = 512;  // one syllable or header

// A text from a lyric file as the screen draws it: UTF-8 kept, any other
// bytes read as Latin-1 (older files' own), control characters dropped, cut
// at kLyricTextBytesMax.
std::string CleanLyricText(std::string_view text);

// The page a moment falls in: the lines from the page's first line to the
// line before the next page, as indexes into `lyrics.Lines`; {0, 0} before
// the first line. Pages of more than `linesPerPage` lines are split.
struct LyricPage {
  size_t First = 0;
  size_t End = 0;  // one past the last line
};
LyricPage PageAt(const TimedLyrics& lyrics, int64_t positionMs, size_t linesPerPage);

}  // namespace lyricade
