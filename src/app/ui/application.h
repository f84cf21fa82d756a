#pragma once
// The program's frame: brings every part up in a fixed order, runs the event
// loop and takes everything down again in order.
//
// Start-up: the folders (a new data folder is seeded; the data folder is
// locked, a second start on it ends), the library and
// catalogue databases and their upgrade, the host controller, the main window
// with its library list, the singers' screen and its render thread, the
// preferences, the saved rotation, the splash; then the 30 ms timer. Close:
// the exit questions and the saves. Shutdown: song stopped, list loaders
// finished and the databases closed, the render thread stopped and joined,
// the scratch folders removed.

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "common/app_settings.h"
#include "platform/prompts/qt_prompts.h"

class QTimer;

namespace lyricade {

class AmbientsWindow;
class BackgroundOptionsWindow;
class CustomLogos;
class DataFolderOwner;
class DataFolderWrites;
class RunFolder;
class KaraokeScreen;
class LibraryCommands;
class LyricScreen;
class LibraryDatabase;
class SongLengths;
class LibraryListController;
class LibraryListModel;
class ListColumnsKeeper;
class MainWindow;
class OptionsWindow;
class QuickEffectsWindow;
class RemoteServerWindow;
class RequestDesk;
class RequestPageHost;
class RequestsPanel;
class RoomBoard;
class RequestServer;
class ScreenAnnouncer;
class Show;
class SingerHistory;
class SingerWindows;
class SongManager;

class Application {
public:
  // `prompts` replaces the Qt dialogs (tests); null uses them.
  explicit Application(std::vector<std::string> args, Prompts* prompts = nullptr);
  ~Application();

  // Start-up; false when the program cannot run at all.
  bool Start();
  // Start, event loop, shutdown; the process's exit status.
  int Run();
  // Takes everything down (also run by the destructor).
  void Shutdown();

  // For tests and tools.
  AppSettings& Settings() { return settings_; }
  Show* HostController() { return show_.get(); }
  MainWindow* Window() { return window_.get(); }
  KaraokeScreen* Screen() { return screen_.get(); }
  ScreenAnnouncer* Announcer() { return announcer_.get(); }
  LibraryListController* LibraryController() { return libraryController_.get(); }
  LibraryCommands* LibraryEditCommands() { return libraryCommands_; }
  CustomLogos* Logos() { return logos_.get(); }
  // Opens (or raises) the windows the main window's buttons open.
  void OpenOptions();
  // "Preferred Makers" or "Group Versions" changed: the page and the list follow.
  void VersionsOptionsChanged();
  void OpenBackgroundOptions();
  void OpenAmbients();
  void OpenQuickEffects();
  AmbientsWindow* Ambients() { return ambients_.get(); }
  QuickEffectsWindow* QuickEffectsPads() { return quickEffects_.get(); }
  ListColumnsKeeper* Columns() { return columns_.get(); }
  OptionsWindow* Options() { return options_.get(); }
  // The request server (hosting from start-up with "--request-server" or the
  // preference) and its window, "Remote Server Dialog..." in the Edit menu.
  RequestServer* Requests() { return requests_.get(); }
  RequestPageHost* RequestPage() { return requestPage_.get(); }
  // Where both doors' requests arrive ("Approve requests"), and its list.
  RequestDesk* Desk() { return desk_.get(); }
  RequestsPanel* RequestsList() { return requestsPanel_; }
  // The room board ("Room Board..." in the Edit menu).
  RoomBoard* Board() { return board_.get(); }
  void OpenRemoteServerWindow();
  RemoteServerWindow* RemoteWindow() { return remoteWindow_.get(); }
  BackgroundOptionsWindow* BackgroundOptions() { return backgroundOptions_.get(); }
  // "Song Manager...": opens (or raises) the vendor's catalogue and store.
  void OpenSongManager();
  SongManager* SongManagerParts() { return songManager_.get(); }
  const std::string& DataFolder() const { return dataFolder_; }
  bool FirstRun() const { return firstRun_; }
  // No splash (tests and benchmarks).
  void SetSplash(bool on) { splash_ = on; }

private:
  bool ConfirmClose();
  void ReadListsAndPreferences();
  void SaveBackgroundVideoList();
  void SaveCustomLogoList();
  void ShowSplash();
  void ConnectLibraryCommands();
  void CreateSongManager();
  // The preferences file is also written while the program runs: when the
  // Options window closes, and a second after a setting changed in the main
  // window (volume, key, search options), so a crash loses little.
  void SchedulePreferencesSave();
  void SavePreferences();
  void StartRequestServer();
  // The singers' request page, with the server.
  void StartRequestPage();
  void StopRequestPage();
  // Its address and code in the server window and, when the host wants it,
  // on the singers' screen between songs.
  void ShowRequestPageCode();

  std::vector<std::string> args_;
  AppSettings settings_;
  QtPrompts qtPrompts_;
  Prompts& prompts_;
  std::string dataFolder_;
  std::string scratchFolder_;
  std::string programFolder_;
  bool firstRun_ = false;
  bool splash_ = true;
  bool started_ = false;
  // The host confirmed the close: the event loop ends (or never starts).
  bool closed_ = false;
  // The host asked to close during an import: the close follows its end.
  bool closeAfterLibraryCommand_ = false;
  QTimer* preferencesSave_ = nullptr;  // a child of the main window
  RequestsPanel* requestsPanel_ = nullptr;  // a child of the main window
  bool preferencesSaveFailed_ = false;
  // Members are destroyed in the reverse of this order, so each part goes
  // before the parts it writes to: the windows before the host controller,
  // the host controller (whose teardown clears the scene's flags) before the
  // singers' screen, everything before the databases.
  // Held for the program's life; the last to go.
  std::unique_ptr<DataFolderOwner> owner_;
  std::unique_ptr<RunFolder> scratchRun_;
  // The main window's warning while writes into the data folder fail.
  std::unique_ptr<DataFolderWrites> writes_;
  std::unique_ptr<LibraryDatabase> database_;
  std::unique_ptr<SingerHistory> history_;
  // The songs' lengths for the wait estimates; its worker reads the library.
  std::unique_ptr<SongLengths> songLengths_;
  // Goes after the screen, whose render thread draws its messages.
  std::unique_ptr<ScreenAnnouncer> announcer_;
  std::unique_ptr<KaraokeScreen> screen_;
  // Draws into the screen's buffers with the announcer's colours; goes after
  // the host controller, whose teardown closes it.
  std::unique_ptr<LyricScreen> lyrics_;
  std::unique_ptr<Show> show_;
  // Outlives the doors and the windows that route to it.
  std::unique_ptr<RequestDesk> desk_;
  // Stops before the host controller and the databases go.
  std::unique_ptr<RequestServer> requests_;
  std::unique_ptr<RequestPageHost> requestPage_;
  std::unique_ptr<LibraryListModel> libraryModel_;
  std::unique_ptr<LibraryListController> libraryController_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<SingerWindows> singers_;
  std::unique_ptr<OptionsWindow> options_;
  std::unique_ptr<BackgroundOptionsWindow> backgroundOptions_;
  std::unique_ptr<AmbientsWindow> ambients_;
  std::unique_ptr<QuickEffectsWindow> quickEffects_;
  std::unique_ptr<ListColumnsKeeper> columns_;
  std::unique_ptr<RemoteServerWindow> remoteWindow_;
  // A window of its own; goes before the host controller it reads.
  std::unique_ptr<RoomBoard> board_;
  std::string boardPageAddress_;
  // The store and its window; goes before the main window (its parent) and
  // the import it adds bought songs through.
  std::unique_ptr<SongManager> songManager_;
  LibraryCommands* libraryCommands_ = nullptr;  // a child of the main window
  std::unique_ptr<CustomLogos> logos_;
  // Last, so it goes first: it holds the show and the main window.
  std::unique_ptr<class LevelingHost> leveling_;
  std::unique_ptr<class LibraryUpkeepHost> upkeep_;
};

}  // namespace lyricade
