#include "common/app_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lyricade {
namespace {

TEST(AppSettings, FreshInstallationDefaults) {
  AppSettings settings;
  EXPECT_EQ(settings.SongVolume, 100);
  EXPECT_EQ(settings.SearchField, 6);
  EXPECT_TRUE(settings.MatchAll);
  EXPECT_FALSE(settings.MatchAtleastOne);
  EXPECT_TRUE(settings.RemoveEmptySingers);
  EXPECT_FALSE(settings.BackgroundsEnabled);
  EXPECT_TRUE(settings.SmoothOutputLyrics);
  EXPECT_FALSE(settings.AutoGainControl);
  EXPECT_EQ(settings.BreakMusicVolume, 100);
  EXPECT_TRUE(settings.MainWindowMaximised);
  EXPECT_EQ(settings.TickerLoops, 3);
  EXPECT_EQ(settings.CountdownSeconds, 7);
  EXPECT_TRUE(settings.RandomIncrement);
}

TEST(AppSettings, DownloadFolderDefaultsUnderHome) {
  const char* saved = std::getenv("HOME");
  std::string previous = saved ? saved : "";
  setenv("HOME", "/home/kj", 1);
  EXPECT_EQ(AppSettings::DefaultDownloadFolder(), "/home/kj/Quillon Downloads/");
  AppSettings settings;
  EXPECT_EQ(settings.DownloadFolder, "/home/kj/Quillon Downloads/");
  setenv("HOME", previous.c_str(), 1);
}

}  // namespace
}  // namespace lyricade
