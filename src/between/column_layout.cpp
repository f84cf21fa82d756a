#include "between/column_layout.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "between/between_log.h"
#include "common/text_file.h"

namespace lyricade {
namespace {

// The numbers at the start of a line, up to the first that cannot be read
// (the rest of the line is not read, as a formatted scan stops there).
std::vector<long> ReadNumbers(const std::string& line, size_t count) {
  std::vector<long> numbers;
  const char* at = line.c_str();
  while (numbers.size() < count) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(at, &end, 10);
    if (end == at || errno == ERANGE) break;
    numbers.push_back(value);
    at = end;
  }
  return numbers;
}

void ReadOrder(const std::string& line, std::vector<int>& order) {
  const std::vector<long> numbers = ReadNumbers(line, order.size());
  std::vector<int> read = order;
  for (size_t i = 0; i < numbers.size(); ++i) read[i] = static_cast<int>(numbers[i]);
  if (IsColumnPermutation(read, static_cast<int>(read.size()))) {
    order = read;
  } else {
    qCWarning(lcBetween) << "a stored column order is no arrangement of the list's columns; the"
                            " designed order stays:" << line.c_str();
  }
}

void ReadWidths(const std::string& line, std::vector<int>& widths) {
  const std::vector<long> numbers = ReadNumbers(line, widths.size());
  // A width is the number's low 16 bits.
  for (size_t i = 0; i < numbers.size(); ++i)
    widths[i] = static_cast<int>(static_cast<unsigned long>(numbers[i]) & 0xFFFFu);
}

std::string Line(const std::vector<int>& numbers) {
  std::string line;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i) line += ' ';
    line += std::to_string(numbers[i]);
  }
  return line;
}

}  // namespace

ListColumns ListColumns::Designed(ColumnList list) {
  ListColumns columns;
  const std::vector<DesignedColumn>& designed = DesignedColumns(list);
  for (size_t i = 0; i < designed.size(); ++i) {
    columns.Order.push_back(static_cast<int>(i));
    columns.Widths.push_back(designed[i].Width);
  }
  return columns;
}

bool IsColumnPermutation(const std::vector<int>& order, int count) {
  if (static_cast<int>(order.size()) != count) return false;
  std::vector<bool> seen(static_cast<size_t>(count), false);
  for (const int index : order) {
    if (index < 0 || index >= count || seen[static_cast<size_t>(index)]) return false;
    seen[static_cast<size_t>(index)] = true;
  }
  return true;
}

bool ColumnLayout::Load(const std::string& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return false;
  const std::optional<std::vector<std::string>> lines = ReadTextLines(file);
  if (!lines) {
    qCWarning(lcBetween) << "the column layout could not be read from" << file.c_str();
    return false;
  }
  const auto line = [&lines](size_t n) { return n < lines->size() ? (*lines)[n] : std::string(); };
  ReadOrder(line(0), Playlist.Order);
  ReadOrder(line(1), Library.Order);
  ReadWidths(line(2), Playlist.Widths);
  ReadWidths(line(3), Library.Widths);
  return true;
}

bool ColumnLayout::Save(const std::string& file) const {
  if (WriteTextLinesAtomically(file, {Line(Playlist.Order), Line(Library.Order),
                                      Line(Playlist.Widths), Line(Library.Widths)}))
    return true;
  qCWarning(lcBetween) << "the column layout could not be written to" << file.c_str();
  return false;
}

}  // namespace lyricade
