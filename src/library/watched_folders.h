#pragma once
// The folders the host's library comes from, each with the file-name layout
// and tag choice an import of it uses, kept in a table of the library
// database ("LibraryFolders") so Lyricade and lyricade-library see the same
// list. A refresh (library_refresh.h) walks them.
//
// Folders are kept absolute and without a trailing "/". One watched folder
// may not lie inside another: their files would be seen twice and a move
// between them could not be told from a copy.

#include <optional>
#include <string>
#include <vector>

#include "library/library_import.h"

namespace lyricade {

class DbConnection;
class LibraryDatabase;

struct WatchedFolder {
  std::string Folder;
  ImportSettings Settings;
};

// Makes the tables of the watched folders and of what a refresh saw
// ("LibraryFolders", "SeenFiles") when the library has none. False when they
// cannot be made (a read-only file).
bool EnsureWatchedFolderTables(DbConnection& library);

// The folder as it is kept: absolute, "." and ".." resolved, no trailing "/".
std::string WatchedFolderName(const std::string& folder);

// The watched folders in name order; empty when there are none or the table
// cannot be read.
std::vector<WatchedFolder> ReadWatchedFolders(DbConnection& library);

// The watched folder that `folder` lies in, is, or holds, if any.
std::optional<std::string> OverlappingFolder(const std::vector<WatchedFolder>& folders,
                                             const std::string& folder);
// The watched folder holding `path` (a file or a folder below one).
std::optional<WatchedFolder> WatchedFolderOf(const std::vector<WatchedFolder>& folders,
                                             const std::string& path);

// Adds the folder, or changes the layout of one already watched. False when
// the statement fails.
bool SaveWatchedFolder(LibraryDatabase& database, const WatchedFolder& folder);
// Stops watching the folder: its songs stay in the library, only what the
// refresh remembered of its files goes. False when it was not watched.
bool RemoveWatchedFolder(LibraryDatabase& database, const std::string& folder);

// The SQL condition "column lies below folder": a range on the path, so the
// path index serves it, and no LIKE wildcard in a folder name matters.
std::string BelowFolderCondition(const std::string& column, const std::string& folder);

}  // namespace lyricade
