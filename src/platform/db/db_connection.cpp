#include "platform/db/db_connection.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "common/text_file.h"
#include "platform/db/db_log.h"
#include "platform/db/like_function.h"

namespace lyricade {
namespace {

// SQLite's own busy wait sleeps longer and longer (up to 100 ms between
// tries), so a connection waiting for another program's writer keeps
// missing the moments between that writer's batches and can wait for
// seconds. This one tries every 2 ms until the wait is spent; the wait
// travels in the context pointer, so nothing needs to outlive the call.
constexpr int kBusyPollMs = 2;

int PollWhileBusy(void* context, int tries) {
  const auto waitMs = static_cast<int>(reinterpret_cast<intptr_t>(context));
  if (tries * kBusyPollMs >= waitMs) return 0;
  sqlite3_sleep(kBusyPollMs);
  return 1;
}

void SetBusyHandler(sqlite3* db, int waitMs) {
  sqlite3_busy_handler(db, PollWhileBusy, reinterpret_cast<void*>(static_cast<intptr_t>(std::max(waitMs, 0))));
}

}  // namespace

namespace {

// A writer waits this long for readers (the list loader's scan) to let go.
constexpr int kBusyTimeoutMs = 5000;

// The path as a "file:" URI's path: "?", "#" and "%" escaped.
std::string UriPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : path) {
    if (c == '?' || c == '#' || c == '%') {
      out += '%';
      out += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      out += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

struct DbConnection::WriteWatch {
  std::string Table;
  std::function<void()> Changed;
  bool Pending = false;  // a write statement was prepared since the last commit
};

DbConnection::DbConnection() = default;
DbConnection::DbConnection(DbConnection&&) noexcept = default;
DbConnection& DbConnection::operator=(DbConnection&&) noexcept = default;
DbConnection::~DbConnection() { Close(); }

bool DbConnection::Open(const std::string& path, DbAccess access) {
  // Each connection is used by one thread at a time (a result may be opened
  // on a worker and then handed to the UI thread), so SQLite's own per-call
  // locking is not needed.
  int flags = SQLITE_OPEN_NOMUTEX;
  flags |= access == DbAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (OpenWith(path, flags)) return true;
  // A write-ahead-log file in a folder we cannot write (a library copied to
  // read-only media) has no "-shm" file to share: read it as a file nobody
  // changes, which needs none.
  if (access == DbAccess::ReadOnly &&
      OpenWith("file:" + UriPath(path) + "?immutable=1",
               SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)) {
    path_ = path;
    return true;
  }
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
  if (sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr) != SQLITE_OK ||
      sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr) != SQLITE_OK) {
    failure_ = sqlite3_errmsg(raw);
    return false;
  }
  SetBusyHandler(raw, kBusyTimeoutMs);
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

void DbConnection::SetStopCheck(std::function<bool()> stop) {
  if (!db_) return;
  if (!stop) {
    sqlite3_progress_handler(db_.get(), 0, nullptr, nullptr);
    stop_.reset();
    return;
  }
  stop_ = std::make_unique<std::function<bool()>>(std::move(stop));
  constexpr int kStepsPerCheck = 4000;
  sqlite3_progress_handler(
      db_.get(), kStepsPerCheck,
      [](void* check) { return (*static_cast<std::function<bool()>*>(check))() ? 1 : 0; },
      stop_.get());
}

void DbConnection::Close() {
  db_.reset();
  watch_.reset();
  stop_.reset();
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
  lastBusy_ = code == SQLITE_BUSY || code == SQLITE_LOCKED;
  if (lastBusy_) ++busyFailures_;
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

std::optional<std::string_view> DbRow::Text(int field) const {
  if (sqlite3_column_type(statement_, field) == SQLITE_NULL) return std::nullopt;
  const unsigned char* text = sqlite3_column_text(statement_, field);
  const int size = sqlite3_column_bytes(statement_, field);
  if (!text) return std::string_view();
  return std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
}

int64_t DbRow::Integer(int field) const { return sqlite3_column_int64(statement_, field); }

bool DbRow::IsOther(int field) const {
  const int type = sqlite3_column_type(statement_, field);
  return type != SQLITE_NULL && type != SQLITE_TEXT;
}

bool DbConnection::Query(const std::string& sql, const std::function<bool(const DbRow&)>& row) {
  if (!db_) return false;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) !=
          SQLITE_OK ||
      !raw) {
    sqlite3_finalize(raw);
    ReportFailure(sql, DbFailureLog::Warning);
    return false;
  }
  StatementHandle statement(raw);
  const DbRow view(raw);
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW)
    if (!row(view)) return true;
  if (rc != SQLITE_DONE) {
    ReportFailure(sql, DbFailureLog::Warning);
    return false;
  }
  return true;
}

bool DbConnection::WatchWrites(const std::string& table, std::function<void()> changed) {
  if (!db_) return false;
  watch_ = std::make_unique<WriteWatch>();
  watch_->Table = table;
  watch_->Changed = std::move(changed);
  // The authorizer sees every statement as it is prepared (also one run
  // again after a schema change), including a DELETE without WHERE that
  // SQLite would otherwise carry out without visiting rows.
  auto authorizer = [](void* data, int action, const char* name, const char*, const char*,
                       const char*) {
    auto* watch = static_cast<WriteWatch*>(data);
    if ((action == SQLITE_INSERT || action == SQLITE_UPDATE || action == SQLITE_DELETE) && name &&
        sqlite3_stricmp(name, watch->Table.c_str()) == 0) {
      watch->Pending = true;
      watch->Changed();
    }
    return SQLITE_OK;
  };
  auto commit = [](void* data) {
    auto* watch = static_cast<WriteWatch*>(data);
    if (watch->Pending) {
      watch->Pending = false;
      watch->Changed();
    }
    return 0;  // let the commit go ahead
  };
  if (sqlite3_set_authorizer(db_.get(), authorizer, watch_.get()) != SQLITE_OK) {
    qCWarning(lcPlatformDb, "cannot watch writes to %s on %s: %s", table.c_str(), path_.c_str(),
              sqlite3_errmsg(db_.get()));
    watch_.reset();
    return false;
  }
  sqlite3_commit_hook(db_.get(), commit, watch_.get());
  return true;
}

bool DbConnection::UseWriteAheadLog() {
  if (!db_ || sqlite3_db_readonly(db_.get(), "main") == 1) return false;
  std::string mode;
  Query("PRAGMA journal_mode=WAL;", [&](const DbRow& row) {
    mode = std::string(row.Text(0).value_or(""));
    return false;
  });
  if (mode == "wal") return true;
  qCInfo(lcPlatformDb, "%s stays in journal mode %s", path_.c_str(), mode.c_str());
  return false;
}

int64_t DbConnection::DataVersion() {
  if (!db_) return -1;
  int64_t version = -1;
  Query("PRAGMA data_version;", [&](const DbRow& row) {
    version = row.Integer(0);
    return false;
  });
  return version;
}

bool DbConnection::BeginTransaction() {
  if (!db_) return false;
  if (InTransaction()) {
    qCWarning(lcPlatformDb, "a transaction is open already on %s", path_.c_str());
    return false;
  }
  if (sqlite3_db_readonly(db_.get(), "main") == 1) return Execute("BEGIN;");
  // A deferred transaction that reads first and then writes can meet a
  // newer commit of another program (write-ahead log) and fail at once,
  // without the busy wait: take the write lock up front instead.
  return Execute("BEGIN IMMEDIATE;");
}

namespace {

// Runs one backup from `source` into `destination` to its end. The busy
// wait of the connections applies to every lock the copy needs.
int CopyDatabase(sqlite3* destination, sqlite3* source) {
  sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
  if (!backup) return sqlite3_extended_errcode(destination);
  int rc;
  while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_OK) {
  }
  const int finished = sqlite3_backup_finish(backup);
  return rc == SQLITE_DONE ? finished : rc;
}

void Say(std::string* why, std::string text) {
  if (why) *why = std::move(text);
}

}  // namespace

bool DbConnection::BackupTo(const std::string& path, std::string* why) {
  lastBusy_ = false;
  if (!db_) {
    Say(why, "the database is not open");
    return false;
  }
  const std::string part = path + ".part";
  std::error_code error;
  std::filesystem::remove(part, error);
  DbConnection copy;
  if (!copy.Create(part)) {
    Say(why, copy.LastError());
    return false;
  }
  const int rc = CopyDatabase(copy.db_.get(), db_.get());
  if (rc != SQLITE_OK) {
    lastBusy_ = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
    Say(why, sqlite3_errstr(rc));
    copy.Close();
    std::filesystem::remove(part, error);
    return false;
  }
  // The copy is one whole file of its own: no log beside it.
  copy.Execute("PRAGMA journal_mode=DELETE;");
  copy.Close();
  // The copy is what a compaction falls back on: on disk, under its name,
  // before anything is written over the library.
  SyncFile(part);
  std::filesystem::rename(part, path, error);
  if (error) {
    Say(why, error.message());
    std::filesystem::remove(part, error);
    return false;
  }
  SyncFolderOf(path);
  return true;
}

bool DbConnection::ReplaceContentsFrom(const std::string& path, std::string* why) {
  lastBusy_ = false;
  if (!db_) {
    Say(why, "the database is not open");
    return false;
  }
  DbConnection source;
  if (!source.Open(path, DbAccess::ReadOnly)) {
    Say(why, source.LastError());
    return false;
  }
  const int rc = CopyDatabase(db_.get(), source.db_.get());
  if (rc == SQLITE_OK) return true;
  lastBusy_ = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
  if (lastBusy_) ++busyFailures_;
  Say(why, sqlite3_errstr(rc));
  return false;
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

void DbConnection::SetBusyWait(int milliseconds) {
  if (db_) SetBusyHandler(db_.get(), milliseconds);
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
