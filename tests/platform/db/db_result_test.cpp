#include "platform/db/db_result.h"

#include <gtest/gtest.h>

#include "common/test_folder.h"

namespace lyricade {
namespace {

class DbResultTest : public ::testing::Test {
protected:
  void SetUp() override {
    path_ = folder_.File("items.mdb");
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
    SqliteHandle db(raw);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE Items (ItemNum INTEGER PRIMARY KEY AUTOINCREMENT,"
                           " Title TEXT, Artist TEXT, SongPath TEXT, BPM REAL);"
                           "INSERT INTO Items (Title, Artist, SongPath, BPM) VALUES"
                           " ('Charlie', 'Zed', '/c.mp3', 0),"
                           " ('alpha', NULL, '/a.mp3', 1.5),"
                           " ('', 'Amy', '/e.zip', NULL),"
                           " ('Bravo', 'Bob', '/b.cdg', 120);"
                           "CREATE TABLE Other (Name TEXT);"
                           "INSERT INTO Other VALUES ('x'), ('y');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
  }

  std::vector<std::string> Column(DbResult& result, const char* field) {
    std::vector<std::string> values;
    for (long r = 0; r < result.RecordCount(); ++r) {
      EXPECT_TRUE(result.MoveTo(r));
      values.push_back(result.Text(field).value_or("<null>"));
    }
    return values;
  }

  testing::TestFolder folder_;
  std::string path_;
};

TEST_F(DbResultTest, KeyedResultKeepsTheStatementsOrderAndReadsAnyRow) {
  DbResult result;
  ASSERT_TRUE(result.Open(path_, "SELECT * FROM Items ORDER BY Title DESC, Artist;"));
  EXPECT_TRUE(result.IsKeyed());
  EXPECT_EQ(result.RecordCount(), 4);
  EXPECT_EQ(Column(result, "Title"), (std::vector<std::string>{"alpha", "Charlie", "Bravo", ""}));
  // Random access in any direction, fields by name in any case.
  ASSERT_TRUE(result.MoveTo(2));
  EXPECT_EQ(result.Text("songpath"), "/b.cdg");
  EXPECT_EQ(result.Integer("ItemNum"), 4);
  EXPECT_EQ(result.Real("BPM"), 120.0);
  ASSERT_TRUE(result.MoveTo(0));
  EXPECT_EQ(result.Text("Artist"), std::nullopt);  // null
  EXPECT_EQ(result.Text("BPM"), "1.5");
  ASSERT_TRUE(result.MoveTo(3));
  EXPECT_EQ(result.Text("Title"), "");              // empty, not null
  EXPECT_TRUE(result.IsNull(result.FieldIndex("BPM")));
  EXPECT_FALSE(result.MoveTo(4));
  EXPECT_TRUE(result.AtEnd());
  EXPECT_EQ(result.Text("Title"), std::nullopt);
  EXPECT_EQ(result.Text("NoSuchField"), std::nullopt);
}

TEST_F(DbResultTest, OtherStatementsAreCopiedWithTheSameAnswers) {
  DbResult result;
  // Expressions, joins and tables without an integer key cannot be keyed.
  ASSERT_TRUE(result.Open(path_, "SELECT Title || '!' AS T, ItemNum FROM Items ORDER BY ItemNum;"));
  EXPECT_FALSE(result.IsKeyed());
  EXPECT_EQ(Column(result, "T"), (std::vector<std::string>{"Charlie!", "alpha!", "!", "Bravo!"}));
  ASSERT_TRUE(result.Open(path_, "SELECT DISTINCT Name FROM Other ORDER BY Name DESC;"));
  EXPECT_FALSE(result.IsKeyed());
  EXPECT_EQ(Column(result, "Name"), (std::vector<std::string>{"y", "x"}));
  // The same table twice: each column must come from its own row.
  ASSERT_TRUE(result.Open(path_,
                          "SELECT a.Title, b.ItemNum FROM Items a, Items b"
                          " WHERE a.ItemNum = 1 AND b.ItemNum = 2;"));
  EXPECT_FALSE(result.IsKeyed());
  EXPECT_EQ(result.Text("Title"), "Charlie");
  EXPECT_EQ(result.Integer("ItemNum"), 2);
  // A subquery in the condition.
  ASSERT_TRUE(result.Open(path_,
                          "SELECT * FROM Items WHERE ItemNum IN (SELECT max(ItemNum) FROM Items);"));
  EXPECT_EQ(result.RecordCount(), 1);
  EXPECT_EQ(result.Text("Title"), "Bravo");
}

TEST_F(DbResultTest, EmptyRefusedAndMissing) {
  DbResult result;
  ASSERT_TRUE(result.Open(path_, "SELECT * FROM Items WHERE Title = 'none';"));
  EXPECT_EQ(result.RecordCount(), 0);
  EXPECT_TRUE(result.AtEnd());
  EXPECT_FALSE(result.MoveFirst());
  EXPECT_FALSE(result.Open(path_, "SELECT * FROM Nowhere;"));
  EXPECT_FALSE(result.IsOpen());
  EXPECT_FALSE(result.LastError().empty());
  EXPECT_FALSE(result.Open(path_, "   "));
  EXPECT_FALSE(result.Open(path_, "DELETE FROM Items;"));  // read-only, and not a query
  EXPECT_FALSE(result.Open(folder_.File("absent.mdb"), "SELECT 1;"));
  EXPECT_EQ(result.RecordCount(), 0);
}

TEST_F(DbResultTest, OpenResultNeverHoldsOffWritersAndShowsDeletedRowsAsNull) {
  DbResult result;
  ASSERT_TRUE(result.Open(path_, "SELECT * FROM Items ORDER BY ItemNum;"));
  ASSERT_TRUE(result.MoveTo(1));

  DbConnection writer;
  ASSERT_TRUE(writer.Open(path_));
  ASSERT_TRUE(writer.BeginTransaction());
  EXPECT_TRUE(writer.Execute("DELETE FROM Items WHERE ItemNum = 1;"));
  EXPECT_TRUE(writer.Execute("UPDATE Items SET Title = 'Alpha 2' WHERE ItemNum = 2;"));
  EXPECT_TRUE(writer.CommitTransaction());

  EXPECT_EQ(result.RecordCount(), 4);
  ASSERT_TRUE(result.MoveTo(0));
  EXPECT_EQ(result.Text("Title"), std::nullopt);
  ASSERT_TRUE(result.MoveTo(1));
  EXPECT_EQ(result.Text("Title"), "Alpha 2");
}

}  // namespace
}  // namespace lyricade
