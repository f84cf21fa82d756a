#include "app/demo_library.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "library/file_name_format.h"
#include "library/library_database.h"
#include "library/library_item_insert.h"
#include "library/library_log.h"
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

// What a file-name import of an "Artist - Title ( - Album )" name writes,
// with the demo ID in place of the album.
NewLibraryItem ItemFor(const fs::path& path, std::string id) {
  NewLibraryItem item;
  item.Path = path.string();
  ParsedFileName parsed = ParseFileName(item.Path, FileNameFormat::ArtistTitleAlbum);
  item.Title = std::move(parsed.Title);
  item.Artist = std::move(parsed.Artist);
  item.Id = std::move(id);
  return item;
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
  std::vector<NewLibraryItem> missing;
  for (size_t i = 0; i < songs.size(); ++i) {
    if (database.FindItemByPath(songs[i].string()) != 0) continue;
    char id[32];
    std::snprintf(id, sizeof id, "DEMO-%02zu", i + 1);
    missing.push_back(ItemFor(songs[i], id));
  }
  if (missing.empty()) return true;

  bool all = database.BeginTrans();
  for (const NewLibraryItem& item : missing) {
    if (InsertLibraryItem(database, item)) continue;
    qCWarning(lcLibrary, "cannot list the demo song %s", item.Path.c_str());
    all = false;
  }
  return database.CommitTrans() && all;
}

}  // namespace lyricade
