#include "screen/ticker_text.h"

#include <cstring>

namespace lyricade {
namespace {

// Characters, not bytes: names may hold any UTF-8 text.
size_t Utf8Length(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

std::string NextSingersText(const std::vector<TickerSinger>& singers, int current, int maximum,
                            bool includeEmpty, bool withWaits) {
  std::string text = kTickerHeading;
  const int count = static_cast<int>(singers.size());
  if (count == 0) return text;
  const bool valid = current >= 0 && current < count;
  int listed = 0;
  auto list = [&](const TickerSinger& singer) {
    ++listed;
    if (!withWaits) {
      text += std::to_string(listed) + ". " + singer.Name + "   ";
      return;
    }
    if (listed > 1) text += ", ";
    text += singer.Name;
    if (!singer.Wait.empty()) text += " (" + singer.Wait + ")";
  };
  // One full cycle: from the singer after the current one round to the
  // current one itself.
  for (int step = 1; step <= count && listed < maximum; ++step) {
    const int position = valid ? (current + step) % count : step - 1;
    const TickerSinger& singer = singers[static_cast<size_t>(position)];
    if (position == current) {
      if (singer.Songs >= 2) list(singer);
      break;
    }
    if (singer.SittingOut || (singer.Songs == 0 && !includeEmpty)) continue;
    list(singer);
  }
  return text;
}

bool TickerTextNamesSingers(const std::string& text) {
  return Utf8Length(text) > std::strlen(kTickerHeading);
}

}  // namespace lyricade
