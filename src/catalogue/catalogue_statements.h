#pragma once
// The statements behind the song manager's list of the vendor's catalogue
// (table Songs of "songdb.mdb"): the whole catalogue in the chosen order, the
// search over all fields with every word required, and the restriction to
// the streaming labels. Plain text building, no database.

#include <string>
#include <vector>

namespace lyricade {

inline constexpr int kCatalogueColumnCount = 10;
inline constexpr int kMaxCatalogueWords = 100;
inline constexpr size_t kMaxCatalogueWordLength = 1024;

// The list's order: one column 0..9 and a direction, for the run. Clicking
// the current column again flips the direction; another column sorts it
// ascending. Column -1 keeps the order.
struct CatalogueOrder {
  int Column = 0;
  bool Descending = false;
  void Update(int column);
};

// The four labels whose songs are streamed rather than sold as downloads.
std::vector<std::string> DefaultStreamingLabels();

// `text` with every apostrophe doubled, so it stays inside its SQL quotes.
std::string QuoteSqlText(const std::string& text);

// "COMP = 'label' OR ..." over the labels (an impossible test when none).
std::string LabelCondition(const std::vector<std::string>& labels);

// The ORDER BY clause of the whole-catalogue list for the order.
std::string AllSongsSortClause(const CatalogueOrder& order);
// "SELECT * FROM Songs " (restricted to the labels with `streamsOnly`)
// followed by the sort clause.
std::string AllSongsStatement(const CatalogueOrder& order, bool streamsOnly,
                              const std::vector<std::string>& labels);

// The search text as words: a text of fewer than 3 bytes is one word;
// otherwise every blank ends a word (two blanks give an empty word, which
// matches every value). Words keep at most 1024 bytes; from the 100th word
// on, each later word takes the 100th place.
std::vector<std::string> SplitCatalogueWords(const std::string& text);

// The WHERE condition: one of TRACKNAME, ARTIST, CODE, ACTIVATEDATE or GENRE
// contains every word. Apostrophes in the words are escaped.
std::string CatalogueSearchCondition(const std::vector<std::string>& words, bool streamsOnly,
                                     const std::vector<std::string>& labels);
// The search's own sort clause: the column is capped at 5 and its fields
// differ from the whole list's (column 3 sorts by activation date).
std::string SearchSortClause(const CatalogueOrder& order);
std::string CatalogueSearchStatement(const std::string& text, const CatalogueOrder& order,
                                     bool streamsOnly, const std::vector<std::string>& labels);

}  // namespace lyricade
