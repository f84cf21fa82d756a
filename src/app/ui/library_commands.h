#pragma once
// The library's commands as the main window offers them: the "Edit" menu's
// maintenance commands on the library list's selection. It owns the
// maintenance logic, turns the list view's selection into ItemNums and
// shows the command's dialogs. While a command that lets events run (search
// and replace) is busy, every other command that writes the library waits
// its turn: it is refused.

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

#include "library/library_maintenance.h"

class QWidget;

namespace lyricade {

class LibraryDatabase;
class LibraryListController;
class LibraryListModel;
class LibraryListView;
class Prompts;
class ReplaceProgressWindow;

class LibraryCommands : public QObject {
  Q_OBJECT
public:
  LibraryCommands(LibraryDatabase& database, Prompts& prompts, LibraryListController& controller,
                  LibraryListModel& model, LibraryListView& view, QWidget* owner);
  ~LibraryCommands() override;

  // True while a command that lets events run is writing the library.
  bool Busy() const { return busy_; }

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

private:
  // Runs a command unless another one is busy.
  template <typename Command>
  void Run(Command command);

  LibraryListModel& model_;
  LibraryListView& view_;
  QWidget* owner_;
  LibraryMaintenance maintenance_;
  std::unique_ptr<ReplaceProgressWindow> replaceWindow_;
  bool busy_ = false;
};

}  // namespace lyricade
