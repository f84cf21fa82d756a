// The break music's track order, fades and ends, on a player that plays
// nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "between/break_music.h"
#include "between/fake_player.h"
#include "common/app_settings.h"
#include "common/test_folder.h"

namespace lyricade {
namespace {

class BreakMusicTest : public ::testing::Test {
protected:
  // A list of `count` existing files named 0.mp3, 1.mp3, ...
  void MakeTracks(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string path = folder.File(std::to_string(i) + ".mp3");
      std::ofstream(path) << "x";
      list.AddFile(path);
    }
  }
  std::string Track(int i) const { return folder.File(std::to_string(i) + ".mp3"); }

  testing::TestFolder folder;
  AppSettings settings;
  testing::FakePlayer player;
  AmbientList list;
  BreakMusic music{settings, player, list};
};

TEST_F(BreakMusicTest, FadesMoveTwoPointsPerTick) {
  MakeTracks(1);
  settings.RandomIncrement = false;
  music.NextTrack();
  ASSERT_TRUE(music.Playing());
  EXPECT_EQ(player.volumes.back(), -7500);  // starts silent
  for (int tick = 0; tick < 49; ++tick) music.Tick();
  EXPECT_EQ(music.Level(), 98);
  EXPECT_TRUE(music.FadingIn());
  music.Tick();
  EXPECT_EQ(music.Level(), 100);
  EXPECT_EQ(player.volumes.back(), 0);
  EXPECT_FALSE(music.FadingIn());

  // A song starts while the music plays at 80 %: down to 0 in 40 ticks,
  // stopped at the next.
  music.SetVolume(80);
  music.PlayCurrent();
  for (int tick = 0; tick < 40; ++tick) music.Tick();
  ASSERT_EQ(music.Level(), 80);
  music.FadeOut();
  EXPECT_FALSE(music.FadingIn());
  for (int tick = 0; tick < 40; ++tick) music.Tick();
  EXPECT_EQ(music.Level(), 0);
  EXPECT_TRUE(music.Playing());
  music.Tick();
  EXPECT_FALSE(music.Playing());
  EXPECT_EQ(player.CurrentGraph(), 0u);
  music.FadeOut();  // nothing plays: nothing to fade
  EXPECT_FALSE(music.FadingOut());
}

TEST_F(BreakMusicTest, VolumeChangeDuringFadeInAppliesAtOnceAndTheFadeGoesOn) {
  MakeTracks(1);
  music.NextTrack();
  for (int tick = 0; tick < 5; ++tick) music.Tick();
  ASSERT_EQ(music.Level(), 10);
  music.SetVolume(60);
  EXPECT_EQ(player.volumes.back(), -3000);
  music.Tick();
  EXPECT_EQ(music.Level(), 12);
  EXPECT_EQ(player.volumes.back(), PercentToHundredthsOfDb(12));
  for (int tick = 0; tick < 30; ++tick) music.Tick();
  EXPECT_EQ(music.Level(), 60);
  EXPECT_FALSE(music.FadingIn());
}

TEST_F(BreakMusicTest, NextTrackOrder) {
  // One track plays again at every request, with or without randomness.
  MakeTracks(1);
  settings.RandomIncrement = true;
  for (int request = 0; request < 3; ++request) {
    music.NextTrack();
    EXPECT_EQ(music.CurrentIndex(), 0);
    EXPECT_EQ(music.PlayingPath(), Track(0));
  }

  list.Clear();
  MakeTracks(2);
  std::set<int> landed;
  for (int request = 0; request < 30; ++request) {
    music.NextTrack();
    ASSERT_TRUE(list.Valid(music.CurrentIndex()));
    landed.insert(music.CurrentIndex());
  }
  EXPECT_EQ(landed.size(), 2u);

  list.Clear();
  MakeTracks(5);
  music.PlayIndex(3);
  int step = 3;
  music.SetRandomStep([&step] { return step; });
  music.NextTrack();
  EXPECT_EQ(music.CurrentIndex(), 1);  // 3 + 3 wraps round five tracks
  step = 2;
  music.NextTrack();
  EXPECT_EQ(music.CurrentIndex(), 3);
  settings.RandomIncrement = false;
  music.NextTrack();
  EXPECT_EQ(music.CurrentIndex(), 4);
  music.NextTrack();
  EXPECT_EQ(music.CurrentIndex(), 0);
}

TEST_F(BreakMusicTest, TrackEndsAndUnplayableLists) {
  MakeTracks(3);
  settings.RandomIncrement = false;
  music.NextTrack();
  const uint64_t first = player.CurrentGraph();

  // Without "Auto Manage Ambients" a track simply ends.
  music.TrackEnded(first, TrackEnd::Complete);
  EXPECT_EQ(music.CurrentIndex(), 0);
  EXPECT_TRUE(music.Playing());

  settings.AutoManageAmbients = true;
  music.TrackEnded(first + 100, TrackEnd::Complete);  // not our graph
  EXPECT_EQ(music.CurrentIndex(), 0);
  music.TrackEnded(first, TrackEnd::Complete);
  EXPECT_EQ(music.CurrentIndex(), 1);

  // Every file fails: one pass round the list, then the music waits.
  int starts = 0;
  for (int event = 0; event < 10 && player.CurrentGraph() != 0; ++event) {
    music.TrackEnded(player.CurrentGraph(), TrackEnd::Aborted);
    ++starts;
  }
  EXPECT_EQ(starts, 3);
  EXPECT_FALSE(music.Playing());
  EXPECT_EQ(player.CurrentGraph(), 0u);

  // The next request tries again.
  music.NextTrack();
  EXPECT_TRUE(music.Playing());
  EXPECT_EQ(music.FailuresInRow(), 0);
}

TEST_F(BreakMusicTest, AnEndDuringTheFadeOutOrASongOnlyStops) {
  MakeTracks(3);
  settings.RandomIncrement = false;
  settings.AutoManageAmbients = true;
  bool songPlaying = false;
  music.SetSongPlaying([&] { return songPlaying; });

  music.NextTrack();
  music.FadeOut();
  music.TrackEnded(player.CurrentGraph(), TrackEnd::Complete);
  EXPECT_FALSE(music.Playing());
  EXPECT_EQ(player.CurrentGraph(), 0u);

  music.NextTrack();
  songPlaying = true;
  music.TrackEnded(player.CurrentGraph(), TrackEnd::Aborted);
  EXPECT_FALSE(music.Playing());
  EXPECT_EQ(music.CurrentIndex(), 1);
}

TEST_F(BreakMusicTest, MissingOrRefusedFilesPlayNothing) {
  MakeTracks(2);
  std::filesystem::remove(Track(1));
  music.PlayIndex(1);
  EXPECT_FALSE(music.Playing());
  player.refuse = true;
  music.PlayIndex(0);
  EXPECT_FALSE(music.Playing());
  EXPECT_EQ(player.CurrentGraph(), 0u);
  list.Clear();
  music.NextTrack();  // an empty list does nothing
  EXPECT_FALSE(music.Playing());
}

// Tracks on a drive that is not plugged in are passed over, and play once
// it is.
TEST_F(BreakMusicTest, TracksThatAreNotThereArePassedOver) {
  settings.RandomIncrement = false;
  MakeTracks(4);
  std::filesystem::remove(Track(1));
  std::filesystem::remove(Track(2));
  music.NextTrack();
  ASSERT_EQ(music.CurrentIndex(), 0);
  music.NextTrack();
  EXPECT_EQ(music.CurrentIndex(), 3);
  EXPECT_TRUE(music.Playing());
  std::ofstream(Track(1)) << "x";
  music.NextTrack();
  music.NextTrack();
  EXPECT_EQ(music.CurrentIndex(), 1);
  EXPECT_EQ(music.PlayingPath(), Track(1));
}

}  // namespace
}  // namespace lyricade
