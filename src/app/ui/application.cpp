#include "app/ui/application.h"

#include <QPainter>
#include <QProgressDialog>
#include <QSplashScreen>
#include <QTimer>
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <functional>
#include <vector>
#include <filesystem>

#include "app/app_log.h"
#include "app/leveling_settings.h"
#include "app/preferences_file.h"
#include "app/ui/leveling_host.h"
#include "app/data_folder_writes.h"
#include "app/demo_library.h"
#include "app/show.h"
#include "app/request_desk.h"
#include "app/request_page_host.h"
#include "app/ui/library_upkeep_host.h"
#include "app/ui/songbook_printer.h"
#include "app/ui/requests_panel.h"
#include "app/ui/room_board.h"
#include "app/song_requests.h"
#include "requestcode/request_code_picture.h"
#include "app/ui/background_options_window.h"
#include "app/ui/custom_logos.h"
#include "app/ui/data_folder_owner.h"
#include "app/ui/announce_options_dialog.h"
#include "app/ui/library_commands.h"
#include "app/ui/main_window.h"
#include "app/ui/options_window.h"
#include "between/ui/ambients_window.h"
#include "between/ui/list_columns.h"
#include "between/ui/quick_effects_window.h"
#include "catalogue/ui/song_manager.h"
#include "catalogue/ui/song_manager_window.h"
#include "common/path_pieces.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_list_controller.h"
#include "library/library_list_model.h"
#include "platform/paths/paths.h"
#include "platform/unzip/unzip_module.h"
#include "remote/request_server.h"
#include "remote/server_settings.h"
#include "remote/ui/remote_server_window.h"
#include "playback/zip_song_extractor.h"
#include "screen/karaoke_screen.h"
#include "screen/lyric_screen.h"
#include "screen/screen_announcer.h"
#include "singers/singer_history.h"
#include "singers/song_lengths.h"
#include "singers/ui/history_window.h"
#include "singers/ui/singer_panel.h"
#include "singers/ui/singer_windows.h"
#include "singers/ui/venue_windows.h"
#include "library/library_list_view.h"

namespace lyricade {
namespace {

constexpr const char* kPreferencesFile = "lyr2prefs.cfg";
constexpr const char* kBackgroundListFile = "backgrounds.cfg";
constexpr const char* kSongLengthsFile = "song-lengths.cfg";
constexpr const char* kCustomLogoListFile = "customlogos.cfg";
constexpr const char* kStopImportQuestion =
    "Songs are still being added to your library.\nStop adding them and exit?";

// The splash picture: the program's name on a dark stage.
QPixmap SplashPicture() {
  QPixmap picture(400, 300);
  QPainter painter(&picture);
  QLinearGradient stage(0, 0, 0, 300);
  stage.setColorAt(0, QColor(16, 16, 80));
  stage.setColorAt(1, QColor(60, 10, 90));
  painter.fillRect(picture.rect(), stage);
  painter.setPen(QColor(255, 220, 40));
  QFont title("Liberation Sans", 34, QFont::Bold);
  painter.setFont(title);
  painter.drawText(QRect(0, 80, 400, 60), Qt::AlignCenter, "Lyricade");
  painter.setPen(Qt::white);
  painter.setFont(QFont("Liberation Sans", 12));
  painter.drawText(QRect(0, 150, 400, 30), Qt::AlignCenter, "Karaoke host for the show tonight");
  painter.setFont(QFont("Liberation Sans", 9));
  painter.drawText(QRect(0, 260, 400, 20), Qt::AlignCenter, MainWindow::kCaption);
  return picture;
}

}  // namespace

Application::Application(std::vector<std::string> args, Prompts* prompts)
    : args_(std::move(args)), prompts_(prompts ? *prompts : qtPrompts_) {}

Application::~Application() { Shutdown(); }

bool Application::Start() {
  // The folders; a new data folder is seeded with its databases and pictures.
  dataFolder_ = ResolveDataFolder(args_, "lyricade", "LYRICADE_DATA_DIR");
  programFolder_ = ResolveProgramFolder("lyricade");
  firstRun_ = PrepareDataFolder(dataFolder_, programFolder_) == DataFolderState::Created;
  // Before anything reads or writes the data folder: a second copy would
  // write its stale rotation over the first one's at exit.
  owner_ = std::make_unique<DataFolderOwner>();
  if (!owner_->Claim(dataFolder_)) {
    std::cerr << DataFolderOwner::kAlreadyRunning << std::endl;
    // From a terminal the line above is the answer; from the desktop a box.
    if (!::isatty(STDIN_FILENO))
      prompts_.Message("Lyricade", DataFolderOwner::kAlreadyRunning, PromptButtons::Ok,
                       PromptIcon::Information);
    return false;
  }
  writes_ = std::make_unique<DataFolderWrites>(dataFolder_);
  // Scratch folders are per process (programs on other data folders share
  // the root); those of processes that died are removed now.
  const std::string scratchRoot = ResolveScratchRoot("lyricade");
  RemoveStaleRunFolders(scratchRoot);
  scratchRun_ = std::make_unique<RunFolder>(RunFolder::MakeInside(scratchRoot));
  scratchFolder_ = scratchRun_->Valid() ? scratchRun_->Path() : scratchRoot;
  // A database that could not be made is missing: opening it below shows
  // the host the "Database Failure" message.
  if (firstRun_ && !SeedDatabaseFiles(dataFolder_, programFolder_))
    qCWarning(lcApp) << "the new data folder's databases could not be made in" << dataFolder_.c_str()
                     << "from" << programFolder_.c_str();

  // The databases; a failed open has shown its message and the program goes
  // on without that database.
  database_ = std::make_unique<LibraryDatabase>(prompts_);
  database_->SetDataFolder(dataFolder_);
  const bool libraryOpen = database_->OpenLibrary();
  database_->OpenCatalogue();
  database_->UpgradeSchema();
  // A new data folder lists its demo songs, so there is something to sing.
  if (firstRun_ && libraryOpen && !SeedDemoLibrary(dataFolder_, *database_))
    qCWarning(lcApp) << "the demo songs could not be listed in the new library";
  history_ = std::make_unique<SingerHistory>(*database_);
  songLengths_ = std::make_unique<SongLengths>(dataFolder_ + kSongLengthsFile, database_->LibraryPath());

  // The singers' screen's state first (its window and scene come up after
  // the main window): the show sets its flags, the main window shows its
  // preview.
  screen_ = std::make_unique<KaraokeScreen>(settings_, prompts_, dataFolder_, programFolder_);
  show_ = std::make_unique<Show>(settings_, prompts_,
                                 ShowFolders{dataFolder_, scratchFolder_, UnzipModuleFolder()},
                                 &screen_->Flags());
  show_->SetHistory(history_.get());
  show_->SetSongLengths(songLengths_.get());
  show_->SetIdlePreview([this] { screen_->Preview().RestoreIdle(); });
  logos_ = std::make_unique<CustomLogos>(settings_, prompts_, [this](const std::string& path, int index) {
    return screen_->LoadCustomLogo(path, index);
  });
  announcer_ = std::make_unique<ScreenAnnouncer>(*screen_, settings_, prompts_, dataFolder_);
  screen_->SetScreenMessages(&announcer_->Messages());
  show_->SetAnnouncements(announcer_.get());

  // The main window and the library list.
  libraryModel_ = std::make_unique<LibraryListModel>();
  libraryController_ = std::make_unique<LibraryListController>(*database_, *libraryModel_);
  MainWindowParts parts;
  parts.show = show_.get();
  parts.settings = &settings_;
  parts.prompts = &prompts_;
  parts.libraryModel = libraryModel_.get();
  parts.libraryController = libraryController_.get();
  parts.preview = &screen_->Preview();
  parts.dataFolder = dataFolder_;
  parts.programFolder = programFolder_;
  window_ = std::make_unique<MainWindow>(parts);
  qtPrompts_.SetParent(window_.get());
  QObject::connect(writes_.get(), &DataFolderWrites::warningChanged, window_.get(),
                   [this] { window_->SetSaveWarning(writes_->Warning()); });
  QObject::connect(owner_.get(), &DataFolderOwner::comeForwardRequested, window_.get(), [this] {
    if (window_->isMinimized()) window_->showNormal();
    window_->raise();
    window_->activateWindow();
  });
  // The singers: the panel above the library, the "Add Song" queueing, the
  // History and venue windows; new History rows take the "Assign Venue:"
  // box's venue.
  singers_ = std::make_unique<SingerWindows>(*show_, *history_, settings_, prompts_, dataFolder_,
                                             window_.get());
  singers_->SetAssignVenueBox(window_->VenueBox());
  SingerPanel* singerPanel = singers_->CreateSingerPanel(window_.get());
  window_->SetSingerPanel(singerPanel);
  // The three lists' columns, and the layout the host left them in.
  columns_ = std::make_unique<ListColumnsKeeper>(window_->LibraryView(), singerPanel->SingerView(),
                                                 singerPanel->PlaylistView());
  columns_->Restore(dataFolder_ + ColumnLayout::kFileName);
  // Requests waiting for the KJ, below the rotation.
  desk_ = std::make_unique<RequestDesk>(*show_, *database_, dataFolder_);
  desk_->SetIndexSource([this] {
    return libraryController_ ? libraryController_->Index().Current() : std::shared_ptr<const SearchIndex>();
  });
  requestsPanel_ = new RequestsPanel(*desk_, window_.get());
  window_->SetRequestsPanel(requestsPanel_);
  QObject::connect(show_.get(), &Show::rotationChanged, requestsPanel_, &RequestsPanel::Refresh);
  // The room board follows the rotation while it is open.
  board_ = std::make_unique<RoomBoard>(
      [this](const std::string& hostText) {
        return MakeBoardContent(show_->Rotation(), show_->SingerWaits(), boardPageAddress_, hostText);
      },
      announcer_->Options());
  QObject::connect(show_.get(), &Show::rotationChanged, board_.get(), &RoomBoard::Refresh);
  if (QAction* action = window_->EditMenuAction("Room Board...")) {
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, window_.get(), [this] { board_->ChooseInDialog(window_.get()); });
  }
  QObject::connect(window_.get(), &MainWindow::queueLibraryRow,
                   [this](long row) { singers_->QueueLibraryRow(*libraryModel_, row); });
  QObject::connect(window_.get(), &MainWindow::singerHistoryRequested,
                   [this] { singers_->OpenHistoryWindow(); });
  window_->SetCloseHandler([this] { return ConfirmClose(); });
  QObject::connect(window_.get(), &MainWindow::optionsRequested, [this] { OpenOptions(); });
  QObject::connect(window_.get(), &MainWindow::backgroundOptionsRequested,
                   [this] { OpenBackgroundOptions(); });
  QObject::connect(window_.get(), &MainWindow::ambientsRequested, [this] { OpenAmbients(); });
  QObject::connect(window_.get(), &MainWindow::quickEffectsRequested, [this] { OpenQuickEffects(); });
  if (QAction* reset = window_->EditMenuAction("Reset All Columns...")) {
    reset->setEnabled(true);
    QObject::connect(reset, &QAction::triggered, [this] { columns_->ResetAll(prompts_); });
  }
  ConnectLibraryCommands();
  CreateSongManager();
  leveling_ = std::make_unique<LevelingHost>(settings_, *show_, *window_, database_->LibraryPath());
  // New library rows are measured after their import committed.
  QObject::connect(libraryCommands_, &LibraryCommands::busyChanged, [this](bool busy) {
    if (!busy) leveling_->LibraryChanged();
  });
  upkeep_ = std::make_unique<LibraryUpkeepHost>(*database_, *libraryController_, *libraryCommands_, *show_, *window_);
  QObject::connect(upkeep_.get(), &LibraryUpkeepHost::libraryChanged, [this] { leveling_->LibraryChanged(); });
  preferencesSave_ = new QTimer(window_.get());
  preferencesSave_->setSingleShot(true);
  preferencesSave_->setInterval(1000);
  QObject::connect(preferencesSave_, &QTimer::timeout, [this] { SavePreferences(); });
  QObject::connect(window_.get(), &MainWindow::settingsEdited, [this] { SchedulePreferencesSave(); });
  QObject::connect(show_.get(), &Show::transportChanged, [this] { SchedulePreferencesSave(); });
  window_->show();
  window_->LibraryView()->setFocus();
  libraryController_->LoadLibraryList(-1);

  // Monitor choice, the screen's window, its scene and render thread.
  screen_->CreateWindow();
  if (screen_->InitialiseScene()) screen_->StartRenderThread();
  if (KaraokeStatic* screenWindow = screen_->Window())
    screenWindow->SetKeyHandler([this](int key, Qt::KeyboardModifiers modifiers) {
      return window_->RunAccelerator(key, modifiers);
    });
  show_->SetCdgSink(&screen_->CdgSink());
  lyrics_ = std::make_unique<LyricScreen>(screen_->Buffers(), screen_->Preview(), announcer_->Options());
  show_->SetLyricDisplay(lyrics_.get());
  show_->SetSongVideoTarget(&screen_->VideoTarget(0));
  show_->SetBackgroundVideoTarget(&screen_->VideoTarget(1));

  // The custom logos, the preferences and the background list; the first
  // background starts (shown only while backgrounds are enabled); the
  // rotation of the last show; the chosen logo.
  ReadListsAndPreferences();
  window_->ApplySettingsToControls();
  window_->RestoreGeometry();
  BackgroundVideos& backgrounds = show_->Backgrounds();
  if (!backgrounds.List().Empty()) {
    backgrounds.List().SetCurrent(0);
    backgrounds.StartCurrent();
  }
  show_->LoadRotation();
  desk_->Load();
  if (libraryOpen) leveling_->Start();
  logos_->LoadChosen();
  announcer_->LoadAnnounceImage(settings_.AnnounceImage.load());

  if (splash_) ShowSplash();
  show_->StartTimer();
  StartRequestServer();
  started_ = true;
  return true;
}

void Application::StartRequestServer() {
  // Requests change the rotation on this thread, through the host
  // controller.
  requests_ = std::make_unique<RequestServer>();
  QObject::connect(requests_.get(), &RequestServer::songRequested, window_.get(),
                   [this](const SongRequest& request) { desk_->Receive(request, "Request client"); });
  // The singers' request page runs while the server hosts; a phone's
  // request takes the same way as a request client's.
  requestPage_ = std::make_unique<RequestPageHost>(
      database_->LibraryPath(), programFolder_ + "request-page/", [this](const PageSongRequest& request) {
        // An IPv4 phone on the dual-stack socket reads as "::ffff:10.0.0.7".
        std::string address = request.ClientAddress;
        if (address.rfind("::ffff:", 0) == 0) address.erase(0, 7);
        desk_->Receive(SongRequest{request.Path, request.Singer, request.Key}, "Request page " + address);
      });
  const auto publish = [this] { requestPage_->PublishRotation(show_->Rotation(), show_->SingerWaits()); };
  publish();
  // What the KJ decided, and whether requests wait at all (an option of the
  // rotation).
  const auto publishRequests = [this] { requestPage_->PublishRequests(desk_->Approvals(), desk_->Approving()); };
  publishRequests();
  QObject::connect(desk_.get(), &RequestDesk::changed, requestPage_.get(), publishRequests);
  QObject::connect(show_.get(), &Show::rotationChanged, requestPage_.get(), publishRequests);
  requestPage_->SetIndexSource([this] { return libraryController_->Index().Current(); });
  VersionsOptionsChanged();
  QObject::connect(show_.get(), &Show::rotationChanged, requestPage_.get(), publish);
  // The waits shrink while a song plays; the page asks every 15 seconds.
  auto* waitsTimer = new QTimer(requestPage_.get());
  waitsTimer->setInterval(15'000);
  QObject::connect(waitsTimer, &QTimer::timeout, requestPage_.get(), publish);
  waitsTimer->start();
  QObject::connect(requests_.get(), &RequestServer::stateChanged, requestPage_.get(), [this](ServerState state) {
    if (state == ServerState::Hosting) StartRequestPage();
    if (state == ServerState::Stopped) StopRequestPage();
  });
  if (QAction* action = window_->EditMenuAction("Remote Server Dialog...")) {
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, window_.get(), [this] { OpenRemoteServerWindow(); });
  }
  const std::optional<int> optionPort = RequestServerOption(args_);
  if (!optionPort && !ReadStartWithProgram()) return;
  const int port = optionPort.value_or(kDefaultRequestPort);
  if (!requests_->Start(ReadSessionName(), port)) {
    qCWarning(lcApp) << "the request server did not start on port" << port;
    return;
  }
  // Scripts that start the program read the port the server listens on.
  std::printf("request-server-port: %d\n", requests_->Port());
  std::fflush(stdout);
}

void Application::StartRequestPage() {
  if (requestPage_->Running()) return;
  // "--request-page=PORT" for this run; a server on a chosen port (tests,
  // several programs on one machine) has its page on a chosen port too.
  int port = ReadRequestPagePort();
  if (const std::optional<int> option = RequestPageOption(args_))
    port = *option;
  else if (RequestServerOption(args_) == 0)
    port = 0;
  if (!requestPage_->Start(port)) return;
  std::printf("request-page-port: %d\n", requestPage_->Port());
  std::fflush(stdout);
  ShowRequestPageCode();
}

void Application::StopRequestPage() {
  requestPage_->Stop();
  ShowRequestPageCode();
}

void Application::ShowRequestPageCode() {
  const std::string address = requestPage_ ? requestPage_->Address() : std::string();
  if (remoteWindow_) remoteWindow_->ShowRequestPage(address);
  boardPageAddress_ = address;
  if (board_) board_->Refresh();
  if (screen_)
    announcer_->Messages().SetCornerPicture(!address.empty() && ReadRequestCodeOnScreen()
                                                ? RequestCodePicture(address)
                                                : QImage());
}

void Application::OpenRemoteServerWindow() {
  if (!remoteWindow_) {
    remoteWindow_ = std::make_unique<RemoteServerWindow>(*requests_, window_.get());
    QObject::connect(remoteWindow_.get(), &RemoteServerWindow::pageHostChosen, window_.get(),
                     [this](const std::string& host) {
                       requestPage_->SetChosenHost(host);
                       ShowRequestPageCode();
                     });
    remoteWindow_->setWindowFlag(Qt::Window);
    remoteWindow_->ShowRequestPage(requestPage_->Address());
  }
  remoteWindow_->Refresh();
  remoteWindow_->show();
  remoteWindow_->raise();
}

void Application::ReadListsAndPreferences() {
  logos_->Load(dataFolder_ + kCustomLogoListFile);
  announcer_->ReadFiles();
  // A first run has no pads yet; the slots stay free.
  const std::string padsFile = dataFolder_ + EffectSlots::kFileName;
  std::error_code missing;
  if (std::filesystem::exists(padsFile, missing)) show_->EffectPads().Load(padsFile);
  ReadPreferences(dataFolder_ + kPreferencesFile, settings_);
  ReadLevelingSettings(settings_, firstRun_);
  show_->Backgrounds().List().Load(dataFolder_ + kBackgroundListFile, programFolder_);
  show_->Ambients().Load(dataFolder_ + AmbientList::kFileName);
}

void Application::SaveBackgroundVideoList() {
  // The list has said what failed.
  show_->Backgrounds().List().Save(dataFolder_ + kBackgroundListFile);
}

void Application::SaveCustomLogoList() { logos_->Save(dataFolder_ + kCustomLogoListFile); }

void Application::SchedulePreferencesSave() {
  // Until start-up has read the preferences, nothing the host set is there
  // to keep; the first change starts the second's wait, later ones join it.
  if (started_ && preferencesSave_ && !preferencesSave_->isActive()) preferencesSave_->start();
}

void Application::SavePreferences() {
  if (preferencesSave_) preferencesSave_->stop();
  window_->StoreControlsInSettings();
  StoreLevelingSettings(settings_);
  // The pads go with the preferences; the list has logged a failure.
  show_->EffectPads().Save(dataFolder_ + EffectSlots::kFileName);
  const std::string path = dataFolder_ + kPreferencesFile;
  if (WritePreferences(path, settings_)) {
    preferencesSaveFailed_ = false;
    return;
  }
  if (!preferencesSaveFailed_)
    qCWarning(lcApp) << "the preferences could not be written to" << path.c_str();
  preferencesSaveFailed_ = true;
}

void Application::ConnectLibraryCommands() {
  libraryCommands_ = new LibraryCommands(*database_, prompts_, *libraryController_, *libraryModel_,
                                         *window_->LibraryView(), window_.get());
  LibraryCommands* commands = libraryCommands_;
  const std::pair<const char*, std::function<void()>> entries[] = {
      {"Remove Song(s)...", [commands] { commands->RemoveSongs(); }},
      {"Remove Bad Song(s)...", [commands] { commands->RemoveBadSongs(); }},
      {"Purge Song(s)...", [commands] { commands->PurgeSongs(); }},
      {"Edit Item Information...", [commands] { commands->EditItem(); }},
      {"Flip Title/Artist...", [commands] { commands->Flip(FlipMode::TitleArtist); }},
      {"Flip Title/ID...", [commands] { commands->Flip(FlipMode::TitleId); }},
      {"Flip Artist/ID...", [commands] { commands->Flip(FlipMode::ArtistId); }},
      {"* Clear Database *...", [commands] { commands->ClearLibrary(); }},
      {"Compact Database...", [commands] { commands->CompactDatabase(); }},
      {"Search and Replace...", [commands] { commands->SearchAndReplace(); }},
      {"Add Single Song...", [commands] { commands->AddSingleSong(); }},
  };
  std::vector<QAction*> writers;
  for (const auto& [text, run] : entries) {
    QAction* action = window_->EditMenuAction(text);
    if (!action) continue;
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, commands, run);
    writers.push_back(action);
  }
  // While a command that lets events run writes the library, the menus show
  // the other writers greyed, with the reason on their status line.
  QObject::connect(commands, &LibraryCommands::busyChanged, window_.get(),
                   [this, writers](bool busy) {
                     for (QAction* action : writers) {
                       action->setEnabled(!busy);
                       action->setStatusTip(busy ? QString(LibraryCommands::kBusyText) : QString());
                     }
                     window_->AddFolderButton()->setEnabled(!busy);
                   });
  QObject::connect(window_->AddFolderButton(), &QPushButton::clicked, commands,
                   &LibraryCommands::AddFolder);
  // A close asked for during an import comes back once the import ended.
  QObject::connect(commands, &LibraryCommands::busyChanged, window_.get(), [this](bool busy) {
    if (busy || !closeAfterLibraryCommand_) return;
    closeAfterLibraryCommand_ = false;
    QTimer::singleShot(0, window_.get(), &QWidget::close);
  });
}

void Application::CreateSongManager() {
  SongManagerServices services;
  services.settings = &settings_;
  services.prompts = &prompts_;
  services.database = database_.get();
  services.import = &libraryCommands_->Import();
  services.mainWindow = window_.get();
  services.bases = ConfiguredServiceBases();
  services.queueStream = [this](const CatalogueSong& song, const std::string& path, long row) {
    singers_->QueueCatalogueSong(song.Title, song.Artist, song.Code, path, row);
  };
  services.settingsChanged = [this] { SchedulePreferencesSave(); };
  songManager_ = std::make_unique<SongManager>(std::move(services));
  QObject::connect(window_.get(), &MainWindow::songManagerRequested, [this] { OpenSongManager(); });
  if (QAction* action = window_->EditMenuAction("Print Songbook...")) {
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, window_.get(),
                     [this] { PrintSongbook(window_.get(), database_->LibraryPath()); });
  }
  if (QAction* action = window_->EditMenuAction("Songs Manager...")) {
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, window_.get(), [this] { OpenSongManager(); });
  }
}

void Application::OpenSongManager() {
  if (songManager_) songManager_->Open();
}

void Application::ShowSplash() {
  // Closes itself after four seconds, or at the first click.
  auto* splash = new QSplashScreen(SplashPicture(), Qt::WindowStaysOnTopHint);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->show();
  QTimer::singleShot(4000, splash, &QSplashScreen::close);
}

void Application::OpenOptions() {
  if (!options_) {
    OptionsHooks hooks;
    hooks.ambientsSwitchedOn = [this] {
      if (!show_->SongPlaying()) show_->StartNextBreakTrack();
    };
    hooks.addCustomLogo = [this] { return logos_->Add(); };
    hooks.customLogos = [this] { return logos_->Names(); };
    hooks.chooseCustomLogo = [this](int entry) { return logos_->Choose(entry); };
    hooks.removeCustomLogo = [this](int entry) { return logos_->Remove(entry); };
    hooks.requestCodeChanged = [this] { ShowRequestPageCode(); };
    hooks.versionsChanged = [this] { VersionsOptionsChanged(); };
    hooks.customizeAnnounce = [this](QWidget* owner) {
      AnnounceOptionsDialog dialog(*announcer_, settings_, prompts_, owner);
      dialog.exec();
    };
    options_ = std::make_unique<OptionsWindow>(settings_, std::move(hooks), window_.get());
    options_->setWindowFlag(Qt::Window);
    // What the host set there is kept at once, not only at exit.
    QObject::connect(options_.get(), &QDialog::finished, [this] { SavePreferences(); });
  }
  options_->Reload();
  options_->show();
  options_->raise();
}

void Application::VersionsOptionsChanged() {
  const MakerPreference preference = MakerPreference::Parse(settings_.PreferredMakers);
  if (requestPage_) requestPage_->SetMakerPreference(preference);
  libraryController_->SetVersions(settings_.GroupVersions.load(), preference);
}

void Application::OpenBackgroundOptions() {
  if (!backgroundOptions_) {
    QCheckBox* mainBox = window_->EnableBackgroundsBox();
    backgroundOptions_ = std::make_unique<BackgroundOptionsWindow>(
        settings_, show_->Backgrounds(), prompts_, [mainBox](bool on) { mainBox->setChecked(on); },
        window_.get());
    backgroundOptions_->setWindowFlag(Qt::Window);
  }
  backgroundOptions_->Reload();
  backgroundOptions_->show();
  backgroundOptions_->raise();
}

void Application::OpenAmbients() {
  // Modeless and single: a second press while it is open does nothing new.
  if (!ambients_) {
    ambients_ = std::make_unique<AmbientsWindow>(show_->Ambients(), show_->Music(), prompts_,
                                                 window_.get());
    ambients_->setWindowFlag(Qt::Window);
  }
  if (ambients_->isVisible()) return;
  ambients_->Reload();
  ambients_->show();
}

void Application::OpenQuickEffects() {
  if (!quickEffects_) {
    quickEffects_ = std::make_unique<QuickEffectsWindow>(show_->Effects(), prompts_, window_.get());
    quickEffects_->setWindowFlag(Qt::Window);
  }
  if (quickEffects_->isVisible()) return;
  quickEffects_->Reload();
  quickEffects_->show();
}

bool Application::ConfirmClose() {
  // A library command still writing (it lets events run) finishes first; an
  // import can be stopped, and the close then follows.
  if (libraryCommands_ && libraryCommands_->Busy()) {
    if (libraryCommands_->Importing() &&
        prompts_.Message("Exit Program", kStopImportQuestion, PromptButtons::YesNo,
                         PromptIcon::Question) == PromptAnswer::Yes) {
      closeAfterLibraryCommand_ = true;
      libraryCommands_->AbortImport();
    }
    return false;
  }
  if (!show_->ConfirmExit()) return false;
  if (options_) options_->close();
  if (backgroundOptions_) backgroundOptions_->close();
  if (ambients_) ambients_->close();
  if (quickEffects_) quickEffects_->close();
  // Stops the server and keeps the session name.
  if (remoteWindow_ && remoteWindow_->isVisible()) remoteWindow_->close();
  if (singers_->History()) singers_->History()->close();
  SaveBackgroundVideoList();
  show_->Ambients().Save(dataFolder_ + AmbientList::kFileName);
  SavePreferences();
  SaveCustomLogoList();
  if (songLengths_) songLengths_->Save();
  announcer_->WriteFiles();
  columns_->Save(dataFolder_ + ColumnLayout::kFileName);
  // The program ends here, whatever other windows are up: the singers' screen
  // is a window of its own and would keep the event loop running. A close
  // confirmed while start-up still runs ends the program before its loop.
  closed_ = true;
  QCoreApplication::quit();
  return true;
}

int Application::Run() {
  if (!Start()) return 1;
  const int status = closed_ ? 0 : QApplication::exec();
  Shutdown();
  return status;
}

void Application::Shutdown() {
  if (!started_) return;
  started_ = false;
  // No request reaches the rotation or the library from here on.
  if (requests_) requests_->Stop();
  if (requestPage_) requestPage_->Stop();
  show_->StopTimer();
  // The background video and the song stop; nothing of them survives.
  show_->Backgrounds().Stop();
  show_->StopBetweenSongs();
  show_->StopAndTearDown();
  // The preview stops; the list loaders (library and catalogue) finish
  // before the databases close.
  if (songManager_) songManager_->StopPreview();
  libraryController_->WaitForWorkers();
  if (songManager_) songManager_->WaitForLoads();
  // The loudness pass ends its song, and the upkeep its file, before the
  // library closes.
  if (leveling_) leveling_->Stop();
  upkeep_.reset();
  database_->Close();
  if (screen_) screen_->StopRenderThread();
  window_->hide();

  const std::pair<std::string, const char*> scratch[] = {
      {scratchFolder_ + "Zipped/", "Removing Zipped folder..."},
      {scratchFolder_ + "Stream/", "Removing Streaming Folder..."}};
  for (const auto& [folder, title] : scratch) {
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) continue;
    QProgressDialog progress(title, QString(), 0, 0);
    progress.setWindowTitle(title);
    progress.setMinimumDuration(0);
    progress.show();
    QCoreApplication::processEvents();
    RemoveScratchTree(folder);
  }
  if (scratchRun_) scratchRun_->Remove();
}

}  // namespace lyricade
