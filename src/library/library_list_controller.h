#pragma once
// What the library list shows and how it gets there: the whole library in
// its order, or a search in the search order; header clicks, busy flags,
// the status text and the enabled state of "Search" and "Show All". The
// search controls themselves belong to the main window, which routes its
// buttons here and supplies the controls' contents for header clicks.
//
// Every load opens its own result on a worker (ListLoader) and hands it to
// the UI thread, which swaps it into the model, sets the row count and
// clears that load's busy flag. Whichever load finishes last decides what
// the list shows.
//
// A search is answered by the library's search index when it is ready and
// current (the worker then opens a result of the rows it found, in the
// order the statement would give), otherwise by the statement. Each
// whole-library load, which follows every change of Items, brings the
// index up to date in the background.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "library/indexed_search.h"
#include "library/library_list_model.h"
#include "library/library_search.h"
#include "library/list_loader.h"

namespace lyricade {

class LibraryDatabase;

// The contents of the main window's search controls.
struct SearchControls {
  std::string Text;
  std::string FieldChoice = "Match All";
  MatchMode Mode = MatchMode::All;
};

class LibraryListController : public QObject {
  Q_OBJECT
public:
  static constexpr const char* kLoading = "Loading...";
  static constexpr const char* kSearching = "Searching...";
  static constexpr const char* kComplete = "Complete...";

  LibraryListController(LibraryDatabase& database, LibraryListModel& model,
                        QObject* parent = nullptr);
  ~LibraryListController() override;

  // The whole library; column -1 keeps the order. Dropped while a
  // whole-library load is busy.
  void LoadLibraryList(int column);
  // The rows matching the text; column -1 keeps the search order. Dropped
  // while a search is busy.
  void SearchLibrary(const std::string& text, const std::string& fieldChoice, MatchMode mode,
                     int column);
  // "Search" (and Enter in the text box): the controls' contents, order kept.
  void Search();
  // The search box changed while "Search as you type" is on: the search
  // runs now, or as soon as a running search ends.
  void SearchAsTyped();
  // "Show All": leaves search mode and lists the whole library.
  void ShowAll();
  // A click on a column header: the search again in that column's order
  // while a search is shown, else the whole library in that order.
  void HeaderClicked(int column);
  // "Group Versions" and the host's makers: the list shows each song once,
  // the preferred version first, when `group` is on. A change reloads what
  // is shown (once the load running now is over).
  void SetVersions(bool group, MakerPreference preference);
  bool GroupsVersions() const { return groupVersions_; }

  // The songs on the Needs Attention list, the reason in the Comment
  // column, as a search (column -1 keeps the search order; header clicks
  // keep to the list until a search or "Show All"). Dropped while a search
  // is busy.
  void ShowNeedsAttention(int column);
  bool ShowingNeedsAttention() const { return searchMode_ && attentionMode_; }
  // The flip operations leave search mode without reloading.
  void ClearSearchMode() { searchMode_ = false; }

  // Where the search controls' contents come from.
  void SetControlsSource(std::function<SearchControls()> source) {
    controls_ = std::move(source);
  }

  bool SearchMode() const { return searchMode_; }
  bool LoadBusy() const { return loadBusy_; }
  bool SearchBusy() const { return searchBusy_; }
  bool ButtonsEnabled() const { return buttonsEnabled_; }
  const QString& StatusText() const { return status_; }
  const SortOrder& LibraryOrder() const { return libraryOrder_; }
  const SortOrder& SearchOrder() const { return searchOrder_; }
  // The statement of the last load started.
  const std::string& ListStatement() const { return listStatement_; }
  // Whether the last search started was answered by the index.
  bool LastSearchIndexed() const { return lastSearchIndexed_; }
  IndexedSearch& Index() { return index_; }

  // Blocks until every started worker has handed its result over (the
  // hand-over itself still waits for the UI thread's event loop).
  void WaitForWorkers() { loader_.WaitAll(); }

signals:
  void statusChanged(const QString& text);
  void buttonsEnabledChanged(bool enabled);
  // A load's result is in the model.
  void loadFinished(bool search);

private:
  void SetStatus(const char* text);
  void SetButtonsEnabled(bool enabled);
  void StartLoad(bool search, const std::string& statement);
  void StartIndexedSearch(std::shared_ptr<const SearchIndex> index,
                          std::vector<std::string> words, SearchField field, MatchMode mode,
                          const std::string& statement);
  // Opens on a worker; with "Group Versions" the worker lays the result
  // out by versions too (by `index` when there is one).
  void StartWorker(bool search, std::function<std::shared_ptr<DbResult>()> open,
                   std::shared_ptr<const SearchIndex> index);
  void HandOver(bool search, std::shared_ptr<DbResult> result, std::shared_ptr<const VersionLayout> layout);
  void Finish(bool search, std::shared_ptr<DbResult> result, std::shared_ptr<const VersionLayout> layout);
  void Reload();

  LibraryDatabase& database_;
  LibraryListModel& model_;
  IndexedSearch index_;
  ListLoader loader_;
  std::function<SearchControls()> controls_;
  SortOrder libraryOrder_;
  SortOrder searchOrder_;
  bool searchMode_ = false;
  bool loadBusy_ = false;
  bool searchBusy_ = false;
  bool buttonsEnabled_ = true;
  QString status_;
  std::string listStatement_;
  bool lastSearchIndexed_ = false;
  bool typedSearchWaiting_ = false;
  bool groupVersions_ = false;
  MakerPreference preference_;
  bool reloadWaiting_ = false;
  bool attentionMode_ = false;
};

}  // namespace lyricade
