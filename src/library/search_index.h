#pragma once
// The library search answered from memory. The index holds every Items row's
// searchable texts folded the way the database's LIKE compares them (one
// block per column, rows separated by a byte no folded text contains), and
// the row order of each of the twelve list orders exactly as the database
// returns the whole library in it (each descending order worked out from the
// ascending one the way the database breaks its ties). A search marks the
// matching rows in a bitset column by column, one scan of a column's block
// for all the words (the rows a needle is found in are then tried for the
// others), and walks the chosen order picking the marked rows: the result
// is the ItemNum sequence the search statement gives on the same rows, ties
// included.
//
// The index is a snapshot. It is built off the UI thread from read-only
// connections of its own and never changes afterwards; whoever holds it
// decides whether the file has changed since (see IndexedSearch).

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "library/library_search.h"
#include "library/song_versions.h"

namespace lyricade {

// A time limit for one search. Past the deadline the scan stops and the
// search answers with the rows it has found (a part of the full answer, in
// its order) and says so.
struct SearchBudget {
  std::chrono::steady_clock::time_point Deadline;
  bool CutShort = false;  // set by the search when it stopped early

  bool Spent() {
    if (!CutShort && std::chrono::steady_clock::now() >= Deadline) CutShort = true;
    return CutShort;
  }
};

class SearchIndex {
public:
  // Reads Items from the database file. nullptr when the file cannot be
  // read, when another connection changed it while it was read (the caller
  // tries again later), or when `abort` turns true.
  static std::unique_ptr<SearchIndex> Build(const std::string& databasePath,
                                            const std::atomic<bool>* abort = nullptr);

  // The ItemNum of every row the search statement built from the same
  // arguments returns, in its order. nullopt for word lists the statement
  // would not run with (the caller then runs the statement).
  // With a budget, the scan may stop early (see SearchBudget).
  std::optional<std::vector<int64_t>> Search(const std::vector<std::string>& words,
                                             SearchField field, MatchMode mode,
                                             const SortOrder& order,
                                             SearchBudget* budget = nullptr) const;

  // The songs among `itemNums` (see song_versions.h), in the order of
  // each one's first number there: every version the library holds, the
  // host's preferred first, at most `maxVersions` of each and `maxSongs`
  // songs. Numbers without a row are left out.
  std::vector<std::vector<int64_t>> Songs(const std::vector<int64_t>& itemNums,
                                          const MakerPreference& preference, size_t maxSongs,
                                          size_t maxVersions) const;
  // The preferred version of the song `itemNum` is a version of; 0 when no
  // row has that number.
  int64_t PreferredVersion(int64_t itemNum, const MakerPreference& preference) const;
  // The positions in `itemNums` (a list's rows) of each song, in the order
  // of the song's first position, the host's preferred first; a number
  // without a row is a song of its own.
  std::vector<std::vector<uint32_t>> SongPositions(const std::vector<int64_t>& itemNums,
                                                   const MakerPreference& preference) const;
  // How many versions the song of `itemNum` has (0 for no row).
  size_t VersionCount(int64_t itemNum) const;

  size_t RowCount() const { return itemNums_.size(); }
  // False when no row's SongPath is exactly `path`; true when one may be
  // (the database has the last word). Lets a request for a song the
  // library does not hold be dropped without a query.
  bool MayHoldPath(std::string_view path) const;
  // Bytes held, for the measurements.
  size_t MemoryBytes() const;

private:
  using Bits = std::vector<uint64_t>;
  static constexpr int kColumns = 6;  // SearchField order: Title .. Location
  static constexpr int kLocationColumn = 5;
  // A column's texts. Artists, years and comments repeat from row to row,
  // so those columns hold each text once (an entry) and each row's entry:
  // a search scans the few entries, not every row. Elsewhere each row is
  // an entry of its own.
  struct Column {
    std::string Folded;            // each entry's folded text followed by 0xFF
    std::vector<uint32_t> Starts;  // where each entry's text starts; one more at the end
    std::vector<uint32_t> Entries;  // each row's entry (kNoEntry: null); empty: the row
    Bits Present;                  // rows whose field is not null
    std::array<uint32_t, 256> ByteCounts{};  // how often each byte is met, in a sample
  };
  static constexpr uint32_t kNoEntry = 0xFFFFFFFFu;
  struct Word;
  class EntryTable;

  SearchIndex() = default;
  bool ReadOrders(class DbConnection& connection, const std::atomic<bool>* abort);
  bool PlaceOrders();
  void GroupSongs();
  // The row of an item number, or npos.
  size_t RowOf(int64_t itemNum) const;
  // The rows of one song, the preferred first.
  std::vector<uint32_t> PreferredRows(uint32_t song, const MakerPreference& preference) const;
  static bool ReadOrder(class DbConnection& connection, const SortOrder& order,
                        std::vector<uint32_t>& numbers, std::vector<uint8_t>* runs);
  static void CountBytes(Column& column);
  // The two places in `needle` whose bytes the column holds least often:
  // the scan probes those. Returns the product of their counts, which says
  // how often the two agree by chance.
  static uint64_t RarestTwo(const Column& column, std::string_view needle, size_t& first, size_t& second);
  std::string_view RowText(const Column& column, size_t row) const;
  static std::string_view EntryText(const Column& column, size_t entry);
  // The rows whose entry is marked in `entries`.
  static Bits RowsOfEntries(const Column& column, const Bits& entries);
  // The rows whose text in `column` holds every one of `words` (`all`; the
  // column is scanned for one of them) or any of them (at most
  // kMaxProbedNeedles words, all scanned for at once).
  Bits MatchRows(const Column& column, std::span<const Word> words, bool all, SearchBudget* budget) const;

  std::vector<int64_t> itemNums_;  // ascending; the position is the row number
  std::vector<size_t> pathHashes_;  // every SongPath's hash, sorted
  // Each row's song, and each song's rows (ascending) from songStarts_[s]
  // to songStarts_[s + 1].
  std::vector<uint32_t> songOf_;
  std::vector<uint32_t> songStarts_;
  std::vector<uint32_t> songRows_;
  Column columns_[kColumns];
  // Each order's rows, key * 2 + descending: as ItemNum less the lowest
  // when the numbers are dense enough (byNumber_), else as row numbers.
  std::vector<uint32_t> orders_[12];
  int64_t lowest_ = 0;
  bool byNumber_ = false;
  size_t places_ = 0;
};

}  // namespace lyricade
