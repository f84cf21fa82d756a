#pragma once
// The library list with "Group Versions" on: each song once, as its
// preferred version, and the song's other versions beneath it while the
// host has it open. Maps the rows shown to the rows of the list's result;
// the result itself is not touched.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "library/search_index.h"
#include "library/song_versions.h"

namespace lyricade {

class DbResult;

class VersionLayout {
public:
  // `songs`: the result's rows (positions) of each song, the preferred
  // first; the songs in the order shown. Every song starts closed.
  explicit VersionLayout(std::vector<std::vector<uint32_t>> songs);

  size_t RowCount() const { return shown_.size(); }
  // The result's row shown at `row`.
  uint32_t ResultRow(size_t row) const { return members_[shown_[row]]; }
  // A song's first row (its preferred version) rather than another version.
  bool IsSong(size_t row) const;
  // The number of versions of the song whose first row is `row` (1 for a
  // song of one version, 0 for another version's row).
  size_t VersionCount(size_t row) const;
  bool IsOpen(size_t row) const;
  // Opens or closes the song whose first row is `row`: its other versions
  // are then the `count` rows after it, shown or gone. False (and nothing
  // changes) for a row that is not a song with several versions.
  bool Toggle(size_t row, size_t& count);

private:
  size_t SongOfMember(uint32_t member) const;

  std::vector<uint32_t> starts_;   // each song's first member; one more at the end
  std::vector<uint32_t> members_;  // result rows, song after song
  std::vector<uint32_t> shown_;    // members shown, in order
  std::vector<bool> open_;
};

// The layout of a result in the list's order: by the index when it knows
// the result's rows (a result of keys), else from the rows' own titles,
// artists and IDs (read here: the caller's worker thread).
std::shared_ptr<const VersionLayout> LayOutVersions(DbResult& result, const SearchIndex* index,
                                                    const MakerPreference& preference);

}  // namespace lyricade
