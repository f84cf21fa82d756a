#include "library/search_index.h"

// The twelve list orders of the index, read from the database the way its
// statements sort, and placed as the rows the index holds.

#include <algorithm>
#include <limits>

#include "library/library_log.h"
#include "library/row_bits.h"
#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

// The columns each order sorts by, as the whole-library statements name them.
struct OrderColumns {
  const char* First;
  const char* Second;  // nullptr: one column
  bool FirstNoCase;
};
constexpr OrderColumns kOrderColumns[] = {
    {"TITLE", "ARTIST", true}, {"ARTIST", "TITLE", true},    {"ID", "TITLE", true},
    {"YEAR1", "TITLE", true},  {"Comments1", nullptr, true}, {"SONGPATH", nullptr, false}};

// Whether two sort values are equal as ORDER BY sees them: both null, or
// texts equal byte for byte, or (NOCASE columns) equal but for the case of
// A to Z.
struct SortValue {
  bool Null = true;
  std::string Text;  // reused from row to row
};

bool SameSortValue(const std::optional<std::string_view>& a, const SortValue& b, bool noCase) {
  if (!a || b.Null) return !a && b.Null;
  if (a->size() != b.Text.size()) return false;
  if (!noCase) return *a == b.Text;
  for (size_t i = 0; i < a->size(); ++i) {
    unsigned char x = static_cast<unsigned char>((*a)[i]);
    unsigned char y = static_cast<unsigned char>(b.Text[i]);
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool SearchIndex::ReadOrder(DbConnection& connection, const SortOrder& order,
                            std::vector<uint32_t>& numbers, std::vector<uint8_t>* runs) {
  // The form the list's result uses to read its keys, so the database plans
  // and breaks ties the same way as for a search statement.
  std::string whole = WholeLibraryStatement(order);
  whole.pop_back();  // the ";"
  const OrderColumns& columns = kOrderColumns[static_cast<int>(order.Key)];
  std::string select = "SELECT ItemNum";
  if (runs) {
    select += std::string(", ") + columns.First;
    if (columns.Second) select += std::string(", ") + columns.Second;
  }
  bool usable = true;
  SortValue previous[2];
  auto query = [&](const DbRow& row) {
    const int64_t number = row.Integer(0);
    if (number < 0 || number > std::numeric_limits<uint32_t>::max()) {
      qCInfo(lcLibrary, "item numbers beyond 32 bits: the library is searched by statement");
      return usable = false;
    }
    if (runs) {
      // 1: same first value as the row before; 2: both values the same.
      uint8_t same = 0;
      const int count = columns.Second ? 2 : 1;
      for (int c = 0; c < count; ++c) {
        if (row.IsOther(c + 1)) return usable = false;  // numbers sort apart from texts
        const std::optional<std::string_view> value = row.Text(c + 1);
        const bool noCase = c == 0 ? columns.FirstNoCase : true;
        if (!numbers.empty() && (c == 0 || same == 1) && SameSortValue(value, previous[c], noCase))
          same = static_cast<uint8_t>(c + 1);
        previous[c].Null = !value;
        if (value) previous[c].Text.assign(*value);
      }
      if (count == 1 && same == 1) same = 2;
      runs->push_back(same);
    }
    numbers.push_back(static_cast<uint32_t>(number));
    return true;
  };
  return connection.Query(select + " FROM (" + whole + ");", query) && usable;
}

bool SearchIndex::ReadOrders(DbConnection& connection, const std::atomic<bool>* abort) {
  connection.Execute("PRAGMA mmap_size = 1073741824;");
  std::vector<uint8_t> runs;
  for (int key = 0; key < 6; ++key) {
    if (abort && abort->load()) return false;
    SortOrder ascending;
    ascending.Key = static_cast<LibrarySortKey>(key);
    std::vector<uint32_t>& up = orders_[key * 2];
    std::vector<uint32_t>& down = orders_[key * 2 + 1];
    runs.clear();
    if (!kOrderColumns[key].Second) {
      // One column: its index walked backwards, equal values and all.
      if (!ReadOrder(connection, ascending, up, nullptr)) return false;
      down.assign(up.rbegin(), up.rend());
      continue;
    }
    if (!ReadOrder(connection, ascending, up, &runs)) {
      // Values the run rules do not cover: both directions from the database.
      up.clear();
      SortOrder descending = ascending;
      descending.Descending = true;
      if (!ReadOrder(connection, ascending, up, nullptr) ||
          !ReadOrder(connection, descending, down, nullptr))
        return false;
      continue;
    }
    // The descending order walks the first column's index backwards and
    // sorts each run of equal first values by the second column, keeping
    // the order rows arrived in among equals: the runs of equal first values
    // in reverse, and in each, the runs of equal second values in ascending
    // order, each of them reversed.
    down.reserve(up.size());
    size_t groupEnd = up.size();
    while (groupEnd > 0) {
      size_t groupStart = groupEnd - 1;
      while (groupStart > 0 && runs[groupStart] >= 1) --groupStart;
      for (size_t runStart = groupStart; runStart < groupEnd;) {
        size_t runEnd = runStart + 1;
        while (runEnd < groupEnd && runs[runEnd] == 2) ++runEnd;
        for (size_t i = runEnd; i > runStart; --i) down.push_back(up[i - 1]);
        runStart = runEnd;
      }
      groupEnd = groupStart;
    }
  }
  return true;
}

bool SearchIndex::PlaceOrders() {
  const size_t rows = itemNums_.size();
  lowest_ = rows ? itemNums_.front() : 0;
  const uint64_t span = rows ? static_cast<uint64_t>(itemNums_.back() - lowest_) + 1 : 0;
  // Numbers that are not too sparse are their own places (less the lowest):
  // no table to look them up in while building, a bitset of the span while
  // searching.
  byNumber_ = span <= static_cast<uint64_t>(rows) * 64 + 64;
  places_ = byNumber_ ? static_cast<size_t>(span) : rows;
  for (std::vector<uint32_t>& order : orders_) {
    if (order.size() != rows) return false;
    for (uint32_t& value : order) {
      const int64_t number = value;
      if (byNumber_) {
        if (number < lowest_ || static_cast<uint64_t>(number - lowest_) >= span) return false;
        value = static_cast<uint32_t>(number - lowest_);
      } else {
        const auto it = std::lower_bound(itemNums_.begin(), itemNums_.end(), number);
        if (it == itemNums_.end() || *it != number) return false;
        value = static_cast<uint32_t>(it - itemNums_.begin());
      }
    }
  }
  if (byNumber_) {
    // Every row must be in each order once; a number met twice means the
    // rows came from another state of the file.
    Bits seen((places_ + 63) / 64, 0);
    for (uint32_t value : orders_[0]) {
      if (TestRow(seen, value)) return false;
      SetRow(seen, value);
    }
    for (int64_t number : itemNums_)
      if (!TestRow(seen, static_cast<size_t>(number - lowest_))) return false;
  }
  return true;
}

}  // namespace lyricade
