#pragma once
// The library's upkeep in the main window: the Edit menu's "Library
// Folders...", "Refresh Library", "Show Needs Attention" and "Re-check
// Needs Attention", the check of the songs an import added, the automatic
// refresh (at start, every few minutes while no song plays and no library
// command runs, and when the system reports a watched folder changed), and
// the library list reloaded when a refresh changed the library.

#include <QObject>

#include <memory>

namespace lyricade {

class LibraryCommands;
class LibraryDatabase;
class LibraryListController;
class LibraryUpkeep;
class MainWindow;
class Show;

class LibraryUpkeepHost : public QObject {
  Q_OBJECT
public:
  static constexpr int kPeriodMinutes = 5;

  LibraryUpkeepHost(LibraryDatabase& database, LibraryListController& controller, LibraryCommands& commands,
                    Show& show, MainWindow& window);
  ~LibraryUpkeepHost() override;

  LibraryUpkeep& Upkeep() { return *upkeep_; }
  // Turns the automatic refresh on or off (and refreshes once when on).
  void SetAutomatic(bool on);

signals:
  // A refresh or check changed the library's rows.
  void libraryChanged();

private:
  void OpenFoldersDialog();

  LibraryDatabase& database_;
  LibraryListController& controller_;
  LibraryCommands& commands_;
  Show& show_;
  MainWindow& window_;
  std::unique_ptr<LibraryUpkeep> upkeep_;
};

}  // namespace lyricade
