#include "library/maintenance_statements.h"

#include <charconv>

#include "library/sql_quoting.h"

namespace lyricade {
std::string DecimalText(long number) {
  // to_chars never consults the locale (printf and streams may group digits).
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
  return error == std::errc() ? std::string(digits, end) : std::string("0");
}

std::string RemoveItemStatement(long itemNum) {
  return std::string("DELETE FROM Items WHERE ") + " ItemNum = " + DecimalText(itemNum) + ";";
}

std::string ClearLibraryStatement() { return "DELETE FROM Items"; }

std::string EditItemStatement(const EditedFields& fields, std::string_view path) {
  return "UPDATE Items Set TITLE = " + QuotedText(fields.Title) + ", ARTIST = " +
         QuotedText(fields.Artist) + ", ID = " + QuotedText(fields.Id) + ", YEAR1 = " +
         QuotedText(fields.Year) + ", COMMENTS1 = " + QuotedText(fields.Comment) +
         " WHERE SongPath = " + QuotedPath(path) + ";";
}

std::string FlipStatement(FlipMode mode, std::string_view first, std::string_view second,
                          std::string_view path) {
  const char* firstField = mode == FlipMode::ArtistId ? "ARTIST" : "TITLE";
  const char* secondField = mode == FlipMode::TitleArtist ? "ARTIST" : "ID";
  return std::string("UPDATE Items Set ") + firstField + " = " + QuotedText(second) + ", " +
         secondField + " = " + QuotedText(first) + " " + " WHERE SongPath = " + QuotedPath(path) +
         ";";
}

std::string EscapeLikeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::string FindReplaceRowsStatement(std::string_view search) {
  const std::string pattern = "'%" + EscapeLikeText(AccentApostrophes(search)) + "%' ESCAPE '\\'";
  return "SELECT ItemNum, Title, Artist, ID FROM Items WHERE Title LIKE " + pattern +
         " OR ARTIST LIKE " + pattern + " OR ID LIKE " + pattern + ";";
}

std::string WriteReplacedRowStatement(long itemNum, std::string_view title,
                                      std::string_view artist, std::string_view id) {
  return "UPDATE Items SET  TITLE = " + QuotedText(title) + ", ARTIST = " + QuotedText(artist) +
         ", ID = " + QuotedText(id) + " WHERE ItemNum = " + DecimalText(itemNum) + ";";
}

}  // namespace lyricade
