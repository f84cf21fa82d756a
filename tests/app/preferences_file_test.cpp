#include "app/preferences_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/app_settings.h"
#include "common/test_folder.h"
#include "common/text_file.h"

namespace lyricade {
namespace {

TEST(PreferencesFile, WritesFortyTwoLinesAndReadsThemBack) {
  testing::TestFolder folder;
  const std::string path = folder.File("lyr2prefs.cfg");
  AppSettings written;
  written.SongVolume = 65;
  written.SearchField = 2;
  written.MatchAll = false;
  written.MatchAtleastOne = true;
  written.BackgroundsEnabled = true;
  written.SmoothOutputLyrics = false;
  written.ReservedNumber19 = 77;
  written.DownloadFolder = "/srv/karaoke/downloads/";
  written.StreamingAccount = "";
  written.TickerLoops = 5;
  written.CountdownSeconds = 45;
  written.MainWindowMaximised = false;
  written.MainWindowWidth = 1024;
  written.TickerFaster = true;
  ASSERT_TRUE(WritePreferences(path, written));

  std::ifstream in(path, std::ios::binary);
  std::stringstream raw;
  raw << in.rdbuf();
  const auto lines = ReadTextLines(path);
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->size(), 42u);
  EXPECT_EQ((*lines)[0], "65");
  EXPECT_EQ((*lines)[1], "0");
  EXPECT_EQ((*lines)[7], "-");  // an empty text still has its line
  EXPECT_EQ((*lines)[19], "/srv/karaoke/downloads/-");
  EXPECT_EQ((*lines)[36], "-");
  EXPECT_EQ(raw.str().substr(0, 6), "65\r\n0\r");

  AppSettings read;
  ASSERT_TRUE(ReadPreferences(path, read));
  EXPECT_EQ(read.SongVolume, 65);
  EXPECT_EQ(read.SearchField, 2);
  EXPECT_FALSE(read.MatchAll);
  EXPECT_TRUE(read.MatchAtleastOne);
  EXPECT_TRUE(read.BackgroundsEnabled);
  EXPECT_FALSE(read.SmoothOutputLyrics);
  EXPECT_EQ(read.ReservedNumber19, 77);  // written back as read
  EXPECT_EQ(read.DownloadFolder, "/srv/karaoke/downloads/");
  EXPECT_EQ(read.StreamingAccount, "");
  EXPECT_EQ(read.TickerLoops, 5);
  EXPECT_FALSE(read.MainWindowMaximised);
  EXPECT_EQ(read.MainWindowWidth, 1024);
  EXPECT_TRUE(read.TickerFaster);
}

TEST(PreferencesFile, NoFileShortFilesAndOutOfRangeValues) {
  testing::TestFolder folder;
  AppSettings fresh;
  EXPECT_FALSE(ReadPreferences(folder.File("none.cfg"), fresh));
  EXPECT_TRUE(fresh.MatchAll);
  EXPECT_EQ(fresh.SearchField, 6);
  EXPECT_TRUE(fresh.MainWindowMaximised);
  EXPECT_FALSE(fresh.BackgroundsEnabled);

  // A short file: flags of missing lines become 0, other values keep theirs,
  // the download folder falls back to its default.
  AppSettings settings;
  settings.BreakMusicVolume = 40;
  ApplyPreferenceLines({"80", "0", "3", "1", "0", "1"}, settings);
  EXPECT_EQ(settings.SongVolume, 80);
  EXPECT_EQ(settings.SearchField, 3);
  EXPECT_TRUE(settings.ProceedToNextSinger);
  EXPECT_FALSE(settings.AutoAnnounceSinger);   // line 7 missing
  EXPECT_FALSE(settings.RemoveEmptySingers);   // line 10 missing
  EXPECT_FALSE(settings.SmoothOutputLyrics);   // line 12 missing
  EXPECT_EQ(settings.BreakMusicVolume, 40);    // kept
  EXPECT_EQ(settings.TickerLoops, 3);          // kept
  EXPECT_EQ(settings.DownloadFolder, AppSettings::DefaultDownloadFolder());

  // Values beyond their ranges are brought back; garbage counts as missing.
  std::vector<std::string> lines(42, "0");
  lines[0] = "250";
  lines[2] = "-3";
  lines[19] = "-";
  lines[29] = "99";
  lines[34] = "2";
  lines[35] = "40";
  lines[28] = "1000";
  lines[11] = "not a number";
  AppSettings clamped;
  ApplyPreferenceLines(lines, clamped);
  EXPECT_EQ(clamped.SongVolume, 100);
  EXPECT_EQ(clamped.SearchField, 0);
  EXPECT_EQ(clamped.TickerLoops, 5);
  EXPECT_EQ(clamped.CountdownSeconds, 5);
  EXPECT_EQ(clamped.TickerSingersMinus3, 12);
  EXPECT_EQ(clamped.BackgroundChoice, 51);
  EXPECT_FALSE(clamped.SmoothOutputLyrics);
  EXPECT_EQ(clamped.DownloadFolder, AppSettings::DefaultDownloadFolder());
}

}  // namespace
}  // namespace lyricade
