#pragma once
// The two rules for text values quoted with apostrophes in SQL text. No value
// reaches a statement with a raw apostrophe.

#include <string>
#include <string_view>

namespace lyricade {

// The acute accent that stands in for an apostrophe in stored titles,
// artists, IDs, years, comments, singer names and search words (U+00B4).
inline constexpr std::string_view kAccent = "\xC2\xB4";

// Every apostrophe becomes the acute accent; the stored text keeps the accent.
std::string AccentApostrophes(std::string_view text);

// Every apostrophe is doubled, so the stored text keeps it: song paths must
// stay byte-exact because they name files.
std::string DoubleApostrophes(std::string_view text);

// A whole SQL text value in apostrophes: a path byte-exact (apostrophes
// doubled), any other text with the accent for its apostrophes.
std::string QuotedPath(std::string_view path);
std::string QuotedText(std::string_view text);

}  // namespace lyricade
