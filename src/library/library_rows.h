#pragma once
// The library rows the maintenance commands work on, read by their numbers
// (the library list's selection), and the song files those rows name.

#include <string>
#include <vector>

namespace lyricade {

// One Items row as the maintenance commands read it; null fields read "".
struct LibraryRow {
  long ItemNum = 0;
  std::string Title;
  std::string Artist;
  std::string Id;
  std::string Year;
  std::string Comment;
  std::string Path;
};

// The rows with these numbers, in the order of `itemNums`; numbers without a
// row (and 0) are left out. Reads the file whole before the caller starts a
// transaction: nothing is read while the library connection writes. False
// when the file or a statement fails (logged), with the rows read so far.
bool ReadLibraryRows(const std::string& databasePath, const std::vector<long>& itemNums,
                     std::vector<LibraryRow>& rows);

// The song is missing, as the library list marks it red: no file at the path
// and the path is not a "http://" address.
bool SongMissing(const std::string& path);

// The graphics file that a purge removes with the song: the ".cdg" of the
// same base name in the same folder, as playback finds it (any letter case,
// the exact name first). Empty when there is none, when the path has no
// folder, and for a ZIP archive: a ".cdg" beside a ZIP is another song's.
std::string CompanionGraphicsToPurge(const std::string& path);

}  // namespace lyricade
