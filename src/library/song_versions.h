#pragma once
// Versions of one song: rows whose title and artist are the same once
// folded (letter case as the search ignores it, control characters as
// blanks, blanks at the ends dropped) are one song, made by different
// makers or bought twice. The maker is the ID's leading letters ("SC" of
// "SC8125-05"); the host ranks makers, and a song's preferred version is
// the one of the best-ranked maker (the lowest item number among equals).
// Nothing here removes a row: grouping only decides what is shown first.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

// The key of a song: equal keys, same song. Empty when title and artist
// are both empty (such rows are never taken for versions of each other).
std::string SongKey(std::string_view title, std::string_view artist);
// The same from texts already folded for the search (FoldForLike): appends
// the one part to `out` with control characters blanked and blanks at the
// ends dropped.
void AppendSongKeyPart(std::string_view folded, std::string& out);

// The maker of a version: the leading ASCII letters of its ID, upper-cased
// (at most kMaxMakerLetters); empty for an ID that starts otherwise.
constexpr size_t kMaxMakerLetters = 8;
std::string MakerOf(std::string_view id);

// The host's order of makers, best first.
class MakerPreference {
public:
  // A list typed by the host ("SC, SF ZM"): makers split at commas,
  // semicolons and blanks, each as MakerOf reads an ID, repeats dropped; at
  // most kMaxMakers.
  static constexpr size_t kMaxMakers = 64;
  static MakerPreference Parse(std::string_view text);
  // The list as the options show and store it: "SC, SF, ZM".
  std::string Text() const;

  const std::vector<std::string>& Makers() const { return makers_; }
  // The maker's place in the list; makers not listed come after all that
  // are, together.
  size_t Rank(std::string_view maker) const;

private:
  std::vector<std::string> makers_;
};

// The positions 0..ids.size()-1 of one song's versions (their IDs in the
// order given) in the order the host prefers: by the maker's rank, equal
// ranks in the given order.
std::vector<size_t> PreferenceOrder(const std::vector<std::string_view>& ids,
                                    const MakerPreference& preference);

// Rows with equal keys gathered: each song's positions, in the order the
// rows came in, and the songs in the order of their first row. An empty key
// is a song of its own.
std::vector<std::vector<size_t>> GroupByKey(const std::vector<std::string>& keys);

}  // namespace lyricade
