#pragma once
// The library's commands as the main window offers them: "Add Folder...",
// "Add Single Song..." and the "Edit" menu's maintenance commands on the
// library list's selection. It owns the import and maintenance logic, turns
// the list view's selection into ItemNums and shows the commands' dialogs
// and windows. While a command that lets events run (a folder import, search
// and replace) is busy, every other command that writes the library is
// refused, and the program does not close.

#include <QObject>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

#include "library/library_import.h"
#include "library/library_maintenance.h"

class QWidget;

namespace lyricade {

class LibraryDatabase;
class LibraryListController;
class LibraryListModel;
class LibraryListView;
class ImportProgressWindow;
class Prompts;
class ReplaceProgressWindow;

class LibraryCommands : public QObject {
  Q_OBJECT
public:
  LibraryCommands(LibraryDatabase& database, Prompts& prompts, LibraryListController& controller,
                  LibraryListModel& model, LibraryListView& view, QWidget* owner);
  ~LibraryCommands() override;

  static constexpr const char* kBusyCaption = "Library Busy";
  static constexpr const char* kBusyText =
      "The library is busy with another command (an import, say). Try again when it has "
      "finished.";

  // True while a command that lets events run is writing the library.
  bool Busy() const { return busy_; }

  // The wizard, the folder chooser, the import with its progress window,
  // the list reloaded after the commit, the count message.
  void AddFolder();
  // The file chooser, the wizard's second page, the import of that file.
  void AddSingleSong();
  // A folder import is running: "Abort" it (the songs so far stay).
  bool Importing() const { return importWindow_ != nullptr; }
  void AbortImport();
  LibraryImport& Import() { return import_; }

  void EditItem();
  void RemoveSongs();
  void RemoveBadSongs();
  void PurgeSongs();
  void Flip(FlipMode mode);
  void SearchAndReplace();
  void ClearLibrary();
  void CompactDatabase();

  // The list's selected rows as ItemNums, in list order.
  std::vector<long> Selection() const;

signals:
  void busyChanged(bool busy);
  // The files an import took (committed), for the check in the background.
  void songsImported(const std::vector<std::string>& paths);

private:
  // Runs a command unless another one is busy.
  template <typename Command>
  void Run(Command command);

  Prompts& prompts_;
  LibraryListController& controller_;
  LibraryListModel& model_;
  LibraryListView& view_;
  QWidget* owner_;
  LibraryImport import_;
  LibraryMaintenance maintenance_;
  ImportProgressWindow* importWindow_ = nullptr;  // while a folder import runs
  std::unique_ptr<ReplaceProgressWindow> replaceWindow_;
  bool busy_ = false;
};

}  // namespace lyricade
