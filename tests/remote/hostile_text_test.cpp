// Text from a hostile guest reaches the host's windows through every door
// (a saved singer list, a request client, the request page, a tag, the
// song vendor's answers) and is
// shown as the characters it is: a name that looks like markup must never
// load a picture, draw a banner or grow the process.
#include "app/ui/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/request_page_host.h"
#include "app/show.h"
#include "app/ui/main_window.h"
#include "catalogue/ui/song_manager.h"
#include "catalogue/ui/song_manager_window.h"
#include "common/test_folder.h"
#include "platform/db/db_result.h"
#include "platform/prompts/scripted_prompts.h"
#include "remote/request_message.h"
#include "remote/request_server.h"
#include "store/store.h"
#include "store/vendor_service.h"

namespace lyricade {
namespace {

constexpr const char* kPicture = "<img src=/dev/zero>";
constexpr const char* kBold = "<b>x</b>";
constexpr const char* kBanner = "<font size=7 color=red>big";

long ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * ::sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs && !done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

// Every label on screen that holds markup-looking text shows it as plain
// text; returns how many such labels there were.
int CheckMarkupLabels() {
  int found = 0;
  for (QWidget* widget : QApplication::allWidgets()) {
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label || !label->text().contains('<')) continue;
    ++found;
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
  }
  return found;
}

bool LabelShows(const QString& text) {
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* label = qobject_cast<QLabel*>(widget); label && label->text().contains(text)) return true;
  return false;
}

class HostileTextTest : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("LYRICADE_AUDIO_SINK", "fakesink sync=false", 1);
    setenv("XDG_CACHE_HOME", folder.File("cache").c_str(), 1);
    setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
  }
  testing::TestFolder folder;
  std::string data = folder.File("data/");
  ScriptedPrompts prompts;
};

TEST_F(HostileTextTest, MarkupFromEveryDoorIsShownAsPlainText) {
  // The first run seeds the folder; the second reads a saved singer list
  // whose singer and song (as a tag would name it) look like markup.
  {
    Application first({"--data-dir", data}, &prompts);
    first.SetSplash(false);
    ASSERT_TRUE(first.Start());
    first.Shutdown();
  }
  {
    std::ofstream list(data + "lastlist.lst", std::ios::binary);
    list << "1\r\n-" << kPicture << "\r\n1\r\n0, 0, 1\r\n-" << kBold << "\r\n-2024\r\n-/songs/x.mp3\r\n-"
         << kBold << "\r\n-" << kBold << "\r\n-\r\n";
  }
  Application app({"--data-dir", data, "--request-server=0"}, &prompts);
  app.SetSplash(false);
  ASSERT_TRUE(app.Start());
  Show& show = *app.HostController();
  ASSERT_EQ(show.Rotation().Count(), 1);
  show.Rotation().SelectSinger(0);
  show.CueSinger(0);
  const long before = ResidentMegabytes();

  // A request client and a phone name singers with markup.
  DbResult item;
  ASSERT_TRUE(item.Open(data + "collections.mdb", "SELECT ItemNum, SongPath FROM Items ORDER BY ItemNum;"));
  ASSERT_TRUE(item.MoveFirst());
  QTcpSocket client;
  client.connectToHost("127.0.0.1", static_cast<quint16>(app.Requests()->Port()));
  ASSERT_TRUE(client.waitForConnected(3000));
  client.write(QByteArray::fromStdString(
      Frame(EncodeHello({std::string(kRequestAppGuid), app.Requests()->Session(), kBold})) +
      Frame(EncodeSongRequest(item.Text("SongPath").value_or(""), kBold, 0))));
  client.flush();
  QTcpSocket phone;
  phone.connectToHost("127.0.0.1", static_cast<quint16>(app.RequestPage()->Port()));
  ASSERT_TRUE(phone.waitForConnected(3000));
  const std::string body = std::string("{\"name\": \"") + kBanner +
                           "\", \"item\": " + std::to_string(item.Integer("ItemNum").value_or(0)) + "}";
  phone.write(QByteArray::fromStdString("POST /api/request HTTP/1.1\r\nHost: 127.0.0.1:" +
                                        std::to_string(app.RequestPage()->Port()) +
                                        "\r\nContent-Type: application/json\r\nContent-Length: " +
                                        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body));
  phone.flush();
  ASSERT_TRUE(RunUntil([&] { return show.Rotation().Count() == 3; }));

  // Each singer in turn is cued (the now-up label names it) and the main
  // window is drawn, which is when a picture would load.
  for (const char* name : {kBold, kBanner, kPicture}) {
    const int singer = show.Rotation().FindSingerIgnoringCase(name);
    ASSERT_GE(singer, 0) << name;
    show.Rotation().SelectSinger(singer);
    show.CueSinger(singer);
    QCoreApplication::processEvents();
    (void)app.Window()->grab();
    EXPECT_TRUE(LabelShows(name)) << name;
    EXPECT_GE(CheckMarkupLabels(), 1) << name;
  }
  // A picture read from /dev/zero grows the process by hundreds of megabytes
  // a second; the sanitizers' shadow memory alone can add tens.
  EXPECT_LT(ResidentMegabytes() - before, 256);
  app.Shutdown();
}

// The vendor's account and expiry answers reach the Song Manager's account
// and subscription labels; a service (or whoever answers in its name on the
// venue's network) that answers with markup is shown its own characters.
TEST_F(HostileTextTest, VendorAnswersInTheSongManagerAreShownAsPlainText) {
  const std::string serviceFolder = folder.File("service/");
  std::filesystem::create_directories(serviceFolder);
  testing::VendorService service(serviceFolder, {});
  ASSERT_TRUE(service.Ready());
  ASSERT_TRUE(service.Set("createaccount", std::string("Account: ") + kBold + "\r\n"));
  ASSERT_TRUE(service.Set("checksubexpiry", kPicture));
  setenv("LYRICADE_SERVICE_URL", service.HttpBase().c_str(), 1);
  setenv("LYRICADE_SERVICE_TLS_URL", service.HttpsBase().c_str(), 1);
  setenv("LYRICADE_SERVICE_CA", service.CaFile().c_str(), 1);
  setenv("LYRICADE_SERVICE_TIMEOUT", "3", 1);

  Application app({"--data-dir", data, "--request-server=0"}, &prompts);
  app.SetSplash(false);
  ASSERT_TRUE(app.Start());
  SongManager& manager = *app.SongManagerParts();
  SongManagerWindow* window = manager.Open();
  ASSERT_NE(window, nullptr);
  CustomerDetails details;
  details.Email = "mary@example.com";
  details.FirstName = "Mary";
  details.LastName = "Smith";
  details.CountryIndex = 213;
  manager.GetStore().SetDetails(details);
  const long before = ResidentMegabytes();
  QPushButton* signIn = nullptr;
  for (QPushButton* button : window->findChildren<QPushButton*>())
    if (button->text() == "Sign in/Create...") signIn = button;
  ASSERT_NE(signIn, nullptr);
  signIn->click();
  EXPECT_EQ(manager.GetStore().StatusText(), kPicture);
  QCoreApplication::processEvents();
  (void)window->grab();
  EXPECT_TRUE(LabelShows(kBold));
  EXPECT_TRUE(LabelShows(kPicture));
  EXPECT_GE(CheckMarkupLabels(), 2);
  EXPECT_LT(ResidentMegabytes() - before, 256);
  app.Shutdown();
  for (const char* name : {"LYRICADE_SERVICE_URL", "LYRICADE_SERVICE_TLS_URL", "LYRICADE_SERVICE_CA",
                           "LYRICADE_SERVICE_TIMEOUT"})
    unsetenv(name);
}

}  // namespace
}  // namespace lyricade
