// A refresh of watched folders on real files and a real library: added,
// moved, renamed, deleted and changed files, History following a moved song,
// moves told apart by their first bytes, and an unplugged folder.
#include "library/library_refresh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "library/library_fixture.h"
#include "library/needs_attention.h"
#include "platform/db/db_connection.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

class Refresh : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(library.Open());
    fs::create_directories(Song("a"));
    fs::create_directories(Song("b"));
    ASSERT_TRUE(SaveWatchedFolder(library.database, {WatchedFolderName(songs), {}}));
  }
  std::string Song(const std::string& name) const { return songs + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Song(name), std::ios::binary) << bytes;
  }
  RefreshOutcome Run() { return LibraryRefresh(library.database).RefreshAll(); }
  // Path -> ItemNum of every Items row.
  std::map<std::string, long> Rows() {
    std::map<std::string, long> rows;
    library.database.Library().Query("SELECT SongPath, ItemNum FROM Items;", [&](const DbRow& row) {
      rows[std::string(row.Text(0).value_or(""))] = static_cast<long>(row.Integer(1));
      return true;
    });
    return rows;
  }
  std::string One(const std::string& sql) {
    std::string value = "none";
    library.database.Library().Query(sql, [&](const DbRow& row) {
      value = std::string(row.Text(0).value_or("null"));
      return false;
    });
    return value;
  }

  testing::LibraryFolder library;
  std::string songs = library.folder.File("songs");
};

TEST_F(Refresh, FollowsAddedMovedRenamedDeletedAndChangedFiles) {
  Write("a/SC1 - Waterloo - Abba.mp3", std::string(5000, 'w'));
  Write("a/SC2 - Mamma Mia - Abba.mp3", std::string(6000, 'm'));
  Write("a/SC3 - Fernando - Abba.mp3", std::string(7000, 'f'));
  Write("a/SC4 - Chiquitita - Abba.mp3", std::string(8000, 'c'));
  Write("a/notes.txt", "not a song");
  RefreshOutcome first = Run();
  EXPECT_EQ(first.Added, 4);
  EXPECT_EQ(first.ToCheck.size(), 4u);
  const std::map<std::string, long> before = Rows();
  const long waterloo = before.at(Song("a/SC1 - Waterloo - Abba.mp3"));
  EXPECT_EQ(One("SELECT Title FROM Items WHERE ItemNum = " + std::to_string(waterloo)), "Waterloo");

  // Nothing changed: nothing written, nothing to check.
  RefreshOutcome quiet = Run();
  EXPECT_EQ(quiet.Unchanged, 4);
  EXPECT_FALSE(quiet.WroteLibrary());

  // Waterloo is sung by two singers and moves; Jo has History at the new
  // path already (a copy imported by hand), with the lower count.
  ASSERT_TRUE(library.database.Execute(
      "INSERT INTO History (Title, SongPath, Singer, Year1) VALUES ('Waterloo', '" +
      Song("a/SC1 - Waterloo - Abba.mp3") + "', 'Jo', '5'), ('Waterloo', '" +
      Song("a/SC1 - Waterloo - Abba.mp3") + "', 'Sam', '2'), ('Waterloo', '" +
      Song("b/SC1 - Waterloo - Abba.mp3") + "', 'JO', '3');"));
  ASSERT_TRUE(library.database.Execute("INSERT INTO NeedsAttention VALUES ('" +
                                       Song("a/SC1 - Waterloo - Abba.mp3") + "', 'no audio');"));
  fs::rename(Song("a/SC1 - Waterloo - Abba.mp3"), Song("b/SC1 - Waterloo - Abba.mp3"));
  fs::rename(Song("a/SC2 - Mamma Mia - Abba.mp3"), Song("a/SC2 - Mamma Mia (live) - Abba.mp3"));
  fs::remove(Song("a/SC3 - Fernando - Abba.mp3"));
  Write("a/SC4 - Chiquitita - Abba.mp3", std::string(8100, 'C'));
  Write("b/SC5 - Dancing Queen - Abba.mp3", std::string(9000, 'd'));
  RefreshOutcome second = Run();
  EXPECT_EQ(second.Moved, 1);
  EXPECT_EQ(second.Added, 2);  // the renamed file (no move: another name) and the new one
  EXPECT_EQ(second.Missing, 2);
  EXPECT_EQ(second.Changed, 1);
  EXPECT_EQ(second.ToCheck.size(), 3u);

  const std::map<std::string, long> after = Rows();
  EXPECT_EQ(after.size(), 6u);
  // Moved in place: the same row, its History and its place on the list.
  EXPECT_EQ(after.at(Song("b/SC1 - Waterloo - Abba.mp3")), waterloo);
  EXPECT_EQ(after.count(Song("a/SC1 - Waterloo - Abba.mp3")), 0u);
  EXPECT_EQ(One("SELECT Year1 FROM History WHERE Singer = 'jo'"), "5");
  EXPECT_EQ(One("SELECT count(*) FROM History WHERE Singer = 'jo'"), "1");
  EXPECT_EQ(One("SELECT SongPath FROM History WHERE Singer = 'Sam'"), Song("b/SC1 - Waterloo - Abba.mp3"));
  EXPECT_EQ(One("SELECT Path FROM NeedsAttention"), Song("b/SC1 - Waterloo - Abba.mp3"));
  // Vanished files keep their rows (shown missing); changed ones keep theirs.
  EXPECT_EQ(after.count(Song("a/SC2 - Mamma Mia - Abba.mp3")), 1u);
  EXPECT_EQ(after.count(Song("a/SC3 - Fernando - Abba.mp3")), 1u);
  EXPECT_EQ(after.at(Song("a/SC4 - Chiquitita - Abba.mp3")), before.at(Song("a/SC4 - Chiquitita - Abba.mp3")));

  // A file the host removed from the library stays out while unchanged, and
  // a vanished file that comes back is simply there again.
  ASSERT_TRUE(library.database.Execute("DELETE FROM Items WHERE SongPath = '" + Song("b/SC5 - Dancing Queen - Abba.mp3") + "';"));
  Write("a/SC3 - Fernando - Abba.mp3", std::string(7000, 'f'));
  RefreshOutcome third = Run();
  EXPECT_EQ(third.Added, 0);
  EXPECT_EQ(third.Returned, 1);
  EXPECT_EQ(Rows().size(), 5u);
}

TEST_F(Refresh, MovesOfOneNameAndSizeAreToldApartByTheirFirstBytes) {
  Write("a/Intro.mp3", std::string(70000, 'x'));
  fs::create_directories(Song("a/other"));
  Write("a/other/Intro.mp3", std::string(70000, 'y'));
  ASSERT_EQ(Run().Added, 2);
  const std::map<std::string, long> before = Rows();
  fs::create_directories(Song("b/x"));
  fs::create_directories(Song("b/y"));
  fs::rename(Song("a/other/Intro.mp3"), Song("b/y/Intro.mp3"));
  fs::rename(Song("a/Intro.mp3"), Song("b/x/Intro.mp3"));
  RefreshOutcome moved = Run();
  EXPECT_EQ(moved.Moved, 2);
  EXPECT_EQ(moved.Added, 0);
  const std::map<std::string, long> after = Rows();
  EXPECT_EQ(after.at(Song("b/x/Intro.mp3")), before.at(Song("a/Intro.mp3")));
  EXPECT_EQ(after.at(Song("b/y/Intro.mp3")), before.at(Song("a/other/Intro.mp3")));

  // A refresh of one folder only (as the watcher asks for) finds a move
  // whose source an earlier refresh of another folder saw vanish.
  LibraryRefresh refresh(library.database);
  fs::rename(Song("b/x/Intro.mp3"), Song("a/Intro.mp3"));
  EXPECT_EQ(refresh.RefreshFolder(Song("b/x")).Missing, 1);
  RefreshOutcome back = refresh.RefreshFolder(Song("a"));
  EXPECT_EQ(back.Moved, 1);
  EXPECT_EQ(Rows().at(Song("a/Intro.mp3")), before.at(Song("a/Intro.mp3")));
  EXPECT_EQ(refresh.RefreshFolder(library.folder.File("elsewhere")).WroteLibrary(), false);
}

TEST_F(Refresh, AnUnpluggedFolderIsLeftAsItWas) {
  Write("a/SC1 - Waterloo - Abba.mp3", std::string(5000, 'w'));
  Write("b/SC2 - Mamma Mia - Abba.mp3", std::string(6000, 'm'));
  ASSERT_EQ(Run().Added, 2);
  const std::string away = library.folder.File("unplugged");
  fs::rename(songs, away);
  RefreshOutcome gone = Run();
  ASSERT_EQ(gone.Unavailable.size(), 1u);
  EXPECT_FALSE(gone.WroteLibrary());
  // The mount point stays behind, empty.
  fs::create_directories(songs);
  EXPECT_EQ(Run().Unavailable.size(), 1u);
  EXPECT_EQ(One("SELECT count(*) FROM SeenFiles WHERE Gone = 1"), "0");
  fs::remove(songs);
  fs::rename(away, songs);
  RefreshOutcome back = Run();
  EXPECT_TRUE(back.Unavailable.empty());
  EXPECT_EQ(back.Unchanged, 2);
  EXPECT_EQ(Rows().size(), 2u);
}

}  // namespace
}  // namespace lyricade
