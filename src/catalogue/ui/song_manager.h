#pragma once
// Everything behind the main window's "Song Manager...": the store with its
// service client and progress window, the catalogue list (model and loading)
// and the window, made once and kept for the run. The window itself is made
// the first time it opens.

#include <functional>
#include <memory>
#include <string>

#include "catalogue/catalogue_list_controller.h"
#include "catalogue/catalogue_list_model.h"
#include "platform/net/http_client.h"
#include "store/store.h"

class QWidget;

namespace lyricade {

class AppSettings;
class LibraryDatabase;
class LibraryImport;
class Prompts;
class SongManagerWindow;
class StoreProgressWindow;

struct SongManagerServices {
  AppSettings* settings = nullptr;
  Prompts* prompts = nullptr;
  LibraryDatabase* database = nullptr;
  LibraryImport* import = nullptr;
  // The window's parent (its dialogs and boxes open over it).
  QWidget* mainWindow = nullptr;
  ServiceBases bases;
  // Connection check and page opening; defaults: the system's.
  StoreHooks hooks;
  std::function<void(const CatalogueSong& song, const std::string& path, long row)> queueStream;
  std::function<void()> settingsChanged;
};

class SongManager {
public:
  explicit SongManager(SongManagerServices services);
  ~SongManager();

  // Opens (or raises) the window; it loads the lists and the catalogue.
  SongManagerWindow* Open();
  // Blocks until the catalogue loads have handed their results over; the
  // catalogue database may close after this.
  void WaitForLoads() { controller_->WaitForWorkers(); }
  // Stops a playing preview.
  void StopPreview();

  Store& GetStore() { return *store_; }
  HttpClient& Http() { return http_; }
  CatalogueListModel& Model() { return model_; }
  CatalogueListController& Controller() { return *controller_; }
  SongManagerWindow* Window() { return window_.get(); }

private:
  SongManagerServices services_;
  HttpClient http_;
  std::unique_ptr<StoreProgressWindow> progress_;
  std::unique_ptr<Store> store_;
  CatalogueListModel model_;
  std::unique_ptr<CatalogueListController> controller_;
  std::unique_ptr<SongManagerWindow> window_;
};

}  // namespace lyricade
