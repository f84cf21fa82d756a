#pragma once
// A data folder with a seeded library for the library tests, and a way to
// add songs to it.

#include <gtest/gtest.h>

#include <string>

#include "common/test_folder.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/sql_quoting.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade::testing {

struct Song {
  std::string Title;
  std::string Artist;
  std::string Id;
  std::string Path;
  std::string Year;
  std::string Comment;
};

// Inserts like the import does: texts accented, the path with doubled
// apostrophes, the fixed values for length, type, tempo and collection.
inline std::string InsertStatement(const Song& song) {
  return "INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1, BPM, Comments1,"
         " CollectionNum) VALUES ('" +
         AccentApostrophes(song.Title) + "', '" + AccentApostrophes(song.Artist) + "', '" +
         AccentApostrophes(song.Id) + "', '" + AccentApostrophes(song.Year) + "', '', '" +
         DoubleApostrophes(song.Path) + "', 2, 0.000000, '" + AccentApostrophes(song.Comment) +
         "', 1);";
}

class LibraryFolder {
public:
  LibraryFolder() : database(prompts) {
    EXPECT_TRUE(SeedDatabaseFiles(folder.Path(), LYRICADE_TEST_RESOURCES));
    database.SetDataFolder(folder.Path());
  }

  // Opens like the start-up does; true when no box was shown.
  bool Open() {
    database.OpenLibrary();
    database.OpenCatalogue();
    database.UpgradeSchema();
    return prompts.Shown().empty();
  }

  void Add(const Song& song) { EXPECT_TRUE(database.Execute(InsertStatement(song))); }

  TestFolder folder;
  ScriptedPrompts prompts;
  LibraryDatabase database;
};

}  // namespace lyricade::testing
