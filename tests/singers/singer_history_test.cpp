#include "singers/singer_history.h"

#include <gtest/gtest.h>

#include <fstream>

#include "library/library_fixture.h"
#include "singers/singer_rotation.h"
#include "singers/venue_list.h"

namespace lyricade {
namespace {

QueuedSong Sung(const std::string& title, const std::string& path, int key = 0, int multiplex = 0,
                const std::string& year = "") {
  QueuedSong song;
  song.Title = title;
  song.Artist = "Artist";
  song.Id = "ID-1";
  song.Path = path;
  song.Key = key;
  song.Multiplex = multiplex;
  song.Year = year;
  return song;
}

class History : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(library.Open()); }
  std::vector<HistoryRow> Songs(const std::string& singer, int venue = 0) {
    return history.SongsOf(singer, venue);
  }
  testing::LibraryFolder library;
  SingerHistory history{library.database};
};

TEST_F(History, CountsStartsAndKeepsTheLastSettings) {
  history.RecordStartedSong(Sung("Song", "/s/a.mp3", 2, 1, "1994"), "Ana");
  auto rows = Songs("Ana");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Count, "1");  // the first start
  EXPECT_EQ(rows[0].Key, 2);
  EXPECT_EQ(rows[0].Multiplex, 1);
  // Started again from History (count 3 in the queued song): 4, new settings.
  history.RecordStartedSong(Sung("Song", "/s/a.mp3", -1, 2, "3"), "Ana");
  rows = Songs("Ana");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Count, "4");
  EXPECT_EQ(rows[0].Key, -1);
  EXPECT_EQ(rows[0].Multiplex, 2);
  // Queued from the library again, with its release year: back to 1.
  history.RecordStartedSong(Sung("Song", "/s/a.mp3", 0, 0, "1994"), "Ana");
  EXPECT_EQ(Songs("Ana")[0].Count, "1");
  EXPECT_EQ(SingerHistory::NextCount(""), 1);
  EXPECT_EQ(SingerHistory::NextCount("999"), 1000);
  EXPECT_EQ(SingerHistory::NextCount("1000"), 1);
}

TEST_F(History, ApostrophesInTitlesPathsAndNames) {
  history.RecordStartedSong(Sung("Don't Stop", "/s/Rock 'n' Roll.mp3"), "O'Brien");
  const auto names = history.SingerNames(0);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], "O\xC2\xB4" "Brien");
  // Listed by the stored name and by the name as the rotation has it.
  for (const std::string& name : {names[0], std::string("O'Brien")}) {
    const auto rows = Songs(name);
    ASSERT_EQ(rows.size(), 1u) << name;
    EXPECT_EQ(rows[0].Title, "Don\xC2\xB4t Stop");
    EXPECT_EQ(rows[0].Path, "/s/Rock 'n' Roll.mp3");
  }
  EXPECT_TRUE(history.RemoveSongs("O'Brien", {"/s/Rock 'n' Roll.mp3"}));
  EXPECT_TRUE(Songs("O'Brien").empty());
}

TEST_F(History, StatementsAndSortChoices) {
  EXPECT_EQ(SingerHistory::SongListStatement("Ana", 0, 0),
            "SELECT * FROM HISTORY WHERE SINGER='Ana' ORDER BY TITLE, ARTIST;");
  EXPECT_EQ(SingerHistory::SongListStatement("Ana", 3, 1),
            "SELECT * FROM HISTORY WHERE SINGER='Ana' AND VENUEID=3 ORDER BY KEY1, TITLE, ARTIST;");
  EXPECT_EQ(SingerHistory::SongListStatement("Ana", 0, 6),
            "SELECT * FROM HISTORY WHERE SINGER='Ana' ORDER BY COMMENTS1, TITLE;");
  EXPECT_EQ(SingerHistory::SongListStatement("Ana", 0, 9),
            "SELECT * FROM HISTORY WHERE SINGER='Ana' ORDER BY SONGPATH;");
  EXPECT_EQ(SingerHistory::SingerListStatement(0), "SELECT DISTINCT SINGER FROM HISTORY ORDER BY SINGER;");
  EXPECT_EQ(SingerHistory::SingerListStatement(7),
            "SELECT DISTINCT SINGER FROM HISTORY WHERE VENUEID=7 ORDER BY SINGER;");
  // Every sort choice gives a list, the comment and location ones included.
  history.RecordStartedSong(Sung("B", "/s/b.mp3", 1), "Ana");
  history.RecordStartedSong(Sung("A", "/s/c.mp3", 3), "Ana");
  EXPECT_EQ(Songs("Ana").size(), 2u);
  for (int choice = 0; choice <= 9; ++choice) {
    history.SetSortChoice(choice);
    EXPECT_EQ(Songs(SingerHistory::kRememberedSinger).size(), 2u) << choice;
  }
  history.SetSortChoice(1);
  EXPECT_EQ(Songs("Ana")[0].Title, "B");
  history.SetSortChoice(3);
  EXPECT_EQ(Songs(SingerHistory::kRememberedSinger)[0].Title, "A");
  EXPECT_EQ(history.RememberedSinger(), "Ana");
}

TEST_F(History, WindowCommandsAgainstTheDatabase) {
  const std::string present = library.folder.File("present.mp3");
  std::ofstream(present) << "audio";
  history.RecordStartedSong(Sung("Here", present), "Ana");
  history.RecordStartedSong(Sung("Gone", "/nowhere/gone.mp3"), "Ana");
  history.RecordStartedSong(Sung("Stream", "http://AccountID=1&SongID=2"), "Ana");
  history.RecordStartedSong(Sung("Other", "/nowhere/x.mp3"), "Ben");
  // Missing files (streams included) go, other singers' rows stay; with a
  // venue chosen only the rows listed for it go.
  EXPECT_TRUE(history.AssignVenue("Ana", {"/nowhere/gone.mp3"}, 4));
  EXPECT_EQ(history.RemoveBadSongs("Ana", 4), 1);
  EXPECT_EQ(Songs("Ana").size(), 2u);
  EXPECT_EQ(history.RemoveBadSongs("Ana", 0), 1);
  ASSERT_EQ(Songs("Ana").size(), 1u);
  EXPECT_EQ(Songs("Ben").size(), 1u);
  // Renaming to an existing name lists both under that name.
  EXPECT_TRUE(history.RenameSinger("Ben", "Ana"));
  EXPECT_EQ(Songs("Ana").size(), 2u);
  EXPECT_EQ(history.SingerNames(0), std::vector<std::string>{"Ana"});
  // Venues: assigned rows are listed for their venue only.
  EXPECT_TRUE(history.AssignVenue("Ana", {present}, 8));
  EXPECT_EQ(Songs("Ana", 8).size(), 1u);
  EXPECT_EQ(history.SingerNames(8), std::vector<std::string>{"Ana"});
  EXPECT_TRUE(history.SingerNames(9).empty());
  EXPECT_TRUE(history.AssignVenue("Ana", {present}, 0));  // "No Venue"
  EXPECT_TRUE(Songs("Ana", 8).empty());
  EXPECT_TRUE(history.ClearAll());
  EXPECT_TRUE(history.SingerNames(0).empty());
}

TEST_F(History, NewRowsTakeTheCurrentVenueAndRowsQueueAgain) {
  history.SetCurrentVenue([] { return 5; });
  history.RecordStartedSong(Sung("Tagged", "/s/t.mp3", -2, 1), "Ana");
  const auto rows = Songs("Ana", 5);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Venue, 5);
  const QueuedSong again = SingerHistory::ToQueuedSong(rows[0], 0);
  EXPECT_EQ(again.Key, -2);
  EXPECT_EQ(again.Multiplex, 1);
  EXPECT_EQ(again.Year, "1");
  EXPECT_EQ(again.Path, "/s/t.mp3");
}

TEST(Venues, NumbersStayUniqueForTheRun) {
  testing::TestFolder folder;
  const std::string path = folder.File("venuelist.cfg");
  ASSERT_TRUE(VenueList::Write(path, {{"Rusty Anchor", 3}, {"Blue Room", 7}}));
  VenueList venues(path);
  venues.Load();
  ASSERT_TRUE(venues.Add("Lakeside"));
  EXPECT_EQ(venues.Venues().back().Number, 8);
  ASSERT_TRUE(venues.Remove(2));
  ASSERT_TRUE(venues.Add("Harbour\r\nBar"));
  EXPECT_EQ(venues.Venues().back(), (Venue{"Harbour  Bar", 9}));
  EXPECT_FALSE(venues.Add(""));
  ASSERT_TRUE(venues.Rename(0, "Anchor"));
  EXPECT_EQ(VenueList::Read(path),
            (std::vector<Venue>{{"Anchor", 3}, {"Blue Room", 7}, {"Harbour  Bar", 9}}));
  EXPECT_EQ(VenueList::ChoiceEntries(path, kNoVenue).front(), (Venue{"No Venue", 0}));
  EXPECT_EQ(VenueList::ChoiceEntries(path, kAllVenues).size(), 4u);
  // Missing and damaged files.
  EXPECT_TRUE(VenueList::Read(folder.File("none.cfg")).empty());
  std::ofstream(folder.File("bad.cfg")) << "3\r\nOne\r\n1\r\nTwo\r\nnot a number\r\n";
  EXPECT_EQ(VenueList::Read(folder.File("bad.cfg")), (std::vector<Venue>{{"One", 1}}));
}


TEST_F(History, RememberedKeysComeBackForTheSameSingerAndSong) {
  history.RecordStartedSong(Sung("Song", "/s/it's.mp3", 2, 1), "O'Neil");
  history.RecordStartedSong(Sung("Song", "/s/it's.mp3", -3, 2, "1"), "O'Neil");
  SingerRotation rotation;
  rotation.SetKeyMemory([this](const std::string& singer, const std::string& path, int& key, int& multiplex) {
    return history.LastSettings(singer, path, key, multiplex);
  });
  const int oneil = rotation.AddSinger("O'Neil");
  const int bob = rotation.AddSinger("Bob");
  // Off (the default): the song comes as queued.
  rotation.QueueSong(oneil, Sung("Song", "/s/it's.mp3"));
  RotationOptions options;
  options.RememberKeys = true;
  rotation.SetOptions(options);
  rotation.QueueSong(oneil, Sung("Song", "/s/it's.mp3"));
  rotation.QueueSong(oneil, Sung("Song", "/s/it's.mp3", 1));  // a key of its own wins
  rotation.QueueSong(bob, Sung("Song", "/s/it's.mp3"));       // Bob never sang it
  const auto& mine = rotation.Singers()[oneil].Playlist;
  EXPECT_FALSE(mine[0].KeyRemembered);
  EXPECT_EQ(mine[0].Key, 0);
  EXPECT_TRUE(mine[1].KeyRemembered);
  EXPECT_EQ(mine[1].Key, -3);
  EXPECT_EQ(mine[1].Multiplex, 2);
  EXPECT_FALSE(mine[2].KeyRemembered);
  EXPECT_EQ(mine[2].Key, 1);
  EXPECT_FALSE(rotation.Singers()[bob].Playlist[0].KeyRemembered);
  // The host's own change takes the mark away.
  rotation.SelectSinger(oneil);
  rotation.SelectSong(1);
  rotation.EditSelectedSong(1, 0, 0);
  EXPECT_FALSE(mine[1].KeyRemembered);
}

}  // namespace
}  // namespace lyricade
