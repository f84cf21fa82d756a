#include "app/demo_library.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "library/library_database.h"
#include "library/library_log.h"
#include "library/text_rules.h"
#include "platform/paths/paths.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

bool IsSongFile(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".mp3" || extension == ".zip";
}

struct DemoRow {
  std::string Title;
  std::string Artist;
  std::string Path;
};

// "Artist - Title" as the import reads an "Artist - Title ( - Album )" name:
// underscores read as blanks, the parts split at " - " with the separator's
// own blanks removed; a name without " - " is all title.
DemoRow RowFor(const fs::path& path) {
  DemoRow row;
  row.Path = path.string();
  std::string base = path.stem().string();
  std::replace(base.begin(), base.end(), '_', ' ');
  const size_t first = base.find(" - ");
  if (first == std::string::npos) {
    row.Title = path.stem().string();
    return row;
  }
  row.Artist = base.substr(0, first);
  const std::string rest = base.substr(first + 3);
  row.Title = rest.substr(0, rest.find(" - "));
  return row;
}

// What a file-name import writes (no year, length or comment; type 2, tempo 0,
// collection 1), with the demo ID.
std::string InsertStatement(const DemoRow& row, const std::string& id) {
  char tempo[32];
  std::snprintf(tempo, sizeof tempo, "%f", 0.0);
  return "INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1, BPM, Comments1,"
         " CollectionNum) VALUES('" +
         AccentApostrophes(row.Title) + "', '" + AccentApostrophes(row.Artist) + "', '" +
         AccentApostrophes(id) + "', '', '', '" + DoubleApostrophes(row.Path) + "', 2, " + tempo +
         ", '', 1);";
}

}  // namespace

bool SeedDemoLibrary(const std::string& dataFolder, LibraryDatabase& database) {
  if (!database.LibraryOpen()) {
    qCWarning(lcLibrary, "cannot list the demo songs: the library is not open");
    return false;
  }
  const fs::path folder = WithTrailingSlash(dataFolder) + kDemoSongsFolder;

  std::vector<fs::path> songs;
  std::error_code error;
  for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    const fs::path& path = it->path();
    std::error_code typeError;
    if (path.filename().string().rfind('.', 0) == 0 || !it->is_regular_file(typeError)) continue;
    if (IsSongFile(path)) songs.push_back(path);
  }
  if (error)
    qCWarning(lcLibrary, "cannot read the demo songs folder %s: %s", folder.c_str(),
              error.message().c_str());
  std::sort(songs.begin(), songs.end());

  // Numbered by place in the folder, so a song keeps its ID when another
  // one was already in the library. The look-ups run before the
  // transaction: they read on a connection of their own.
  std::vector<std::pair<DemoRow, std::string>> missing;
  for (size_t i = 0; i < songs.size(); ++i) {
    DemoRow row = RowFor(songs[i]);
    if (database.FindItemByPath(row.Path) != 0) continue;
    char id[32];
    std::snprintf(id, sizeof id, "DEMO-%02zu", i + 1);
    missing.emplace_back(std::move(row), id);
  }
  if (missing.empty()) return true;

  bool all = database.BeginTrans();
  for (const auto& [row, id] : missing) {
    if (database.Execute(InsertStatement(row, id))) continue;
    qCWarning(lcLibrary, "cannot list the demo song %s", row.Path.c_str());
    all = false;
  }
  return database.CommitTrans() && all;
}

}  // namespace lyricade
