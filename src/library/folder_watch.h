#pragma once
// Watches the folders of the watched trees for changes the system reports
// (QFileSystemWatcher, inotify underneath) and, a few seconds after the last
// change, names the folders that changed, so only they are refreshed. A
// copy of a whole album into a folder is one refresh, not a hundred.
//
// The folders come from the refresh, which has listed them anyway; the
// watcher never walks a tree itself. The system allows each user a limited
// number of watches: beyond kMaxFolders the rest are left to the periodic
// refresh.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace lyricade {

class FolderWatch : public QObject {
  Q_OBJECT
public:
  static constexpr size_t kMaxFolders = 4096;

  explicit FolderWatch(std::chrono::milliseconds settle = std::chrono::seconds(3), QObject* parent = nullptr);

  // Watches these folders from now on (those watched already stay).
  void Watch(const std::vector<std::string>& folders);
  // Stops watching `root` and every folder below it (changes reported
  // there and not yet named are dropped).
  void Forget(const std::string& root);
  size_t Count() const;

signals:
  // The folders that changed, each once, `settle` after the last change.
  void foldersChanged(const std::vector<std::string>& folders);

private:
  void Changed(const QString& folder);

  QFileSystemWatcher watcher_;
  QTimer settle_;
  std::set<std::string> pending_;
};

}  // namespace lyricade
