#include "lyrics/timed_lyrics.h"

#include <algorithm>

namespace lyricade {

std::string LyricLine::Text() const {
  std::string text;
  for (const LyricSyllable& syllable : Syllables) text += syllable.Text;
  return text;
}

namespace {

// The length of the UTF-8 sequence at `at`, or 0 when it is not one.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || at + length > text.size() || (length == 2 && lead < 0xC2)) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}

bool IsUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8Length(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace

std::string CleanLyricText(std::string_view text) {
  std::string clean;
  const bool utf8 = IsUtf8(text);
  for (size_t at = 0; at < text.size() && clean.size() < kLyricTextBytesMax;) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (utf8) {
      const size_t length = Utf8Length(text, at);
      if (lead >= 0x20 && lead != 0x7F) clean.append(text.substr(at, length));
      at += length;
      continue;
    }
    if (lead >= 0xA0) {
      clean += static_cast<char>(0xC0 | (lead >> 6));
      clean += static_cast<char>(0x80 | (lead & 0x3F));
    } else if (lead >= 0x20 && lead < 0x7F) {
      clean += static_cast<char>(lead);
    }
    ++at;
  }
  return clean;
}

LyricPage PageAt(const TimedLyrics& lyrics, int64_t positionMs, size_t linesPerPage) {
  const std::vector<LyricLine>& lines = lyrics.Lines;
  if (lines.empty() || linesPerPage == 0) return {};
  // The current line is the last one already started (the first before any).
  size_t current = 0;
  while (current + 1 < lines.size() && lines[current + 1].StartMs <= positionMs) ++current;
  // Pages start at their breaks and, when longer than the screen takes, every
  // `linesPerPage` lines after.
  LyricPage page;
  for (size_t line = 0; line < lines.size(); ++line) {
    const bool starts = line == 0 || lines[line].NewPage || line - page.First >= linesPerPage;
    if (starts) {
      if (line > current) break;
      page.First = line;
    }
    page.End = line + 1;
  }
  return page;
}

}  // namespace lyricade
