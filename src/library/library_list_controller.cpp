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

void LibraryListController::SetVersions(bool group, MakerPreference preference) {
  const bool changed = group != groupVersions_ || (group && preference.Makers() != preference_.Makers());
  groupVersions_ = group;
  preference_ = std::move(preference);
  if (!changed) return;
  if (loadBusy_ || searchBusy_)
    reloadWaiting_ = true;
  else
    Reload();
}

void LibraryListController::Reload() {
  if (searchMode_)
    Search();
  else
    LoadLibraryList(-1);
}

void LibraryListController::StartLoad(bool search, const std::string& statement) {
  listStatement_ = statement;
  const std::string path = database_.LibraryOpen() ? database_.LibraryPath() : std::string();
  std::function<std::shared_ptr<DbResult>()> open = [path, statement] { return OpenListResult(path, statement); };
  StartWorker(search, std::move(open), groupVersions_ ? index_.Current() : nullptr);
}

void LibraryListController::StartIndexedSearch(std::shared_ptr<const SearchIndex> index,
                                               std::vector<std::string> words,
                                               SearchField field, MatchMode mode,
                                               const std::string& statement) {
  listStatement_ = statement;
  const std::string path = database_.LibraryPath();
  auto open = [index, words = std::move(words), field, mode, order = searchOrder_, path,
               statement]() -> std::shared_ptr<DbResult> {
    std::optional<std::vector<int64_t>> keys = index->Search(words, field, mode, order);
    if (!keys) return OpenListResult(path, statement);
    auto result = std::make_shared<DbResult>();
    result->OpenKeys(path, "SELECT * FROM Items", std::move(*keys));
    return result;
  };
  StartWorker(true, std::move(open), groupVersions_ ? std::move(index) : nullptr);
}

void LibraryListController::StartWorker(bool search, std::function<std::shared_ptr<DbResult>()> open,
                                        std::shared_ptr<const SearchIndex> index) {
  // The layout travels with the result: made on the worker next to it.
  auto layout = std::make_shared<std::shared_ptr<const VersionLayout>>();
  if (groupVersions_) {
    open = [open = std::move(open), index = std::move(index), preference = preference_, layout] {
      std::shared_ptr<DbResult> result = open();
      if (result) *layout = LayOutVersions(*result, index.get(), preference);
      return result;
    };
  }
  loader_.Start(std::move(open), [this, search, layout](std::shared_ptr<DbResult> result) {
    HandOver(search, std::move(result), *layout);
  });
}

void LibraryListController::HandOver(bool search, std::shared_ptr<DbResult> result,
                                     std::shared_ptr<const VersionLayout> layout) {
  // Runs on the worker: the result travels to the UI thread in a queued
  // call and is touched there only.
  QMetaObject::invokeMethod(
      this, [this, search, result, layout] { Finish(search, result, layout); }, Qt::QueuedConnection);
}

void LibraryListController::Finish(bool search, std::shared_ptr<DbResult> result,
                                   std::shared_ptr<const VersionLayout> layout) {
  model_.SetResult(std::move(result), std::move(layout));
  (search ? searchBusy_ : loadBusy_) = false;
  SetStatus(kComplete);
  if (!loadBusy_ && !searchBusy_) SetButtonsEnabled(true);
  emit loadFinished(search);
  if (search && typedSearchWaiting_) {
    typedSearchWaiting_ = false;
    Search();
  } else if (reloadWaiting_ && !loadBusy_ && !searchBusy_) {
    reloadWaiting_ = false;
    Reload();
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
