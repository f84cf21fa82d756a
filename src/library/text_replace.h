#pragma once
// The text work of "Search and Replace": upper-casing and the replacement
// loop applied to each title, artist and ID of a matching row.

#include <string>
#include <string_view>

namespace lyricade {

// Upper-cases the letters a to z; every other byte (accented letters
// included) stays as it is.
std::string UpperAscii(std::string_view text);

// The text upper-cased, with the last occurrence of `search` replaced by
// `replacement` and the text upper-cased again, over and over until `search`
// no longer occurs. `search` is expected upper-cased already.
//
// Every replacement puts the upper-cased replacement into the text, so when
// that contains the search text the plain loop could never end; then the
// backward search goes on before the occurrence just replaced instead.
// The plain loop can also run away when occurrences keep forming across the
// edges of the replacement (for example "AB" by "BBAA"); a text that grows
// by more than kMaxReplaceGrowth bytes, or that a replacement as long as the
// search text keeps changing for more steps than the square of its length,
// gets the same treatment. In every case where the
// plain loop ends within those bounds the result is the plain loop's.
// An empty `search` changes nothing but the case.
inline constexpr size_t kMaxReplaceGrowth = 4096;
std::string ReplaceUpperCased(std::string_view text, std::string_view search,
                              std::string_view replacement);

}  // namespace lyricade
