#pragma once
// One program per data folder. Two copies writing the same rotation,
// preferences and History lose each other's changes, so the first start
// locks the data folder's lock file and listens for later starts; a later
// start asks it to bring its main window forward and ends.

#include <QObject>
#include <memory>
#include <string>

#include "common/process_folders.h"

class QLocalServer;

namespace lyricade {

class DataFolderOwner : public QObject {
  Q_OBJECT
public:
  static constexpr const char* kLockFileName = ".lyricade.lock";
  static constexpr const char* kAlreadyRunning = "Lyricade is already running with this data folder.";

  DataFolderOwner();
  ~DataFolderOwner() override;

  // False when another running program holds `dataFolder`; that program was
  // asked to come forward. A folder that cannot be locked at all (read-only
  // without a lock file) is taken as free: the program runs, as before.
  bool Claim(const std::string& dataFolder);

signals:
  // A later start on the same data folder asked for the main window.
  void comeForwardRequested();

private:
  FileLock lock_;
  std::unique_ptr<QLocalServer> server_;
};

// The local socket's name for a data folder: one per user and folder.
std::string OwnerSocketName(const std::string& dataFolder);

}  // namespace lyricade
