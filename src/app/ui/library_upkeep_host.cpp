#include "app/ui/library_upkeep_host.h"

#include <QAction>
#include <QTimer>

#include "app/library_upkeep.h"
#include "app/show.h"
#include "app/ui/library_commands.h"
#include "app/ui/library_folders_dialog.h"
#include "app/ui/main_window.h"
#include "library/library_database.h"
#include "library/library_list_controller.h"

namespace lyricade {

LibraryUpkeepHost::LibraryUpkeepHost(LibraryDatabase& database, LibraryListController& controller,
                                     LibraryCommands& commands, Show& show, MainWindow& window)
    : database_(database),
      controller_(controller),
      commands_(commands),
      show_(show),
      window_(window),
      upkeep_(std::make_unique<LibraryUpkeep>(database.DataFolder())) {
  const std::pair<const char*, std::function<void()>> entries[] = {
      {"Library Folders...", [this] { OpenFoldersDialog(); }},
      {"Refresh Library", [this] { upkeep_->RefreshAll(); }},
      {"Show Needs Attention", [this] { controller_.ShowNeedsAttention(-1); }},
      {"Re-check Needs Attention", [this] { upkeep_->RecheckListed(); }},
  };
  for (const auto& [text, run] : entries)
    if (QAction* action = window_.EditMenuAction(text)) {
      action->setEnabled(true);
      connect(action, &QAction::triggered, this, run);
    }
  connect(&commands_, &LibraryCommands::songsImported, this,
          [this](const std::vector<std::string>& paths) { upkeep_->Check(paths); });
  connect(upkeep_.get(), &LibraryUpkeep::finished, this, [this](const UpkeepReport& report) {
    // The list follows the library unless the host is in the middle of a
    // search or a command that reloads it itself.
    if (controller_.ShowingNeedsAttention() && report.Checked > 0)
      controller_.ShowNeedsAttention(-1);
    else if (report.LibraryChanged && !controller_.SearchMode() && !commands_.Busy())
      controller_.LoadLibraryList(-1);
    if (report.LibraryChanged) emit libraryChanged();
  });
  SetAutomatic(AutomaticRefreshChosen());
}

LibraryUpkeepHost::~LibraryUpkeepHost() = default;

void LibraryUpkeepHost::SetAutomatic(bool on) {
  upkeep_->SetWatching(on);
  upkeep_->SetPeriodic(on ? std::chrono::minutes(kPeriodMinutes) : std::chrono::minutes(0),
                       [this] { return !show_.SongPlaying() && !commands_.Busy(); });
  // The first refresh lists the folders the watcher then watches; a moment
  // after start, so the window is up first.
  if (on) QTimer::singleShot(2000, upkeep_.get(), [this] { upkeep_->RefreshAll(); });
}

void LibraryUpkeepHost::OpenFoldersDialog() {
  LibraryFoldersDialog dialog(database_, *upkeep_, &window_);
  connect(&dialog, &LibraryFoldersDialog::automaticRefreshChanged, this, &LibraryUpkeepHost::SetAutomatic);
  dialog.exec();
}

}  // namespace lyricade
