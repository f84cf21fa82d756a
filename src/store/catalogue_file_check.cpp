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

// The schema's verdict, on an open connection.
std::string SchemaProblem(DbConnection& check) {
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

}  // namespace

std::string CatalogueFileProblem(const std::string& path, const std::atomic<bool>* stop,
                                 std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool stopped = false;
  DbConnection check;
  if (!check.Open(path, DbAccess::ReadOnly)) return "the catalogue does not open";
  auto over = [&] {
    stopped = stopped || (stop && stop->load()) || std::chrono::steady_clock::now() >= deadline;
    return stopped;
  };
  check.SetStopCheck(over);
  // A check told to stop, however far it got, accepts nothing: the file may
  // be only half judged.
  const std::string problem = over() ? std::string() : SchemaProblem(check);
  return over() ? "the catalogue check was stopped" : problem;
}

}  // namespace lyricade
