#pragma once
// Owning handles for SQLite's connection and statement objects, so every
// early return closes what was opened.

#include <sqlite3.h>

#include <memory>

namespace lyricade {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct SqliteFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

}  // namespace lyricade
