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
  ShowBetweenSongs() : ShowFixture("fakesink sync=true") {}
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

// A synced sink: the tracks and the song last as long as they say, so the
// short track always ends long before the song.
TEST_F(ShowBetweenSongs, BreakTracksFollowEachOtherButNeverOverTheSong) {
  settings.AutoManageAmbients = true;
  settings.RandomIncrement = false;
  show->Ambients().AddFile(MakeTrack("first", 0.5));
  show->Ambients().AddFile(MakeTrack("second", 20));

  show->StartNextBreakTrack();
  BreakMusic& music = show->Music();
  ASSERT_TRUE(music.Playing());
  EXPECT_EQ(music.CurrentIndex(), 0);
  ASSERT_TRUE(RunUntil([&] { return music.CurrentIndex() == 1; }));
  EXPECT_TRUE(music.Playing());

  ASSERT_TRUE(show->PlaySong(MakeSong("Artist - Title", 20), 0, 0));
  show->FadeOutBreakTrack();
  for (int tick = 0; tick < 51; ++tick) show->tick();
  EXPECT_FALSE(music.Playing());
  EXPECT_TRUE(show->SongPlaying());

  // A track started beside the song ends there; the song's end events stay
  // the song's.
  show->StartNextBreakTrack();
  ASSERT_EQ(music.CurrentIndex(), 0);
  ASSERT_TRUE(RunUntil([&] { return !music.Playing(); }));
  EXPECT_EQ(music.CurrentIndex(), 0);
  EXPECT_TRUE(show->SongPlaying());
  EXPECT_EQ(show->SongsEnded(), 0);
}

TEST_F(ShowBetweenSongs, OnlyAPlayThatOpensASongFadesTheMusicOut) {
  settings.AutoManageAmbients = true;
  settings.RemoveEmptySingers = false;
  show->Ambients().AddFile(MakeTrack("long", 20));
  show->StartNextBreakTrack();
  BreakMusic& music = show->Music();

  // Nobody up and no song played yet, then a file that is not there.
  EXPECT_FALSE(show->Play());
  show->Rotation().AddSinger("Ana");
  QueuedSong missing;
  missing.Title = "Gone";
  missing.Path = folder.File("songs/gone.mp3");
  show->Rotation().QueueSong(0, missing);
  show->CueSinger(0);
  show->Play();
  EXPECT_FALSE(show->SongPlaying());
  EXPECT_TRUE(music.Playing());
  EXPECT_FALSE(music.FadingOut());

  QueuedSong song;
  song.Title = "Here";
  song.Path = MakeSong("Artist - Here", 5);
  show->Rotation().QueueSong(0, song);
  show->CueSinger(0);
  ASSERT_TRUE(show->Play());
  EXPECT_TRUE(show->SongPlaying());
  EXPECT_TRUE(music.FadingOut());
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
