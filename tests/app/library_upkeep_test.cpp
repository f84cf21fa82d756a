// The program's library upkeep on a real library and real files: new songs
// checked in the background with broken ones set aside (each check bounded
// in time) and re-checked after a repair, and a folder the system reports
// changed refreshed on its own.
#include "app/library_upkeep.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/test_folder.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/needs_attention.h"
#include "library/watched_folders.h"
#include "platform/prompts/stream_prompts.h"
#include "support/test_media.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

class Upkeep : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(SeedDatabaseFiles(folder.Path(), LYRICADE_TEST_RESOURCES));
    database.SetDataFolder(folder.Path());
    ASSERT_TRUE(database.OpenLibrary());
    fs::create_directories(songs + "/Disc 1");
    ASSERT_TRUE(SaveWatchedFolder(database, {songs, {}}));
    QObject::connect(&upkeep, &LibraryUpkeep::finished, [this](const UpkeepReport& report) {
      reports.push_back(report);
    });
  }
  // Lets the reports in until `count` have come or the seconds are over.
  bool AwaitReports(size_t count, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (reports.size() < count && clock.elapsed() < seconds * 1000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return reports.size() >= count;
  }
  void Good(const std::string& name) {
    ASSERT_TRUE(testing::MakeMp3(songs + "/Disc 1/" + name + ".mp3", 4));
    std::ofstream(songs + "/Disc 1/" + name + ".cdg", std::ios::binary) << std::string(24 * 300, '\0');
  }

  testing::TestFolder folder;
  std::string songs = WatchedFolderName(folder.File("songs"));
  std::ostringstream quiet;
  StreamPrompts prompts{quiet, {"", true, false}};
  LibraryDatabase database{prompts};
  LibraryUpkeep upkeep{folder.Path()};
  std::vector<UpkeepReport> reports;
};

TEST_F(Upkeep, BrokenNewSongsAreSetAsideWithTheirReasonAndLeaveOnceRepaired) {
  Good("SC1 - Waterloo - Abba");
  // Noise with a song's name, an archive cut short, audio whose graphics
  // are empty: none stops the refresh or the others' checks.
  std::ofstream(songs + "/Disc 1/SC2 - Noise - Nobody.mp3", std::ios::binary) << std::string(300000, '\xff');
  std::ofstream(songs + "/Disc 1/SC3 - Cut - Short.zip", std::ios::binary) << "PK\x03\x04 and then nothing";
  ASSERT_TRUE(testing::MakeMp3(songs + "/Disc 1/SC4 - Blank - Page.mp3", 1));
  std::ofstream(songs + "/Disc 1/SC4 - Blank - Page.cdg", std::ios::binary);

  // A busy machine's first decode (plugins loading) may take seconds: a
  // deadline a good song always meets, and the whole work well inside the
  // four songs' deadlines.
  SongCheckOptions bounds;
  bounds.Deadline = std::chrono::seconds(20);
  upkeep.SetCheckOptions(bounds);
  QElapsedTimer clock;
  clock.start();
  upkeep.RefreshAll();
  ASSERT_TRUE(AwaitReports(1, 90));
  EXPECT_LT(clock.elapsed(), 60000);
  EXPECT_EQ(reports[0].Added, 4);
  EXPECT_EQ(reports[0].Checked, 4);
  EXPECT_EQ(reports[0].NeedAttention, 3);
  const std::vector<AttentionRow> listed = ReadAttention(database.Library());
  ASSERT_EQ(listed.size(), 3u) << listed[0].Path << ": " << listed[0].Reason;
  EXPECT_EQ(listed[0].Path, songs + "/Disc 1/SC2 - Noise - Nobody.mp3");
  EXPECT_NE(listed[0].Reason.find("decoded"), std::string::npos) << listed[0].Reason;
  EXPECT_NE(listed[2].Reason.find("empty"), std::string::npos) << listed[2].Reason;

  // The host repairs one and asks for the list to be checked again.
  std::ofstream(songs + "/Disc 1/SC4 - Blank - Page.cdg", std::ios::binary) << std::string(24 * 300, '\0');
  upkeep.RecheckListed();
  ASSERT_TRUE(AwaitReports(2, 60));
  EXPECT_EQ(reports[1].NeedAttention, 2);
}

TEST_F(Upkeep, AFolderTheSystemReportsChangedIsRefreshedOnItsOwn) {
  Good("SC1 - Waterloo - Abba");
  upkeep.SetWatching(true);
  upkeep.RefreshAll();
  ASSERT_TRUE(AwaitReports(1, 60));
  EXPECT_EQ(reports[0].Added, 1);
  EXPECT_GE(upkeep.Watch().Count(), 2u);  // the watched folder and Disc 1

  // A copy into the folder: one refresh a few seconds after, of that folder.
  Good("SC5 - Dancing Queen - Abba");
  ASSERT_TRUE(AwaitReports(2, 30));
  EXPECT_EQ(reports[1].Added, 1);
  EXPECT_EQ(reports[1].Checked, 1);
  EXPECT_EQ(reports[1].NeedAttention, 0);

  // No longer watched: a change goes unnoticed until the next refresh.
  upkeep.SetWatching(false);
  const size_t before = reports.size();
  Good("SC6 - Fernando - Abba");
  EXPECT_FALSE(AwaitReports(before + 1, 5));
}

}  // namespace
}  // namespace lyricade
