#pragma once
// The library and catalogue databases of the data folder: "collections.mdb"
// (tables Items and History) and "songdb.mdb" (table Songs). Owns the library
// connection that every modifying statement runs on, the catalogue
// connection, and the result objects of the single-item look-ups, the
// history lists and the catalogue list. The library list opens results of
// its own (see LibraryListController).
//
// A database that does not open is reported once and the program goes on
// without it: every later operation then fails silently.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/db/db_connection.h"
#include "platform/db/db_result.h"
#include "platform/prompts/prompts.h"

namespace lyricade {

// The item last loaded by LoadCurrentItem.
struct CurrentItem {
  std::string Title = "No Title";
  std::string Artist = "No Artist";
  std::string Id = "No ID";
  std::string Path = "No Path";
  std::string Year = "0000";
  std::string Length = "00:00:00";
  double Tempo = 0;
  int Type = 4;
};

class LibraryDatabase {
public:
  static constexpr const char* kLibraryFile = "collections.mdb";
  static constexpr const char* kCatalogueFile = "songdb.mdb";
  static constexpr const char* kCompactedFile = "collection2.mdb";
  static constexpr const char* kBackupFile = "collections~.mdb";
  // The caption of both open-failure boxes (the short text is the message).
  static constexpr const char* kFailureCaption =
      "If you are using Windows 7, you require Windows SP1, please update your system.";

  explicit LibraryDatabase(Prompts& prompts) : prompts_(prompts) {}
  LibraryDatabase(const LibraryDatabase&) = delete;
  LibraryDatabase& operator=(const LibraryDatabase&) = delete;

  // The data folder every file name is built in; set before the opens.
  void SetDataFolder(const std::string& folder);
  const std::string& DataFolder() const { return dataFolder_; }
  std::string LibraryPath() const { return dataFolder_ + kLibraryFile; }
  std::string CataloguePath() const { return dataFolder_ + kCatalogueFile; }

  // Start-up, in this order: OpenLibrary, OpenCatalogue, UpgradeSchema.
  // Each returns whether the file opened. A failure has shown its box
  // ("Database Failure", "Database Failure 2") already: callers act on the
  // flag and show nothing more.
  bool OpenLibrary();
  bool OpenCatalogue();
  // Adds History's venue column to files made before it existed. Nothing is
  // shown either way; a file that has the column already is the usual case
  // (logged at debug level), any other refusal is logged as a warning.
  void UpgradeSchema();
  // Shutdown: library, then catalogue. The store closes the catalogue alone
  // around replacing "songdb.mdb".
  void Close();
  void CloseCatalogue();

  bool LibraryOpen() const { return library_.IsOpen(); }
  // Grows whenever a statement that may write Items is prepared on the
  // library connection, when such a transaction commits, and when the
  // library is opened or closed: a copy of Items taken at one value is
  // current only while the value stays.
  uint64_t ItemsGeneration() const { return itemsGeneration_.load(); }
  bool CatalogueOpen() const { return catalogue_.IsOpen(); }
  DbConnection& Library() { return library_; }
  const DbConnection& Library() const { return library_; }
  DbConnection& Catalogue() { return catalogue_; }
  DbResult& HistoryResult() { return historyResult_; }
  DbResult& CatalogueResult() { return catalogueResult_; }

  // Begin and commit on the library connection; errors are swallowed (false
  // comes back, nothing is shown). There is no rollback. An open batch is
  // committed first, so each writer's statements commit on their own.
  bool BeginTrans();
  bool CommitTrans();
  // One statement (or several) on the library connection; false on error.
  // An open batch is committed first: a History row recorded while an
  // import runs never waits on, or dies with, the import's transaction.
  bool Execute(const std::string& sql);

  // A long writer (an import) that lets events run writes in batches: the
  // first statement begins one, BatchDue says when to commit it (every
  // kBatchRows statements or kBatchMs), and any other writer on this
  // connection commits it before its own statements. So another program's
  // writer waits a moment at most, and what was written is kept.
  static constexpr int kBatchRows = 1000;
  static constexpr int kBatchMs = 100;
  bool ExecuteInBatch(const std::string& sql);
  bool BatchDue() const;
  // How long the open batch has held the write lock (zero when none is
  // open): a writer that must never keep the program's own writes waiting
  // long commits sooner than BatchDue says.
  std::chrono::milliseconds BatchAge() const;
  // Commits the open batch (true when none is open).
  bool CommitBatch();

  // The ItemNum of the first Items row whose SongPath equals the path, or 0.
  long FindItemByPath(const std::string& path);
  // Fills Current() from the Items row with that number; a missing row, null
  // or empty fields keep the defaults.
  void LoadCurrentItem(long itemNum);
  const CurrentItem& Current() const { return current_; }

  // Compacts the library in place: a consistent backup "collections~.mdb",
  // a compacted and checked copy "collection2.mdb", whose contents then
  // replace the library's in one transaction on the same file (other
  // connections and programs keep working on it), and the copy is removed.
  // "Compact Completed" or "Compact Failed"; the library is never lost.
  // When another program holds a write past the busy wait, kBusyText is
  // shown first and nothing is compacted.
  bool CompactLibrary();
  static constexpr const char* kBusyText =
      "The library is busy: another program is writing to it. Nothing was compacted; "
      "try again when it is idle.";

private:
  bool CompactInto(const std::string& destination);
  void ShowSame(const std::string& words);

  Prompts& prompts_;
  std::string dataFolder_;
  DbConnection library_;
  DbConnection catalogue_;
  DbResult lookupResult_;
  DbResult historyResult_;
  DbResult catalogueResult_;
  CurrentItem current_;
  std::atomic<uint64_t> itemsGeneration_{0};
  bool batchOpen_ = false;
  int batchRows_ = 0;
  std::chrono::steady_clock::time_point batchStart_;
};

}  // namespace lyricade
