#include "library/needs_attention.h"

#include "common/field_text.h"
#include "library/library_database.h"
#include "library/sql_quoting.h"
#include "platform/db/db_connection.h"

namespace lyricade {

bool EnsureAttentionTable(DbConnection& library) {
  return library.Execute("CREATE TABLE IF NOT EXISTS NeedsAttention (Path TEXT PRIMARY KEY, Reason TEXT);");
}

bool RecordCheck(LibraryDatabase& database, const std::string& path, bool plays,
                 const std::string& reason) {
  if (plays) return database.ExecuteInBatch("DELETE FROM NeedsAttention WHERE Path = " + QuotedPath(path) + ";");
  // The reason is shown as a comment: apostrophes as the library keeps them.
  const std::string kept = AccentApostrophes(CutUtf8(reason.empty() ? "does not play" : reason,
                                                     kAttentionReasonLimit));
  return database.ExecuteInBatch("INSERT OR REPLACE INTO NeedsAttention (Path, Reason) VALUES (" +
                                 QuotedPath(path) + ", " + QuotedText(kept) + ");");
}

bool ClearAttention(LibraryDatabase& database) {
  return database.Execute("DELETE FROM NeedsAttention;");
}

std::string MoveAttentionStatement(const std::string& from, const std::string& to) {
  return "UPDATE OR REPLACE NeedsAttention SET Path = " + QuotedPath(to) + " WHERE Path = " + QuotedPath(from) + ";";
}

std::vector<AttentionRow> ReadAttention(DbConnection& library) {
  std::vector<AttentionRow> rows;
  library.Query("SELECT Path, Reason FROM NeedsAttention ORDER BY Path;", [&](const DbRow& row) {
    rows.push_back({std::string(row.Text(0).value_or("")), std::string(row.Text(1).value_or(""))});
    return true;
  });
  return rows;
}

std::string NeedsAttentionStatement(const SortOrder& order) {
  return "SELECT Items.ItemNum, Items.Title, Items.Artist, Items.ID, Items.Year1, Items.SongLen, "
         "Items.SongPath, Items.Type1, Items.BPM, NeedsAttention.Reason AS Comments1, "
         "Items.CollectionNum FROM Items JOIN NeedsAttention ON NeedsAttention.Path = Items.SongPath" +
         SearchSuffix(order);
}

}  // namespace lyricade
