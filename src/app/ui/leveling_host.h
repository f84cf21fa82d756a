#pragma once
// The program's side of song leveling: reads and keeps its options, gives
// the show the library's loudness figures (a UI-thread connection of its
// own; one indexed row per song that opens), runs the background measurer
// with the rotation's queued songs first, and shows its progress in the
// main window's status area.

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "leveling/background_measurer.h"
#include "leveling/loudness_store.h"
#include "platform/db/db_connection.h"

namespace lyricade {

class AppSettings;
class MainWindow;
class Show;

class LevelingHost : public QObject {
  Q_OBJECT

public:
  LevelingHost(AppSettings& settings, Show& show, MainWindow& window, std::string libraryPath);
  ~LevelingHost() override;

  // Starts the background pass (after the library opened).
  void Start();
  // Ends the song being measured and the thread (before the library closes).
  void Stop();
  // An import committed new rows.
  void LibraryChanged() { measurer_.Wake(); }

  // The songs the rotation will play next, next first: every singer's first
  // song from the current singer on, then the rest of their songs.
  static std::vector<std::string> QueuedPaths(const Show& show);

private:
  void RefreshStatus();

  Show& show_;
  MainWindow& window_;
  DbConnection db_;
  std::unique_ptr<LoudnessStore> store_;
  BackgroundMeasurer measurer_;
  QTimer status_;
  int statusTicks_ = 0;
};

}  // namespace lyricade
