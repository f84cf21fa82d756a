#pragma once
// The songs that will not play, set aside with the reason ("NeedsAttention",
// a table of the library database): the import and the refresh put a new
// song there when its check fails, a later check that passes takes it out.
// The library list shows them through its own statement, with the reason in
// the Comment column, so the host sees what to repair.

#include <string>
#include <vector>

#include "library/library_search.h"

namespace lyricade {

class DbConnection;
class LibraryDatabase;

struct AttentionRow {
  std::string Path;
  std::string Reason;
};

// The longest reason kept (bytes).
inline constexpr size_t kAttentionReasonLimit = 300;

// Makes the table when the library has none; false when it cannot.
bool EnsureAttentionTable(DbConnection& library);

// The song's check result: a failing song is set aside with its reason, a
// passing one is taken off the list. Written in the database's batch.
bool RecordCheck(LibraryDatabase& database, const std::string& path, bool plays,
                 const std::string& reason);
// Empties the list (before a check of the whole library replaces it).
bool ClearAttention(LibraryDatabase& database);
// A moved song keeps its place on the list under its new path.
std::string MoveAttentionStatement(const std::string& from, const std::string& to);

// The list, in path order; empty when there is no table.
std::vector<AttentionRow> ReadAttention(DbConnection& library);

// The library list's statement for the songs on the list, in `order`, the
// reason read as the comment.
std::string NeedsAttentionStatement(const SortOrder& order);

}  // namespace lyricade
