#include "library/library_rows.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "common/path_pieces.h"
#include "library/library_log.h"
#include "library/maintenance_statements.h"
#include "platform/db/db_result.h"

namespace lyricade {
namespace {

// Numbers per statement: short statements, few opens.
constexpr size_t kNumbersPerRead = 1000;

std::string ReadStatement(const std::vector<long>& itemNums, size_t from, size_t to) {
  std::string sql =
      "SELECT ItemNum, Title, Artist, ID, Year1, Comments1, SongPath FROM Items WHERE ItemNum IN (";
  for (size_t i = from; i < to; ++i) {
    if (i > from) sql += ',';
    sql += DecimalText(itemNums[i]);
  }
  return sql + ");";
}

}  // namespace

bool ReadLibraryRows(const std::string& databasePath, const std::vector<long>& itemNums,
                     std::vector<LibraryRow>& rows) {
  rows.clear();
  std::vector<long> wanted;
  wanted.reserve(itemNums.size());
  for (long number : itemNums)
    if (number != 0) wanted.push_back(number);
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());

  std::unordered_map<long, LibraryRow> found;
  found.reserve(wanted.size());
  bool ok = true;
  for (size_t from = 0; from < wanted.size(); from += kNumbersPerRead) {
    const size_t to = std::min(wanted.size(), from + kNumbersPerRead);
    DbResult result;
    if (!result.Open(databasePath, ReadStatement(wanted, from, to))) {
      qCWarning(lcLibrary, "cannot read the selected rows of %s: %s", databasePath.c_str(),
                result.LastError().c_str());
      ok = false;
      break;
    }
    for (long r = 0; result.MoveTo(r); ++r) {
      LibraryRow row;
      row.ItemNum = static_cast<long>(result.Integer(0).value_or(0));
      row.Title = result.Text(1).value_or("");
      row.Artist = result.Text(2).value_or("");
      row.Id = result.Text(3).value_or("");
      row.Year = result.Text(4).value_or("");
      row.Comment = result.Text(5).value_or("");
      row.Path = result.Text(6).value_or("");
      if (row.ItemNum != 0) found.emplace(row.ItemNum, std::move(row));
    }
  }
  // The selection's order, as the list shows it.
  rows.reserve(found.size());
  for (long number : itemNums)
    if (auto row = found.find(number); row != found.end()) rows.push_back(row->second);
  return ok;
}

bool SongMissing(const std::string& path) {
  if (path.find("http://") != std::string::npos) return false;
  std::error_code error;
  return !std::filesystem::exists(path, error);
}

std::string CompanionGraphicsToPurge(const std::string& path) {
  const std::string folder = FolderOf(path);
  if (folder.empty() || EqualsIgnoreCase(FileExtension(path), "zip")) return {};
  const size_t slash = path.rfind('/');
  std::string name = path.substr(slash + 1);
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  if (name.empty()) return {};
  return FindFileIgnoringCase(folder + name + ".cdg");
}

}  // namespace lyricade
