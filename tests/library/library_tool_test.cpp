// lyricade-library started as a KJ starts it from a shell: import, list,
// search and remove-bad on a real data folder, and its exit statuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/test_folder.h"
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
  Outcome Run(const std::string& args) {
    const std::string command = std::string("'") + LYRICADE_LIBRARY_TOOL + "' --data-dir '" + data +
                                "' " + args + " 2>/dev/null";
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

}  // namespace
}  // namespace lyricade
