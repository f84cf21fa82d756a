#include "library/library_item_insert.h"

#include <charconv>
#include <cmath>

#include "library/library_database.h"
#include "library/library_log.h"
#include "library/sql_quoting.h"

namespace lyricade {

std::string SqlInteger(long value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string SqlReal(double value) {
  if (!std::isfinite(value)) value = 0;
  // Large enough for any double in fixed notation with six decimals.
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return "0.000000";
  return std::string(text, result.ptr);
}

std::string InsertItemStatement(const NewLibraryItem& item) {
  return std::string("INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1, BPM, "
                     "Comments1, CollectionNum) ") +
         "VALUES('" + AccentApostrophes(item.Title) + "'" + ", '" + AccentApostrophes(item.Artist) +
         "'" + ", '" + AccentApostrophes(item.Id) + "'" + ", '" + AccentApostrophes(item.Year) + "'" +
         ", '" + AccentApostrophes(item.Length) + "'" + ", '" + DoubleApostrophes(item.Path) + "'" +
         ", " + SqlInteger(item.Type) + ", " + SqlReal(item.Tempo) + ", '" +
         AccentApostrophes(item.Comment) + "'" + ", " + SqlInteger(item.Collection) + ");";
}

bool InsertLibraryItem(LibraryDatabase& database, const NewLibraryItem& item) {
  if (database.Execute(InsertItemStatement(item))) return true;
  qCWarning(lcLibrary, "cannot add %s to the library", item.Path.c_str());
  return false;
}

}  // namespace lyricade
