#include "library/watched_folders.h"

#include <filesystem>

#include "library/library_database.h"
#include "library/sql_quoting.h"
#include "platform/db/db_connection.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

// Whether `inner` is `outer` or lies below it.
bool WithinFolder(const std::string& outer, const std::string& inner) {
  if (outer == "/") return true;
  return inner == outer || (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
                            inner[outer.size()] == '/');
}

}  // namespace

bool EnsureWatchedFolderTables(DbConnection& library) {
  // The stamp (size, modification time in nanoseconds) tells an unchanged
  // file without reading it; Head, a hash of the first 64 KB, tells moved
  // files of one name and size apart; Gone keeps a vanished file's stamp so
  // it can still be found when it turns up in another folder. Kept in path
  // order on disk, so a watched folder's rows are one range to read.
  return library.Execute(
      "CREATE TABLE IF NOT EXISTS LibraryFolders (Folder TEXT PRIMARY KEY, Format INTEGER, "
      "IgnoreTags INTEGER);"
      "CREATE TABLE IF NOT EXISTS SeenFiles (Path TEXT PRIMARY KEY, FileSize INTEGER, "
      "Modified INTEGER, Head INTEGER, Gone INTEGER DEFAULT 0) WITHOUT ROWID;");
}

std::string WatchedFolderName(const std::string& folder) {
  std::error_code error;
  std::string name = fs::absolute(folder, error).lexically_normal().string();
  if (error) name = folder;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  return name;
}

std::vector<WatchedFolder> ReadWatchedFolders(DbConnection& library) {
  std::vector<WatchedFolder> folders;
  library.Query("SELECT Folder, Format, IgnoreTags FROM LibraryFolders ORDER BY Folder;",
                [&](const DbRow& row) {
                  WatchedFolder folder;
                  folder.Folder = std::string(row.Text(0).value_or(""));
                  folder.Settings.Format = FileNameFormatFrom(static_cast<int>(row.Integer(1)));
                  folder.Settings.IgnoreTags = row.Integer(2) != 0;
                  if (!folder.Folder.empty()) folders.push_back(std::move(folder));
                  return true;
                });
  return folders;
}

std::optional<std::string> OverlappingFolder(const std::vector<WatchedFolder>& folders,
                                             const std::string& folder) {
  for (const WatchedFolder& watched : folders)
    if (WithinFolder(watched.Folder, folder) || WithinFolder(folder, watched.Folder))
      return watched.Folder;
  return std::nullopt;
}

std::optional<WatchedFolder> WatchedFolderOf(const std::vector<WatchedFolder>& folders,
                                             const std::string& path) {
  for (const WatchedFolder& watched : folders)
    if (WithinFolder(watched.Folder, path)) return watched;
  return std::nullopt;
}

bool SaveWatchedFolder(LibraryDatabase& database, const WatchedFolder& folder) {
  if (!EnsureWatchedFolderTables(database.Library())) return false;
  return database.Execute("INSERT OR REPLACE INTO LibraryFolders (Folder, Format, IgnoreTags) VALUES (" +
                          QuotedPath(folder.Folder) + ", " +
                          std::to_string(static_cast<int>(folder.Settings.Format)) + ", " +
                          (folder.Settings.IgnoreTags ? "1" : "0") + ");");
}

bool RemoveWatchedFolder(LibraryDatabase& database, const std::string& folder) {
  if (!EnsureWatchedFolderTables(database.Library())) return false;
  if (!database.Execute("DELETE FROM LibraryFolders WHERE Folder = " + QuotedPath(folder) + ";") ||
      database.Library().Changes() == 0)
    return false;
  return database.Execute("DELETE FROM SeenFiles WHERE " + BelowFolderCondition("Path", folder) + ";");
}

std::string BelowFolderCondition(const std::string& column, const std::string& folder) {
  // Every path below "F" starts "F/" and sorts before "F0" ("0" follows "/").
  const std::string base = folder == "/" ? std::string() : folder;
  return column + " >= " + QuotedPath(base + "/") + " AND " + column + " < " + QuotedPath(base + "0");
}

}  // namespace lyricade
