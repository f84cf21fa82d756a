#include "library/library_maintenance.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "library/library_database.h"
#include "library/library_log.h"
#include "library/text_replace.h"
#include "library/sql_quoting.h"
#include "platform/db/db_result.h"
#include "platform/prompts/prompts.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

constexpr const char* kCompactCaption = "Compact Database";
constexpr const char* kCompactAfterClearing =
    "A Compact after Clearing is adviseable, would you like to Compact now?";
constexpr const char* kReplaceInputTitle = "Search And Replace";
// The input boxes of "Search and Replace" take at most this many characters.
constexpr int kReplaceInputLength = 99;

// At most `count` characters of UTF-8 text (a dialog's field limit).
std::string CutCharacters(const std::string& text, size_t count) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == count) return text.substr(0, i);
  }
  return text;
}

EditedFields CutFields(const EditedFields& fields, size_t title, size_t artist, size_t id,
                       size_t year, size_t comment) {
  return {CutCharacters(fields.Title, title), CutCharacters(fields.Artist, artist),
          CutCharacters(fields.Id, id), CutCharacters(fields.Year, year),
          CutCharacters(fields.Comment, comment)};
}

// How many characters the dialog shows of each field, and how many
// "Update" reads of an edited one.
constexpr size_t kShownLimits[5] = {199, 199, 197, 9, 254};
constexpr size_t kWrittenLimits[5] = {1023, 1023, 1023, 9, 254};

std::string* FieldOf(EditedFields& fields, size_t i) {
  std::string* all[5] = {&fields.Title, &fields.Artist, &fields.Id, &fields.Year, &fields.Comment};
  return all[i];
}

// A matching row of "Search and Replace" as the find statement read it.
struct ReplaceRow {
  long ItemNum = 0;
  std::string Title;
  std::string Artist;
  std::string Id;
};

}  // namespace

LibraryMaintenance::LibraryMaintenance(LibraryDatabase& database, Prompts& prompts,
                                       MaintenanceListHooks list)
    : database_(database), prompts_(prompts), list_(std::move(list)) {}

bool LibraryMaintenance::Ask(const char* caption, const char* question) {
  return prompts_.Message(caption, question, PromptButtons::YesNo, PromptIcon::Question) ==
         PromptAnswer::Yes;
}

std::vector<LibraryRow> LibraryMaintenance::Rows(const std::vector<long>& selection) {
  std::vector<LibraryRow> rows;
  // Without a library every command goes on and changes nothing; the failed
  // open was shown at start-up.
  if (database_.LibraryOpen()) ReadLibraryRows(database_.LibraryPath(), selection, rows);
  return rows;
}

void LibraryMaintenance::Reload() {
  if (list_.Reload) list_.Reload();
}

void LibraryMaintenance::RemoveRow(long itemNum) {
  if (itemNum != 0) database_.Execute(RemoveItemStatement(itemNum));
}

std::optional<EditItemForm> LibraryMaintenance::LoadEditItem(long itemNum) {
  if (itemNum == 0) return std::nullopt;
  const std::vector<LibraryRow> rows = Rows({itemNum});
  if (rows.empty()) {
    qCWarning(lcLibrary, "no library row %ld to edit", itemNum);
    return std::nullopt;
  }
  const LibraryRow& row = rows.front();
  EditItemForm form;
  form.ItemNum = row.ItemNum;
  form.Path = row.Path;
  form.Stored = {row.Title, row.Artist, row.Id, row.Year, row.Comment};
  form.Fields = CutFields(form.Stored, kShownLimits[0], kShownLimits[1], kShownLimits[2],
                          kShownLimits[3], kShownLimits[4]);
  return form;
}

void LibraryMaintenance::UpdateEditItem(const EditItemForm& form) {
  EditedFields fields = form.Fields;
  EditedFields stored = form.Stored;
  for (size_t i = 0; i < 5; ++i) {
    std::string& field = *FieldOf(fields, i);
    const std::string& was = *FieldOf(stored, i);
    field = field == CutCharacters(was, kShownLimits[i]) ? was
                                                         : CutCharacters(field, kWrittenLimits[i]);
  }
  database_.BeginTrans();
  database_.Execute(EditItemStatement(fields, form.Path));
  database_.CommitTrans();
  Reload();
}

void LibraryMaintenance::FlipFields(FlipMode mode, const std::vector<long>& selection) {
  if (!Ask("Flip Information", "Are You Sure?")) return;
  // Every cell is read before the first write, as the list showed it, and
  // whole: a cut would lose the end of a long field for good.
  const std::vector<LibraryRow> rows = Rows(selection);
  if (list_.SetEnabled) list_.SetEnabled(false);
  database_.BeginTrans();
  for (const LibraryRow& row : rows) {
    switch (mode) {
      case FlipMode::TitleArtist:
        database_.Execute(FlipStatement(mode, row.Title, row.Artist, row.Path));
        break;
      case FlipMode::TitleId:
        database_.Execute(FlipStatement(mode, row.Title, row.Id, row.Path));
        break;
      case FlipMode::ArtistId:
        database_.Execute(FlipStatement(mode, row.Artist, row.Id, row.Path));
        break;
    }
  }
  database_.CommitTrans();
  if (list_.SetEnabled) list_.SetEnabled(true);
  if (list_.LeaveSearchMode) list_.LeaveSearchMode();
  Reload();
}

void LibraryMaintenance::RemoveSongs(const std::vector<long>& selection, long listRowCount) {
  if (!Ask("Remove Song(s)", "Are you sure?")) return;
  if (static_cast<long>(selection.size()) > listRowCount / 2 &&
      Ask("Clear Whole Database",
          "You Are Trying Clear Alot of Songs, Would You Prefer to CLEAR Your Whole Database?")) {
    database_.BeginTrans();
    database_.Execute(ClearLibraryStatement());
    database_.CommitTrans();
    if (Ask(kCompactCaption, kCompactAfterClearing)) database_.CompactLibrary();
    Reload();
    return;
  }
  database_.BeginTrans();
  for (long itemNum : selection) RemoveRow(itemNum);
  database_.CommitTrans();
  Reload();
}

void LibraryMaintenance::RemoveBadSongs(const std::vector<long>& selection) {
  if (!Ask("Remove Bad Song(s)", "Removes Missing (Red) Song(s), Are you sure?")) return;
  const std::vector<LibraryRow> rows = Rows(selection);
  database_.BeginTrans();
  for (const LibraryRow& row : rows)
    if (SongMissing(row.Path)) RemoveRow(row.ItemNum);
  database_.CommitTrans();
  Reload();
}

void LibraryMaintenance::DeleteSongFile(const std::string& path) {
  std::error_code error;
  if (!fs::exists(path, error)) return;
  if (fs::is_directory(path, error)) {
    qCWarning(lcLibrary, "not purging %s: it is a folder", path.c_str());
    return;
  }
  if (!fs::remove(path, error))
    qCWarning(lcLibrary, "cannot delete %s: %s", path.c_str(),
              error ? error.message().c_str() : "it is gone");
}

void LibraryMaintenance::PurgeSongs(const std::vector<long>& selection) {
  constexpr const char* kCaption = "Purge Song(s)";
  if (!Ask(kCaption, "Are you sure, this will DELETE the files?") ||
      !Ask(kCaption, "This is absolutely irreversable and permanent, Are You Sure?"))
    return;
  const std::vector<LibraryRow> rows = Rows(selection);
  database_.BeginTrans();
  for (const LibraryRow& row : rows) {
    RemoveRow(row.ItemNum);
    DeleteSongFile(row.Path);
    if (const std::string graphics = CompanionGraphicsToPurge(row.Path); !graphics.empty())
      DeleteSongFile(graphics);
  }
  database_.CommitTrans();
  Reload();
}

void LibraryMaintenance::SearchAndReplace(const ReplaceProgress& progress) {
  std::optional<std::string> search =
      prompts_.Input(kReplaceInputTitle, "Search For:", "", kReplaceInputLength);
  // An empty search text would match everywhere and never be used up.
  if (!search || search->empty()) return;
  std::optional<std::string> replacement =
      prompts_.Input(kReplaceInputTitle, "Replace With:", "", kReplaceInputLength);
  if (!replacement) return;
  const std::string searchText = AccentApostrophes(*search);
  const std::string replacementText = AccentApostrophes(*replacement);

  // The matching rows are read whole before the transaction writes.
  std::vector<ReplaceRow> rows;
  if (database_.LibraryOpen()) {
    DbResult found;
    if (found.Open(database_.LibraryPath(), FindReplaceRowsStatement(searchText))) {
      for (long r = 0; found.MoveTo(r); ++r)
        rows.push_back({static_cast<long>(found.Integer(0).value_or(0)),
                        found.Text(1).value_or(""), found.Text(2).value_or(""),
                        found.Text(3).value_or("")});
    } else {
      qCWarning(lcLibrary, "cannot find the rows to replace \"%s\" in %s: %s",
                searchText.c_str(), database_.LibraryPath().c_str(), found.LastError().c_str());
    }
  }
  const long count = static_cast<long>(rows.size());

  // The window pumps events between rows, and the show goes on: written in
  // batches like an import, so a History row recorded meanwhile commits on
  // its own and never inside this command's transaction.
  database_.CommitBatch();
  const std::string upperSearch = UpperAscii(searchText);
  if (count > 0 && progress.Open) progress.Open();
  for (long i = 0; i < count; ++i) {
    const ReplaceRow& row = rows[static_cast<size_t>(i)];
    const std::string title = ReplaceUpperCased(row.Title, upperSearch, replacementText);
    const std::string artist = ReplaceUpperCased(row.Artist, upperSearch, replacementText);
    const std::string id = ReplaceUpperCased(row.Id, upperSearch, replacementText);
    if (row.ItemNum != 0)
      database_.ExecuteInBatch(WriteReplacedRowStatement(row.ItemNum, title, artist, id));
    if (database_.BatchDue()) database_.CommitBatch();
    if (progress.Step)
      progress.Step(DecimalText(i + 1) + " / " + DecimalText(count),
                    static_cast<int>((i + 1) * 100 / count));
    if (progress.Pump) progress.Pump();
  }
  if (count > 0 && progress.Close) progress.Close();
  database_.CommitBatch();
  Reload();
  prompts_.Message("Search and Replace", "Done", PromptButtons::Ok);
}

void LibraryMaintenance::ClearLibrary() {
  constexpr const char* kCaption = "Clear Database";
  if (!Ask(kCaption, "Are you sure, this will CLEAR the database?") ||
      !Ask(kCaption,
           "This will take a bit of time and you must be patient,\nit will appear like it is "
           "frozen for a small while\nand you must be sure you want to do this...\n\nAre You "
           "Sure?") ||
      !Ask(kCaption, "This is irreversable, Are You Sure?"))
    return;
  database_.BeginTrans();
  database_.Execute(ClearLibraryStatement());
  database_.CommitTrans();
  if (Ask(kCompactCaption, kCompactAfterClearing)) database_.CompactLibrary();
  Reload();
}

void LibraryMaintenance::CompactDatabase() {
  if (!Ask(kCompactCaption,
           "A Compact Optimizes and Speeds up your database\nafter performing alot of "
           "operations\nbut may take a little while to perform.\n\nAre you prepared to Compact "
           "the Database?\n(Wait for the completion prompt!)"))
    return;
  database_.CompactLibrary();
  Reload();
}

}  // namespace lyricade
