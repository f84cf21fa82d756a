#pragma once
// A connection to one database file that runs SQL text, the way the library
// and catalogue code composes it. Open needs an existing file; only Create
// makes a new one (the seeding of a new data folder).
//
// Failures are logged ("lyricade.platform.db") with SQLite's text: files
// that do not open, statements that fail. A row refused by a unique key is
// logged at debug level only, since callers use the refusal as an answer.
//
// Transactions only begin and commit. The program never rolls back: a
// statement that fails inside a transaction is skipped and the others are
// committed with it.
//
// Every connection compares LIKE without regard to letter case for every
// letter (see like_function.h), and runs with SQLite's defensive settings:
// the schema is not trusted (views, triggers and defaults call only
// functions marked harmless), and no statement may edit the schema's own
// text. A database file may come from elsewhere (the vendor's catalogue).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/db/sqlite_handles.h"

namespace lyricade {

enum class DbAccess { ReadWrite, ReadOnly };
// Whether Execute logs a failure itself (Warning) or leaves it to a caller
// that tells expected failures from others by LastError (Quiet).
enum class DbFailureLog { Warning, Quiet };

// One row of a query as Query hands it over: valid only inside the call.
class DbRow {
public:
  explicit DbRow(sqlite3_stmt* statement) : statement_(statement) {}
  // The field as text (numbers as their decimal text); nullopt for null.
  std::optional<std::string_view> Text(int field) const;
  int64_t Integer(int field) const;
  // Whether the field holds a number or a blob (neither null nor text).
  bool IsOther(int field) const;

private:
  sqlite3_stmt* statement_;
};

class DbConnection {
public:
  DbConnection();
  DbConnection(DbConnection&&) noexcept;
  DbConnection& operator=(DbConnection&&) noexcept;
  ~DbConnection();

  // Opens an existing database file. False (and closed) when the file is
  // missing or is not a database. ReadOnly also opens a file in a folder it
  // cannot write to, whatever its journal mode.
  bool Open(const std::string& path, DbAccess access = DbAccess::ReadWrite);
  // Makes a new, empty database file and opens it read-write. False when the
  // file exists already or cannot be made.
  bool Create(const std::string& path);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Runs every statement of the text in order (a whole schema script, say);
  // rows a statement returns are stepped through and dropped. False at the
  // first statement that fails (the ones before it stay done).
  bool Execute(const std::string& sql, DbFailureLog log = DbFailureLog::Warning);

  // Runs one query and hands each row to `row`; `row` returns false to stop
  // early. False when the statement is refused or the read fails.
  bool Query(const std::string& sql, const std::function<bool(const DbRow&)>& row);

  // Calls `changed` (on the thread using this connection) whenever a
  // statement that may write `table` is prepared here, and again when the
  // transaction holding such a statement commits: whoever keeps a copy of
  // the table's rows learns both that they are changing and that other
  // connections can now see the change. A clear without WHERE counts too.
  // The watch lasts until the connection closes.
  bool WatchWrites(const std::string& table, std::function<void()> changed);
  // Switches the file to SQLite's write-ahead log, so readers on other
  // connections (and other programs) never wait for a writer and a writer
  // waits only for another writer. The mode stays with the file. False when
  // the file is read-only or stays in its journal mode.
  bool UseWriteAheadLog();
  // SQLite's data version: changes whenever another connection (or another
  // program) has committed to the file since this connection last looked.
  // -1 when closed.
  int64_t DataVersion();

  // Asks `stop` every few thousand steps of the running statement; when it
  // answers true the statement ends with an interruption (Execute and Query
  // return false). For long work on files from elsewhere: a cancelled check,
  // a deadline. Lasts until replaced or the connection closes; empty clears.
  void SetStopCheck(std::function<bool()> stop);

  // Writes a consistent copy of the whole database to a new file at `path`
  // with SQLite's backup interface: correct while other connections (other
  // programs) write, which a byte copy of a write-ahead-log file is not.
  // The copy is made beside it and renamed into place, so `path` is either
  // the old file or the whole copy. False (with the reason in `why`) when
  // the copy cannot be made.
  bool BackupTo(const std::string& path, std::string* why = nullptr);
  // Replaces this database's contents with those of the database file at
  // `path`, in one write transaction on this very file: every other
  // connection stays on the file and sees the new contents as one commit.
  // Waits the busy wait for another writer; false (LastWasBusy tells) when
  // it held on longer.
  bool ReplaceContentsFrom(const std::string& path, std::string* why = nullptr);
  // How long a statement waits for another connection's lock before it
  // fails busy (5 s unless set).
  void SetBusyWait(int milliseconds);
  // Whether the last failure here was another connection holding the file.
  bool LastWasBusy() const { return lastBusy_; }

  // A write transaction: it takes the write lock at once (waiting the busy
  // wait for another writer), so a statement inside it never meets a lock
  // it cannot wait for. A read-only file begins a plain transaction.
  bool BeginTransaction();
  bool CommitTransaction();
  bool InTransaction() const;

  // Rows changed by the last statement and the last auto-number assigned.
  int Changes() const;
  int64_t LastInsertId() const;
  // SQLite's text for the last error on this connection.
  std::string LastError() const;
  // How many statements failed because another connection held the file
  // longer than the busy wait (another program writing the library).
  int BusyFailures() const { return busyFailures_; }

  sqlite3* Handle() const { return db_.get(); }

private:
  bool OpenWith(const std::string& path, int flags);
  void ReportFailure(const std::string& sql, DbFailureLog log);

  struct WriteWatch;
  SqliteHandle db_;
  // Kept apart so SQLite's hooks hold a pointer that survives a move.
  std::unique_ptr<WriteWatch> watch_;
  std::unique_ptr<std::function<bool()>> stop_;
  std::string path_;
  std::string failure_;  // why the last Open failed, when it never got a handle
  int busyFailures_ = 0;
  bool lastBusy_ = false;
};

}  // namespace lyricade
