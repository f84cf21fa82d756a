#include "library/text_replace.h"

#include <optional>

namespace lyricade {
namespace {

void UpperInPlace(std::string& text, size_t from, size_t count) {
  const size_t end = std::min(text.size(), from + count);
  for (size_t i = from; i < end; ++i)
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
}

// Replaces at `at` and upper-cases the inserted text; the rest of the text is
// upper-cased already, so this is the same as upper-casing the whole text.
void ReplaceAt(std::string& text, size_t at, size_t searchSize, std::string_view replacement) {
  text.replace(at, searchSize, replacement);
  UpperInPlace(text, at, replacement.size());
}

// The plain loop: always the last occurrence in the whole text. No
// occurrence can start at or after the end of the text just inserted (the
// part after it held none before), so the search starts there. nullopt when
// it runs past the bounds.
std::optional<std::string> WholeTextLoop(std::string text, std::string_view search,
                                         std::string_view replacement) {
  const size_t startSize = text.size();
  // A shorter replacement shortens the text at every step, a longer one is
  // bounded by the growth allowed. With equal sizes the length never changes:
  // a loop that ends takes far fewer steps than this (a bubbling swap needs
  // at most n*n/4).
  const bool sameSize = replacement.size() == search.size();
  const size_t maxSteps = (startSize + 1) * (startSize + 1);
  size_t steps = 0;
  for (size_t at = text.rfind(search); at != std::string::npos;) {
    ReplaceAt(text, at, search.size(), replacement);
    if (text.size() > startSize + kMaxReplaceGrowth || (sameSize && ++steps > maxSteps))
      return std::nullopt;
    at = text.rfind(search, at + replacement.size() - 1);
  }
  return text;
}

// The backward search goes on before each occurrence replaced; it moves
// towards the start at every step, so it always ends.
std::string BackwardLoop(std::string text, std::string_view search,
                         std::string_view replacement) {
  for (size_t at = text.rfind(search); at != std::string::npos;) {
    ReplaceAt(text, at, search.size(), replacement);
    if (at == 0) break;
    at = text.rfind(search, at - 1);
  }
  return text;
}

}  // namespace

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  UpperInPlace(upper, 0, upper.size());
  return upper;
}

std::string ReplaceUpperCased(std::string_view text, std::string_view search,
                              std::string_view replacement) {
  std::string upper = UpperAscii(text);
  if (search.empty()) return upper;
  if (UpperAscii(replacement).find(search) == std::string::npos) {
    if (std::optional<std::string> done = WholeTextLoop(upper, search, replacement)) return *done;
  }
  return BackwardLoop(std::move(upper), search, replacement);
}

}  // namespace lyricade
