#pragma once
// Watches the outcome of every write into the data folder (the text files,
// History rows) and keeps the one warning the main window shows while
// writes fail: a read-only or full folder otherwise loses the show's lists
// without a word. A file's failure is cleared by its next good write.

#include <QObject>
#include <map>
#include <string>

namespace lyricade {

class DataFolderWrites : public QObject {
  Q_OBJECT
public:
  static constexpr const char* kWarningStart = "Lyricade cannot save to its data folder: ";

  // Listens from construction to destruction (one watcher at a time).
  explicit DataFolderWrites(std::string dataFolder);
  ~DataFolderWrites() override;

  // "Lyricade cannot save to its data folder: NAME: DETAIL" for the newest
  // failure still failing; empty while every write succeeds.
  const std::string& Warning() const { return warning_; }

signals:
  void warningChanged();

private:
  void Take(const std::string& what, bool ok, const std::string& detail);

  std::string folder_;
  // What fails now (a file's name in the folder, or a table), and why.
  std::map<std::string, std::string> failing_;
  std::string newest_;
  std::string warning_;
};

}  // namespace lyricade
