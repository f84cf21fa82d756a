#include "platform/db/db_connection.h"

#include <filesystem>
#include <system_error>

#include "platform/db/db_log.h"
#include "platform/db/like_function.h"

namespace lyricade {
namespace {

// A writer waits this long for readers (the list loader's scan) to let go.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

bool DbConnection::Open(const std::string& path, DbAccess access) {
  // Each connection is used by one thread at a time (a result may be opened
  // on a worker and then handed to the UI thread), so SQLite's own per-call
  // locking is not needed.
  int flags = SQLITE_OPEN_NOMUTEX;
  flags |= access == DbAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (OpenWith(path, flags)) return true;
  qCWarning(lcPlatformDb, "cannot open the database %s: %s", path.c_str(), failure_.c_str());
  return false;
}

bool DbConnection::Create(const std::string& path) {
  Close();
  std::error_code error;
  if (std::filesystem::exists(path, error) || error) {
    failure_ = error ? error.message() : std::string("the file exists already");
    qCWarning(lcPlatformDb, "cannot create the database %s: %s", path.c_str(), failure_.c_str());
    return false;
  }
  if (OpenWith(path, SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) return true;
  qCWarning(lcPlatformDb, "cannot create the database %s: %s", path.c_str(), failure_.c_str());
  return false;
}

bool DbConnection::OpenWith(const std::string& path, int flags) {
  Close();
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

bool DbConnection::Execute(const std::string& sql, DbFailureLog log) {
  if (!db_) {
    // The open failed and was reported then; every later statement fails
    // quietly.
    qCDebug(lcPlatformDb, "no database open for: %s", sql.c_str());
    return false;
  }
  const char* next = sql.c_str();
  const char* const end = next + sql.size();
  while (next < end) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_.get(), next, static_cast<int>(end - next), &raw, &tail) !=
        SQLITE_OK) {
      ReportFailure(sql, log);
      return false;
    }
    StatementHandle statement(raw);
    // SQLite reads no further than a zero byte: text that holds one is no
    // statement we can run (without this check the rest would be tried
    // forever).
    if (!tail || tail <= next) {
      qCWarning(lcPlatformDb, "a statement holds a zero byte: %s", sql.c_str());
      return false;
    }
    next = tail;
    if (!statement) continue;  // blank text or a lone ";"
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
      ReportFailure(sql, log);
      return false;
    }
  }
  return true;
}

void DbConnection::ReportFailure(const std::string& sql, DbFailureLog log) {
  const int code = sqlite3_extended_errcode(db_.get()) & 0xff;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) ++busyFailures_;
  if (log == DbFailureLog::Quiet) return;
  // A refused row (a unique key) is how the history learns that a singer's
  // song is there already: expected, so only shown when asked for.
  if ((sqlite3_extended_errcode(db_.get()) & 0xff) == SQLITE_CONSTRAINT)
    qCDebug(lcPlatformDb, "refused on %s: %s (statement: %s)", path_.c_str(),
            sqlite3_errmsg(db_.get()), sql.c_str());
  else
    qCWarning(lcPlatformDb, "statement failed on %s: %s (statement: %s)", path_.c_str(),
              sqlite3_errmsg(db_.get()), sql.c_str());
}

bool DbConnection::BeginTransaction() {
  if (!db_) return false;
  if (InTransaction()) {
    qCWarning(lcPlatformDb, "a transaction is open already on %s", path_.c_str());
    return false;
  }
  return Execute("BEGIN;");
}

bool DbConnection::CommitTransaction() {
  if (!db_) return false;
  if (!InTransaction()) {
    qCWarning(lcPlatformDb, "no transaction to commit on %s", path_.c_str());
    return false;
  }
  return Execute("COMMIT;");
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
