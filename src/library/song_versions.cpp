#include "library/song_versions.h"

#include <algorithm>
#include <unordered_map>

#include "platform/db/like_function.h"

namespace lyricade {

void AppendSongKeyPart(std::string_view folded, std::string& out) {
  auto blank = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 32 || byte == 127;
  };
  size_t first = 0;
  size_t last = folded.size();
  while (first < last && blank(folded[first])) ++first;
  while (last > first && blank(folded[last - 1])) --last;
  for (size_t i = first; i < last; ++i) out += blank(folded[i]) ? ' ' : folded[i];
}

std::string SongKey(std::string_view title, std::string_view artist) {
  std::string key;
  AppendSongKeyPart(FoldForLike(title), key);
  const size_t titleEnd = key.size();
  key += '\x1F';
  AppendSongKeyPart(FoldForLike(artist), key);
  if (titleEnd == 0 && key.size() == 1) key.clear();
  return key;
}

std::string MakerOf(std::string_view id) {
  std::string maker;
  size_t at = 0;
  while (at < id.size() && (id[at] == ' ' || id[at] == '\t')) ++at;
  for (; at < id.size() && maker.size() < kMaxMakerLetters; ++at) {
    const char c = id[at];
    if (c >= 'a' && c <= 'z')
      maker += static_cast<char>(c - 32);
    else if (c >= 'A' && c <= 'Z')
      maker += c;
    else
      break;
  }
  return maker;
}

MakerPreference MakerPreference::Parse(std::string_view text) {
  MakerPreference preference;
  size_t at = 0;
  while (at < text.size() && preference.makers_.size() < kMaxMakers) {
    const size_t end = text.find_first_of(", ;\t", at);
    const std::string_view piece = text.substr(at, end == std::string_view::npos ? end : end - at);
    std::string maker = MakerOf(piece);
    if (!maker.empty() && std::find(preference.makers_.begin(), preference.makers_.end(), maker) ==
                              preference.makers_.end())
      preference.makers_.push_back(std::move(maker));
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return preference;
}

std::string MakerPreference::Text() const {
  std::string text;
  for (const std::string& maker : makers_) {
    if (!text.empty()) text += ", ";
    text += maker;
  }
  return text;
}

size_t MakerPreference::Rank(std::string_view maker) const {
  if (maker.empty()) return makers_.size();
  const auto found = std::find(makers_.begin(), makers_.end(), maker);
  return static_cast<size_t>(found - makers_.begin());
}

std::vector<size_t> PreferenceOrder(const std::vector<std::string_view>& ids,
                                    const MakerPreference& preference) {
  std::vector<std::pair<size_t, size_t>> ranked;  // rank, position
  ranked.reserve(ids.size());
  for (size_t i = 0; i < ids.size(); ++i) ranked.emplace_back(preference.Rank(MakerOf(ids[i])), i);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<size_t> order;
  order.reserve(ranked.size());
  for (const auto& entry : ranked) order.push_back(entry.second);
  return order;
}

std::vector<std::vector<size_t>> GroupByKey(const std::vector<std::string>& keys) {
  std::vector<std::vector<size_t>> songs;
  std::unordered_map<std::string_view, size_t> songOfKey;
  songOfKey.reserve(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].empty()) {
      songs.push_back({i});
      continue;
    }
    const auto [found, added] = songOfKey.try_emplace(keys[i], songs.size());
    if (added) songs.emplace_back();
    songs[found->second].push_back(i);
  }
  return songs;
}

}  // namespace lyricade
