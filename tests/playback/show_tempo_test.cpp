#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <gst/gst.h>

#include "platform/media/midi_synth.h"
#include "playback_test_support.h"
#include "support/test_midi.h"

namespace lyricade {
namespace {

constexpr int64_t kSecond = 10'000'000;

// The audio sink keeps time here, so the song plays as fast as the tempo
// makes it.
class ShowTempo : public testing::ShowFixture {
protected:
  ShowTempo() : ShowFixture("fakesink sync=true") {}

  // Plays for `ms` more of wall time (the song runs), then pauses and lets
  // the timer show the picture of where it stopped.
  void PlayFor(int ms) {
    show->TogglePause();
    EXPECT_FALSE(show->SongPaused());
    QElapsedTimer clock;
    clock.start();
    RunUntil([&] { return clock.elapsed() >= ms; });
    playedMs_ += clock.elapsed();
    show->TogglePause();
    EXPECT_TRUE(show->SongPaused());
    RunFor(100);
  }

  // The picture the reference decoder makes of the song at `position`.
  std::vector<uint8_t> ReferenceFrame(const std::string& cdg, int64_t position) {
    LastFrameSink reference;
    CdgPlayer player(settings, &reference);
    EXPECT_TRUE(player.Open(cdg));
    player.AdvanceTo(position);
    player.PresentFrame(0);
    return reference.Frame();
  }

  int64_t playedMs_ = 0;
};

TEST_F(ShowTempo, CdgFramesAndTimeFollowTheSongAtFifteenPercentFaster) {
  const std::string song = MakeSong("Faster", 6);
  const std::string cdg = folder.File("songs/Faster.cdg");
  ASSERT_TRUE(show->PlaySong(song, 0, 0, 15));
  EXPECT_EQ(show->TempoText(), "+15%");
  show->TogglePause();
  ASSERT_TRUE(show->SongPaused());
  RunFor(200);

  // The song's own position runs 1.15 times as fast as the clock, and the
  // picture shown is the one of that position, not of the time played.
  for (const int ms : {1300, 1300, 1300}) {
    PlayFor(ms);
    const int64_t position = show->Transport().CurrentPosition();
    const double expected = 1.15 * static_cast<double>(playedMs_) / 1000.0;
    EXPECT_NEAR(static_cast<double>(position) / kSecond, expected, 0.15) << "after " << playedMs_ << " ms";
    EXPECT_EQ(show->Cdg().SectorPosition(), CdgPlayer::TargetSector(position));
    EXPECT_EQ(sink.Frame(), ReferenceFrame(cdg, position)) << "at " << position / 10'000 << " ms";
    // The time text counts the song's seconds and its own length.
    EXPECT_EQ(show->TimeText(), "00:0" + std::to_string(position / kSecond) + " | 00:06");
  }

  // A seek lands on the song's own time.
  show->Seek(2 * kSecond + kSecond / 2);
  RunUntil([&] { return std::llabs(show->Transport().CurrentPosition() - 25 * kSecond / 10) < kSecond / 10; },
           5000);
  RunFor(100);
  const int64_t sought = show->Transport().CurrentPosition();
  EXPECT_NEAR(static_cast<double>(sought) / kSecond, 2.5, 0.1);
  EXPECT_EQ(sink.Frame(), ReferenceFrame(cdg, sought));

  // Slowed down on the way: once the audio already on its way to the sink
  // (made at the old tempo, and stamped so) has played, the song's time
  // runs at 0.9 times the clock, and the rest lasts as long as that makes it.
  show->SetTempo(-10);
  EXPECT_EQ(show->TempoText(), "-10%");
  PlayFor(1500);
  const int64_t before = show->Transport().CurrentPosition();
  playedMs_ = 0;
  PlayFor(800);
  const int64_t slowed = show->Transport().CurrentPosition();
  EXPECT_NEAR(static_cast<double>(slowed - before) / kSecond, 0.9 * static_cast<double>(playedMs_) / 1000.0, 0.1);
  EXPECT_EQ(sink.Frame(), ReferenceFrame(cdg, slowed));
  show->TogglePause();
  QElapsedTimer rest;
  rest.start();
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }, 10000));
  EXPECT_NEAR(static_cast<double>(rest.elapsed()) / 1000.0,
              static_cast<double>(6 * kSecond - slowed) / kSecond / 0.9, 0.35);
}

// A video song's frames come as much sooner as its sound: the picture's own
// position keeps up with the song's.
TEST_F(ShowTempo, VideoFramesKeepUpWithTheFasterSound) {
  const std::string mp4 = folder.File("songs/Clip.mp4");
  ASSERT_TRUE(testing::MakeMp4(mp4, 5));
  ASSERT_TRUE(show->PlaySong(mp4, 0, 0, 20));
  show->TogglePause();
  RunFor(300);
  const int64_t before = show->Transport().CurrentPosition();
  PlayFor(2000);
  const int64_t position = show->Transport().CurrentPosition();
  EXPECT_NEAR(static_cast<double>(position - before) / kSecond, 1.2 * static_cast<double>(playedMs_) / 1000.0,
              0.15);
  GstElement* renderer = show->Transport().Graph()->FindFilter(kSongVideoRendererName);
  ASSERT_NE(renderer, nullptr);
  gint64 pictureNs = -1;
  ASSERT_TRUE(gst_element_query_position(renderer, GST_FORMAT_TIME, &pictureNs));
  EXPECT_NEAR(static_cast<double>(pictureNs) / 1e9, static_cast<double>(position) / kSecond, 0.15);
}

// A MIDI song's own events come sooner: its position (which its lyrics
// follow) runs ahead of the clock, and the song keeps its own length.
TEST_F(ShowTempo, MidiSongsPlayTheirEventsFasterInTheirOwnTime) {
  if (FindSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
  const std::string kar = folder.File("songs/Quick.kar");
  std::vector<testing::MidiSyllable> syllables(8, testing::MidiSyllable{"la "});
  ASSERT_TRUE(testing::MakeKaraokeMidi(kar, {"@TQuick"}, syllables));
  ASSERT_TRUE(show->PlaySong(kar, 0, 0, 20));
  show->TogglePause();
  ASSERT_TRUE(show->SongPaused());
  RunFor(200);
  const int64_t before = show->Transport().CurrentPosition();
  PlayFor(1500);
  const double moved = static_cast<double>(show->Transport().CurrentPosition() - before) / kSecond;
  EXPECT_NEAR(moved, 1.2 * static_cast<double>(playedMs_) / 1000.0, 0.15);
  EXPECT_NEAR(static_cast<double>(show->Transport().Duration()) / kSecond, 4.0, 0.3);
}

}  // namespace
}  // namespace lyricade
