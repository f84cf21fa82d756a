#pragma once
// A small generated catalogue ("songdb.mdb" seeded from the schema) in a
// scratch data folder, with an output folder beside it.

#include <filesystem>
#include <string>

#include "common/test_folder.h"
#include "library/database_seed.h"
#include "platform/db/db_connection.h"

namespace lyricade::testing {

struct CatalogueEntry {
  const char* Title;
  const char* Artist;
  const char* Code;
  const char* Comp;
  double Price;
  const char* Genre;
};

// Streaming labels "Quillon Stream" and "Quillon Stream Gold" are among the
// defaults; "Halo"/"Crazy In Love" carry accents in either letter case.
inline const CatalogueEntry kCatalogue[] = {
    {"Don't Stop", "Fleetwood Mac", "QS-1", "Quillon Stream", 1.99, "Rock"},
    {"Halo", "Beyonc\xC3\xA9", "QD-2", "Other Label", 2.5, "Pop"},
    {"Crazy In Love", "BEYONC\xC3\x89", "QD-3", "Other Label", 0.99, "Multiplex"},
    {"Love Me Do", "The Beatles", "QS-4", "Quillon Stream Gold", 1, "Oldies"},
};

struct CatalogueFolder {
  TestFolder folder;
  std::string data = folder.File("data/");
  std::string output = folder.File("out/");

  bool Make() {
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(output);
    if (!SeedDatabaseFiles(data, LYRICADE_TEST_RESOURCES)) return false;
    DbConnection db;
    if (!db.Open(data + "songdb.mdb")) return false;
    for (const CatalogueEntry& e : kCatalogue) {
      const std::string sql = std::string("INSERT INTO Songs (Trackname, Artist, Code, Comp, Price, "
                                          "Genre, ActivateDate, Path) VALUES ('") +
                              Quote(e.Title) + "', '" + e.Artist + "', '" + e.Code + "', '" +
                              e.Comp + "', " + std::to_string(e.Price) + ", '" + e.Genre +
                              "', '2024-01-0" + e.Code[3] + "', '" + e.Code + ".zip');";
      if (!db.Execute(sql)) return false;
    }
    return true;
  }
  std::string CataloguePath() const { return data + "songdb.mdb"; }

  static std::string Quote(std::string text) {
    for (size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 2))
      text.insert(at, "'");
    return text;
  }
};

}  // namespace lyricade::testing
