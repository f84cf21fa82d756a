#include "platform/db/db_connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/test_folder.h"
#include "platform/db/db_result.h"

namespace lyricade {
namespace {

std::string MakeDatabase(const testing::TestFolder& folder, const std::string& name,
                         const char* sql) {
  const std::string path = folder.File(name);
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  SqliteHandle db(raw);
  sqlite3_exec(raw, sql, nullptr, nullptr, nullptr);
  return path;
}

TEST(DbConnection, OpensOnlyExistingDatabases) {
  testing::TestFolder folder;
  DbConnection connection;
  EXPECT_FALSE(connection.Open(folder.File("absent.mdb")));
  EXPECT_FALSE(std::filesystem::exists(folder.File("absent.mdb")));
  std::ofstream(folder.File("junk.mdb")) << "this is not a database, just some text to open";
  EXPECT_FALSE(connection.Open(folder.File("junk.mdb")));
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_FALSE(connection.Execute("SELECT 1;"));
  EXPECT_FALSE(connection.BeginTransaction());
}

TEST(DbConnection, CreateMakesOnlyNewFilesAndRunsAScript) {
  testing::TestFolder folder;
  const std::string path = folder.File("new.mdb");
  DbConnection connection;
  ASSERT_TRUE(connection.Create(path));
  EXPECT_TRUE(connection.Execute("CREATE TABLE A (X INTEGER);\nCREATE TABLE B (Y TEXT);\n"
                                 "INSERT INTO B VALUES ('kept');"));
  connection.Close();
  DbResult rows;
  ASSERT_TRUE(rows.Open(path, "SELECT Y FROM B;"));
  EXPECT_EQ(rows.Text(0), "kept");

  // An existing file, database or not, is never made over; nor is a file in
  // a folder that does not exist.
  EXPECT_FALSE(connection.Create(path));
  EXPECT_FALSE(connection.IsOpen());
  ASSERT_TRUE(rows.Open(path, "SELECT Y FROM B;"));
  EXPECT_EQ(rows.RecordCount(), 1);
  std::ofstream(folder.File("notes.txt")) << "text";
  EXPECT_FALSE(connection.Create(folder.File("notes.txt")));
  EXPECT_FALSE(connection.Create(folder.File("missing/new.mdb")));
  EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));
}

TEST(DbConnection, FailingStatementInsideATransactionIsSkippedAndTheRestCommitted) {
  testing::TestFolder folder;
  const std::string path =
      MakeDatabase(folder, "t.mdb", "CREATE TABLE T (A TEXT, B TEXT, UNIQUE (A, B));");
  DbConnection connection;
  ASSERT_TRUE(connection.Open(path));
  ASSERT_TRUE(connection.BeginTransaction());
  EXPECT_TRUE(connection.Execute("INSERT INTO T VALUES ('x', 'y');"));
  EXPECT_FALSE(connection.Execute("INSERT INTO T VALUES ('x', 'y');"));  // unique key
  EXPECT_FALSE(connection.Execute("ALTER TABLE T ADD C INT 0;"));        // refused syntax
  EXPECT_TRUE(connection.Execute("INSERT INTO T VALUES ('x', 'z');"));
  EXPECT_TRUE(connection.InTransaction());
  EXPECT_TRUE(connection.CommitTransaction());
  EXPECT_FALSE(connection.CommitTransaction());  // nothing to commit: an error, swallowed

  DbResult rows;
  ASSERT_TRUE(rows.Open(path, "SELECT count(*) FROM T;"));
  EXPECT_EQ(rows.Integer(0), 2);
}

TEST(DbConnection, ExecuteRunsEveryStatementOfTheText) {
  testing::TestFolder folder;
  const std::string path = MakeDatabase(folder, "t.mdb", "CREATE TABLE T (A INTEGER);");
  DbConnection connection;
  ASSERT_TRUE(connection.Open(path));
  EXPECT_TRUE(connection.Execute("INSERT INTO T VALUES (1); INSERT INTO T VALUES (2);;  "));
  EXPECT_EQ(connection.LastInsertId(), 2);
  EXPECT_TRUE(connection.Execute("UPDATE T SET A = A + 10;"));
  EXPECT_EQ(connection.Changes(), 2);
  EXPECT_FALSE(connection.Execute("INSERT INTO T VALUES (3); SELEC nonsense;"));
  DbResult rows;
  ASSERT_TRUE(rows.Open(path, "SELECT sum(A) FROM T;"));
  EXPECT_EQ(rows.Integer(0), 26);  // the statement before the bad one stays done
  // Text holding a zero byte ends with a failure, never loops.
  EXPECT_FALSE(connection.Execute(std::string("INSERT INTO T VALUES (4);\0INSERT INTO T VALUES (5);", 51)));
}

}  // namespace
}  // namespace lyricade

namespace lyricade {
namespace {

// A file from elsewhere cannot make a view run a function that is not
// marked harmless, nor edit the schema's text; long work stops when asked.
TEST(DbConnection, DefensiveSettingsAndTheStopCheck) {
  testing::TestFolder folder;
  const std::string path = MakeDatabase(folder, "hostile.mdb",
                                        "CREATE TABLE Songs(a); CREATE VIEW Spy AS SELECT probe() AS p;");
  DbConnection db;
  ASSERT_TRUE(db.Open(path));
  int probes = 0;
  ASSERT_EQ(sqlite3_create_function_v2(
                db.Handle(), "probe", 0, SQLITE_UTF8, &probes,
                [](sqlite3_context* context, int, sqlite3_value**) {
                  ++*static_cast<int*>(sqlite3_user_data(context));
                  sqlite3_result_int(context, 1);
                },
                nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_TRUE(db.Query("SELECT probe();", [](const DbRow&) { return true; }));
  EXPECT_EQ(probes, 1);
  EXPECT_FALSE(db.Query("SELECT p FROM Spy;", [](const DbRow&) { return true; }));
  EXPECT_EQ(probes, 1);
  EXPECT_NE(db.LastError().find("unsafe"), std::string::npos) << db.LastError();
  db.Execute("PRAGMA writable_schema=ON;", DbFailureLog::Quiet);
  EXPECT_FALSE(db.Execute("UPDATE sqlite_schema SET sql='CREATE TABLE Songs(b)' WHERE name='Songs';",
                          DbFailureLog::Quiet));

  // An endless query ends once the check says stop, and a cleared check
  // lets the next statement run.
  int asked = 0;
  db.SetStopCheck([&] { return ++asked >= 3; });
  EXPECT_FALSE(db.Query("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
                        "SELECT count(*) FROM n;",
                        [](const DbRow&) { return true; }));
  EXPECT_EQ(asked, 3);
  db.SetStopCheck({});
  int64_t count = 0;
  EXPECT_TRUE(db.Query("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 100000) "
                       "SELECT count(*) FROM n;",
                       [&](const DbRow& row) { count = row.Integer(0); return true; }));
  EXPECT_EQ(count, 100000);
}

}  // namespace
}  // namespace lyricade
