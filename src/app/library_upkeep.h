#pragma once
// The library looking after itself while the program runs: refreshes of the
// watched folders (all of them, or the folders the system reported changed)
// and the check of new songs, all on one worker thread with a library
// connection of its own, so the window never waits for a folder, a file or
// a decoder. Requests made while the worker is busy are merged and run
// when it is free; results come back on the UI thread as signals.
//
// The songs a refresh adds or finds changed, and those an import added, are
// opened as Play would (health/song_batch_check.h); those that will not play
// go to the Needs Attention list.

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "health/song_check.h"
#include "library/folder_watch.h"

namespace lyricade {

struct UpkeepReport {
  long Added = 0;
  long Moved = 0;
  long Missing = 0;
  bool LibraryChanged = false;
  std::vector<std::string> Unavailable;
  // Songs on the Needs Attention list after the work (-1 when not read).
  long NeedAttention = -1;
  long Checked = 0;
};

class LibraryUpkeep : public QObject {
  Q_OBJECT
public:
  explicit LibraryUpkeep(std::string dataFolder, QObject* parent = nullptr);
  // Stops the running work at its next file and waits for the worker.
  ~LibraryUpkeep() override;
  LibraryUpkeep(const LibraryUpkeep&) = delete;
  LibraryUpkeep& operator=(const LibraryUpkeep&) = delete;

  void RefreshAll();
  void RefreshFolders(const std::vector<std::string>& folders);
  // Songs an import added, checked in the background.
  void Check(const std::vector<std::string>& paths);
  // The songs on the Needs Attention list checked again (after repairs).
  void RecheckListed();
  // The bounds of each song's check from the next piece of work on (the
  // cancel flag is the upkeep's own).
  void SetCheckOptions(const SongCheckOptions& options);
  // Work runs or waits.
  bool Busy() const { return busy_.load(); }
  // Blocks until the worker has nothing left to do (for tests and benches;
  // the reports still wait for the event loop).
  void WaitIdle();

  // Refreshes every `every` while `idle` says the program is idle (no song
  // playing, no library command running); zero stops it.
  void SetPeriodic(std::chrono::milliseconds every, std::function<bool()> idle);
  // The system's reports of changed folders, a few seconds settled, ask for
  // a refresh of those folders; the folders a refresh lists are watched.
  void SetWatching(bool on);
  FolderWatch& Watch() { return watch_; }

signals:
  // A piece of work ended (on the UI thread).
  void finished(const UpkeepReport& report);

private:
  void Work();
  void Wake();
  void Report(UpkeepReport report, std::vector<std::string> folders);

  std::string dataFolder_;
  FolderWatch watch_;
  QTimer periodic_;
  std::function<bool()> idle_;
  bool watching_ = false;

  std::mutex mutex_;
  std::condition_variable wake_;
  bool all_ = false;
  bool recheck_ = false;
  std::set<std::string> folders_;
  std::vector<std::string> toCheck_;
  SongCheckOptions checkOptions_;
  bool working_ = false;
  std::condition_variable idleWait_;
  std::atomic<bool> busy_{false};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace lyricade
