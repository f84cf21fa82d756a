#include "app/ui/library_commands.h"

#include <QItemSelectionModel>

#include <algorithm>

#include "app/app_log.h"
#include "library/library_list_controller.h"
#include "library/library_list_model.h"
#include "library/library_list_view.h"
#include "library/ui/edit_item_dialog.h"
#include "library/ui/format_wizard.h"
#include "library/ui/import_progress_window.h"
#include "platform/prompts/prompts.h"
#include "library/ui/replace_progress_window.h"

namespace lyricade {

LibraryCommands::LibraryCommands(LibraryDatabase& database, Prompts& prompts,
                                 LibraryListController& controller, LibraryListModel& model,
                                 LibraryListView& view, QWidget* owner)
    : QObject(owner),
      prompts_(prompts),
      controller_(controller),
      model_(model),
      view_(view),
      owner_(owner),
      import_(database),
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
    // One library-writing command at a time: the running one lets events
    // run, so this one would write into the middle of it.
    qCInfo(lcApp) << "a library command is refused: another one is still writing the library";
    prompts_.Message(kBusyCaption, kBusyText, PromptButtons::Ok, PromptIcon::Information);
    return;
  }
  busy_ = true;
  emit busyChanged(true);
  command();
  busy_ = false;
  emit busyChanged(false);
}

void LibraryCommands::AddFolder() {
  Run([this] {
    import_.ResetSettings();
    if (!RunFormatWizard(prompts_, import_.Settings(), owner_)) return;
    const auto folder = prompts_.ChooseFolder("Browse for Folder", {});
    if (!folder) return;
    ImportProgressWindow window;
    importWindow_ = &window;
    ImportProgress callbacks = window.Callbacks();
    std::vector<std::string> taken;
    callbacks.File = [&taken, shown = std::move(callbacks.File)](const std::string& path) {
      taken.push_back(path);
      if (shown) shown(path);
    };
    const long count = import_.ImportFolder(*folder, callbacks);
    importWindow_ = nullptr;
    if (count > 0) emit songsImported(taken);
    // The rows were committed by the import: the list's own connection sees
    // them now.
    controller_.LoadLibraryList(-1);
    ShowImportCount(prompts_, count);
  });
}

void LibraryCommands::AddSingleSong() {
  Run([this] {
    const auto file =
        prompts_.OpenFile("Add Single Song", {{kKaraokeFilesFilterName, kKaraokeFilesFilterPatterns}});
    if (!file) return;
    import_.ResetSettings();
    RunFormatWizardFormatPage(*file, import_.Settings(), owner_);
    if (!import_.ImportSingleFile(*file))
      qCWarning(lcApp) << "the song" << file->c_str() << "was not added to the library";
    else
      emit songsImported({*file});
    controller_.LoadLibraryList(-1);
  });
}

void LibraryCommands::AbortImport() {
  if (importWindow_) importWindow_->Abort();
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
