#include <gtest/gtest.h>

#include "singers/singer_rotation.h"

namespace lyricade {
namespace {

class OpeningHost : public PlayHost {
public:
  void StopForNextSong() override {}
  void FadeOutBreakMusic() override {}
  void RecordStartedSong(const QueuedSong&, const std::string&) override {}
  bool OpenSong(const std::string&, int, int, int) override { return true; }
};

// Singers A, B, C ... with the given numbers of queued songs.
SingerRotation Rotation(std::initializer_list<int> songs) {
  SingerRotation rotation;
  char name = 'A';
  for (int count : songs) {
    const int singer = rotation.AddSinger(std::string(1, name++));
    for (int i = 0; i < count; ++i) {
      QueuedSong song;
      song.Title = rotation.Singers()[singer].Name + std::to_string(i);
      song.Path = "/songs/" + song.Title + ".zip";
      rotation.QueueSong(singer, song);
    }
  }
  return rotation;
}

std::string Names(const SingerRotation& rotation) {
  std::string names;
  for (const Singer& singer : rotation.Singers()) names += singer.Name;
  return names;
}

// Plays the current song and lets it end with "Proceed to Next Singer" on;
// returns who sang.
std::string SingAndAdvance(SingerRotation& rotation) {
  OpeningHost host;
  const std::string singer = rotation.Singers()[rotation.CurrentSinger()].Name;
  EXPECT_TRUE(rotation.StartCurrentSong(host, false, false));
  rotation.Advance();
  return singer;
}

TEST(RotationSteering, SittingOutSingersArePassedOverButKeepPlaceAndSongs) {
  SingerRotation rotation = Rotation({1, 2, 1});
  rotation.Advance();  // A is up
  ASSERT_TRUE(rotation.SetSittingOut(1, true));
  EXPECT_EQ(rotation.NextUpPosition(), 2);
  const auto next = rotation.NextSingers(5, true);
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0].Name, "C");
  EXPECT_EQ(SingAndAdvance(rotation), "A");
  EXPECT_EQ(rotation.CurrentSinger(), 2);
  EXPECT_EQ(rotation.Singers()[1].Playlist.size(), 2u);
  // Back in: B sings at their old place in the next round.
  rotation.SetSittingOut(1, false);
  EXPECT_EQ(SingAndAdvance(rotation), "C");
  EXPECT_EQ(rotation.CurrentSinger(), 1);
}

TEST(RotationSteering, ATurnPlaysSeveralSongsUnlessTheHostMovesOn) {
  SingerRotation rotation = Rotation({4, 3});
  rotation.SetOptions({NewcomerPlacement::AtEnd, 2});
  rotation.Advance();
  EXPECT_EQ(SingAndAdvance(rotation), "A");
  EXPECT_EQ(SingAndAdvance(rotation), "A");
  EXPECT_EQ(SingAndAdvance(rotation), "B");
  EXPECT_EQ(SingAndAdvance(rotation), "B");
  // A's next turn, cut short by "Next Singer" though A has songs left.
  EXPECT_EQ(rotation.CurrentSinger(), 0);
  OpeningHost host;
  rotation.StartCurrentSong(host, false, false);
  rotation.NextSingerCommand(false);
  EXPECT_EQ(rotation.CurrentSinger(), 1);
  // B's turn ends with B's last song.
  EXPECT_EQ(SingAndAdvance(rotation), "B");
  EXPECT_EQ(rotation.CurrentSinger(), 0);
  rotation.SetOptions({NewcomerPlacement::AtEnd, 9});
  EXPECT_EQ(rotation.Options().SongsPerTurn, 3);
}

TEST(RotationSteering, FairNewcomersGoBeforeTheFirstWhoSangButNeverBeforeNextUp) {
  SingerRotation rotation = Rotation({2, 2, 2, 2});
  rotation.SetOptions({NewcomerPlacement::Fairly, 1});
  rotation.Advance();
  SingAndAdvance(rotation);  // A
  SingAndAdvance(rotation);  // B, C is up, D next
  OpeningHost host;
  rotation.StartCurrentSong(host, false, false);  // C sings
  // D has not sung and is up next; A has sung: the newcomer goes before A.
  EXPECT_EQ(rotation.QueueRequest("N", QueuedSong{}), 4);
  EXPECT_EQ(Names(rotation), "ABCDN");
  // Another newcomer waits behind the first, who has not sung either.
  rotation.QueueRequest("M", QueuedSong{});
  EXPECT_EQ(Names(rotation), "ABCDNM");
  // With nobody sung yet, fair is the end of the list.
  SingerRotation fresh = Rotation({1, 1});
  fresh.SetOptions({NewcomerPlacement::Fairly, 1});
  fresh.QueueRequest("N", QueuedSong{});
  EXPECT_EQ(Names(fresh), "ABN");
}

TEST(RotationSteering, LockedNextUpKeepsAppendedNewcomersBehindThem) {
  SingerRotation rotation = Rotation({1, 1, 1});
  rotation.CueSinger(2, false, false);  // C, the last, is up: A is next
  rotation.SetNextUpLocked(true);
  EXPECT_EQ(rotation.QueueRequest("N", QueuedSong{}), 1);
  EXPECT_EQ(Names(rotation), "ANBC");
  EXPECT_EQ(rotation.CurrentSinger(), 3);  // still C
  rotation.Advance();
  EXPECT_EQ(rotation.Singers()[rotation.CurrentSinger()].Name, "A");
  // In the middle of a turn of two songs the lock still guards the singer
  // after that turn.
  SingerRotation turns = Rotation({1, 1, 2});
  turns.SetOptions({NewcomerPlacement::AtEnd, 2});
  turns.SetNextUpLocked(true);
  turns.CueSinger(2, false, false);
  OpeningHost host;
  turns.StartCurrentSong(host, false, false);  // C's first of two
  EXPECT_EQ(turns.QueueRequest("N", QueuedSong{}), 1);
  EXPECT_EQ(Names(turns), "ANBC");
  // Unlocked, "at the end" is the plain rule: the newcomer is next.
  SingerRotation plain = Rotation({1, 1});
  plain.CueSinger(1, false, false);
  EXPECT_EQ(plain.QueueRequest("N", QueuedSong{}), 2);
}

TEST(RotationSteering, ExtraStateRoundTripLeavesTheListFileAsItWas) {
  SingerRotation rotation = Rotation({1, 1, 0});
  const std::vector<std::string> plainList = rotation.ListFileLines();
  rotation.SetOptions({NewcomerPlacement::Fairly, 2, true, false, true});
  rotation.SetNextUpLocked(true);
  rotation.SetSittingOut(1, true);
  rotation.Advance();
  OpeningHost host;
  rotation.StartCurrentSong(host, false, false);
  // The list file shows nothing of the steering but the song that was sung.
  std::vector<std::string> list = rotation.ListFileLines();
  EXPECT_EQ(list.size(), plainList.size() - 7);

  std::string text;
  for (const std::string& line : list) text += line + "\r\n";
  std::vector<std::string> state = rotation.ExtraStateLines();
  state.push_back("singer\t2\t1\t5\tSomeoneElse");  // not at that place: ignored
  state.push_back("singer\t9\t1\t5\tA");            // past the list: ignored
  state.push_back("an-option-of-later\t1");        // a newer program's: passed over
  SingerRotation loaded;
  loaded.AddSinger("Z");  // loading appends
  loaded.LoadListFileText(text);
  loaded.LoadExtraStateLines(state, 1);
  EXPECT_EQ(loaded.Options().Join, NewcomerPlacement::Fairly);
  EXPECT_EQ(loaded.Options().SongsPerTurn, 2);
  EXPECT_TRUE(loaded.NextUpLocked());
  EXPECT_TRUE(loaded.Options().TickerWaits);
  EXPECT_TRUE(loaded.Options().ApproveRequests);
  EXPECT_EQ(loaded.Singers()[1].SungTonight, 1);
  EXPECT_TRUE(loaded.Singers()[2].SittingOut);
  EXPECT_FALSE(loaded.Singers()[3].SittingOut);
  EXPECT_EQ(loaded.Singers()[3].SungTonight, 0);
  // An older list without state loads as the plain rotation.
  SingerRotation older;
  older.LoadListFileText(text);
  older.LoadExtraStateLines({}, 0);
  EXPECT_EQ(older.Options().SongsPerTurn, 1);
  EXPECT_FALSE(older.Options().TickerWaits);
  EXPECT_FALSE(older.Options().ApproveRequests);
  EXPECT_FALSE(older.Singers()[1].SittingOut);
}

// A queued song's tempo lives in the extra state: the list file stays what
// older readers know, and a line for a song that is no longer at its place
// gives no tempo to the song that is.
TEST(RotationSteering, QueuedTemposSurviveBesideAnUnchangedListFile) {
  SingerRotation rotation = Rotation({2, 1});
  const std::vector<std::string> plainList = rotation.ListFileLines();
  rotation.SelectSinger(0);
  rotation.SelectSong(1);
  ASSERT_TRUE(rotation.EditSelectedSong(0, 0, 35));
  EXPECT_EQ(rotation.Singers()[0].Playlist[1].Tempo, 20) << "clamped to 20 %";
  rotation.SelectSinger(1);
  rotation.SelectSong(0);
  ASSERT_TRUE(rotation.EditSelectedSong(0, 0, -7));
  EXPECT_EQ(rotation.ListFileLines(), plainList);

  std::string text;
  for (const std::string& line : plainList) text += line + "\r\n";
  std::vector<std::string> state = rotation.ExtraStateLines();
  state.push_back("tempo\t0\t0\t9\tA\t/songs/Other.zip");  // another song there now
  SingerRotation loaded;
  loaded.LoadListFileText(text);
  loaded.LoadExtraStateLines(state, 0);
  EXPECT_EQ(loaded.Singers()[0].Playlist[0].Tempo, 0);
  EXPECT_EQ(loaded.Singers()[0].Playlist[1].Tempo, 20);
  EXPECT_EQ(loaded.Singers()[1].Playlist[0].Tempo, -7);

  // Cueing a song makes its tempo the live one, which Play opens it with.
  struct TempoHost : OpeningHost {
    bool OpenSong(const std::string&, int, int, int tempo) override {
      opened = tempo;
      return true;
    }
    int opened = 99;
  } host;
  loaded.SelectSinger(1);
  loaded.CueSong(0, false, false);
  EXPECT_EQ(loaded.LiveTempo(), -7);
  ASSERT_TRUE(loaded.StartCurrentSong(host, false, false));
  EXPECT_EQ(host.opened, -7);
}

}  // namespace
}  // namespace lyricade
