#include "app/ui/library_commands.h"

#include <QItemSelectionModel>

#include <algorithm>

#include "app/app_log.h"
#include "library/library_list_controller.h"
#include "library/library_list_model.h"
#include "library/library_list_view.h"
#include "library/ui/edit_item_dialog.h"
#include "library/ui/replace_progress_window.h"

namespace lyricade {

LibraryCommands::LibraryCommands(LibraryDatabase& database, Prompts& prompts,
                                 LibraryListController& controller, LibraryListModel& model,
                                 LibraryListView& view, QWidget* owner)
    : QObject(owner),
      model_(model),
      view_(view),
      owner_(owner),
      maintenance_(database, prompts,
                   MaintenanceListHooks{[&controller] { controller.LoadLibraryList(-1); },
                                        [&view](bool enabled) { view.setEnabled(enabled); },
                                        [&controller] { controller.ClearSearchMode(); }}),
      replaceWindow_(std::make_unique<ReplaceProgressWindow>(owner)) {}

LibraryCommands::~LibraryCommands() = default;

std::vector<long> LibraryCommands::Selection() const {
  std::vector<int> rows;
  if (QItemSelectionModel* selection = view_.selectionModel())
    for (const QModelIndex& index : selection->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  std::vector<long> items;
  for (int row : rows)
    if (const long item = model_.ItemNumber(row); item > 0) items.push_back(item);
  return items;
}

template <typename Command>
void LibraryCommands::Run(Command command) {
  if (busy_) {
    qCInfo(lcApp) << "a library command waits: another one is still writing the library";
    return;
  }
  busy_ = true;
  emit busyChanged(true);
  command();
  busy_ = false;
  emit busyChanged(false);
}

void LibraryCommands::EditItem() {
  Run([this] {
    const QModelIndex mark = view_.currentIndex();
    if (!mark.isValid()) return;
    const auto form = maintenance_.LoadEditItem(model_.ItemNumber(mark.row()));
    if (!form) return;
    EditItemDialog dialog(*form, owner_);
    if (dialog.exec() == QDialog::Accepted) maintenance_.UpdateEditItem(dialog.Form());
  });
}

void LibraryCommands::RemoveSongs() {
  Run([this] { maintenance_.RemoveSongs(Selection(), model_.RowCount()); });
}

void LibraryCommands::RemoveBadSongs() {
  Run([this] { maintenance_.RemoveBadSongs(Selection()); });
}

void LibraryCommands::PurgeSongs() {
  Run([this] { maintenance_.PurgeSongs(Selection()); });
}

void LibraryCommands::Flip(FlipMode mode) {
  Run([this, mode] { maintenance_.FlipFields(mode, Selection()); });
}

void LibraryCommands::SearchAndReplace() {
  Run([this] { maintenance_.SearchAndReplace(replaceWindow_->Callbacks()); });
}

void LibraryCommands::ClearLibrary() {
  Run([this] { maintenance_.ClearLibrary(); });
}

void LibraryCommands::CompactDatabase() {
  Run([this] { maintenance_.CompactDatabase(); });
}

}  // namespace lyricade
