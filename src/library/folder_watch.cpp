#include "library/folder_watch.h"

#include <QSet>
#include <QStringList>

namespace lyricade {

FolderWatch::FolderWatch(std::chrono::milliseconds settle, QObject* parent) : QObject(parent) {
  settle_.setSingleShot(true);
  settle_.setInterval(settle);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::Changed);
  connect(&settle_, &QTimer::timeout, this, [this] {
    std::vector<std::string> folders(pending_.begin(), pending_.end());
    pending_.clear();
    if (!folders.empty()) emit foldersChanged(folders);
  });
}

void FolderWatch::Watch(const std::vector<std::string>& folders) {
  const QStringList current = watcher_.directories();
  const QSet<QString> watched(current.begin(), current.end());
  QStringList adding;
  size_t room = kMaxFolders > static_cast<size_t>(current.size()) ? kMaxFolders - current.size() : 0;
  for (const std::string& folder : folders) {
    if (room == 0) break;
    const QString name = QString::fromStdString(folder);
    if (watched.contains(name) || adding.contains(name)) continue;
    adding.push_back(name);
    --room;
  }
  // Folders that vanished since they were listed are refused quietly: the
  // next refresh lists what is there.
  if (!adding.isEmpty()) watcher_.addPaths(adding);
}

void FolderWatch::Forget(const std::string& root) {
  const QString base = QString::fromStdString(root);
  const auto under = [&base](const QString& folder) {
    return base == "/" || folder == base || folder.startsWith(base + "/");
  };
  QStringList leaving;
  for (const QString& folder : watcher_.directories())
    if (under(folder)) leaving.push_back(folder);
  if (!leaving.isEmpty()) watcher_.removePaths(leaving);
  // Changes already reported there and not yet named are dropped too.
  for (auto folder = pending_.begin(); folder != pending_.end();)
    folder = under(QString::fromStdString(*folder)) ? pending_.erase(folder) : std::next(folder);
  if (pending_.empty()) settle_.stop();
}

size_t FolderWatch::Count() const { return static_cast<size_t>(watcher_.directories().size()); }

void FolderWatch::Changed(const QString& folder) {
  // The folder itself is named: a refresh of it lists the folders below it,
  // and a new one there is found with its songs.
  pending_.insert(folder.toStdString());
  settle_.start();
}

}  // namespace lyricade
