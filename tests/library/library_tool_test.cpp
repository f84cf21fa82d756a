// lyricade-library started as a KJ starts it from a shell: import, list,
// search and remove-bad on a real data folder, and its exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/test_folder.h"
#include "support/test_media.h"
#include "library/database_seed.h"
#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
};

class LibraryTool : public ::testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directories(data);
    ASSERT_TRUE(SeedDatabaseFiles(data, LYRICADE_TEST_RESOURCES "/"));
    std::filesystem::create_directories(folder.File("songs/Bob's Hits"));
    for (const char* name : {"songs/Abba - Waterloo.mp3", "songs/Bob's Hits/Queen - Don't Stop Me Now.MP3",
                             "songs/Bob's Hits/notes.txt"})
      std::ofstream(folder.File(name)) << "not really audio";
  }
  // Runs the tool with the data folder first; stdout only.
  Outcome Run(const std::string& args) { return RunBare("--data-dir '" + data + "' " + args); }
  Outcome RunBare(const std::string& args) {
    const std::string command =
        std::string("'") + LYRICADE_LIBRARY_TOOL + "' " + args + " 2>/dev/null </dev/null";
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) outcome.out.append(buffer, n);
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
  }

  testing::TestFolder folder;
  std::string data = folder.File("data/");
};

TEST_F(LibraryTool, ImportListSearchAndRemoveBad) {
  const Outcome imported = Run("import --format 2 '" + folder.File("songs") + "'");
  EXPECT_EQ(imported.status, 0);
  EXPECT_EQ(imported.out, "You have imported 2 songs to your library.\n");

  // Artist - Title, the apostrophe as the accent in the title and kept in
  // the folder's name.
  const std::string songs = folder.File("songs/");
  EXPECT_EQ(Run("list --sort artist").out,
            "1\tWaterloo\tAbba\t\t\t" + songs + "Abba - Waterloo.mp3\n"
            "2\tDon\u00b4t Stop Me Now\tQueen\t\t\t" + songs + "Bob's Hits/Queen - Don't Stop Me Now.MP3\n");
  EXPECT_EQ(Run("search --on artist queen").out.substr(0, 2), "2\t");
  EXPECT_EQ(Run("search --any abba queen").out.size(), Run("list").out.size());
  EXPECT_EQ(Run("search \"don't\"").out, Run("search --statement \"don't\"").out);
  EXPECT_EQ(Run("search \"don't\"").out.substr(0, 2), "2\t");

  std::filesystem::remove(folder.File("songs/Abba - Waterloo.mp3"));
  const Outcome removed = Run("remove-bad");
  EXPECT_EQ(removed.status, 0);
  EXPECT_EQ(Run("list").out.substr(0, 2), "2\t");
}

TEST_F(LibraryTool, ABusyLibraryIsWaitedForThenReported) {
  // Another program holds the library for writing past the busy wait.
  DbConnection other;
  ASSERT_TRUE(other.Open(data + "collections.mdb"));
  ASSERT_TRUE(other.Execute("BEGIN IMMEDIATE; INSERT INTO Items (Title) VALUES ('held');"));
  const Outcome held = Run("import '" + folder.File("songs") + "'");
  EXPECT_EQ(held.status, 1);
  EXPECT_EQ(held.out, "You have imported 0 songs to your library.\n");
  ASSERT_TRUE(other.Execute("ROLLBACK;"));
  EXPECT_EQ(Run("import '" + folder.File("songs") + "'").status, 0);
}

TEST_F(LibraryTool, ExitStatuses) {
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("frobnicate").status, 2);
  EXPECT_EQ(Run("import --format 7 x").status, 2);
  EXPECT_EQ(Run("list --sort sideways").status, 2);
  EXPECT_EQ(Run("import '" + folder.File("nowhere") + "'").status, 1);
  std::filesystem::remove(data + "collections.mdb");
  EXPECT_EQ(Run("list").status, 1);
}

TEST_F(LibraryTool, SlipsAreRefusedBeforeAnythingIsWritten) {
  const std::string songs = "'" + folder.File("songs") + "'";
  // A mistyped option, a misplaced one: nothing imported anywhere.
  EXPECT_EQ(Run("import --formt 2 " + songs).status, 2);
  EXPECT_EQ(Run("import -x " + songs).status, 2);
  EXPECT_EQ(Run("list --desc=yes").status, 2);
  EXPECT_EQ(Run("list").out, "");
  // Global options after the command, joined values, and "--".
  EXPECT_EQ(RunBare("import --format=2 " + songs + " --data-dir=" + data).status, 0);
  EXPECT_EQ(RunBare("list --data-dir " + data + " --sort=artist").out.substr(0, 2), "1\t");
  std::ofstream(folder.File("songs/-dash.mp3")) << "x";
  EXPECT_EQ(Run("import -- '" + folder.File("songs/-dash.mp3") + "'").out,
            "You have imported 1 songs to your library.\n");

  // Files named one by one take only what the folder walk takes.
  for (const char* name : {"songs/a.cdg", "songs/noext", "songs/._b.mp3", "songs/c.zip"})
    std::ofstream(folder.File(name)) << "x";
  EXPECT_EQ(Run("import '" + folder.File("songs") + "'/*").out,
            "You have imported 4 songs to your library.\n");  // Abba, -dash, c.zip, Bob's Queen

  // A data folder that does not exist yet is made, its library empty.
  const std::string fresh = folder.File("fresh/data");
  EXPECT_EQ(RunBare("--data-dir '" + fresh + "' import " + songs).status, 0);
  const std::string listed = RunBare("--data-dir '" + fresh + "' list").out;
  EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 4) << listed;

  // Every insert refused: said, and exit 1.
  DbConnection library;
  ASSERT_TRUE(library.Open(fresh + "/collections.mdb"));
  ASSERT_TRUE(library.Execute("DROP TABLE Items;"));
  library.Close();
  const Outcome refused = RunBare("--data-dir '" + fresh + "' import " + songs);
  EXPECT_EQ(refused.status, 1);
}

TEST_F(LibraryTool, RemoveBadKeepsAnUnmountedLibraryAndBackupCopiesIt) {
  ASSERT_EQ(Run("import '" + folder.File("songs") + "'").status, 0);
  const std::string before = Run("list").out;
  std::filesystem::rename(folder.File("songs"), folder.File("unmounted"));
  const Outcome refused = Run("remove-bad");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(Run("list").out, before);
  const Outcome listed = Run("remove-bad --dry-run");
  EXPECT_EQ(listed.status, 0);
  EXPECT_NE(listed.out.find("Would remove: " + folder.File("songs/Abba - Waterloo.mp3")),
            std::string::npos);
  EXPECT_EQ(Run("list").out, before);

  // A consistent copy while another connection keeps the file open.
  DbConnection other;
  ASSERT_TRUE(other.Open(data + "collections.mdb"));
  ASSERT_TRUE(other.Execute("INSERT INTO Items (Title, SongPath) VALUES ('late', '/late.mp3');"));
  EXPECT_EQ(Run("backup '" + folder.Path() + "'").status, 0);
  DbConnection copy;
  ASSERT_TRUE(copy.Open(folder.File("collections.mdb"), DbAccess::ReadOnly));
  int64_t rows = -1;
  copy.Query("SELECT count(*) FROM Items;", [&](const DbRow& row) {
    rows = row.Integer(0);
    return false;
  });
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(Run("backup").status, 2);

  const Outcome forced = Run("remove-bad --force");
  EXPECT_EQ(forced.status, 0);
  EXPECT_NE(forced.out.find("Removed: " + folder.File("songs/Abba - Waterloo.mp3")), std::string::npos);
  EXPECT_EQ(forced.out.substr(forced.out.rfind("Removed ")), "Removed 3 missing song(s).\n");
  EXPECT_EQ(Run("list").out, "");
}

// The songbook: each song once however often the library holds it, in
// both orders, in a PDF whose text pdftotext reads back and in a page that
// shows hostile titles as text.
TEST_F(LibraryTool, TheSongbookListsEachSongOnceInBothOrders) {
  {
    DbConnection library;
    ASSERT_TRUE(library.Open(data + "collections.mdb"));
    ASSERT_TRUE(library.Execute(
        "INSERT INTO Items (Title, Artist, ID, SongPath) VALUES "
        "('Waterloo', 'Abba', 'SC-1', '/a.zip'), ('WATERLOO', 'abba', 'SF-9', '/b.zip'), "
        "('Zebra Song', 'Aardvarks', 'X-2', '/c.zip'), ('<b>x</b>', 'Mallory', '<img src=/dev/zero>', '/d.zip');"));
  }
  const std::string pdf = folder.File("book.pdf");
  const std::string web = folder.File("web");
  const Outcome made = Run("songbook --header 'Friday Night' --pdf '" + pdf + "' --html '" + web + "'");
  ASSERT_EQ(made.status, 0) << made.out;
  EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));

  std::string text;
  {
    FILE* pipe = ::popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    ASSERT_TRUE(pipe);
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    ASSERT_EQ(::pclose(pipe), 0);
  }
  const size_t byTitle = text.find("Songs by Title");
  ASSERT_NE(byTitle, std::string::npos) << text;
  EXPECT_NE(text.find("Friday Night"), std::string::npos);
  const std::string byArtistPart = text.substr(0, byTitle), byTitlePart = text.substr(byTitle);
  // Aardvarks before Abba by artist; Waterloo before Zebra Song by title.
  EXPECT_LT(byArtistPart.find("Aardvarks"), byArtistPart.find("Abba"));
  EXPECT_LT(byTitlePart.find("Waterloo"), byTitlePart.find("Zebra Song"));
  EXPECT_EQ(byArtistPart.find("WATERLOO"), std::string::npos) << "a second version is not listed";
  EXPECT_NE(byArtistPart.find("<b>x</b>"), std::string::npos);

  std::ifstream in(web + "/index.html");
  const std::string page((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(page.find("<td>&lt;b&gt;x&lt;/b&gt;</td>"), std::string::npos);
  EXPECT_EQ(page.find("<img src=/dev/zero>"), std::string::npos);
  EXPECT_EQ(page.find("WATERLOO"), std::string::npos);
  EXPECT_EQ(Run("songbook").status, 2);
  EXPECT_EQ(Run("songbook --pdf '" + pdf + "' --paper legal").status, 2);
}

// A broken file is named with its reason and never stops the check of the
// rest; songs that play are not listed.
TEST_F(LibraryTool, CheckNamesEachSongThatWillNotPlay) {
  const std::string good = folder.File("songs/Good.mp3"), quiet = folder.File("songs/Blank.mp3");
  ASSERT_TRUE(testing::MakeMp3(good, 4));
  ASSERT_TRUE(testing::MakeMp3(quiet, 1));
  std::ofstream(folder.File("songs/Good.cdg"), std::ios::binary) << std::string(24 * 300, '\0');
  std::ofstream(folder.File("songs/Blank.cdg"), std::ios::binary);
  std::ofstream(folder.File("songs/Broken.zip")) << "PK but not really";
  const std::string junk = folder.File("songs/Abba - Waterloo.mp3");
  const Outcome checked = Run("check '" + good + "' '" + junk + "' '" + folder.File("songs/Gone.mp3") + "' '" +
                              folder.File("songs/Broken.zip") + "' '" + quiet + "'");
  EXPECT_EQ(checked.status, 0);
  // In the order asked; the decoder's own words may follow a reason.
  const std::string out = checked.out;
  EXPECT_EQ(out.find(good), std::string::npos) << out;
  EXPECT_EQ(out.rfind(junk + "\tthe audio cannot be decoded", 0), 0u) << out;
  EXPECT_NE(out.find("\n" + folder.File("songs/Gone.mp3") + "\tthe file is missing\n" + folder.File("songs/Broken.zip") +
                     "\tthe ZIP archive cannot be read\n" + quiet +
                     "\tthe CD+G graphics are empty\nChecked 5 songs: 4 need attention.\n"),
            std::string::npos)
      << out;
}

// Watched folders from a shell: the layout kept per folder, a refresh that
// adds, follows a move and checks its new songs before it exits, folders
// that overlap refused, and a removed folder's songs kept.
TEST_F(LibraryTool, FoldersAndRefresh) {
  const std::string songs = folder.File("songs");
  EXPECT_EQ(Run("folders add --format 2 '" + songs + "'").status, 0);
  std::filesystem::create_directories(songs + "/inner");
  EXPECT_EQ(Run("folders add '" + songs + "/inner'").status, 1) << "inside a watched folder";
  EXPECT_EQ(Run("folders add --format 7 '" + songs + "'").status, 2);
  EXPECT_EQ(Run("folders list").out, "2\ttags\t" + songs + "\n");

  const Outcome first = Run("refresh");
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out.rfind("Added 2, moved 0", 0), 0u) << first.out;
  // Neither file holds audio: both are named with their reason.
  EXPECT_NE(first.out.find("Checked 2 songs: 2 need attention.\n"), std::string::npos) << first.out;
  EXPECT_NE(Run("list").out.find("\tWaterloo\tAbba\t"), std::string::npos);

  std::filesystem::rename(folder.File("songs/Abba - Waterloo.mp3"), folder.File("songs/Bob's Hits/Abba - Waterloo.mp3"));
  EXPECT_EQ(Run("refresh --no-check").out.rfind("Added 0, moved 1, changed 0, missing 0", 0), 0u);
  EXPECT_EQ(Run("check --listed").out.find(songs + "/Abba - Waterloo.mp3"), std::string::npos);
  EXPECT_NE(Run("check --listed").out.find(songs + "/Bob's Hits/Abba - Waterloo.mp3\t"), std::string::npos);

  EXPECT_EQ(Run("folders remove '" + songs + "'").status, 0);
  EXPECT_EQ(Run("folders list").out, "");
  EXPECT_EQ(Run("refresh").status, 1) << "no folders watched";
  const std::string kept = Run("list").out;
  EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 2);
}

}  // namespace
}  // namespace lyricade
