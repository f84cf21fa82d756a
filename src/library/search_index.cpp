#include "library/search_index.h"

#include <time.h>

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <span>
#include <thread>

#include "library/library_log.h"
#include "library/row_bits.h"
#include "library/substring_scan.h"
#include "platform/db/db_connection.h"
#include "platform/db/like_function.h"

namespace lyricade {
namespace {

double ThreadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

constexpr char kSeparator = static_cast<char>(0xFF);  // never in a folded text

size_t CharacterLength(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

// A segment's end when it matches at `at` ("_" takes one character), or npos.
size_t SegmentEndAt(std::string_view text, size_t at, std::string_view segment) {
  for (char c : segment) {
    if (at >= text.size()) return std::string_view::npos;
    if (c == '_') {
      at += CharacterLength(static_cast<unsigned char>(text[at]));
    } else {
      if (text[at] != c) return std::string_view::npos;
      ++at;
    }
  }
  return at <= text.size() ? at : std::string_view::npos;
}

// The end of the leftmost match of the segment at or after `from` (a
// character boundary), or npos. Segments have a fixed length in characters,
// so taking the leftmost match of each in turn finds a match when any exists.
size_t FindSegment(std::string_view text, size_t from, std::string_view segment) {
  if (segment.find('_') == std::string_view::npos) {
    // One row's text is short: the library's find beats setting up a scan.
    const size_t found = text.find(segment, from);
    return found == std::string_view::npos ? found : found + segment.size();
  }
  for (size_t at = from; at < text.size();
       at += CharacterLength(static_cast<unsigned char>(text[at]))) {
    const size_t end = SegmentEndAt(text, at, segment);
    if (end != std::string_view::npos) return end;
  }
  return std::string_view::npos;
}

// The row whose text holds byte `at`, looking from row `from` on (whose
// text starts at or before `at`): a few steps for a near row, a doubling
// search for a far one. A hit in every row would cost a whole binary search
// per row from the start.
size_t RowHolding(const std::vector<uint32_t>& starts, size_t from, uint32_t at) {
  if (from + 1 >= starts.size() || starts[from + 1] > at) return from;
  size_t low = from;  // starts[low] <= at
  size_t step = 1;
  size_t high = from + 1;
  while (high < starts.size() && starts[high] <= at) {
    low = high;
    step *= 2;
    high = low + step;
  }
  high = std::min(high, starts.size());
  return static_cast<size_t>(std::upper_bound(starts.begin() + static_cast<std::ptrdiff_t>(low),
                                              starts.begin() + static_cast<std::ptrdiff_t>(high), at) -
                             starts.begin() - 1);
}

}  // namespace

// One search word as "LIKE '%word%'" uses it, folded: the pieces between its
// "%" signs, which must appear in order.
struct SearchIndex::Word {
  std::vector<std::string> Segments;
  std::string Needle;  // the longest run without "%" or "_": every match holds it
  bool Plain = false;  // one segment without "_": holding the needle is matching

  explicit Word(std::string_view text) {
    const std::string folded = FoldForLike(text);
    size_t start = 0;
    for (size_t i = 0; i <= folded.size(); ++i) {
      if (i == folded.size() || folded[i] == '%') {
        if (i > start) Segments.push_back(folded.substr(start, i - start));
        start = i + 1;
      }
    }
    for (const std::string& segment : Segments) {
      size_t runStart = 0;
      for (size_t i = 0; i <= segment.size(); ++i) {
        if (i == segment.size() || segment[i] == '_') {
          if (i - runStart > Needle.size()) Needle = segment.substr(runStart, i - runStart);
          runStart = i + 1;
        }
      }
    }
    Plain = Segments.size() == 1 && Segments[0].find('_') == std::string::npos;
  }

  bool Matches(std::string_view text) const {
    size_t at = 0;
    for (const std::string& segment : Segments) {
      at = FindSegment(text, at, segment);
      if (at == std::string_view::npos) return false;
    }
    return true;
  }
};

// The entries of a column of shared texts by their text, while the index is
// built: open addressing over the entry numbers, the texts compared in the
// column's block (a map of strings cost a tenth of the whole build).
class SearchIndex::EntryTable {
public:
  uint32_t Find(const Column& column, std::string_view text) const {
    if (slots_.empty()) return kNoEntry;
    for (size_t at = Hash(text) & mask_;; at = (at + 1) & mask_) {
      const uint32_t entry = slots_[at];
      if (entry == kNoEntry || EntryText(column, entry) == text) return entry;
    }
  }
  void Add(const Column& column, uint32_t entry) {
    if ((count_ + 1) * 2 > slots_.size()) Grow(column);
    Place(EntryText(column, entry), entry);
    ++count_;
  }

private:
  static size_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }
  void Place(std::string_view text, uint32_t entry) {
    size_t at = Hash(text) & mask_;
    while (slots_[at] != kNoEntry) at = (at + 1) & mask_;
    slots_[at] = entry;
  }
  void Grow(const Column& column) {
    std::vector<uint32_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, kNoEntry);
    mask_ = slots_.size() - 1;
    for (uint32_t entry : old)
      if (entry != kNoEntry) Place(EntryText(column, entry), entry);
  }

  std::vector<uint32_t> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

std::unique_ptr<SearchIndex> SearchIndex::Build(const std::string& databasePath,
                                                const std::atomic<bool>* abort) {
  auto aborted = [abort] { return abort && abort->load(std::memory_order_relaxed); };
  std::unique_ptr<SearchIndex> index(new SearchIndex);

  // The twelve orders are read on a second thread and connection while this
  // one reads the rows; each connection's data version tells whether anyone
  // committed while it read.
  bool ordersRead = false;
  double ordersCpu = 0;
  std::thread orders([&] {
    const double start = ThreadCpuMilliseconds();
    DbConnection connection;
    if (!connection.Open(databasePath, DbAccess::ReadOnly)) return;
    const int64_t version = connection.DataVersion();
    ordersRead = index->ReadOrders(connection, abort) && connection.DataVersion() == version;
    ordersCpu = ThreadCpuMilliseconds() - start;
  });
  const double rowsStart = ThreadCpuMilliseconds();

  bool rowsRead = false;
  bool tooLarge = false;
  // The entries of the columns that hold each text once, by text.
  constexpr bool kShared[kColumns] = {false, true, false, true, true, false};
  EntryTable entryOf[kColumns];
  std::string folded;
  for (int c = 0; c < kColumns; ++c)
    if (kShared[c]) index->columns_[c].Starts.push_back(0);
  DbConnection connection;
  if (connection.Open(databasePath, DbAccess::ReadOnly)) {
    // Pages come through a memory map: no read call and no copy per page.
    connection.Execute("PRAGMA mmap_size = 1073741824;");
    const int64_t version = connection.DataVersion();
    rowsRead = connection.Query(
        "SELECT ItemNum, Title, Artist, ID, Year1, Comments1, SongPath FROM Items ORDER BY "
        "ItemNum;",
        [&](const DbRow& row) {
          const size_t number = index->itemNums_.size();
          if ((number & 0xFFFF) == 0 && aborted()) return false;
          index->itemNums_.push_back(row.Integer(0));
          for (int c = 0; c < kColumns; ++c) {
            Column& column = index->columns_[c];
            if ((number & 63) == 0) column.Present.push_back(0);
            const std::optional<std::string_view> text = row.Text(c + 1);
            if (kShared[c]) {
              uint32_t entry = kNoEntry;
              if (text) {
                SetRow(column.Present, number);
                folded.clear();
                AppendFoldedForLike(*text, folded);
                entry = entryOf[c].Find(column, folded);
                if (entry == kNoEntry) {
                  // Starts ends with the next entry's start all along, so
                  // every entry's text can be compared while rows come in.
                  entry = static_cast<uint32_t>(column.Starts.size() - 1);
                  column.Folded += folded;
                  column.Folded += kSeparator;
                  column.Starts.push_back(static_cast<uint32_t>(column.Folded.size()));
                  entryOf[c].Add(column, entry);
                  if (column.Folded.size() >= std::numeric_limits<uint32_t>::max()) tooLarge = true;
                }
              }
              column.Entries.push_back(entry);
              continue;
            }
            column.Starts.push_back(static_cast<uint32_t>(column.Folded.size()));
            if (text) {
              SetRow(column.Present, number);
              AppendFoldedForLike(*text, column.Folded);
              if (c == kLocationColumn) index->pathHashes_.push_back(std::hash<std::string_view>{}(*text));
            }
            column.Folded += kSeparator;
            if (column.Folded.size() >= std::numeric_limits<uint32_t>::max()) tooLarge = true;
          }
          return !tooLarge;
        });
    rowsRead = rowsRead && !aborted() && connection.DataVersion() == version;
  }
  std::sort(index->pathHashes_.begin(), index->pathHashes_.end());
  const double rowsCpu = ThreadCpuMilliseconds() - rowsStart;
  orders.join();
  qCDebug(lcLibrary, "index of %s: rows %.0f ms, orders %.0f ms of processor time",
          databasePath.c_str(), rowsCpu, ordersCpu);
  if (tooLarge) qCWarning(lcLibrary, "the library %s is too large to index", databasePath.c_str());
  if (!rowsRead || !ordersRead || tooLarge || aborted()) return nullptr;
  // Growing by doubling leaves up to half of each block unused: the index
  // lives as long as the program, so give that back.
  for (int c = 0; c < kColumns; ++c) {
    Column& column = index->columns_[c];
    if (!kShared[c]) column.Starts.push_back(static_cast<uint32_t>(column.Folded.size()));
    column.Folded.shrink_to_fit();
    column.Starts.shrink_to_fit();
    column.Entries.shrink_to_fit();
    CountBytes(column);
  }
  for (auto& entries : entryOf) entries = {};
  index->itemNums_.shrink_to_fit();
  index->GroupSongs();
  // Both threads may have read different states of a file changed between
  // their reads: then the orders do not name the rows read.
  if (!index->PlaceOrders()) {
    qCInfo(lcLibrary, "the library %s changed while it was indexed", databasePath.c_str());
    return nullptr;
  }
  return index;
}

void SearchIndex::CountBytes(Column& column) {
  // One byte in every 61 is plenty to tell rare letters from common ones.
  column.ByteCounts.fill(0);
  const std::string& block = column.Folded;
  for (size_t i = 0; i < block.size(); i += 61) ++column.ByteCounts[static_cast<unsigned char>(block[i])];
}

uint64_t SearchIndex::RarestTwo(const Column& column, std::string_view needle, size_t& first,
                                size_t& second) {
  auto count = [&](size_t k) { return column.ByteCounts[static_cast<unsigned char>(needle[k])]; };
  first = 0;
  for (size_t k = 1; k < needle.size(); ++k)
    if (count(k) < count(first)) first = k;
  second = first == 0 ? needle.size() - 1 : 0;
  for (size_t k = 0; k < needle.size(); ++k)
    if (k != first && count(k) < count(second)) second = k;
  if (needle.size() < 2) second = first;
  return uint64_t{count(first)} * count(second);
}

std::string_view SearchIndex::EntryText(const Column& column, size_t entry) {
  const uint32_t start = column.Starts[entry];
  return std::string_view(column.Folded).substr(start, column.Starts[entry + 1] - 1 - start);
}

std::string_view SearchIndex::RowText(const Column& column, size_t row) const {
  if (column.Entries.empty()) return EntryText(column, row);
  const uint32_t entry = column.Entries[row];
  return entry == kNoEntry ? std::string_view() : EntryText(column, entry);
}

SearchIndex::Bits SearchIndex::RowsOfEntries(const Column& column, const Bits& entries) {
  Bits rows(column.Present.size(), 0);
  // Most searches match no year and no comment: then no pass over the rows.
  if (std::none_of(entries.begin(), entries.end(), [](uint64_t bits) { return bits != 0; })) return rows;
  for (size_t row = 0; row < column.Entries.size(); ++row) {
    const uint32_t entry = column.Entries[row];
    if (entry != kNoEntry && TestRow(entries, entry)) SetRow(rows, row);
  }
  return rows;
}

SearchIndex::Bits SearchIndex::MatchRows(const Column& column, std::span<const Word> words, bool all,
                                         SearchBudget* budget) const {
  // The needles scanned for: when every word must match, the one word's
  // whose two probed bytes the column holds least often together; when any
  // may, each word's. A word without one ("%%", or only "_"s) can match
  // anywhere: then every row is tried (unless another word must match too).
  std::vector<ProbedNeedle> needles;
  size_t lead = 0;  // the scanned word, when every word must match
  uint64_t leadScore = std::numeric_limits<uint64_t>::max();
  for (size_t w = 0; w < words.size(); ++w) {
    if (words[w].Needle.empty()) {
      if (all) continue;
      needles.clear();
      break;
    }
    ProbedNeedle needle;
    needle.Bytes = words[w].Needle;
    const uint64_t score = RarestTwo(column, needle.Bytes, needle.First, needle.Second);
    if (!all) {
      needles.push_back(needle);
    } else if (score < leadScore) {
      leadScore = score;
      lead = w;
      needles.assign(1, needle);
    }
  }
  // A row's text against the words; `hit` is the word whose needle was
  // found in it, or npos.
  // A plain word whose needle was found matches without a second look.
  auto rowMatches = [&](std::string_view text, size_t hit) {
    const bool hitMatches = hit != std::string_view::npos && words[hit].Plain;
    if (hitMatches && (!all || words.size() == 1)) return true;
    if (!all) return std::any_of(words.begin(), words.end(), [&](const Word& w) { return w.Matches(text); });
    for (size_t w = 0; w < words.size(); ++w)
      if (!(hitMatches && w == hit) && !words[w].Matches(text)) return false;
    return true;
  };

  // Entries are matched first; a column of shared entries then marks the
  // rows of the matched ones.
  const bool shared = !column.Entries.empty();
  const size_t entries = column.Starts.size() - 1;
  Bits found((entries + 63) / 64, 0);
  if (needles.empty()) {
    if (shared) {
      for (size_t entry = 0; entry < entries; ++entry) {
        if (budget && entry % 4096 == 0 && budget->Spent()) break;
        if (rowMatches(EntryText(column, entry), std::string_view::npos)) SetRow(found, entry);
      }
      return RowsOfEntries(column, found);
    }
    for (size_t i = 0; i < column.Present.size(); ++i) {
      // The clock is read once per 4,096 rows: a row's match costs far less.
      if (budget && i % 64 == 0 && budget->Spent()) break;
      for (uint64_t bits = column.Present[i]; bits; bits &= bits - 1) {
        const size_t row = i * 64 + static_cast<size_t>(std::countr_zero(bits));
        if (rowMatches(EntryText(column, row), std::string_view::npos)) SetRow(found, row);
      }
    }
    return found;
  }
  // Scan the block for the needles; each hit names its row, whose text (in
  // the cache now) is tried and whose rest is then skipped. Hits come in row
  // order, so each row is found from the one before.
  const std::string_view block = column.Folded;
  size_t at = 0;
  size_t hits = 0;
  size_t row = 0;
  size_t which = 0;
  while ((at = FindAnyBytes(block, needles, at, which)) != std::string_view::npos) {
    if (budget && ++hits % 1024 == 0 && budget->Spent()) break;
    row = RowHolding(column.Starts, row, static_cast<uint32_t>(at));
    if (rowMatches(EntryText(column, row), all ? lead : which)) SetRow(found, row);
    at = column.Starts[row + 1];
  }
  return shared ? RowsOfEntries(column, found) : found;
}

std::optional<std::vector<int64_t>> SearchIndex::Search(const std::vector<std::string>& words,
                                                        SearchField field, MatchMode mode,
                                                        const SortOrder& order,
                                                        SearchBudget* budget) const {
  // Texts the statement cannot carry: an apostrophe ends its quoted word, a
  // zero byte ends the statement, and several words whose first is empty
  // start the condition with a joiner. The statement decides those.
  for (const std::string& word : words)
    if (word.find('\'') != std::string::npos || word.find('\0') != std::string::npos)
      return std::nullopt;
  if (words.size() > 1 && words.front().empty()) return std::nullopt;

  std::vector<Word> parsed;
  if (words.size() <= 1) {
    parsed.emplace_back(words.empty() ? std::string_view() : std::string_view(words.front()));
  } else {
    for (const std::string& word : words)
      if (!word.empty()) parsed.emplace_back(word);
  }
  if (mode == MatchMode::All) {
    // Every word in one column, in any order: the column is scanned for one
    // word and each row it is found in is checked for the others; the
    // longest words are checked first.
    std::stable_sort(parsed.begin(), parsed.end(), [](const Word& a, const Word& b) {
      return a.Needle.size() > b.Needle.size();
    });
  }
  std::vector<int> columns;
  if (field == SearchField::AllFields)
    columns = {0, 1, 2, 3, 4};
  else
    columns = {static_cast<int>(field)};

  const size_t bitWords = (itemNums_.size() + 63) / 64;
  Bits hit(bitWords, 0);
  for (int c : columns) {
    const Column& column = columns_[c];
    Bits matched;
    if (mode == MatchMode::All) {
      matched = MatchRows(column, parsed, true, budget);
    } else {
      // A few words' needles at a time in one scan.
      matched.assign(bitWords, 0);
      for (size_t begin = 0; begin < parsed.size(); begin += kMaxProbedNeedles) {
        const size_t count = std::min(kMaxProbedNeedles, parsed.size() - begin);
        const Bits some = MatchRows(column, std::span<const Word>(parsed).subspan(begin, count), false, budget);
        for (size_t i = 0; i < bitWords; ++i) matched[i] |= some[i];
      }
    }
    for (size_t i = 0; i < bitWords; ++i) hit[i] |= matched[i];
  }

  std::vector<int64_t> result;
  const std::vector<uint32_t>& placesInOrder =
      orders_[static_cast<int>(order.Key) * 2 + (order.Descending ? 1 : 0)];
  result.reserve(CountRows(hit));
  if (byNumber_) {
    // Rows and numbers ascend together, so this pass writes in order.
    Bits numbers((places_ + 63) / 64, 0);
    for (size_t i = 0; i < hit.size(); ++i) {
      for (uint64_t bits = hit[i]; bits; bits &= bits - 1) {
        const size_t row = i * 64 + static_cast<size_t>(std::countr_zero(bits));
        SetRow(numbers, static_cast<size_t>(itemNums_[row] - lowest_));
      }
    }
    for (uint32_t place : placesInOrder)
      if (TestRow(numbers, place)) result.push_back(lowest_ + place);
  } else {
    for (uint32_t row : placesInOrder)
      if (TestRow(hit, row)) result.push_back(itemNums_[row]);
  }
  return result;
}

void SearchIndex::GroupSongs() {
  const size_t rows = itemNums_.size();
  // Rows sorted by their key's hash; only rows of equal hashes compare keys.
  std::vector<std::pair<uint64_t, uint32_t>> hashed(rows);
  std::string key;
  auto keyOf = [&](size_t row, std::string& out) {
    out.clear();
    AppendSongKeyPart(RowText(columns_[0], row), out);
    out += '\x1F';
    AppendSongKeyPart(RowText(columns_[1], row), out);
  };
  for (size_t row = 0; row < rows; ++row) {
    keyOf(row, key);
    // Rows without title and artist are songs of their own: their hash is
    // made unique by the row.
    const uint64_t hash = key.size() == 1 ? row : std::hash<std::string>{}(key) | (uint64_t{1} << 63);
    hashed[row] = {hash, static_cast<uint32_t>(row)};
  }
  std::sort(hashed.begin(), hashed.end());
  // A song is numbered by its first row, so a song's rows ascend in the
  // list built below.
  constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  std::vector<uint32_t> leader(rows, kNone);  // each row's song's first row
  std::string other;
  for (size_t start = 0; start < rows;) {
    size_t end = start + 1;
    while (end < rows && hashed[end].first == hashed[start].first) ++end;
    if (end - start == 1) {
      leader[hashed[start].second] = hashed[start].second;
    } else {
      for (size_t i = start; i < end; ++i) {
        const uint32_t row = hashed[i].second;
        if (leader[row] != kNone) continue;
        leader[row] = row;
        keyOf(row, key);
        for (size_t j = i + 1; j < end; ++j) {
          const uint32_t next = hashed[j].second;
          if (leader[next] != kNone) continue;
          keyOf(next, other);
          if (other == key) leader[next] = row;
        }
      }
    }
    start = end;
  }
  hashed = {};
  songOf_.assign(rows, 0);
  std::vector<uint32_t> sizes;
  uint32_t songs = 0;
  for (size_t row = 0; row < rows; ++row) {
    if (leader[row] == row) {
      songOf_[row] = songs++;
      sizes.push_back(0);
    } else {
      songOf_[row] = songOf_[leader[row]];
    }
    ++sizes[songOf_[row]];
  }
  leader = {};
  songStarts_.assign(static_cast<size_t>(songs) + 1, 0);
  for (uint32_t s = 0; s < songs; ++s) songStarts_[s + 1] = songStarts_[s] + sizes[s];
  songRows_.assign(rows, 0);
  std::vector<uint32_t>& filled = sizes;
  std::fill(filled.begin(), filled.end(), 0);
  for (size_t row = 0; row < rows; ++row) {
    const uint32_t song = songOf_[row];
    songRows_[songStarts_[song] + filled[song]++] = static_cast<uint32_t>(row);
  }
}

size_t SearchIndex::RowOf(int64_t itemNum) const {
  const auto it = std::lower_bound(itemNums_.begin(), itemNums_.end(), itemNum);
  if (it == itemNums_.end() || *it != itemNum) return std::string::npos;
  return static_cast<size_t>(it - itemNums_.begin());
}

std::vector<uint32_t> SearchIndex::PreferredRows(uint32_t song, const MakerPreference& preference) const {
  const uint32_t* first = songRows_.data() + songStarts_[song];
  const uint32_t* last = songRows_.data() + songStarts_[song + 1];
  std::vector<std::string_view> ids;
  ids.reserve(static_cast<size_t>(last - first));
  for (const uint32_t* row = first; row != last; ++row) ids.push_back(RowText(columns_[2], *row));
  std::vector<uint32_t> rows;
  rows.reserve(ids.size());
  for (size_t at : PreferenceOrder(ids, preference)) rows.push_back(first[at]);
  return rows;
}

std::vector<std::vector<int64_t>> SearchIndex::Songs(const std::vector<int64_t>& itemNums,
                                                     const MakerPreference& preference, size_t maxSongs,
                                                     size_t maxVersions) const {
  std::vector<std::vector<int64_t>> songs;
  std::vector<uint32_t> seen;  // few songs: a short list beats a set
  for (int64_t itemNum : itemNums) {
    if (songs.size() >= maxSongs) break;
    const size_t row = RowOf(itemNum);
    if (row == std::string::npos) continue;
    const uint32_t song = songOf_[row];
    if (std::find(seen.begin(), seen.end(), song) != seen.end()) continue;
    seen.push_back(song);
    std::vector<int64_t>& versions = songs.emplace_back();
    for (uint32_t version : PreferredRows(song, preference)) {
      if (versions.size() >= maxVersions) break;
      versions.push_back(itemNums_[version]);
    }
  }
  return songs;
}

std::vector<std::vector<uint32_t>> SearchIndex::SongPositions(const std::vector<int64_t>& itemNums,
                                                              const MakerPreference& preference) const {
  constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  std::vector<uint32_t> placeOfSong(songStarts_.empty() ? 0 : songStarts_.size() - 1, kNone);
  std::vector<std::vector<uint32_t>> songs;
  std::vector<uint32_t> rowAt(itemNums.size(), kNone);
  for (size_t at = 0; at < itemNums.size(); ++at) {
    const size_t row = RowOf(itemNums[at]);
    if (row == std::string::npos) {
      songs.push_back({static_cast<uint32_t>(at)});
      continue;
    }
    rowAt[at] = static_cast<uint32_t>(row);
    uint32_t& place = placeOfSong[songOf_[row]];
    if (place == kNone) {
      place = static_cast<uint32_t>(songs.size());
      songs.emplace_back();
    }
    songs[place].push_back(static_cast<uint32_t>(at));
  }
  std::vector<std::string_view> ids;
  for (std::vector<uint32_t>& song : songs) {
    if (song.size() < 2) continue;
    ids.clear();
    for (uint32_t at : song) ids.push_back(RowText(columns_[2], rowAt[at]));
    std::vector<uint32_t> ordered;
    ordered.reserve(song.size());
    for (size_t i : PreferenceOrder(ids, preference)) ordered.push_back(song[i]);
    song = std::move(ordered);
  }
  return songs;
}

int64_t SearchIndex::PreferredVersion(int64_t itemNum, const MakerPreference& preference) const {
  const size_t row = RowOf(itemNum);
  if (row == std::string::npos) return 0;
  return itemNums_[PreferredRows(songOf_[row], preference).front()];
}

size_t SearchIndex::VersionCount(int64_t itemNum) const {
  const size_t row = RowOf(itemNum);
  if (row == std::string::npos) return 0;
  return songStarts_[songOf_[row] + 1] - songStarts_[songOf_[row]];
}

bool SearchIndex::MayHoldPath(std::string_view path) const {
  return std::binary_search(pathHashes_.begin(), pathHashes_.end(), std::hash<std::string_view>{}(path));
}

size_t SearchIndex::MemoryBytes() const {
  size_t bytes = itemNums_.capacity() * sizeof(int64_t) + pathHashes_.capacity() * sizeof(size_t);
  for (const Column& column : columns_)
    bytes += column.Folded.capacity() + (column.Starts.capacity() + column.Entries.capacity()) * sizeof(uint32_t) +
             column.Present.capacity() * sizeof(uint64_t);
  for (const std::vector<uint32_t>& order : orders_) bytes += order.capacity() * sizeof(uint32_t);
  bytes += (songOf_.capacity() + songStarts_.capacity() + songRows_.capacity()) * sizeof(uint32_t);
  return bytes;
}

}  // namespace lyricade
