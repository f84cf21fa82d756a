#pragma once
// What the catalogue list shows and how it gets there: the whole catalogue
// or a search, in the list's one order, optionally streams only; column
// clicks, the busy state of "Search" and "Show All", and "Showing: %ld".
//
// Every load opens its own result on a worker (the library's ListLoader)
// and hands it to the UI thread, which swaps it into the model: the list
// never reads a result a worker may still close. One load at a time; a
// request while one runs is dropped (the buttons are disabled meanwhile).

#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "catalogue/catalogue_list_model.h"
#include "catalogue/catalogue_statements.h"
#include "library/list_loader.h"

namespace lyricade {

class CatalogueListController : public QObject {
  Q_OBJECT
public:
  // `databasePath` gives the catalogue file, or "" while it is not open.
  CatalogueListController(std::function<std::string()> databasePath, CatalogueListModel& model,
                          QObject* parent = nullptr);
  ~CatalogueListController() override;

  // "Show All": the whole catalogue in the current order.
  void ShowAll();
  // "Search": the rows where one field holds every word of `text`.
  void Search(const std::string& text);
  // A column click: that order, for the search while one is shown.
  void HeaderClicked(int column);
  // "Show Only Streams": applies to every later query.
  void SetStreamsOnly(bool on) { streamsOnly_ = on; }
  // The same query again (a new catalogue file arrived).
  void Reload();

  bool StreamsOnly() const { return streamsOnly_; }
  bool SearchActive() const { return searchActive_; }
  const std::string& LastSearch() const { return lastSearch_; }
  const CatalogueOrder& Order() const { return order_; }
  bool Busy() const { return busy_; }
  const QString& StatusText() const { return status_; }
  const std::string& ListStatement() const { return statement_; }

  // Blocks until every started worker has handed its result over.
  void WaitForWorkers() { loader_.WaitAll(); }

signals:
  void statusChanged(const QString& text);
  void buttonsEnabledChanged(bool enabled);
  void loadFinished();

private:
  void Start(const std::string& statement);
  void Finish(std::shared_ptr<DbResult> result);
  void SetBusy(bool busy);

  std::function<std::string()> databasePath_;
  CatalogueListModel& model_;
  ListLoader loader_;
  CatalogueOrder order_;
  bool streamsOnly_ = false;
  bool searchActive_ = false;
  bool busy_ = false;
  std::string lastSearch_;
  std::string statement_;
  QString status_ = QStringLiteral("Showing: 0");
};

}  // namespace lyricade
