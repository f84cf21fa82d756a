#include "lyrics/lrc_lyrics.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <optional>

namespace lyricade {
namespace {

bool Digits(std::string_view text, size_t from, size_t count) {
  if (from + count > text.size()) return false;
  for (size_t i = from; i < from + count; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// "mm:ss", "mm:ss.xx" or "mm:ss.xxx" (":" also taken before the fraction)
// to milliseconds; nullopt for anything else.
std::optional<int64_t> TimeOf(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 4 || !Digits(text, 0, colon))
    return std::nullopt;
  if (!Digits(text, colon + 1, 2)) return std::nullopt;
  int64_t minutes = 0, seconds = 0;
  std::from_chars(text.data(), text.data() + colon, minutes);
  std::from_chars(text.data() + colon + 1, text.data() + colon + 3, seconds);
  if (seconds > 59) return std::nullopt;
  int64_t ms = (minutes * 60 + seconds) * 1000;
  const size_t rest = colon + 3;
  if (rest == text.size()) return ms;
  if (text[rest] != '.' && text[rest] != ':') return std::nullopt;
  const size_t digits = text.size() - rest - 1;
  if ((digits != 2 && digits != 3) || !Digits(text, rest + 1, digits)) return std::nullopt;
  int64_t fraction = 0;
  std::from_chars(text.data() + rest + 1, text.data() + text.size(), fraction);
  return ms + (digits == 2 ? fraction * 10 : fraction);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// A line's text after its leading time tags, cut into syllables at word
// times ("<00:12.50>" or "[00:12.50]"); the first syllable starts at `start`.
std::vector<LyricSyllable> Syllables(std::string_view text, int64_t start) {
  std::vector<LyricSyllable> syllables;
  int64_t at = start;
  std::string pending;
  const auto flush = [&] {
    std::string clean = CleanLyricText(pending);
    if (!clean.empty()) syllables.push_back({at, std::move(clean)});
    pending.clear();
  };
  for (size_t i = 0; i < text.size();) {
    const char open = text[i];
    if (open == '<' || open == '[') {
      const size_t close = text.find(open == '<' ? '>' : ']', i);
      if (close != std::string_view::npos) {
        if (std::optional<int64_t> time = TimeOf(text.substr(i + 1, close - i - 1))) {
          flush();
          at = *time;
          i = close + 1;
          continue;
        }
      }
    }
    pending += text[i++];
  }
  flush();
  return syllables;
}

}  // namespace

TimedLyrics ReadLrcLyrics(std::string_view text) {
  TimedLyrics lyrics;
  if (text.size() > kLrcFileBytesMax) return lyrics;
  // Editors on Windows start the file with a byte order mark.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int64_t offset = 0;
  struct Timed {
    int64_t At;
    std::vector<LyricSyllable> Syllables;
  };
  std::vector<Timed> lines;
  for (size_t from = 0; from < text.size();) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(from, end - from);
    from = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    // The time tags at the line's start (several for a repeated line), or
    // one information tag.
    std::vector<int64_t> times;
    while (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) break;
      const std::string_view tag = line.substr(1, close - 1);
      if (std::optional<int64_t> time = TimeOf(tag)) {
        times.push_back(*time);
        line.remove_prefix(close + 1);
        continue;
      }
      if (times.empty()) {
        const size_t colon = tag.find(':');
        const std::string name(tag.substr(0, std::min(colon, tag.size())));
        const std::string_view value = colon == std::string_view::npos ? "" : Trim(tag.substr(colon + 1));
        if (name == "offset") {
          int64_t parsed = 0;
          const std::string_view number = !value.empty() && value[0] == '+' ? value.substr(1) : value;
          const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
          if (error == std::errc() && end == number.data() + number.size() && !number.empty() &&
              parsed > -3'600'000 && parsed < 3'600'000)
            offset = parsed;
        } else if (name == "ti") {
          lyrics.Title = CleanLyricText(value);
        } else if (name == "ar") {
          lyrics.Artist = CleanLyricText(value);
        }
      }
      break;
    }
    for (int64_t at : times) {
      if (lines.size() >= kLyricLinesMax) break;
      lines.push_back({at, Syllables(line, at)});
    }
  }
  std::stable_sort(lines.begin(), lines.end(), [](const Timed& a, const Timed& b) { return a.At < b.At; });
  for (Timed& timed : lines) {
    if (timed.Syllables.empty()) continue;  // a time that only clears the screen
    LyricLine line;
    line.StartMs = std::max<int64_t>(0, timed.At - offset);
    line.NewPage = lyrics.Lines.empty();
    for (LyricSyllable& syllable : timed.Syllables) {
      syllable.StartMs = std::max<int64_t>(0, syllable.StartMs - offset);
      line.Syllables.push_back(std::move(syllable));
    }
    lyrics.Lines.push_back(std::move(line));
  }
  return lyrics;
}

TimedLyrics ReadLrcLyricsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text(kLrcFileBytesMax + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return ReadLrcLyrics(text);
}

}  // namespace lyricade
