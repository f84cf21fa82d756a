#pragma once
// Rules for text that comes from outside (typed names, requests, vendor data)
// before it is kept in a fixed-size field, a list file or the database.

#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

// Cuts UTF-8 text to at most `maxBytes` bytes without splitting a character.
std::string CutUtf8(std::string_view text, size_t maxBytes);

// Replaces line breaks and every other control character (below 32, and
// 127) by a blank, so a value can never spill into the next line of a file.
std::string BlankControlCharacters(std::string_view text);

// Both: the text as a field of `capacity` bytes (a terminator included in
// the capacity, so at most capacity - 1 bytes of text) holds it.
std::string FieldText(std::string_view text, size_t capacity);

// The tab-separated fields of one line of a state file, reading stops once
// more than `maxFields` are found (a hostile line cannot make thousands).
std::vector<std::string> SplitTabs(const std::string& line, size_t maxFields = static_cast<size_t>(-1));

// Clamps a value into [low, high].
inline int ClampTo(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

}  // namespace lyricade
