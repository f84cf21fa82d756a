#include "library/library_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "library_fixture.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

using testing::LibraryFolder;
using testing::Song;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<std::string> ShownTexts(const ScriptedPrompts& prompts) {
  std::vector<std::string> texts;
  for (const ShownPrompt& shown : prompts.Shown()) texts.push_back(shown.Text);
  return texts;
}

long CountItems(LibraryDatabase& database) {
  DbResult rows;
  if (!rows.Open(database.LibraryPath(), "SELECT count(*) FROM Items;")) return -1;
  return static_cast<long>(rows.Integer(0).value_or(-1));
}

TEST(DatabaseSeed, CreatesBothFilesWithTheirTablesOnlyWhenMissing) {
  testing::TestFolder folder;
  ASSERT_TRUE(SeedDatabaseFiles(folder.Path(), LYRICADE_TEST_RESOURCES));
  DbResult tables;
  ASSERT_TRUE(tables.Open(folder.File("collections.mdb"),
                          "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE"
                          " 'sqlite%' ORDER BY name;"));
  ASSERT_EQ(tables.RecordCount(), 2);
  EXPECT_EQ(tables.Text(0), "History");
  ASSERT_TRUE(tables.Open(folder.File("songdb.mdb"),
                          "SELECT Trackname, Artist, Code, Comp, Price, Genre, ActivateDate, Path"
                          " FROM Songs;"));
  EXPECT_FALSE(fs::exists(folder.File("collections.mdb.new")));

  // An existing file is left alone; a missing schema fails without leftovers.
  const std::string before = Bytes(folder.File("collections.mdb"));
  fs::remove(folder.File("songdb.mdb"));
  EXPECT_FALSE(SeedDatabaseFiles(folder.Path(), folder.File("no-program-folder")));
  EXPECT_EQ(Bytes(folder.File("collections.mdb")), before);
  EXPECT_FALSE(fs::exists(folder.File("songdb.mdb")));
  EXPECT_FALSE(CreateDatabaseFromSchema(folder.File("bad.mdb"), "CREATE TABLE (;"));
  EXPECT_FALSE(fs::exists(folder.File("bad.mdb")));
  EXPECT_FALSE(fs::exists(folder.File("bad.mdb.new")));
}

TEST(LibraryDatabase, StartsWithoutMessagesAndTheUpgradeIsHarmless) {
  LibraryFolder library;
  // The seeded History has VenueID already: the refused upgrade says nothing.
  EXPECT_TRUE(library.Open());
  EXPECT_TRUE(library.database.LibraryOpen());
  EXPECT_TRUE(library.database.CatalogueOpen());
  EXPECT_FALSE(library.database.Library().InTransaction());
  // History refuses a second row for the same singer and song.
  library.database.BeginTrans();
  EXPECT_TRUE(library.database.Execute(
      "INSERT INTO History (Title, Singer, SongPath, Year1, VenueID) VALUES ('a', 'Ann', '/a', '1', 3);"));
  EXPECT_FALSE(library.database.Execute(
      "INSERT INTO History (Title, Singer, SongPath, Year1) VALUES ('a', 'Ann', '/a', '1');"));
  EXPECT_TRUE(library.database.CommitTrans());
  DbResult history;
  ASSERT_TRUE(history.Open(library.database.LibraryPath(), "SELECT VenueID FROM History;"));
  EXPECT_EQ(history.RecordCount(), 1);
  EXPECT_EQ(history.Integer("VenueID"), 3);
}

TEST(LibraryDatabase, UpgradeAddsTheVenueColumnToAnOlderLibrary) {
  testing::TestFolder folder;
  // The library schema as files made before venues had it.
  std::string schema = Bytes(std::string(LYRICADE_TEST_RESOURCES) + "/" + kLibrarySchemaFile);
  const std::string venueColumn = "  VenueID INTEGER DEFAULT 0,\n";
  ASSERT_NE(schema.find(venueColumn), std::string::npos);
  schema.erase(schema.find(venueColumn), venueColumn.size());
  ASSERT_TRUE(CreateDatabaseFromSchema(folder.File("collections.mdb"), schema));

  ScriptedPrompts prompts;
  LibraryDatabase database(prompts);
  database.SetDataFolder(folder.Path());
  ASSERT_TRUE(database.OpenLibrary());
  ASSERT_TRUE(database.Execute(
      "INSERT INTO History (Title, Singer, SongPath, Year1) VALUES ('old', 'Ann', '/a', '1');"));
  ASSERT_FALSE(database.Execute("UPDATE History SET VenueID = 1;"));

  database.UpgradeSchema();
  EXPECT_FALSE(database.Library().InTransaction());
  EXPECT_TRUE(database.Execute(
      "INSERT INTO History (Title, Singer, SongPath, Year1, VenueID) VALUES ('new', 'Bo', '/b',"
      " '1', 7);"));
  // Once the column is there, the upgrade is refused quietly.
  database.UpgradeSchema();
  EXPECT_FALSE(database.Library().InTransaction());
  DbResult history;
  ASSERT_TRUE(history.Open(database.LibraryPath(),
                           "SELECT Title, VenueID FROM History ORDER BY Title;"));
  ASSERT_EQ(history.RecordCount(), 2);
  EXPECT_EQ(history.Text("Title"), "new");
  EXPECT_EQ(history.Integer("VenueID"), 7);
  history.MoveNext();
  EXPECT_EQ(history.Text("Title"), "old");
  EXPECT_EQ(history.Integer("VenueID"), 0);
  EXPECT_TRUE(prompts.Shown().empty());
}

TEST(LibraryDatabase, MissingFilesShowTheirFailureOnceAndEverythingElseStaysQuiet) {
  LibraryFolder library;
  fs::remove(library.folder.File("collections.mdb"));
  std::ofstream(library.folder.File("songdb.mdb"), std::ios::trunc) << "not a database at all";
  EXPECT_FALSE(library.Open());
  const auto& shown = library.prompts.Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Text, "Database Failure");
  EXPECT_EQ(shown[0].Caption,
            "If you are using Windows 7, you require Windows SP1, please update your system.");
  EXPECT_EQ(shown[0].Buttons, PromptButtons::Ok);
  EXPECT_EQ(shown[1].Text, "Database Failure 2");
  EXPECT_EQ(shown[1].Caption, shown[0].Caption);

  EXPECT_EQ(library.database.FindItemByPath("/x.mp3"), 0);
  library.database.LoadCurrentItem(1);
  EXPECT_EQ(library.database.Current().Title, "No Title");
  EXPECT_FALSE(library.database.BeginTrans());
  EXPECT_FALSE(library.database.Execute("DELETE FROM Items;"));
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_FALSE(fs::exists(library.folder.File("collections.mdb")));
}

TEST(LibraryDatabase, FindItemByPathAndLoadCurrentItem) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  library.Add({"First", "Someone", "SC001-01", "/songs/first.mp3", "1999", ""});
  library.Add({"Don't Stop", "Fleet", "SC002-02", "/songs/Don't Stop.mp3", "1977", "duet"});
  ASSERT_TRUE(library.database.Execute(
      "INSERT INTO Items (Title, Artist, ID, Year1, SongPath, Type1) VALUES"
      " (NULL, 'No Name Band', '', NULL, '/songs/untitled.zip', 7);"));

  const long found = library.database.FindItemByPath("/songs/Don't Stop.mp3");
  EXPECT_EQ(found, 2);
  EXPECT_EQ(library.database.FindItemByPath("/songs/missing.mp3"), 0);
  EXPECT_EQ(library.database.FindItemByPath("/SONGS/FIRST.MP3"), 0);  // paths compare exactly

  library.database.LoadCurrentItem(found);
  const CurrentItem& item = library.database.Current();
  EXPECT_EQ(item.Title, "Don\xC2\xB4t Stop");
  EXPECT_EQ(item.Artist, "Fleet");
  EXPECT_EQ(item.Id, "SC002-02");
  EXPECT_EQ(item.Path, "/songs/Don't Stop.mp3");
  EXPECT_EQ(item.Year, "1977");
  EXPECT_EQ(item.Type, 2);
  EXPECT_EQ(item.Length, "00:00:00");

  // Null and empty fields keep their defaults, the others are read.
  library.database.LoadCurrentItem(3);
  EXPECT_EQ(library.database.Current().Title, "No Title");
  EXPECT_EQ(library.database.Current().Artist, "No Name Band");
  EXPECT_EQ(library.database.Current().Id, "No ID");
  EXPECT_EQ(library.database.Current().Year, "0000");
  EXPECT_EQ(library.database.Current().Type, 7);

  library.database.LoadCurrentItem(999);
  EXPECT_EQ(library.database.Current().Title, "No Title");
  EXPECT_EQ(library.database.Current().Artist, "No Artist");
  EXPECT_EQ(library.database.Current().Id, "No ID");
  EXPECT_EQ(library.database.Current().Path, "No Path");
  EXPECT_EQ(library.database.Current().Year, "0000");
  EXPECT_EQ(library.database.Current().Type, 4);
  EXPECT_TRUE(library.prompts.Shown().empty());
}

TEST(LibraryDatabase, CompactionKeepsABackupAndReplacesTheLibrary) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  library.database.BeginTrans();
  for (int i = 0; i < 400; ++i)
    library.Add({"Song " + std::to_string(i), "Artist", "ID", "/s/" + std::to_string(i) + ".mp3",
                 "", std::string(200, 'c')});
  library.database.CommitTrans();
  ASSERT_TRUE(library.database.Execute("DELETE FROM Items WHERE ItemNum > 10;"));
  // The library keeps a write-ahead log: its file is whole after a checkpoint.
  ASSERT_TRUE(library.database.Execute("PRAGMA wal_checkpoint(TRUNCATE);"));
  const std::string before = Bytes(library.database.LibraryPath());

  EXPECT_TRUE(library.database.CompactLibrary());
  EXPECT_EQ(ShownTexts(library.prompts), (std::vector<std::string>{"Compact Completed"}));
  EXPECT_EQ(library.prompts.Shown()[0].Caption, "Compact Completed");
  {
    // The backup is a whole database of its own, as the library was.
    DbConnection copy;
    ASSERT_TRUE(copy.Open(library.folder.File("collections~.mdb"), DbAccess::ReadOnly));
    int64_t rows = -1;
    copy.Query("SELECT count(*) FROM Items;", [&](const DbRow& row) {
      rows = row.Integer(0);
      return false;
    });
    EXPECT_EQ(rows, 10);
  }
  EXPECT_FALSE(fs::exists(library.folder.File("collections~.mdb-wal")));
  EXPECT_FALSE(fs::exists(library.folder.File("collection2.mdb")));
  EXPECT_LT(fs::file_size(library.database.LibraryPath()), before.size());
  EXPECT_TRUE(library.database.LibraryOpen());
  EXPECT_EQ(CountItems(library.database), 10);
  EXPECT_EQ(library.database.FindItemByPath("/s/9.mp3"), 10);
  // The reopened connection writes to the compacted file.
  EXPECT_TRUE(library.database.Execute("DELETE FROM Items WHERE ItemNum = 1;"));
  EXPECT_EQ(CountItems(library.database), 9);
}

TEST(LibraryDatabase, CompactionInPlaceKeepsOtherConnectionsWorkingAndWaitsForTheirWrites) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  for (int i = 0; i < 50; ++i) library.Add({"Song", "A", "", "/s/" + std::to_string(i), "", ""});
  ASSERT_TRUE(library.database.Execute("DELETE FROM Items WHERE ItemNum > 5;"));
  // The other program, open on the same file the whole time.
  DbConnection other;
  ASSERT_TRUE(other.Open(library.database.LibraryPath()));
  other.SetBusyWait(100);
  library.database.Library().SetBusyWait(100);

  // While it holds a write, nothing is compacted and the host is told why.
  ASSERT_TRUE(other.Execute("BEGIN IMMEDIATE; INSERT INTO Items (Title) VALUES ('held');"));
  EXPECT_FALSE(library.database.CompactLibrary());
  EXPECT_EQ(ShownTexts(library.prompts),
            (std::vector<std::string>{LibraryDatabase::kBusyText, "Compact Failed"}));
  ASSERT_TRUE(other.Execute("COMMIT;"));

  library.prompts.ClearShown();
  EXPECT_TRUE(library.database.CompactLibrary());
  EXPECT_EQ(ShownTexts(library.prompts), (std::vector<std::string>{"Compact Completed"}));
  // Its connection still writes to the library both programs see.
  EXPECT_TRUE(other.Execute("INSERT INTO Items (Title) VALUES ('after');"));
  EXPECT_EQ(CountItems(library.database), 7);
  EXPECT_TRUE(library.database.Execute("DELETE FROM Items WHERE Title = 'held';"));
  int64_t rows = -1;
  other.Query("SELECT count(*) FROM Items;", [&](const DbRow& row) {
    rows = row.Integer(0);
    return false;
  });
  EXPECT_EQ(rows, 6);
  std::string mode;
  other.Query("PRAGMA journal_mode;", [&](const DbRow& row) {
    mode = std::string(row.Text(0).value_or(""));
    return false;
  });
  EXPECT_EQ(mode, "wal");
}

TEST(LibraryDatabase, FailedCompactionsLeaveTheLibraryAsItWas) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  library.Add({"Kept", "Artist", "ID", "/kept.mp3", "", ""});
  ASSERT_TRUE(library.database.Execute("PRAGMA wal_checkpoint(TRUNCATE);"));
  const std::string before = Bytes(library.database.LibraryPath());

  // No backup, no compaction.
  fs::create_directories(library.folder.File("collections~.mdb") + "/in-the-way");
  EXPECT_FALSE(library.database.CompactLibrary());
  EXPECT_EQ(ShownTexts(library.prompts), (std::vector<std::string>{"Compact Failed"}));
  EXPECT_EQ(library.prompts.Shown()[0].Caption, "Compact Failed");
  EXPECT_EQ(Bytes(library.database.LibraryPath()), before);
  EXPECT_TRUE(library.database.LibraryOpen());
  fs::remove_all(library.folder.File("collections~.mdb"));

  // The compacted file cannot be made.
  library.prompts.ClearShown();
  fs::create_directories(library.folder.File("collection2.mdb") + "/in-the-way");
  EXPECT_FALSE(library.database.CompactLibrary());
  EXPECT_EQ(ShownTexts(library.prompts),
            (std::vector<std::string>{"failed to init", "Compact Failed"}));
  EXPECT_EQ(Bytes(library.database.LibraryPath()), before);
  EXPECT_TRUE(fs::exists(library.folder.File("collections~.mdb")));
  fs::remove_all(library.folder.File("collection2.mdb"));

  // The library is no database: nothing to connect to, nothing replaced.
  library.prompts.ClearShown();
  library.database.Close();
  std::ofstream(library.database.LibraryPath(), std::ios::trunc) << "damaged beyond use";
  EXPECT_FALSE(library.database.CompactLibrary());
  EXPECT_EQ(ShownTexts(library.prompts),
            (std::vector<std::string>{"failed to connect", "Compact Failed", "Database Failure"}));
  EXPECT_EQ(Bytes(library.database.LibraryPath()), "damaged beyond use");
  EXPECT_FALSE(fs::exists(library.folder.File("collection2.mdb")));
}

}  // namespace
}  // namespace lyricade
