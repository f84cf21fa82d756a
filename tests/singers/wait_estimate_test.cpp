#include "singers/wait_estimate.h"

#include <gtest/gtest.h>

namespace lyricade {
namespace {

// Singers A, B, C ... with songs whose titles are their lengths in seconds.
SingerRotation Rotation(std::initializer_list<std::initializer_list<int>> singers) {
  SingerRotation rotation;
  char name = 'A';
  for (const auto& lengths : singers) {
    const int singer = rotation.AddSinger(std::string(1, name++));
    for (int seconds : lengths) {
      QueuedSong song;
      song.Title = std::to_string(seconds);
      rotation.QueueSong(singer, song);
    }
  }
  return rotation;
}

int Length(const QueuedSong& song) { return std::stoi(song.Title); }

TEST(WaitEstimate, SongsBeforeEachSingerPlusAChangeoverPerTurn) {
  // A's song plays (so it is no longer queued), 100 s left; B is next; C
  // has nothing queued.
  SingerRotation rotation = Rotation({{}, {180, 300}, {}, {240}});
  rotation.CueSinger(0, false, false);
  auto waits = EstimateWaits(rotation, Length, 30, true, 100);
  EXPECT_TRUE(waits[0].Now);
  EXPECT_TRUE(waits[1].Next);
  EXPECT_EQ(waits[1].Seconds, 130);
  EXPECT_EQ(waits[2].Seconds, -1);
  EXPECT_EQ(waits[3].Seconds, 130 + 180 + 30);
  EXPECT_EQ(waits[3].SingersBefore, 2);
  EXPECT_EQ(WaitText(waits[3]), "~6 min");
  EXPECT_EQ(WaitText(waits[0]), "now");
  EXPECT_EQ(WaitText(waits[1]), "next");
  // The phone's sentence and the ticker's estimate.
  EXPECT_EQ(PageWaitText(waits[0]), "You're up now!");
  EXPECT_EQ(PageWaitText(waits[1]), "You're up next!");
  EXPECT_EQ(PageWaitText(waits[3]), "You're up in about 6 minutes, 2 singers before you");
  EXPECT_EQ(PageWaitText(SingerWait{30, 1, false, false}), "You're up in about 1 minute, 1 singer before you");
  EXPECT_EQ(PageWaitText(waits[2]), "");
  EXPECT_EQ(WaitMinutesText(waits[1]), "~3 min");
  EXPECT_EQ(WaitMinutesText(waits[2]), "");
  // Two songs a turn: B's second song comes before D; a sitting-out D is
  // not reached at all.
  rotation.SetOptions({NewcomerPlacement::AtEnd, 2});
  waits = EstimateWaits(rotation, Length, 30, true, 100);
  EXPECT_EQ(waits[3].Seconds, 130 + 180 + 300 + 30);
  rotation.SetSittingOut(3, true);
  EXPECT_EQ(EstimateWaits(rotation, Length, 30, true, 100)[3].Seconds, -1);
}

TEST(WaitEstimate, ChangeoverIsTheMedianGapOnceThreeAreKnown) {
  ChangeoverClock clock;
  const auto gap = [&](double end, double start) {
    clock.SongEnded(end);
    clock.SongStarted(start);
  };
  gap(100, 160);
  gap(400, 420);
  EXPECT_EQ(clock.ChangeoverSeconds(), ChangeoverClock::kDefaultSeconds);
  gap(700, 790);
  EXPECT_EQ(clock.ChangeoverSeconds(), 60);
  // A start without an end before it (a replay, the first song) is no gap.
  clock.SongStarted(2000);
  gap(1000, 1010);
  EXPECT_EQ(clock.ChangeoverSeconds(), 40);
}

}  // namespace
}  // namespace lyricade
