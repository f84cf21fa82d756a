#include "platform/db/db_connection.h"

#include "platform/db/like_function.h"

namespace lyricade {
namespace {

// A writer waits this long for readers (the list loader's scan) to let go.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

bool DbConnection::Open(const std::string& path, DbAccess access) {
  Close();
  // Each connection is used by one thread at a time (a result may be opened
  // on a worker and then handed to the UI thread), so SQLite's own per-call
  // locking is not needed.
  int flags = SQLITE_OPEN_NOMUTEX;
  flags |= access == DbAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  SqliteHandle db(raw);
  if (rc != SQLITE_OK) {
    failure_ = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
    return false;
  }
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  if (!RegisterCaseFoldingLike(raw)) {
    failure_ = sqlite3_errmsg(raw);
    return false;
  }
  // SQLite opens lazily: read the schema now so a missing or foreign file
  // fails here and not at the first statement.
  if (sqlite3_exec(raw, "SELECT count(*) FROM sqlite_schema;", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    failure_ = sqlite3_errmsg(raw);
    return false;
  }
  db_ = std::move(db);
  path_ = path;
  failure_.clear();
  return true;
}

void DbConnection::Close() {
  db_.reset();
  path_.clear();
}

bool DbConnection::Execute(const std::string& sql) {
  if (!db_) return false;
  const char* next = sql.c_str();
  const char* const end = next + sql.size();
  while (next < end) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_.get(), next, static_cast<int>(end - next), &raw, &tail) !=
        SQLITE_OK)
      return false;
    StatementHandle statement(raw);
    next = tail;
    if (!statement) continue;  // blank text or a lone ";"
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) return false;
  }
  return true;
}

bool DbConnection::BeginTransaction() {
  if (!db_ || InTransaction()) return false;
  return sqlite3_exec(db_.get(), "BEGIN;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool DbConnection::CommitTransaction() {
  if (!db_ || !InTransaction()) return false;
  return sqlite3_exec(db_.get(), "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool DbConnection::InTransaction() const {
  return db_ && sqlite3_get_autocommit(db_.get()) == 0;
}

int DbConnection::Changes() const { return db_ ? sqlite3_changes(db_.get()) : 0; }

int64_t DbConnection::LastInsertId() const {
  return db_ ? sqlite3_last_insert_rowid(db_.get()) : 0;
}

std::string DbConnection::LastError() const {
  if (!db_) return failure_.empty() ? std::string("not open") : failure_;
  return sqlite3_errmsg(db_.get());
}

}  // namespace lyricade
