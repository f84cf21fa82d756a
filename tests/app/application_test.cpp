// The program as a newcomer starts it, under a virtual display: a new data
// folder is seeded, the databases open, the main window and the singers'
// screen come up, the preferences apply, the rotation returns; closing asks
// its questions and writes what it must.
#include "app/ui/application.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/preferences_file.h"
#include "app/show.h"
#include "singers/ui/history_window.h"
#include "singers/ui/venue_windows.h"
#include "app/ui/options_window.h"
#include <QWindow>
#include "app/ui/custom_logos.h"
#include "app/ui/main_window.h"
#include "catalogue/ui/song_manager.h"
#include "catalogue/ui/song_manager_window.h"
#include "common/test_folder.h"
#include "remote/request_server.h"
#include "app/request_desk.h"
#include "app/request_page_host.h"
#include "app/ui/requests_panel.h"
#include <QTreeWidget>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include "remote/ui/remote_server_window.h"
#include "screen/screen_announcer.h"
#include "library/library_list_controller.h"
#include "library/library_list_view.h"
#include "library/ui/format_wizard.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/karaoke_screen.h"
#include "screen/picture_file.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

class ApplicationTest : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("LYRICADE_AUDIO_SINK", "fakesink sync=false", 1);
    setenv("XDG_CACHE_HOME", folder.File("cache").c_str(), 1);
    setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
  }
  std::unique_ptr<Application> Start(std::vector<std::string> options = {}) {
    options.insert(options.begin(), {"--data-dir", data});
    auto application = std::make_unique<Application>(options, &prompts);
    application->SetSplash(false);
    EXPECT_TRUE(application->Start());
    return application;
  }
  // Until the library list has loaded (or five seconds passed).
  static void WaitForList(LibraryListController& list) {
    QElapsedTimer clock;
    clock.start();
    while ((list.LoadBusy() || list.StatusText() != "Complete...") && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  void Wait(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }

  testing::TestFolder folder;
  std::string data = folder.File("data/");
  ScriptedPrompts prompts;
};

TEST_F(ApplicationTest, FirstRunSeedsTheFolderAndComesUp) {
  auto app = Start();
  EXPECT_TRUE(app->FirstRun());
  MainWindow* window = app->Window();
  for (const char* file : {"collections.mdb", "songdb.mdb", "background.dds", "Back2.bmp"})
    EXPECT_TRUE(fs::exists(data + file)) << file;
  // The seeded background leaves its surround transparent, so an enabled
  // background video shows around the title between songs.
  PixelImage background;
  ASSERT_TRUE(LoadPictureFile(data + "background.dds", background));
  EXPECT_EQ(background.At(5, 5) >> 24, 0u);
  EXPECT_EQ(background.At(background.Width - 5, background.Height - 5) >> 24, 0u);
  EXPECT_GT(background.At(background.Width / 2, background.Height * 2 / 5) >> 24, 128u);
  // The demo songs are in the library list.
  LibraryListController* list = app->LibraryController();
  QElapsedTimer clock;
  clock.start();
  while ((list->LoadBusy() || list->StatusText() != "Complete...") && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(window->LibraryView()->model()->rowCount(), 3);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Quillon Lyricade(TM) 2.08A");
  EXPECT_TRUE(window->isVisible());
  EXPECT_NE(app->Screen()->Window(), nullptr);
  // With one display the singers' screen explains how to get two.
  ASSERT_FALSE(prompts.Shown().empty());
  EXPECT_EQ(prompts.Shown().front().Caption, "Monitor Information");
  // The fresh defaults: "Match All", backgrounds off, maximised.
  EXPECT_TRUE(app->Settings().MatchAll);
  EXPECT_TRUE(app->Settings().MainWindowMaximised);
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  app->Shutdown();
}

TEST_F(ApplicationTest, TheRequestServerStartsFromTheCommandLineAndStopsAtShutdown) {
  auto app = Start({"--request-server=0"});
  ASSERT_TRUE(app->Requests()->Hosting());
  EXPECT_GT(app->Requests()->Port(), 0);
  QAction* open = app->Window()->EditMenuAction("Remote Server Dialog...");
  ASSERT_TRUE(open && open->isEnabled());
  open->trigger();
  ASSERT_NE(app->RemoteWindow(), nullptr);
  EXPECT_TRUE(app->RemoteWindow()->isVisible());
  EXPECT_EQ(app->RemoteWindow()->StartStopButton()->text(), "Stop Server");
  // The singers' request page runs with the server, on a chosen port too;
  // the window shows its address and code, and the screen shows the code
  // between songs when the host asks for it.
  ASSERT_TRUE(app->RequestPage()->Running());
  const QString port = QString(":%1/").arg(app->RequestPage()->Port());
  EXPECT_NE(app->RequestPage()->Port(), 2508);
  EXPECT_TRUE(app->RemoteWindow()->RequestPageAddress()->text().endsWith(port));
  EXPECT_FALSE(app->RemoteWindow()->RequestPageCode()->pixmap().isNull());
  // The host may name another of this computer's addresses; one it does
  // not have is never put in the code.
  emit app->RemoteWindow()->pageHostChosen("127.0.0.1");
  EXPECT_EQ(app->RemoteWindow()->RequestPageAddress()->text(), "Singers' request page: http://127.0.0.1" + port);
  EXPECT_EQ(app->RemoteWindow()->PageHostChoice()->currentText(), "127.0.0.1");
  emit app->RemoteWindow()->pageHostChosen("10.255.255.1");
  EXPECT_FALSE(app->RemoteWindow()->RequestPageAddress()->text().contains("10.255.255.1"));
  ScreenMessageState& messages = app->Announcer()->Messages();
  EXPECT_TRUE(messages.CornerPicture().isNull());
  emit app->Window()->optionsRequested();
  OptionsWindow* options = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<OptionsWindow*>(window)) options = found;
  ASSERT_NE(options, nullptr);
  options->RequestCodeOnScreenBox()->click();
  EXPECT_FALSE(messages.CornerPicture().isNull());
  app->RemoteWindow()->StartStopButton()->click();
  EXPECT_FALSE(app->RequestPage()->Running()) << "the page stops with the server";
  EXPECT_TRUE(messages.CornerPicture().isNull());
  EXPECT_TRUE(app->RemoteWindow()->RequestPageAddress()->isHidden());
  app->Shutdown();
  EXPECT_FALSE(app->Requests()->Hosting());
}

// A phone's request to the page on the loopback port; the answer.
std::string PostToPage(int port, const std::string& body) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(socket);
    return {};
  }
  const std::string text = "POST /api/request HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                           "Content-Type: application/json\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\n\r\n" + body;
  ::send(socket, text.data(), text.size(), MSG_NOSIGNAL);
  std::string answer;
  char buffer[1024];
  for (ssize_t got; (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0 && answer.size() < 65536;)
    answer.append(buffer, static_cast<size_t>(got));
  ::close(socket);
  return answer;
}

TEST_F(ApplicationTest, ApprovedRequestsFromBothDoorsWaitInTheRequestsListUntilAccepted) {
  auto app = Start({"--request-server=0"});
  ASSERT_TRUE(app->RequestPage()->Running());
  RotationOptions options;
  options.ApproveRequests = true;
  app->HostController()->Rotation().SetOptions(options);
  RequestsPanel* panel = app->RequestsList();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible()) << "shown while requests wait for the host";

  const std::string answer = PostToPage(app->RequestPage()->Port(), "{\"name\":\"Ana\",\"item\":1}");
  EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
  QElapsedTimer clock;
  clock.start();
  while (app->Desk()->Approvals().Pending().empty() && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  ASSERT_EQ(app->Desk()->Approvals().Pending().size(), 1u);
  const PendingRequest fromPage = app->Desk()->Approvals().Pending()[0];
  EXPECT_EQ(fromPage.From, "Request page 127.0.0.1");
  emit app->Requests()->songRequested(SongRequest{fromPage.Path, "<b>Bo</b>", 1});
  ASSERT_EQ(panel->List()->topLevelItemCount(), 2);
  EXPECT_EQ(panel->List()->topLevelItem(1)->text(0), "<b>Bo</b>");
  EXPECT_EQ(panel->List()->topLevelItem(1)->text(3), "Request client");
  EXPECT_EQ(app->HostController()->Rotation().Count(), 0);

  panel->List()->setCurrentItem(panel->List()->topLevelItem(1));
  panel->RejectButton()->click();
  EXPECT_EQ(app->HostController()->Rotation().Count(), 0);
  panel->AcceptAllButton()->click();
  ASSERT_EQ(app->HostController()->Rotation().Count(), 1);
  EXPECT_EQ(app->HostController()->Rotation().Singers()[0].Name, "Ana");
  EXPECT_EQ(panel->List()->topLevelItemCount(), 0);
  EXPECT_TRUE(fs::exists(data + RequestDesk::kFileName));
  app->Shutdown();
}

TEST_F(ApplicationTest, PreferencesAndRotationSurviveARestart) {
  {
    auto app = Start();
    Show* show = app->HostController();
    show->Rotation().AddSinger("Ana");
    show->VolumeDown();
    show->VolumeDown();
    app->Settings().TickerLoops = 4;
    prompts.QueueAnswer(PromptAnswer::Yes);  // "Save Singer List Before You Exit?"
    EXPECT_TRUE(app->Window()->close());
    app->Shutdown();
  }
  auto app = Start();
  EXPECT_FALSE(app->FirstRun());
  EXPECT_EQ(app->Settings().SongVolume, 90);
  EXPECT_EQ(app->Settings().TickerLoops, 4);
  ASSERT_EQ(app->HostController()->Rotation().Count(), 1);
  EXPECT_EQ(app->HostController()->Rotation().Singers()[0].Name, "Ana");
  // Cancel keeps the program running; No writes an empty rotation.
  prompts.QueueAnswer(PromptAnswer::Cancel);
  EXPECT_FALSE(app->Window()->close());
  EXPECT_TRUE(app->Window()->isVisible());
  prompts.QueueAnswer(PromptAnswer::No);
  EXPECT_TRUE(app->Window()->close());
  std::ifstream list(data + "lastlist.lst", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(list)), {});
  EXPECT_EQ(text, "0\r\n");
  app->Shutdown();
}

TEST_F(ApplicationTest, AFolderWithoutItsLibraryStartsWithTheFailureMessageOnce) {
  fs::create_directories(data);
  auto app = Start();
  EXPECT_FALSE(app->FirstRun());
  int failures = 0;
  for (const auto& shown : prompts.Shown()) failures += shown.Text == "Database Failure";
  EXPECT_EQ(failures, 1);
  // The program stays up for playback.
  EXPECT_TRUE(app->Window()->isVisible());
  app->Shutdown();
}

TEST_F(ApplicationTest, TheSongManagerOpensFromTheWindowAndItsLoadEndsBeforeShutdown) {
  auto app = Start();
  QAction* entry = app->Window()->EditMenuAction("Songs Manager...");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->isEnabled());
  entry->trigger();
  SongManagerWindow* manager = app->SongManagerParts()->Window();
  ASSERT_NE(manager, nullptr);
  EXPECT_TRUE(manager->isVisible());
  EXPECT_EQ(manager->windowTitle(), "Song Manager");
  EXPECT_EQ(manager->GiftPackBox()->itemText(0), "<No Gift Pack>");
  QElapsedTimer clock;
  clock.start();
  while (app->SongManagerParts()->Controller().Busy() && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(manager->StatusLabel()->text(), "Showing: 0");  // a new catalogue is empty

  // The button opens the same window and starts another load; shutdown
  // waits for it before the catalogue closes.
  QPushButton* button = nullptr;
  for (QPushButton* candidate : app->Window()->findChildren<QPushButton*>())
    if (candidate->text() == "Song Manager...") button = candidate;
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_EQ(app->SongManagerParts()->Window(), manager);
  EXPECT_TRUE(app->SongManagerParts()->Controller().Busy());
  app->Shutdown();
}

TEST_F(ApplicationTest, TheEditMenuRunsMaintenanceOnTheListsSelection) {
  auto app = Start();
  LibraryListController* list = app->LibraryController();
  const auto loaded = [&] { WaitForList(*list); };
  loaded();
  LibraryListView* view = app->Window()->LibraryView();
  ASSERT_EQ(view->model()->rowCount(), 3);
  const QString title = view->model()->index(0, 0).data().toString();
  const QString artist = view->model()->index(0, 1).data().toString();
  view->selectionModel()->select(view->model()->index(0, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  QAction* flip = app->Window()->EditMenuAction("Flip Title/Artist...");
  ASSERT_NE(flip, nullptr);
  EXPECT_TRUE(flip->isEnabled());
  prompts.QueueAnswer(PromptAnswer::Yes);  // "Are You Sure?"
  flip->trigger();
  EXPECT_EQ(prompts.Shown().back().Caption, "Flip Information");
  loaded();
  // The flipped row now sorts by its old artist.
  bool found = false;
  for (int row = 0; row < view->model()->rowCount(); ++row)
    found |= view->model()->index(row, 0).data().toString() == artist &&
             view->model()->index(row, 1).data().toString() == title;
  EXPECT_TRUE(found);
  app->Shutdown();
}

TEST_F(ApplicationTest, AddFolderRunsTheWizardAndListsTheNewSongs) {
  auto app = Start();
  LibraryListController* list = app->LibraryController();
  const auto loaded = [&] { WaitForList(*list); };
  loaded();
  const std::string songs = folder.File("songs/");
  fs::create_directories(songs + "More");
  std::ofstream(songs + "Abba - Waterloo.mp3") << "no tag here";
  std::ofstream(songs + "More/Queen - Bohemian Rhapsody.ZIP") << "not opened by an import";

  // The host in front of the wizard: "Next >" before a sample, then a
  // sample, then on page 2 the "Artist - Title" layout and "Finish".
  int pages = 0;
  QTimer host;
  QObject::connect(&host, &QTimer::timeout, [&] {
    if (auto* first = qobject_cast<FormatWizardSamplePage*>(QApplication::activeModalWidget())) {
      first->Next();
      first->Browse();
      first->Next();
      ++pages;
    } else if (auto* second =
                   qobject_cast<FormatWizardFormatPage*>(QApplication::activeModalWidget())) {
      EXPECT_EQ(second->StatusLine()->text(), "No ID3 Tag Present!");
      second->FormatOption(2)->click();
      EXPECT_EQ(second->Preview().Result().Artist, "Abba");
      second->accept();
      ++pages;
    }
  });
  host.start(20);
  prompts.QueueFiles({songs + "Abba - Waterloo.mp3"});
  prompts.QueueFolder(songs);
  app->Window()->AddFolderButton()->click();
  host.stop();
  EXPECT_EQ(pages, 2);
  loaded();

  bool askedForASample = false;
  for (const auto& shown : prompts.Shown())
    askedForASample |= shown.Caption == "Pick a Sample";
  EXPECT_TRUE(askedForASample);
  EXPECT_EQ(prompts.Shown().back().Caption, "Import Information");
  EXPECT_EQ(prompts.Shown().back().Text, "You have imported 2 songs to your library.");
  // The reload followed the commit: the new rows are listed.
  EXPECT_EQ(app->Window()->LibraryView()->model()->rowCount(), 5);
  app->Shutdown();
}

TEST_F(ApplicationTest, ClosingDuringAnImportStopsItAndThenCloses) {
  auto app = Start();
  const std::string songs = folder.File("many/");
  fs::create_directories(songs);
  for (int i = 0; i < 3000; ++i)
    std::ofstream(songs + "Artist - Song " + std::to_string(i) + ".zip") << "x";
  // The host closes the main window while "Please wait..." is up.
  bool closeAsked = false;
  QTimer host;
  QObject::connect(&host, &QTimer::timeout, [&] {
    if (auto* page = qobject_cast<FormatWizardSamplePage*>(QApplication::activeModalWidget())) {
      page->Browse();
      page->Next();
    } else if (auto* format = qobject_cast<FormatWizardFormatPage*>(QApplication::activeModalWidget())) {
      format->accept();
    } else if (!closeAsked) {
      for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle() == "Please wait...") {
          closeAsked = true;
          app->Window()->close();
        }
    }
  });
  host.start(0);
  prompts.QueueFiles({songs + "Artist - Song 0.zip"});
  prompts.QueueFolder(songs);
  prompts.QueueAnswer(PromptAnswer::Yes);  // stop adding songs and exit
  prompts.QueueAnswer(PromptAnswer::Ok);   // the count
  prompts.QueueAnswer(PromptAnswer::Yes);  // "Save Singer List Before You Exit?"
  app->Window()->AddFolderButton()->click();
  host.stop();
  ASSERT_TRUE(closeAsked);
  Wait(200);
  std::vector<std::string> captions;
  for (const auto& shown : prompts.Shown()) captions.push_back(shown.Caption);
  ASSERT_GE(captions.size(), 3u);
  EXPECT_EQ(captions[captions.size() - 3], "Exit Program");
  EXPECT_EQ(captions[captions.size() - 2], "Import Information");
  EXPECT_EQ(captions.back(), "Save Singer List Before You Exit");
  EXPECT_NE(prompts.Shown()[captions.size() - 2].Text,
            "You have imported 3000 songs to your library.") << "the import stopped early";
  EXPECT_FALSE(app->Window()->isVisible()) << "the close followed the import";
  app->Shutdown();
}

TEST_F(ApplicationTest, AcceleratorsWorkFromTheScreenAndTheHistoryWindow) {
  auto app = Start();
  Show* show = app->HostController();
  for (const char* name : {"Ana", "Ben"}) {
    const int singer = show->Rotation().AddSinger(name);
    QueuedSong song;
    song.Title = name;
    show->Rotation().QueueSong(singer, song);
  }
  // The singers' screen passes Ctrl+S on.
  QKeyEvent nextSinger(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier);
  QCoreApplication::sendEvent(app->Screen()->Window(), &nextSinger);
  EXPECT_EQ(show->Rotation().CurrentSinger(), 0);
  // So does the History window, with the focus on it.
  emit app->Window()->singerHistoryRequested();
  HistoryWindow* history = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<HistoryWindow*>(window)) history = found;
  ASSERT_NE(history, nullptr);
  QApplication::setActiveWindow(history);
  QTest::keyClick(history, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(show->Rotation().CurrentSinger(), 1);
  app->Shutdown();
}

TEST_F(ApplicationTest, PauseStaysDownWhileTheSongIsPaused) {
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=true", 1);
  auto app = Start();
  WaitForList(*app->LibraryController());
  Show* show = app->HostController();
  QueuedSong song;
  song.Title = "Demo";
  song.Path = app->Window()->LibraryView()->model()->index(0, 5).data().toString().toStdString();
  ASSERT_FALSE(song.Path.empty());
  show->Rotation().QueueSong(show->Rotation().AddSinger("Ana"), song);
  show->CueSinger(0);
  ASSERT_TRUE(show->Play());
  QPushButton* pause = app->Window()->PauseButton();
  EXPECT_FALSE(pause->isChecked());
  app->Window()->RunAccelerator(Qt::Key_X, Qt::ControlModifier);
  Wait(100);
  EXPECT_TRUE(show->SongPaused());
  EXPECT_TRUE(pause->isChecked());
  pause->click();
  Wait(100);
  EXPECT_FALSE(show->SongPaused());
  EXPECT_FALSE(pause->isChecked());
  show->Stop();
  app->Shutdown();
}

TEST_F(ApplicationTest, SettingsAreWrittenWithoutAClose) {
  auto app = Start();
  const std::string file = data + "lyr2prefs.cfg";
  fs::remove(file);
  app->HostController()->VolumeDown();
  Wait(1300);
  AppSettings read;
  ASSERT_TRUE(ReadPreferences(file, read)) << "written a second after the change";
  EXPECT_EQ(read.SongVolume, 95);
  app->Shutdown();
}

// The host's windows belong to the main window, so a window manager keeps
// them above it when a question box raises it; the singers' screen belongs
// to none. What is set in the Options window is on disk once it closes.
TEST_F(ApplicationTest, WindowsBelongToTheMainWindowAndOptionsAreKeptOnClose) {
  auto app = Start();
  QWindow* main = app->Window()->windowHandle();
  ASSERT_NE(main, nullptr);
  auto topLevel = [](auto* type) {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* found = qobject_cast<decltype(type)>(window)) return found;
    return type;
  };
  emit app->Window()->singerHistoryRequested();
  HistoryWindow* history = topLevel(static_cast<HistoryWindow*>(nullptr));
  ASSERT_NE(history, nullptr);
  emit history->editVenuesRequested();
  VenueManagementWindow* venues = topLevel(static_cast<VenueManagementWindow*>(nullptr));
  ASSERT_NE(venues, nullptr);
  emit app->Window()->optionsRequested();
  OptionsWindow* options = topLevel(static_cast<OptionsWindow*>(nullptr));
  ASSERT_NE(options, nullptr);
  for (QWidget* window : std::initializer_list<QWidget*>{history, venues, options})
    EXPECT_EQ(window->windowHandle()->transientParent(), main) << window->windowTitle().toStdString();
  EXPECT_EQ(app->Screen()->Window()->transientParent(), nullptr);

  const std::string file = data + "lyr2prefs.cfg";
  fs::remove(file);
  const bool proceed = app->HostController()->Settings().ProceedToNextSinger;
  options->Check("Proceed to Next Singer")->click();
  options->close();
  AppSettings read;
  ASSERT_TRUE(ReadPreferences(file, read)) << "written when the Options window closed";
  EXPECT_EQ(read.ProceedToNextSinger, !proceed);
  app->Shutdown();
}

TEST_F(ApplicationTest, AcceleratorsAndTheSearchBox) {
  auto app = Start();
  MainWindow* window = app->Window();
  QApplication::setActiveWindow(window);
  ASSERT_EQ(QApplication::activeWindow(), window);
  Show* show = app->HostController();
  show->Rotation().AddSinger("Ana");
  show->Rotation().AddSinger("Ben");
  // Ctrl+S: next singer.
  QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(show->Rotation().CurrentSinger(), 0);
  // Ctrl+Z does nothing while Play is disabled.
  window->PlayButton()->setEnabled(false);
  const int rebuilds = show->TickerRebuilds();
  QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(show->TickerRebuilds(), rebuilds);
  // Enter in the search box searches and never adds a line break.
  window->SearchBox()->setFocus();
  QTest::keyClicks(window->SearchBox(), "love");
  QTest::keyClick(window->SearchBox(), Qt::Key_Return);
  EXPECT_EQ(window->SearchBox()->text(), "love");
  Wait(300);
  EXPECT_TRUE(app->LibraryController()->SearchMode());
  // Inside the text field Ctrl+A selects its text instead of announcing.
  QTest::keyClick(window->SearchBox(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(window->SearchBox()->selectedText(), "love");
  app->Shutdown();
}

TEST_F(ApplicationTest, SearchAsYouTypeIsOffUntilTurnedOnAndIsKept) {
  auto app = Start();
  MainWindow* window = app->Window();
  LibraryListController* list = app->LibraryController();
  WaitForList(*list);
  ASSERT_FALSE(window->SearchAsYouTypeBox()->isChecked());
  QTest::keyClicks(window->SearchBox(), "demo");
  Wait(3 * MainWindow::kTypingPauseMs);
  EXPECT_FALSE(list->SearchMode()) << "typing alone searches only with the option on";

  window->SearchAsYouTypeBox()->setChecked(true);
  QTest::keyClick(window->SearchBox(), Qt::Key_Backspace);
  QElapsedTimer clock;
  clock.start();
  while (!(list->SearchMode() && !list->SearchBusy()) && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(list->SearchMode());
  EXPECT_NE(list->ListStatement().find("'%DEM%'"), std::string::npos) << list->ListStatement();
  app->Shutdown();
  app.reset();

  // The next start has it on.
  auto again = Start();
  EXPECT_TRUE(again->Window()->SearchAsYouTypeBox()->isChecked());
  again->Shutdown();
}

}  // namespace
}  // namespace lyricade

namespace lyricade {
namespace {

// The custom logo and the background list survive a restart: the chosen logo
// is on the singers' screen again, the first run's background videos are
// written to "backgrounds.cfg" and the first one runs at start-up; a choice
// naming a logo the list no longer has falls back to the default picture.
TEST_F(ApplicationTest, TheChosenLogoAndTheBackgroundListComeBackAfterARestart) {
  QImage logo(64, 48, QImage::Format_RGB32);
  logo.fill(QColor(0xE0, 0x20, 0x20));
  const std::string logoPath = folder.File("Party.Night.png");
  ASSERT_TRUE(logo.save(QString::fromStdString(logoPath)));
  const std::string programBackgrounds = std::string(std::getenv("LYRICADE_PROGRAM_DIR")) + "Backgrounds/";
  {
    auto app = Start();
    // The program's own videos, listed on the first run; the first one runs.
    BackgroundVideos& backgrounds = app->HostController()->Backgrounds();
    ASSERT_EQ(backgrounds.List().Size(), 2u);
    EXPECT_EQ(backgrounds.PlayingPath(), programBackgrounds + "Aurora Drift.wmv");
    prompts.QueueFiles({logoPath});
    EXPECT_EQ(app->Logos()->Add(), "Party.Night");
    EXPECT_EQ(app->Settings().BackgroundChoice, 2);
    prompts.QueueAnswer(PromptAnswer::No);  // "Save Singer List Before You Exit?"
    EXPECT_TRUE(app->Window()->close());
    app->Shutdown();
  }
  std::ifstream list(data + "backgrounds.cfg", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(list)), {}),
            programBackgrounds + "Aurora Drift.wmv\r\n" + programBackgrounds + "Lantern Rise.wmv\r\n");
  {
    auto app = Start();
    EXPECT_EQ(app->Settings().BackgroundChoice, 2);
    EXPECT_TRUE(app->Screen()->Flags().CustomLogoLoaded);
    const QImage frame = app->Screen()->CaptureNextFrame().get();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixel(frame.width() / 2, frame.height() / 2) & 0xFFFFFFu, 0xE02020u);
    app->Settings().BackgroundChoice = 9;
    prompts.QueueAnswer(PromptAnswer::No);
    EXPECT_TRUE(app->Window()->close());
    app->Shutdown();
  }
  auto app = Start();
  EXPECT_EQ(app->Settings().BackgroundChoice, 0);
  app->Shutdown();
}

}  // namespace
}  // namespace lyricade

namespace lyricade {
namespace {

TEST_F(ApplicationTest, PadsBreakMusicAndColumnsComeBackAfterARestart) {
  const std::string track = folder.File("Break Tune.mp3");
  std::ofstream(track) << "x";
  {
    auto app = Start();
    ASSERT_EQ(app->Window()->LibraryView()->header()->logicalIndex(0), 0);  // designed
    app->HostController()->EffectPads().Assign(4, folder.File("Applause.wav"));
    app->HostController()->Ambients().AddFile(track);
    app->HostController()->Ambients().AddFile(folder.File("gone.mp3"));
    app->Window()->LibraryView()->header()->moveSection(1, 0);
    prompts.QueueAnswer(PromptAnswer::No);  // "Save Singer List Before You Exit?"
    EXPECT_TRUE(app->Window()->close());
    app->Shutdown();
  }
  {
    auto app = Start();
    EXPECT_EQ(app->HostController()->EffectPads().ButtonText(4), "*5");
    // The missing file stays for a drive plugged in later, and is not there.
    ASSERT_EQ(app->HostController()->Ambients().Size(), 2);
    EXPECT_EQ(app->HostController()->Ambients().At(0).Name, "Break Tune");
    EXPECT_FALSE(app->HostController()->Ambients().Present(1));
    EXPECT_EQ(app->Window()->LibraryView()->header()->logicalIndex(0), 1);

    // "Reset All Columns...": No keeps the layout, Yes puts it back.
    QAction* reset = app->Window()->EditMenuAction("Reset All Columns...");
    ASSERT_TRUE(reset && reset->isEnabled());
    prompts.QueueAnswer(PromptAnswer::No);
    reset->trigger();
    EXPECT_EQ(app->Window()->LibraryView()->header()->logicalIndex(0), 1);
    prompts.QueueAnswer(PromptAnswer::Yes);
    reset->trigger();
    EXPECT_EQ(app->Window()->LibraryView()->header()->logicalIndex(0), 0);
    app->Shutdown();
  }
}

}  // namespace
}  // namespace lyricade
