#include "catalogue/ui/song_manager.h"

#include <QDesktopServices>
#include <QSettings>
#include <QStringList>
#include <QUrl>

#include "catalogue/catalogue_log.h"
#include "catalogue/ui/song_manager_window.h"
#include "library/library_database.h"
#include "store/ui/store_progress_window.h"

namespace lyricade {
namespace {

// The streaming labels belong to the service's configuration: "Options" /
// "StreamingLabels" in the program's settings, the four defaults when unset.
std::vector<std::string> ConfiguredStreamingLabels() {
  QSettings settings("Quillon", "Lyricade");
  settings.beginGroup("Options");
  std::vector<std::string> labels;
  for (const QString& label : settings.value("StreamingLabels").toStringList())
    if (!label.trimmed().isEmpty()) labels.push_back(label.trimmed().toStdString());
  return labels.empty() ? DefaultStreamingLabels() : labels;
}

}  // namespace

SongManager::SongManager(SongManagerServices services) : services_(std::move(services)) {
  progress_ = std::make_unique<StoreProgressWindow>(services_.mainWindow);
  StoreHooks hooks = services_.hooks;
  if (!hooks.OpenPage)
    hooks.OpenPage = [](const std::string& url) {
      if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(url))))
        qCWarning(lcCatalogue, "the browser did not open %s", url.c_str());
    };
  hooks.CatalogueReplaced = [this] {
    if (window_) controller_->Reload();
  };
  hooks.BusyChanged = [this](bool busy) {
    if (window_) window_->SetStoreBusy(busy);
  };
  store_ = std::make_unique<Store>(http_, *services_.prompts, *progress_, *services_.settings,
                                   *services_.database, *services_.import, services_.bases,
                                   std::move(hooks));
  LibraryDatabase* database = services_.database;
  controller_ = std::make_unique<CatalogueListController>(
      [database] { return database->CatalogueOpen() ? database->CataloguePath() : std::string(); },
      model_);
  model_.SetStreamingLabels(ConfiguredStreamingLabels());
  model_.SetTargetPath([this](const CatalogueSong& song) { return store_->TargetPath(song); });
}

// The window (and its preview) goes first, then the loads are waited for.
SongManager::~SongManager() {
  window_.reset();
  controller_->WaitForWorkers();
}

SongManagerWindow* SongManager::Open() {
  if (!window_) {
    SongManagerParts parts;
    parts.store = store_.get();
    parts.model = &model_;
    parts.controller = controller_.get();
    parts.settings = services_.settings;
    parts.prompts = services_.prompts;
    parts.queueStream = services_.queueStream;
    parts.settingsChanged = services_.settingsChanged;
    window_ = std::make_unique<SongManagerWindow>(std::move(parts), services_.mainWindow);
  }
  window_->Open();
  return window_.get();
}

void SongManager::StopPreview() {
  if (window_) window_->StopPreview();
}

}  // namespace lyricade
