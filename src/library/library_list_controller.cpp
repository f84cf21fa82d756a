#include "library/library_list_controller.h"

#include <QMetaObject>

#include <algorithm>

#include "library/library_database.h"
#include "library/needs_attention.h"

namespace lyricade {

LibraryListController::LibraryListController(LibraryDatabase& database, LibraryListModel& model,
                                             QObject* parent)
    : QObject(parent), database_(database), model_(model), index_(database) {}

// The workers are waited for before the object goes: their hand-over events
// are then dropped with it.
LibraryListController::~LibraryListController() { loader_.WaitAll(); }

void LibraryListController::LoadLibraryList(int column) {
  if (loadBusy_) return;
  SetButtonsEnabled(false);
  loadBusy_ = true;
  model_.Clear();
  libraryOrder_.Update(column);
  SetStatus(kLoading);
  StartLoad(false, WholeLibraryStatement(libraryOrder_));
  index_.Refresh();
}

void LibraryListController::SearchLibrary(const std::string& text,
                                          const std::string& fieldChoice, MatchMode mode,
                                          int column) {
  if (searchBusy_) return;
  searchBusy_ = true;
  attentionMode_ = false;
  SetButtonsEnabled(false);
  const std::vector<std::string> words = SplitSearchWords(SanitizeSearchText(text));
  model_.Clear();
  SetStatus(kSearching);
  const SearchField field = SearchFieldForChoice(fieldChoice);
  searchOrder_.Update(column);
  const std::string statement = BuildSearchStatement(words, field, mode, searchOrder_);
  std::shared_ptr<const SearchIndex> index = index_.Current();
  lastSearchIndexed_ = index != nullptr;
  if (index)
    StartIndexedSearch(std::move(index), words, field, mode, statement);
  else
    StartLoad(true, statement);
  searchMode_ = true;
}

void LibraryListController::ShowNeedsAttention(int column) {
  if (searchBusy_) return;
  // A library made before the list existed has no table yet: an empty list.
  if (database_.LibraryOpen() && !EnsureAttentionTable(database_.Library())) return;
  searchBusy_ = true;
  SetButtonsEnabled(false);
  model_.Clear();
  SetStatus(kSearching);
  searchOrder_.Update(column);
  StartLoad(true, NeedsAttentionStatement(searchOrder_));
  searchMode_ = true;
  attentionMode_ = true;
}

void LibraryListController::SearchAsTyped() {
  if (searchBusy_) {
    typedSearchWaiting_ = true;
    return;
  }
  Search();
}

void LibraryListController::Search() {
  const SearchControls controls = controls_ ? controls_() : SearchControls{};
  SearchLibrary(controls.Text, controls.FieldChoice, controls.Mode, -1);
}

void LibraryListController::ShowAll() {
  searchMode_ = false;
  LoadLibraryList(-1);
}

void LibraryListController::HeaderClicked(int column) {
  if (ShowingNeedsAttention()) {
    ShowNeedsAttention(std::min(column, 5));
  } else if (searchMode_) {
    const SearchControls controls = controls_ ? controls_() : SearchControls{};
    SearchLibrary(controls.Text, controls.FieldChoice, controls.Mode, std::min(column, 5));
  } else {
    LoadLibraryList(column);
  }
}

void LibraryListController::StartLoad(bool search, const std::string& statement) {
  listStatement_ = statement;
  const std::string path = database_.LibraryOpen() ? database_.LibraryPath() : std::string();
  loader_.Start(path, statement,
                [this, search](std::shared_ptr<DbResult> result) { HandOver(search, result); });
}

void LibraryListController::StartIndexedSearch(std::shared_ptr<const SearchIndex> index,
                                               std::vector<std::string> words,
                                               SearchField field, MatchMode mode,
                                               const std::string& statement) {
  listStatement_ = statement;
  const std::string path = database_.LibraryPath();
  auto open = [index = std::move(index), words = std::move(words), field, mode,
               order = searchOrder_, path, statement]() -> std::shared_ptr<DbResult> {
    std::optional<std::vector<int64_t>> keys = index->Search(words, field, mode, order);
    if (!keys) return OpenListResult(path, statement);
    auto result = std::make_shared<DbResult>();
    result->OpenKeys(path, "SELECT * FROM Items", std::move(*keys));
    return result;
  };
  loader_.Start(std::move(open),
                [this](std::shared_ptr<DbResult> result) { HandOver(true, result); });
}

void LibraryListController::HandOver(bool search, std::shared_ptr<DbResult> result) {
  // Runs on the worker: the result travels to the UI thread in a queued
  // call and is touched there only.
  QMetaObject::invokeMethod(
      this, [this, search, result] { Finish(search, result); }, Qt::QueuedConnection);
}

void LibraryListController::Finish(bool search, std::shared_ptr<DbResult> result) {
  model_.SetResult(std::move(result));
  (search ? searchBusy_ : loadBusy_) = false;
  SetStatus(kComplete);
  if (!loadBusy_ && !searchBusy_) SetButtonsEnabled(true);
  emit loadFinished(search);
  if (search && typedSearchWaiting_) {
    typedSearchWaiting_ = false;
    Search();
  }
}

void LibraryListController::SetStatus(const char* text) {
  status_ = QString::fromLatin1(text);
  emit statusChanged(status_);
}

void LibraryListController::SetButtonsEnabled(bool enabled) {
  buttonsEnabled_ = enabled;
  emit buttonsEnabledChanged(enabled);
}

}  // namespace lyricade
