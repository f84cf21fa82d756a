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

namespace {

std::string InApostrophes(const std::string& value) {
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '\'';
  quoted += value;
  quoted += '\'';
  return quoted;
}

}  // namespace

std::string QuotedPath(std::string_view path) { return InApostrophes(DoubleApostrophes(path)); }
std::string QuotedText(std::string_view text) { return InApostrophes(AccentApostrophes(text)); }

}  // namespace lyricade
