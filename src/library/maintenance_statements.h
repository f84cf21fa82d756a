#pragma once
// The SQL text of the library's maintenance commands (removing, clearing,
// editing, flipping and replacing). Values are passed as they are stored or
// typed; each builder applies the quoting rules itself: accents for texts,
// doubled apostrophes for paths. Numbers are written in plain decimal
// whatever the process's locale, so a locale that groups digits or uses a
// decimal comma cannot change a statement.

#include <string>
#include <string_view>

namespace lyricade {

// A long in plain decimal ("%ld" in the C locale).
std::string DecimalText(long number);

// "DELETE FROM Items WHERE  ItemNum = N;" (callers never pass 0).
std::string RemoveItemStatement(long itemNum);
// "DELETE FROM Items"
std::string ClearLibraryStatement();

// The fields the "Edit Item Information" dialog writes.
struct EditedFields {
  std::string Title;
  std::string Artist;
  std::string Id;
  std::string Year;
  std::string Comment;
};
// Every row with that path takes the edited fields.
std::string EditItemStatement(const EditedFields& fields, std::string_view path);

// The pairs of fields the flip commands swap.
enum class FlipMode { TitleArtist = 0, TitleId = 1, ArtistId = 2 };
// Writes `second` into the mode's first field and `first` into its second,
// for every row with that path.
std::string FlipStatement(FlipMode mode, std::string_view first, std::string_view second,
                          std::string_view path);

// The rows whose title, artist or ID contains the search text. "%", "_" and
// the escape character "\" of the search text match only themselves: the
// rows found are exactly those the replacement changes or upper-cases, and
// no row without the text is upper-cased (which cannot be undone).
std::string FindReplaceRowsStatement(std::string_view search);
// Writes one replaced row back by its number.
std::string WriteReplacedRowStatement(long itemNum, std::string_view title,
                                      std::string_view artist, std::string_view id);

// The text as a LIKE pattern piece that matches it literally with ESCAPE '\'.
std::string EscapeLikeText(std::string_view text);

}  // namespace lyricade
