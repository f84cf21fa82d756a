// The break music and the effects on real graphs beside the song: their
// events reach handlers of their own, and files that do not play end quietly.
#include <gtest/gtest.h>

#include <fstream>

#include "playback_test_support.h"

namespace lyricade {
namespace {

using testing::ShowFixture;

class ShowBetweenSongs : public ShowFixture {
protected:
  std::string MakeTrack(const std::string& name, double seconds) {
    const std::string path = folder.File("songs/" + name + ".mp3");
    EXPECT_TRUE(testing::MakeMp3(path, seconds));
    return path;
  }
  std::string MakeBroken(const std::string& name) {
    const std::string path = folder.File("songs/" + name + ".mp3");
    std::ofstream(path) << "not music at all";
    return path;
  }
};

TEST_F(ShowBetweenSongs, BreakTracksFollowEachOtherAndFadeOutBesideTheSong) {
  settings.AutoManageAmbients = true;
  settings.RandomIncrement = false;
  show->Ambients().AddFile(MakeTrack("first", 0.5));
  show->Ambients().AddFile(MakeTrack("second", 20));
  ASSERT_TRUE(show->PlaySong(MakeSong("Artist - Title", 20), 0, 0));

  show->StartNextBreakTrack();
  BreakMusic& music = show->Music();
  ASSERT_TRUE(music.Playing());
  EXPECT_EQ(music.CurrentIndex(), 0);
  // The first track's end reaches the break music, not the song.
  ASSERT_TRUE(RunUntil([&] { return music.CurrentIndex() == 1; }));
  EXPECT_TRUE(show->SongPlaying());
  EXPECT_EQ(show->SongsEnded(), 0);

  for (int tick = 0; tick < 50; ++tick) show->tick();
  EXPECT_EQ(music.Level(), 100);
  show->FadeOutBreakTrack();
  for (int tick = 0; tick < 51; ++tick) show->tick();
  EXPECT_FALSE(music.Playing());
  EXPECT_TRUE(show->SongPlaying());
}

TEST_F(ShowBetweenSongs, FilesThatDoNotPlayEndQuietly) {
  settings.AutoManageAmbients = true;
  for (const char* name : {"bad1", "bad2", "bad3"}) show->Ambients().AddFile(MakeBroken(name));
  show->EffectPads().Assign(0, MakeBroken("effect"));

  show->StartNextBreakTrack();
  ASSERT_TRUE(RunUntil([&] { return !show->Music().Playing(); }));
  EXPECT_EQ(show->Music().FailuresInRow(), 3);

  ASSERT_TRUE(show->Effects().PlaySlot(0));
  ASSERT_TRUE(RunUntil([&] { return !show->Effects().Playing(); }));
  EXPECT_TRUE(prompts.Shown().empty());
}

}  // namespace
}  // namespace lyricade
