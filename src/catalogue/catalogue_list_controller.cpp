#include "catalogue/catalogue_list_controller.h"

#include <QMetaObject>

#include "catalogue/catalogue_log.h"

namespace lyricade {

CatalogueListController::CatalogueListController(std::function<std::string()> databasePath,
                                                 CatalogueListModel& model, QObject* parent)
    : QObject(parent), databasePath_(std::move(databasePath)), model_(model) {}

// The workers are waited for before the object goes; their hand-over calls
// are then dropped with it.
CatalogueListController::~CatalogueListController() { loader_.WaitAll(); }

void CatalogueListController::ShowAll() {
  if (busy_) return;
  searchActive_ = false;
  Start(AllSongsStatement(order_, streamsOnly_, model_.StreamingLabels()));
}

void CatalogueListController::Search(const std::string& text) {
  if (busy_) return;
  searchActive_ = true;
  lastSearch_ = text;
  Start(CatalogueSearchStatement(text, order_, streamsOnly_, model_.StreamingLabels()));
}

void CatalogueListController::HeaderClicked(int column) {
  if (busy_) return;
  order_.Update(column);
  Reload();
}

void CatalogueListController::Reload() {
  if (searchActive_)
    Search(lastSearch_);
  else
    ShowAll();
}

void CatalogueListController::Start(const std::string& statement) {
  SetBusy(true);
  model_.Clear();
  statement_ = statement;
  const std::string path = databasePath_ ? databasePath_() : std::string();
  if (path.empty()) qCWarning(lcCatalogue, "the catalogue database is not open: the list is empty");
  loader_.Start(path, statement, [this](std::shared_ptr<DbResult> result) {
    // Runs on the worker: the result travels to the UI thread in a queued
    // call and is touched there only.
    QMetaObject::invokeMethod(
        this, [this, result] { Finish(result); }, Qt::QueuedConnection);
  });
}

void CatalogueListController::Finish(std::shared_ptr<DbResult> result) {
  if (result && !result->IsOpen() && !result->LastError().empty())
    qCWarning(lcCatalogue, "the catalogue list did not open: %s", result->LastError().c_str());
  model_.SetResult(std::move(result));
  status_ = QStringLiteral("Showing: %1").arg(model_.RowCount());
  emit statusChanged(status_);
  SetBusy(false);
  emit loadFinished();
}

void CatalogueListController::SetBusy(bool busy) {
  busy_ = busy;
  emit buttonsEnabledChanged(!busy);
}

}  // namespace lyricade
