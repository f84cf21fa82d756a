#pragma once
// The library list's statements: the whole library in each sort order, and
// a search text turned into a WHERE clause. Plain text work, no database.

#include <string>
#include <string_view>
#include <vector>

namespace lyricade {

// The six orders of the library list.
enum class LibrarySortKey { Title = 0, Artist, Id, Year, Comment, Location };

// A sort order: the key and whether it runs descending. The whole library
// and the search results each keep one.
struct SortOrder {
  LibrarySortKey Key = LibrarySortKey::Title;
  bool Descending = false;

  // A header click: column -1 keeps the order; the column of the current key
  // turns the direction round; any other column sorts ascending by its key.
  void Update(int column);
};

// Column 0..6 of the list to its sort key (Comment and Year are swapped
// relative to the key numbers; Ref and anything above sort by location).
LibrarySortKey SortKeyForColumn(int column);

// "SELECT * FROM Items ORDER BY ...;" for the whole library.
std::string WholeLibraryStatement(const SortOrder& order);
// " ORDER BY ...;" appended to a search.
std::string SearchSuffix(const SortOrder& order);

// The field a search looks in; AllFields looks in every field but the path.
enum class SearchField { Title, Artist, Id, Year, Comment, Location, AllFields };
enum class MatchMode { All, AtleastOne };

// The entries of the "Search On:" box, in order; the seventh is selected at
// start.
inline constexpr const char* kSearchFieldChoices[] = {"Title",   "Artist",   "ID",       "Year",
                                                      "Comment", "Location", "Match All"};

// The box's text to a field: the six names compared without regard to case;
// any other text searches all fields.
SearchField SearchFieldForChoice(std::string_view choice);

// Search texts are read with at most this many characters and split into at
// most this many words.
inline constexpr size_t kMaxSearchText = 1023;
inline constexpr size_t kMaxSearchWords = 100;

// Cuts the text to kMaxSearchText characters (as the text box is read), then
// upper-cases a-z, turns apostrophes into the acute accent and "[" and "]"
// into blanks. Nothing else changes: "%" and "_" keep their LIKE meaning.
std::string SanitizeSearchText(std::string_view text);

// Splits a sanitised text into words. Texts of 0 to 2 characters are one
// word. Otherwise a blank at position 2 or later ends a word (blanks at 0 and
// 1 belong to the first word), so runs of blanks give empty words. After 100
// words every further word overwrites the 100th. Positions and lengths count
// characters, not bytes.
std::vector<std::string> SplitSearchWords(std::string_view text);

// The whole search statement: "SELECT * FROM Items WHERE " + condition +
// the search order's suffix. Empty words are skipped when there are several.
std::string BuildSearchStatement(const std::vector<std::string>& words, SearchField field,
                                 MatchMode mode, const SortOrder& order);

}  // namespace lyricade
