#include "app/library_upkeep.h"

#include <QMetaObject>

#include <algorithm>
#include <sstream>

#include "health/song_batch_check.h"
#include "library/library_database.h"
#include "library/library_refresh.h"
#include "library/needs_attention.h"
#include "platform/db/db_connection.h"
#include "platform/prompts/stream_prompts.h"

namespace lyricade {
namespace {

// The machine plays the show meanwhile: two songs checked at once.
constexpr size_t kCheckThreads = 2;
// The longest the worker holds the write lock while it records results.
constexpr std::chrono::milliseconds kLongestBatch{20};

long CountAttention(DbConnection& library) {
  long count = -1;
  library.Query("SELECT count(*) FROM Items JOIN NeedsAttention ON NeedsAttention.Path = Items.SongPath;",
                [&](const DbRow& row) {
                  count = static_cast<long>(row.Integer(0));
                  return false;
                });
  return count;
}

}  // namespace

LibraryUpkeep::LibraryUpkeep(std::string dataFolder, QObject* parent)
    : QObject(parent), dataFolder_(std::move(dataFolder)) {
  connect(&periodic_, &QTimer::timeout, this, [this] {
    if (!Busy() && (!idle_ || idle_())) RefreshAll();
  });
  connect(&watch_, &FolderWatch::foldersChanged, this,
          [this](const std::vector<std::string>& folders) { RefreshFolders(folders); });
  worker_ = std::thread([this] { Work(); });
}

LibraryUpkeep::~LibraryUpkeep() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void LibraryUpkeep::RefreshAll() {
  {
    std::lock_guard lock(mutex_);
    all_ = true;
    folders_.clear();
  }
  Wake();
}

void LibraryUpkeep::RefreshFolders(const std::vector<std::string>& folders) {
  {
    std::lock_guard lock(mutex_);
    if (!all_) folders_.insert(folders.begin(), folders.end());
  }
  Wake();
}

void LibraryUpkeep::Check(const std::vector<std::string>& paths) {
  {
    std::lock_guard lock(mutex_);
    toCheck_.insert(toCheck_.end(), paths.begin(), paths.end());
  }
  Wake();
}

void LibraryUpkeep::RecheckListed() {
  {
    std::lock_guard lock(mutex_);
    recheck_ = true;
  }
  Wake();
}

void LibraryUpkeep::SetCheckOptions(const SongCheckOptions& options) {
  std::lock_guard lock(mutex_);
  checkOptions_ = options;
}

void LibraryUpkeep::Wake() {
  busy_ = true;
  wake_.notify_all();
}

void LibraryUpkeep::WaitIdle() {
  std::unique_lock lock(mutex_);
  idleWait_.wait(lock, [this] { return !working_ && !all_ && !recheck_ && folders_.empty() && toCheck_.empty(); });
}

void LibraryUpkeep::SetPeriodic(std::chrono::milliseconds every, std::function<bool()> idle) {
  idle_ = std::move(idle);
  if (every.count() <= 0) {
    periodic_.stop();
    return;
  }
  periodic_.start(every);
}

void LibraryUpkeep::SetWatching(bool on) {
  watching_ = on;
  if (!on) watch_.Forget("/");
}

void LibraryUpkeep::Report(UpkeepReport report, std::vector<std::string> folders) {
  QMetaObject::invokeMethod(
      this,
      [this, report = std::move(report), folders = std::move(folders)] {
        if (watching_) watch_.Watch(folders);
        emit finished(report);
      },
      Qt::QueuedConnection);
}

void LibraryUpkeep::Work() {
  // The worker's own connection: its writes go in short batches, and a
  // failure to open is logged, never shown from this thread.
  std::ostringstream quiet;
  StreamPrompts prompts(quiet, {"", true, false});
  LibraryDatabase database(prompts);
  database.SetDataFolder(dataFolder_);
  bool opened = false;
  for (;;) {
    bool all = false, recheck = false;
    std::set<std::string> folders;
    std::vector<std::string> check;
    SongCheckOptions options;
    {
      std::unique_lock lock(mutex_);
      working_ = false;
      if (!all_ && !recheck_ && folders_.empty() && toCheck_.empty()) busy_ = false;
      idleWait_.notify_all();
      wake_.wait(lock, [this] { return stop_ || all_ || recheck_ || !folders_.empty() || !toCheck_.empty(); });
      if (stop_) return;
      std::swap(all, all_);
      std::swap(recheck, recheck_);
      folders.swap(folders_);
      check.swap(toCheck_);
      options = checkOptions_;
      working_ = true;
    }
    if (!opened) opened = database.OpenLibrary();
    if (!opened) continue;

    UpkeepReport report;
    std::vector<std::string> listed;
    LibraryRefresh refresh(database);
    RefreshHooks hooks;
    hooks.Abort = &stop_;
    const auto take = [&](const RefreshOutcome& outcome) {
      report.Added += outcome.Added;
      report.Moved += outcome.Moved;
      report.Missing += outcome.Missing;
      report.LibraryChanged = report.LibraryChanged || outcome.WroteLibrary();
      report.Unavailable.insert(report.Unavailable.end(), outcome.Unavailable.begin(), outcome.Unavailable.end());
      check.insert(check.end(), outcome.ToCheck.begin(), outcome.ToCheck.end());
      listed.insert(listed.end(), outcome.Folders.begin(), outcome.Folders.end());
    };
    if (all) {
      take(refresh.RefreshAll(hooks));
    } else {
      for (const std::string& folder : folders) {
        if (stop_) break;
        take(refresh.RefreshFolder(folder, hooks));
      }
    }
    EnsureAttentionTable(database.Library());
    if (recheck)
      database.Library().Query(
          "SELECT Path FROM NeedsAttention JOIN Items ON Items.SongPath = NeedsAttention.Path;",
          [&](const DbRow& row) {
            if (const auto path = row.Text(0)) check.emplace_back(*path);
            return true;
          });
    std::sort(check.begin(), check.end());
    check.erase(std::unique(check.begin(), check.end()), check.end());
    if (!check.empty() && !stop_) {
      options.Cancel = &stop_;
      for (const CheckedSong& song : CheckSongs(check, options, kCheckThreads)) {
        RecordCheck(database, check[song.Index], song.Result.Plays, song.Result.Reason);
        if (database.BatchAge() >= kLongestBatch) database.CommitBatch();
      }
      database.CommitBatch();
      report.Checked = static_cast<long>(check.size());
    }
    // The log this work wrote is moved into the file here, so the commit of
    // the program's next History row does not do it on the UI thread.
    database.Library().Execute("PRAGMA wal_checkpoint(PASSIVE);", DbFailureLog::Quiet);
    report.NeedAttention = CountAttention(database.Library());
    if (stop_) return;
    Report(std::move(report), std::move(listed));
  }
}

}  // namespace lyricade
