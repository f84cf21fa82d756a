#include "library/sql_quoting.h"

namespace lyricade {

std::string AccentApostrophes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\'')
      out += kAccent;
    else
      out += c;
  }
  return out;
}

std::string DoubleApostrophes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace lyricade
