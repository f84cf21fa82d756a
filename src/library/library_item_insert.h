#pragma once
// The one statement that adds a song to the library's Items table, used by
// the import and the demo library. Numbers are written the same way under
// every locale: a decimal comma would add a value to the statement.

#include <string>

namespace lyricade {

class LibraryDatabase;

// The ten values of a new Items row, in the order the import passes them.
struct NewLibraryItem {
  int Collection = 1;
  std::string Title;
  std::string Path;
  std::string Artist;
  std::string Id;
  int Type = 2;
  double Tempo = 0;
  std::string Year;
  std::string Length;
  std::string Comment;
};

// A whole number in decimal ("%d").
std::string SqlInteger(long value);
// A floating number with six decimals and a point ("%f" in the C locale);
// values that are not finite are written as 0.
std::string SqlReal(double value);

// "INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1,
// BPM, Comments1, CollectionNum) VALUES(...);" with the texts' apostrophes
// turned into accents and the path's apostrophes doubled.
std::string InsertItemStatement(const NewLibraryItem& item);

// Runs the statement on the library connection. False when the row was not
// written (logged with the path).
bool InsertLibraryItem(LibraryDatabase& database, const NewLibraryItem& item);

}  // namespace lyricade
