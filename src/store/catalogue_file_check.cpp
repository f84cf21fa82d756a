#include "store/catalogue_file_check.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

std::string CatalogueFileProblem(const std::string& path) {
  DbConnection check;
  if (!check.Open(path, DbAccess::ReadOnly)) return "the catalogue does not open";
  if (!check.Execute("PRAGMA trusted_schema=OFF;", DbFailureLog::Quiet))
    return "the catalogue does not open";
  int objects = 0;
  std::string songsType;
  bool scripted = false;
  const bool read = check.Query("SELECT type, name FROM sqlite_master;", [&](const DbRow& row) {
    const std::string type = Lower(row.Text(0).value_or(""));
    if (type == "view" || type == "trigger") scripted = true;
    if (Lower(row.Text(1).value_or("")) == "songs") songsType = type;
    return ++objects < 10000;  // no real catalogue has a fraction of that
  });
  if (!read) return "the catalogue does not open";
  if (scripted) return "the catalogue holds views or triggers";
  if (songsType != "table") return "the catalogue has no table Songs";
  std::set<std::string> columns;
  if (!check.Query("PRAGMA table_info(Songs);", [&](const DbRow& row) {
        columns.insert(Lower(row.Text(1).value_or("")));
        return columns.size() < 1000;
      }))
    return "the catalogue does not open";
  for (const char* needed :
       {"trackname", "artist", "code", "comp", "price", "genre", "activatedate", "path"})
    if (!columns.count(needed)) return std::string("the catalogue's Songs has no column ") + needed;
  return {};
}

}  // namespace lyricade
