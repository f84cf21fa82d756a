#pragma once
// The next-singers line the ticker scrolls: "Next Singer(s)...  " followed by
// "1. Name   2. Name   ..." for the singers after the one who is up. Plain
// text rules over the rotation's names and playlist lengths; no Qt.

#include <string>
#include <vector>

namespace lyricade {

struct TickerSinger {
  std::string Name;
  int Songs = 0;
  // Passed over, as the advance passes over them.
  bool SittingOut = false;
  // The estimated wait ("~4 min"), shown when the host asks for waits.
  std::string Wait;
};

inline constexpr const char* kTickerHeading = "Next Singer(s)...  ";

// Walks from the singer after `current`, wrapping from the last to the
// first, listing at most `maximum` singers. Singers without songs are passed
// over unless `includeEmpty`. Reaching `current` again ends the walk; that
// singer is listed only with two or more songs. The walk covers the rotation
// once at most, so a `current` of -1 or past the end (which the walk never
// meets) starts at the first singer and ends after the last.
// `withWaits`: the singers are listed as "Ana (~4 min), Bob (~9 min)"
// instead of numbered; a singer without an estimate by name alone.
std::string NextSingersText(const std::vector<TickerSinger>& singers, int current, int maximum,
                            bool includeEmpty, bool withWaits = false);

// Whether the text names at least one singer: it is longer than the heading
// (19 characters).
bool TickerTextNamesSingers(const std::string& text);

}  // namespace lyricade
