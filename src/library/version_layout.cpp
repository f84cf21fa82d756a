#include "library/version_layout.h"

#include <algorithm>
#include <string>

#include "platform/db/db_result.h"

namespace lyricade {

VersionLayout::VersionLayout(std::vector<std::vector<uint32_t>> songs) {
  starts_.reserve(songs.size() + 1);
  shown_.reserve(songs.size());
  for (std::vector<uint32_t>& song : songs) {
    if (song.empty()) continue;
    starts_.push_back(static_cast<uint32_t>(members_.size()));
    shown_.push_back(static_cast<uint32_t>(members_.size()));
    members_.insert(members_.end(), song.begin(), song.end());
    song = {};
  }
  starts_.push_back(static_cast<uint32_t>(members_.size()));
  open_.assign(starts_.size() - 1, false);
}

size_t VersionLayout::SongOfMember(uint32_t member) const {
  return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), member) - starts_.begin() - 1);
}

bool VersionLayout::IsSong(size_t row) const {
  if (row >= shown_.size()) return false;
  return starts_[SongOfMember(shown_[row])] == shown_[row];
}

size_t VersionLayout::VersionCount(size_t row) const {
  if (!IsSong(row)) return 0;
  const size_t song = SongOfMember(shown_[row]);
  return starts_[song + 1] - starts_[song];
}

bool VersionLayout::IsOpen(size_t row) const {
  return IsSong(row) && open_[SongOfMember(shown_[row])];
}

bool VersionLayout::Toggle(size_t row, size_t& count) {
  if (VersionCount(row) < 2) return false;
  const size_t song = SongOfMember(shown_[row]);
  count = starts_[song + 1] - starts_[song] - 1;
  const auto after = shown_.begin() + static_cast<std::ptrdiff_t>(row) + 1;
  if (open_[song]) {
    shown_.erase(after, after + static_cast<std::ptrdiff_t>(count));
  } else {
    std::vector<uint32_t> others;
    for (uint32_t member = starts_[song] + 1; member < starts_[song + 1]; ++member) others.push_back(member);
    shown_.insert(after, others.begin(), others.end());
  }
  open_[song] = !open_[song];
  return true;
}

std::shared_ptr<const VersionLayout> LayOutVersions(DbResult& result, const SearchIndex* index,
                                                    const MakerPreference& preference) {
  const long rows = result.IsOpen() ? result.RecordCount() : 0;
  std::vector<std::vector<uint32_t>> songs;
  if (index && result.IsKeyed() && static_cast<long>(result.Keys().size()) == rows) {
    songs = index->SongPositions(result.Keys(), preference);
  } else {
    std::vector<std::string> keys;
    std::vector<std::string> ids;
    keys.reserve(static_cast<size_t>(rows));
    ids.reserve(static_cast<size_t>(rows));
    const int title = result.FieldIndex("Title"), artist = result.FieldIndex("Artist"), id = result.FieldIndex("ID");
    for (long row = 0; row < rows && result.MoveTo(row); ++row) {
      keys.push_back(SongKey(result.Text(title).value_or(""), result.Text(artist).value_or("")));
      ids.push_back(result.Text(id).value_or(""));
    }
    for (const std::vector<size_t>& members : GroupByKey(keys)) {
      std::vector<std::string_view> memberIds;
      for (size_t member : members) memberIds.push_back(ids[member]);
      std::vector<uint32_t>& song = songs.emplace_back();
      for (size_t at : PreferenceOrder(memberIds, preference)) song.push_back(static_cast<uint32_t>(members[at]));
    }
  }
  return std::make_shared<const VersionLayout>(std::move(songs));
}

}  // namespace lyricade
