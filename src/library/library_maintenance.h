#pragma once
// The library's maintenance commands of the "Edit" menu: edit one song's
// information, flip two fields, search and replace, remove songs (selected
// or missing ones), purge songs with their files, clear the library and
// compact the database. Plain logic without widgets: every question and
// message goes through Prompts, the list's selection comes in as ItemNums
// (in list order), and what the commands need of the list and of the
// progress window comes in as callbacks.
//
// Each command writes through the library connection inside one transaction
// that is always committed (a failing statement is skipped, the others
// stay), and ends by asking for the list to be reloaded. A "No" to any
// question ends the command at once, without a reload.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/library_rows.h"
#include "library/maintenance_statements.h"

namespace lyricade {

class LibraryDatabase;
class Prompts;

// What the commands need of the library list.
struct MaintenanceListHooks {
  // The whole library again in its order (the search mode flag is kept).
  std::function<void()> Reload;
  // The list refuses input while a flip writes.
  std::function<void(bool enabled)> SetEnabled;
  // Flips leave search mode (before their reload).
  std::function<void()> LeaveSearchMode;
};

// The modeless progress window of "Search and Replace", opened only when
// rows match.
struct ReplaceProgress {
  static constexpr const char* kTitle = "Search and Replace";
  static constexpr const char* kGroup = "Progress:";
  static constexpr const char* kFirstText = "0 / 0";

  std::function<void()> Open;
  // After each row: "done / count" and the bar from 0 to 100.
  std::function<void(const std::string& text, int percent)> Step;
  // Lets waiting window events run, so the window stays responsive.
  std::function<void()> Pump;
  std::function<void()> Close;
};

// The "Edit Item Information" dialog's contents: the fields as the host
// edits them, and the row they came from.
struct EditItemForm {
  static constexpr const char* kTitle = "Edit Item Information";
  static constexpr const char* kUpdate = "Update";
  static constexpr const char* kLabels[5] = {"Song Name:", "Artist:", "Album / ID:", "Year:",
                                             "Comment:"};
  long ItemNum = 0;
  std::string Path;
  EditedFields Fields;
  // The row's fields whole, as stored: a field the host left as the dialog
  // showed it is written back as it was, not cut to the dialog's limits.
  EditedFields Stored;
};

class LibraryMaintenance {
public:
  LibraryMaintenance(LibraryDatabase& database, Prompts& prompts, MaintenanceListHooks list);

  // The dialog's contents for the row with the selection mark: nullopt when
  // there is none (0) or the row is gone. The fields are cut as the dialog
  // shows them.
  std::optional<EditItemForm> LoadEditItem(long itemNum);
  // "Update": writes the fields to every row with the form's path and
  // reloads the list; the dialog then closes.
  void UpdateEditItem(const EditItemForm& form);

  void FlipFields(FlipMode mode, const std::vector<long>& selection);
  // `listRowCount` is the number of rows the list shows: selecting more than
  // half of them offers to clear the whole library instead.
  void RemoveSongs(const std::vector<long>& selection, long listRowCount);
  // Removes the selected rows whose song is missing (shown red).
  void RemoveBadSongs(const std::vector<long>& selection);
  // Removes the selected rows and deletes their files and graphics files.
  void PurgeSongs(const std::vector<long>& selection);
  void SearchAndReplace(const ReplaceProgress& progress);
  void ClearLibrary();
  void CompactDatabase();

private:
  bool Ask(const char* caption, const char* question);
  std::vector<LibraryRow> Rows(const std::vector<long>& selection);
  void Reload();
  void RemoveRow(long itemNum);
  void DeleteSongFile(const std::string& path);

  LibraryDatabase& database_;
  Prompts& prompts_;
  MaintenanceListHooks list_;
};

}  // namespace lyricade
