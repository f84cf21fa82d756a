#include "singers/singer_rotation.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/test_folder.h"

namespace lyricade {
namespace {

QueuedSong Song(const std::string& title, int key = 0, int multiplex = 0) {
  QueuedSong song;
  song.Title = title;
  song.Path = "/songs/" + title + ".zip";
  song.Key = key;
  song.Multiplex = multiplex;
  return song;
}

// A rotation of singers given as song counts: {0, 2, 1} is A (none), B (2),
// C (1).
SingerRotation Rotation(std::initializer_list<int> songs) {
  SingerRotation rotation;
  char name = 'A';
  for (int count : songs) {
    const int singer = rotation.AddSinger(std::string(1, name++));
    for (int i = 0; i < count; ++i) rotation.QueueSong(singer, Song(rotation.Singers()[singer].Name + std::to_string(i)));
  }
  return rotation;
}

class RecordingHost : public PlayHost {
public:
  void StopForNextSong() override { log.push_back("stop"); }
  void FadeOutBreakMusic() override { log.push_back("fade"); }
  void RecordStartedSong(const QueuedSong& song, const std::string& singer) override {
    log.push_back("history " + singer + " " + song.Title);
  }
  bool OpenSong(const std::string& path, int multiplex, int keyTenths, int tempo) override {
    log.push_back("open " + path + " " + std::to_string(multiplex) + " " + std::to_string(keyTenths) +
                  (tempo != 0 ? " tempo " + std::to_string(tempo) : ""));
    return opens;
  }
  std::vector<std::string> log;
  bool opens = true;
};

TEST(RotationAdvance, WrapsAndStartsFromNobody) {
  SingerRotation rotation = Rotation({1, 1, 1});
  EXPECT_EQ(rotation.CurrentSinger(), -1);
  rotation.Advance();  // nobody current: singer 0
  EXPECT_EQ(rotation.CurrentSinger(), 0);
  EXPECT_EQ(rotation.CurrentSong(), 0);
  rotation.Advance();
  rotation.Advance();
  EXPECT_EQ(rotation.CurrentSinger(), 2);
  rotation.Advance();  // past the last: the first again
  EXPECT_EQ(rotation.CurrentSinger(), 0);
  SingerRotation empty;
  empty.Advance();
  EXPECT_EQ(empty.CurrentSinger(), -1);
}

TEST(RotationAdvance, SkipsSingersWithoutSongs) {
  // A, B without songs, C with: from A an advance lands on B, then moves on.
  SingerRotation rotation = Rotation({0, 0, 1});
  rotation.CueSinger(0, false, false);
  rotation.Advance();
  EXPECT_EQ(rotation.CurrentSinger(), 2);
  // Searching wraps to the front when nothing follows.
  SingerRotation front = Rotation({1, 0, 0});
  front.CueSinger(1, false, false);
  front.Advance();
  EXPECT_EQ(front.CurrentSinger(), 0);
}

TEST(RotationAdvance, NobodyWithSongsKeepsThePositionButOneBecomesZero) {
  SingerRotation two = Rotation({0, 0});
  two.CueSinger(0, false, false);
  two.Advance();  // step 3 gives 1, which becomes 0
  EXPECT_EQ(two.CurrentSinger(), 0);
  SingerRotation three = Rotation({0, 0, 0});
  three.CueSinger(1, false, false);
  three.Advance();
  EXPECT_EQ(three.CurrentSinger(), 2);
}

TEST(RotationAdvance, HoldWithProceedToNextSinger) {
  // During a song: "Next Singer" moves once, the song's end does not move again.
  SingerRotation rotation = Rotation({1, 1, 1});
  rotation.CueSinger(0, false, true);
  rotation.NextSingerCommand(true);
  EXPECT_EQ(rotation.CurrentSinger(), 1);
  EXPECT_TRUE(rotation.Hold());
  rotation.Advance();  // the end of the song
  EXPECT_EQ(rotation.CurrentSinger(), 1);
  EXPECT_FALSE(rotation.Hold());
  rotation.Advance();
  EXPECT_EQ(rotation.CurrentSinger(), 2);
  // Without the option it only advances.
  rotation.NextSingerCommand(false);
  EXPECT_EQ(rotation.CurrentSinger(), 0);
  EXPECT_FALSE(rotation.Hold());
  // A cue while a song plays with the option on holds the cue.
  rotation.CueSinger(2, true, true);
  rotation.Advance();
  EXPECT_EQ(rotation.CurrentSinger(), 2);
  rotation.CueSinger(1, false, true);
  EXPECT_FALSE(rotation.Hold());
}

TEST(RotationPlay, ConsumesTheSongRecordsHistoryAndTakesItsSettings) {
  SingerRotation rotation = Rotation({2, 1});
  rotation.QueueSong(0, Song("Keyed", 3, 1));
  rotation.CueSinger(0, false, false);
  rotation.SelectSinger(1);
  RecordingHost host;
  ASSERT_TRUE(rotation.StartCurrentSong(host, true, true));
  EXPECT_EQ(host.log, (std::vector<std::string>{"stop", "fade", "history A A0", "open /songs/A0.zip 0 0"}));
  EXPECT_EQ(rotation.Singers()[0].Playlist.size(), 2u);
  EXPECT_EQ(rotation.CurrentSong(), 0);  // the shown singer is another one
  EXPECT_EQ(rotation.LastSongPath(), "/songs/A0.zip");

  // Cueing a song takes its settings as the live ones.
  rotation.SelectSinger(0);
  rotation.CueSong(1, false, false);
  EXPECT_EQ(rotation.LiveKeyTenths(), 30);
  EXPECT_EQ(rotation.LiveMultiplex(), 1);
  host.log.clear();
  ASSERT_TRUE(rotation.StartCurrentSong(host, false, true));
  EXPECT_EQ(host.log.back(), "open /songs/Keyed.zip 1 30");
  EXPECT_EQ(rotation.CurrentSong(), -1);  // the shown singer: nothing current

  // The shown singer has songs but none is current: Play takes the first,
  // as a cue would, never the last song again.
  host.log.clear();
  ASSERT_TRUE(rotation.StartCurrentSong(host, false, false));
  EXPECT_EQ(host.log, (std::vector<std::string>{"stop", "history A A1", "open /songs/A1.zip 0 0"}));

  // The singer up has nothing queued: Play replays the last song with the
  // live settings.
  ASSERT_TRUE(rotation.Singers()[0].Playlist.empty());
  rotation.SetLiveKeyTenths(-20);
  host.log.clear();
  ASSERT_TRUE(rotation.StartCurrentSong(host, false, false));
  EXPECT_EQ(host.log, (std::vector<std::string>{"stop", "open /songs/A1.zip 0 -20"}));
  SingerRotation fresh;
  EXPECT_FALSE(fresh.StartCurrentSong(host, false, true));
}

TEST(RotationPlay, AFailedOpenLeavesTheSongQueued) {
  SingerRotation rotation = Rotation({1});
  rotation.CueSinger(0, false, false);
  RecordingHost host;
  host.opens = false;
  EXPECT_FALSE(rotation.StartCurrentSong(host, false, true));
  EXPECT_EQ(rotation.Singers()[0].Playlist.size(), 1u);
  EXPECT_EQ(host.log[1], "history A A0");  // already written
}

TEST(RotationPlay, TheLastSongRemovesAnEmptySingerAndHoldsOnTheNext) {
  SingerRotation rotation = Rotation({1, 1, 1});
  rotation.CueSinger(1, false, false);
  rotation.SelectSinger(1);
  RecordingHost host;
  ASSERT_TRUE(rotation.StartCurrentSong(host, false, true));
  ASSERT_EQ(rotation.Count(), 2);
  EXPECT_EQ(rotation.Singers()[1].Name, "C");
  EXPECT_EQ(rotation.CurrentSinger(), 1);  // now C, who followed B
  EXPECT_TRUE(rotation.Hold());
  rotation.Advance();
  EXPECT_EQ(rotation.CurrentSinger(), 1);
  EXPECT_EQ(rotation.Singers()[rotation.CurrentSinger()].Name, "C");
  // Without "Remove Empty Singers" the singer stays with an empty list.
  SingerRotation keep = Rotation({1});
  keep.CueSinger(0, false, false);
  ASSERT_TRUE(keep.StartCurrentSong(host, false, false));
  EXPECT_EQ(keep.Count(), 1);
  // The very last singer: the rotation empties, nothing is selected.
  SingerRotation last = Rotation({1});
  last.CueSinger(0, false, false);
  ASSERT_TRUE(last.StartCurrentSong(host, false, true));
  EXPECT_TRUE(last.Empty());
  EXPECT_EQ(last.SelectedSinger(), -1);
}

TEST(RotationMoves, SwapsCarryTheCurrentPositions) {
  SingerRotation rotation = Rotation({3, 1, 1});
  rotation.CueSinger(0, false, false);
  rotation.SelectSinger(0);
  rotation.MoveSingerToBottom();
  EXPECT_EQ(rotation.Singers()[2].Name, "A");
  EXPECT_EQ(rotation.CurrentSinger(), 2);
  EXPECT_EQ(rotation.SelectedSinger(), 2);
  rotation.MoveSingerUp();
  EXPECT_EQ(rotation.CurrentSinger(), 1);
  rotation.MoveSingerToTop();
  EXPECT_EQ(rotation.CurrentSinger(), 0);

  rotation.CueSong(1, false, false);
  rotation.SelectSong(1);
  rotation.MoveSongToTop();
  EXPECT_EQ(rotation.Singers()[0].Playlist[0].Title, "A1");
  EXPECT_EQ(rotation.CurrentSong(), 0);
  EXPECT_EQ(rotation.SelectedSong(), 0);
  rotation.MoveSongDown();
  EXPECT_EQ(rotation.CurrentSong(), 1);
  rotation.MoveSongToBottom();
  EXPECT_EQ(rotation.Singers()[0].Playlist[2].Title, "A1");
  EXPECT_EQ(rotation.CurrentSong(), 2);

  // Out-of-range selections do nothing.
  rotation.SelectSong(-1);
  const auto before = rotation.Singers();
  rotation.MoveSongDown();
  rotation.MoveSongUp();
  rotation.MoveSongToTop();
  rotation.MoveSongToBottom();
  rotation.SelectSinger(-1);
  rotation.MoveSingerDown();
  rotation.MoveSingerToTop();
  rotation.SelectSinger(7);
  rotation.MoveSingerUp();
  EXPECT_EQ(rotation.Singers(), before);
}

TEST(RotationRemove, SongsAndSingers) {
  SingerRotation rotation = Rotation({3, 1});
  rotation.CueSinger(0, false, false);
  rotation.SelectSinger(0);
  rotation.SelectSong(0);
  ASSERT_TRUE(rotation.RemoveSelectedSong(true));
  EXPECT_EQ(rotation.CurrentSong(), 1);  // moved on past the removed song
  rotation.SelectSong(1);
  rotation.CueSong(1, false, false);
  ASSERT_TRUE(rotation.RemoveSelectedSong(true));
  EXPECT_EQ(rotation.CurrentSong(), 0);  // passed the end: back to 0
  rotation.SelectSong(0);
  ASSERT_TRUE(rotation.RemoveSelectedSong(true));  // the last song: singer goes
  ASSERT_EQ(rotation.Count(), 1);
  EXPECT_EQ(rotation.Singers()[0].Name, "B");
  EXPECT_EQ(rotation.SelectedSinger(), -1);
  EXPECT_EQ(rotation.CurrentSinger(), 1);
  EXPECT_EQ(rotation.CurrentSong(), -1);
  EXPECT_FALSE(rotation.RemoveSelectedSong(true));
  EXPECT_FALSE(rotation.RemoveSelectedSinger());
}

TEST(RotationQueue, NamesTextAndRanges) {
  SingerRotation rotation;
  rotation.AddSinger("Maria");
  // A typed name equal to an existing one is a second singer.
  rotation.AddSinger("Maria");
  EXPECT_EQ(rotation.Count(), 2);
  // History rows go to the exactly named singer; requests ignore case.
  EXPECT_EQ(rotation.QueueSongsForName("Maria", {Song("x"), Song("y")}), 0);
  EXPECT_EQ(rotation.QueueSongsForName("maria", {Song("z")}), 2);
  EXPECT_EQ(rotation.QueueRequest("MARIA", Song("w")), 0);
  EXPECT_EQ(rotation.Singers()[0].Playlist.size(), 3u);
  // Outside text cannot break lines; keys and channels are clamped.
  QueuedSong hostile = Song("Line\r\nBreak", 9, -3);
  hostile.Path = std::string(2000, 'p');
  rotation.QueueSong(1, hostile);
  const QueuedSong& kept = rotation.Singers()[1].Playlist.back();
  EXPECT_EQ(kept.Title, "Line  Break");
  EXPECT_EQ(kept.Key, 4);
  EXPECT_EQ(kept.Multiplex, 0);
  EXPECT_EQ(kept.Path.size(), 1023u);
  EXPECT_EQ(rotation.AddSinger(std::string(150, 'n') + "\n"), 3);
  EXPECT_EQ(rotation.Singers()[3].Name.size(), 99u);
}

TEST(RotationQueue, RequestsFindTheirSingerThroughEveryChange) {
  SingerRotation rotation;
  rotation.AddSinger("Ana");
  rotation.AddSinger("Bob");
  EXPECT_EQ(rotation.FindSingerIgnoringCase("BOB"), 1);
  rotation.AddSinger("Cy");
  EXPECT_EQ(rotation.FindSingerIgnoringCase("cy"), 2);
  rotation.SelectSinger(0);
  rotation.MoveSingerDown();  // Bob, Ana, Cy
  EXPECT_EQ(rotation.FindSingerIgnoringCase("ana"), 1);
  rotation.RenameSinger(1, "Dee");
  EXPECT_EQ(rotation.FindSingerIgnoringCase("ana"), -1);
  EXPECT_EQ(rotation.FindSingerIgnoringCase("DEE"), 1);
  rotation.SelectSinger(0);
  rotation.RemoveSelectedSinger();  // Dee, Cy
  EXPECT_EQ(rotation.FindSingerIgnoringCase("bob"), -1);
  EXPECT_EQ(rotation.FindSingerIgnoringCase("cy"), 1);
  EXPECT_EQ(rotation.QueueRequest("CY", Song("z")), 1);
  EXPECT_EQ(rotation.QueueRequest("Eve", Song("e")), 2);
  EXPECT_EQ(rotation.FindSingerIgnoringCase("eve"), 2);
  // A loaded list joins the singers there.
  rotation.LoadListFileText("1\r\n-Zed\r\n0\r\n");
  EXPECT_EQ(rotation.FindSingerIgnoringCase("zed"), 3);
  EXPECT_EQ(rotation.FindSingerIgnoringCase("eve"), 2);
}

TEST(RotationQueue, AddingASingerOnlyIsSaved) {
  SingerRotation rotation;
  std::vector<bool> changes;
  rotation.SetChangeListener([&changes](bool save) { changes.push_back(save); });
  rotation.AddSinger("Quiet");  // the building block tells nobody
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(rotation.AppendSinger("Ana"), 1);
  EXPECT_EQ(rotation.AppendSinger("Ana"), 2);  // same name: another singer
  EXPECT_EQ(changes, (std::vector<bool>{true, true}));
  EXPECT_TRUE(rotation.Singers()[2].Playlist.empty());
}

TEST(RotationTicker, NextSingersWrapAndEndAtTheCurrentOne) {
  SingerRotation rotation = Rotation({2, 0, 1, 1});
  rotation.CueSinger(2, false, false);
  auto next = rotation.NextSingers(15, false);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_EQ(next[0].Name, "D");
  EXPECT_EQ(next[1].Name, "A");
  EXPECT_EQ(next[1].Number, 2);
  next = rotation.NextSingers(15, true);
  ASSERT_EQ(next.size(), 3u);
  EXPECT_EQ(next[2].Name, "B");
  rotation.QueueSong(2, Song("again"));  // the current singer with two songs comes last
  next = rotation.NextSingers(15, false);
  EXPECT_EQ(next.back().Name, "C");
  EXPECT_EQ(rotation.NextSingers(1, true).size(), 1u);
}

class RotationListFile : public ::testing::Test {
protected:
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  testing::TestFolder folder;
  std::string path = folder.File("lastlist.lst");
};

TEST_F(RotationListFile, RoundTripsExactlyWithCommasAndDuplicateNames) {
  SingerRotation rotation;
  rotation.AddSinger("Sam");
  rotation.AddSinger("Sam");
  QueuedSong song = Song("One, Two, Three", -2, 2);
  song.SourceRow = 17;
  song.Year = "1994";
  song.Artist = "Björk";
  song.Id = "SC8001-05";
  song.Comment = "";
  rotation.QueueSong(0, song);
  ASSERT_TRUE(rotation.Save(path));
  EXPECT_EQ(Read(path),
            "2\r\n-Sam\r\n1\r\n-2, 2, 17\r\n-One, Two, Three\r\n-1994\r\n-/songs/One, Two, "
            "Three.zip\r\n-Björk\r\n-SC8001-05\r\n-\r\n-Sam\r\n0\r\n");
  SingerRotation loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.Singers(), rotation.Singers());
  // Loading appends.
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.Count(), 4);
  EXPECT_EQ(loaded.CurrentSinger(), -1);
}

TEST_F(RotationListFile, EmptyRotationsAndTheExitFile) {
  SingerRotation rotation;
  ASSERT_TRUE(rotation.Save(path));
  EXPECT_EQ(Read(path), "");
  ASSERT_TRUE(rotation.Load(path));
  EXPECT_TRUE(rotation.Empty());
  ASSERT_TRUE(SingerRotation::SaveEmpty(path));
  EXPECT_EQ(Read(path), "0\r\n");
  ASSERT_TRUE(rotation.Load(path));
  EXPECT_TRUE(rotation.Empty());
  EXPECT_FALSE(rotation.Load(folder.File("missing.lst")));
}

TEST_F(RotationListFile, DamagedFilesReadAsFarAsTheNumbersAllow) {
  SingerRotation rotation;
  // A song count that is no number: that singer has no songs; the next
  // line becomes the next singer.
  rotation.LoadListFileText("2\n-Ann\nlots\n-Ben\n1\n0, 1, 3\n-t\n-y\n-p\n-a\n-i\n-c\n");
  ASSERT_EQ(rotation.Count(), 2);
  EXPECT_TRUE(rotation.Singers()[0].Playlist.empty());
  EXPECT_EQ(rotation.Singers()[1].Name, "ots");  // its first character is taken for the "-"
  // Counts larger than the file: what is there is read, nothing more.
  SingerRotation truncated;
  truncated.LoadListFileText("5\r\n-Ann\r\n3\r\n1, 0, 2\r\n-Title\r\n-\r\n-/p.zip\r\n");
  ASSERT_EQ(truncated.Count(), 1);
  ASSERT_EQ(truncated.Singers()[0].Playlist.size(), 1u);
  EXPECT_EQ(truncated.Singers()[0].Playlist[0].Path, "/p.zip");
  EXPECT_EQ(truncated.Singers()[0].Playlist[0].Artist, "");
  // Hostile numbers are clamped, garbage gives an empty rotation.
  SingerRotation clamped;
  clamped.LoadListFileText("1\n-X\n1\n99, -5, 0\n-a\n-b\n-c\n-d\n-e\n-f\n");
  EXPECT_EQ(clamped.Singers()[0].Playlist[0].Key, 4);
  EXPECT_EQ(clamped.Singers()[0].Playlist[0].Multiplex, 0);
  SingerRotation garbage;
  garbage.LoadListFileText("\x01\x02\xff not a list");
  EXPECT_TRUE(garbage.Empty());
  SingerRotation huge;
  huge.LoadListFileText("2147483647\n-A\n99999999999\n");
  EXPECT_EQ(huge.Count(), 1);
}

}  // namespace
}  // namespace lyricade
