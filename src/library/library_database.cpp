#include "library/library_database.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "library/library_log.h"
#include "library/sql_quoting.h"
#include "platform/paths/paths.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

// Nothing may be left of a compacted copy once its contents are in place
// (or failed to get there).
void RemoveCompacted(const std::string& destination) {
  std::error_code error;
  fs::remove(destination, error);
  fs::remove(destination + "-journal", error);
  fs::remove(destination + "-wal", error);
  fs::remove(destination + "-shm", error);
}

}  // namespace

void LibraryDatabase::SetDataFolder(const std::string& folder) {
  dataFolder_ = WithTrailingSlash(folder);
}

bool LibraryDatabase::OpenLibrary() {
  lookupResult_.Close();
  historyResult_.Close();
  ++itemsGeneration_;
  batchOpen_ = false;
  if (library_.Open(LibraryPath())) {
    // Lyricade and lyricade-library share the file: with the write-ahead
    // log the list loads and History never wait for an import.
    library_.UseWriteAheadLog();
    library_.WatchWrites("Items", [this] { ++itemsGeneration_; });
    return true;
  }
  prompts_.Message(kFailureCaption, "Database Failure", PromptButtons::Ok);
  return false;
}

bool LibraryDatabase::OpenCatalogue() {
  catalogueResult_.Close();
  if (catalogue_.Open(CataloguePath())) return true;
  prompts_.Message(kFailureCaption, "Database Failure 2", PromptButtons::Ok);
  return false;
}

void LibraryDatabase::UpgradeSchema() {
  if (!library_.IsOpen()) return;  // the open failure has been shown already
  BeginTrans();
  // SQLite's form of adding History's venue column; rows made before it
  // read venue 0. A file that has the column refuses the statement, which
  // is the usual case and no fault.
  if (!library_.Execute("ALTER TABLE History ADD COLUMN VenueID INTEGER DEFAULT 0;",
                        DbFailureLog::Quiet)) {
    const std::string why = library_.LastError();
    if (why.find("duplicate column name") != std::string::npos)
      qCDebug(lcLibrary, "History has its VenueID column already");
    else
      qCWarning(lcLibrary, "cannot add the VenueID column to History in %s: %s",
                LibraryPath().c_str(), why.c_str());
  } else {
    qCInfo(lcLibrary, "added the VenueID column to History in %s", LibraryPath().c_str());
  }
  CommitTrans();
}

void LibraryDatabase::Close() {
  CommitBatch();
  lookupResult_.Close();
  historyResult_.Close();
  library_.Close();
  ++itemsGeneration_;
  CloseCatalogue();
}

void LibraryDatabase::CloseCatalogue() {
  catalogueResult_.Close();
  catalogue_.Close();
}

bool LibraryDatabase::BeginTrans() {
  CommitBatch();
  return library_.BeginTransaction();
}

bool LibraryDatabase::CommitTrans() { return library_.CommitTransaction(); }

bool LibraryDatabase::Execute(const std::string& sql) {
  CommitBatch();
  return library_.Execute(sql);
}

bool LibraryDatabase::ExecuteInBatch(const std::string& sql) {
  if (!batchOpen_ && !library_.InTransaction()) {
    // Without a transaction every statement is written as it comes.
    batchOpen_ = library_.BeginTransaction();
    batchRows_ = 0;
    batchStart_ = std::chrono::steady_clock::now();
    // Another program held its write past the whole busy wait: the row
    // would wait as long again and fail the same way.
    if (!batchOpen_ && library_.LastWasBusy()) return false;
  }
  ++batchRows_;
  return library_.Execute(sql);
}

bool LibraryDatabase::BatchDue() const {
  return batchOpen_ &&
         (batchRows_ >= kBatchRows ||
          std::chrono::steady_clock::now() - batchStart_ >= std::chrono::milliseconds(kBatchMs));
}

std::chrono::milliseconds LibraryDatabase::BatchAge() const {
  if (!batchOpen_) return std::chrono::milliseconds(0);
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - batchStart_);
}

bool LibraryDatabase::CommitBatch() {
  if (!batchOpen_) return true;
  batchOpen_ = false;
  if (!library_.InTransaction()) return true;
  if (library_.CommitTransaction()) {
    // A moment without the write lock: another program's waiting writer
    // (polling every 2 ms) gets in before the next batch takes it again.
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
    return true;
  }
  qCWarning(lcLibrary, "cannot commit a batch to %s: %s", LibraryPath().c_str(),
            library_.LastError().c_str());
  return false;
}

long LibraryDatabase::FindItemByPath(const std::string& path) {
  lookupResult_.Close();
  if (!library_.IsOpen()) return 0;
  const std::string quoted =
      path.find('\'') != std::string::npos ? DoubleApostrophes(path) : path;
  const std::string sql = std::string("SELECT * FROM Items WHERE") + " SongPath = '" + quoted + "'";
  if (!lookupResult_.Open(LibraryPath(), sql)) return 0;  // logged by the result
  long found = 0;
  if (!lookupResult_.AtEnd() && lookupResult_.RecordCount() > 0)
    found = static_cast<long>(lookupResult_.Integer("ItemNum").value_or(0));
  lookupResult_.Close();
  return found;
}

void LibraryDatabase::LoadCurrentItem(long itemNum) {
  current_ = CurrentItem{};
  lookupResult_.Close();
  if (!library_.IsOpen()) return;
  const std::string sql = "SELECT * FROM Items WHERE" + std::string(" ItemNum = ") +
                          std::to_string(itemNum);
  if (!lookupResult_.Open(LibraryPath(), sql) || lookupResult_.AtEnd()) {
    lookupResult_.Close();
    return;
  }
  auto take = [this](const char* field, std::string& into) {
    std::optional<std::string> value = lookupResult_.Text(field);
    if (value && !value->empty()) into = std::move(*value);
  };
  take("Title", current_.Title);
  take("Artist", current_.Artist);
  take("ID", current_.Id);
  take("SongPath", current_.Path);
  take("Year1", current_.Year);
  const int typeField = lookupResult_.FieldIndex("Type1");
  const std::optional<std::string> typeText = lookupResult_.Text(typeField);
  if (typeText && !typeText->empty())
    current_.Type = static_cast<int>(lookupResult_.Integer(typeField).value_or(current_.Type));
  lookupResult_.Close();
}

void LibraryDatabase::ShowSame(const std::string& words) {
  prompts_.Message(words, words, PromptButtons::Ok);
}

bool LibraryDatabase::CompactLibrary() {
  const std::string destination = dataFolder_ + kCompactedFile;
  const std::string backup = dataFolder_ + kBackupFile;

  CommitBatch();
  historyResult_.Close();
  lookupResult_.Close();
  ++itemsGeneration_;
  // A library that failed to open (or was closed) gets one more try, quietly:
  // its failure is shown by the reopen below.
  const bool wasOpen = library_.IsOpen() || library_.Open(LibraryPath());

  // The file is never swapped: the other program (lyricade-library, or
  // Lyricade while the tool compacts) keeps its connection on it. So the
  // compacted copy is made and checked beside the library, and then its
  // contents are written into the library file in one transaction.
  std::string why;
  bool done = false;
  bool busy = false;
  if (!wasOpen) {
    ShowSame("failed to connect");
  } else if (!library_.BackupTo(backup, &why)) {
    // Without a good backup the compaction does not start: the library file
    // is the only copy of the host's library.
    busy = library_.LastWasBusy();
    qCWarning(lcLibrary, "cannot back up %s to %s: %s", LibraryPath().c_str(), backup.c_str(),
              why.c_str());
  } else if (CompactInto(destination)) {
    done = library_.ReplaceContentsFrom(destination, &why);
    busy = !done && library_.LastWasBusy();
    if (!done)
      qCWarning(lcLibrary, "cannot write the compacted %s into %s: %s", destination.c_str(),
                LibraryPath().c_str(), why.c_str());
    // The file shrinks once the log is moved into it.
    if (done) library_.Execute("PRAGMA wal_checkpoint(TRUNCATE);", DbFailureLog::Quiet);
  }
  RemoveCompacted(destination);
  if (busy) prompts_.Message("Compact Database", kBusyText, PromptButtons::Ok, PromptIcon::Warning);
  ShowSame(done ? "Compact Completed" : "Compact Failed");
  if (!wasOpen) OpenLibrary();
  ++itemsGeneration_;
  return done;
}

bool LibraryDatabase::CompactInto(const std::string& destination) {
  std::error_code error;
  fs::remove(destination, error);
  if (error || fs::exists(destination, error)) {
    ShowSame("failed to init");
    return false;
  }
  const std::string sql = "VACUUM INTO '" + DoubleApostrophes(destination) + "';";
  if (!library_.Execute(sql)) {
    const std::string description = library_.LastError();
    prompts_.Message("failed to compact", description, PromptButtons::Ok);
    return false;
  }

  // The compacted file must open and pass SQLite's structural check before
  // it may take the library's place.
  DbResult verdict;
  if (!verdict.Open(destination, "PRAGMA quick_check;") || verdict.RecordCount() != 1 ||
      verdict.Text(0).value_or("") != "ok") {
    const std::string description =
        verdict.IsOpen() ? verdict.Text(0).value_or("quick_check failed") : verdict.LastError();
    prompts_.Message("failed to compact", description, PromptButtons::Ok);
    return false;
  }
  return true;
}

}  // namespace lyricade
