#include "library/library_search.h"

#include <strings.h>

#include "library/sql_quoting.h"

namespace lyricade {
namespace {

struct KeyStatements {
  const char* Ascending;
  const char* Descending;
};

// Indexed by LibrarySortKey: the ORDER BY of each order, shared by the
// whole-library statements and the search suffixes.
constexpr KeyStatements kOrderBy[] = {
    {"ORDER BY TITLE, ARTIST;", "ORDER BY TITLE DESC, ARTIST;"},
    {"ORDER BY ARTIST, TITLE;", "ORDER BY ARTIST DESC, TITLE;"},
    {"ORDER BY ID, TITLE;", "ORDER BY ID DESC, TITLE;"},
    {"ORDER BY YEAR1, TITLE;", "ORDER BY YEAR1 DESC, TITLE;"},
    {"ORDER BY Comments1;", "ORDER BY Comments1 DESC;"},
    {"ORDER BY SONGPATH;", "ORDER BY SONGPATH DESC;"},
};

const char* OrderBy(const SortOrder& order) {
  const KeyStatements& statements = kOrderBy[static_cast<int>(order.Key)];
  return order.Descending ? statements.Descending : statements.Ascending;
}

// True for the first byte of a UTF-8 character (and for stray bytes).
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

size_t CountCharacters(std::string_view text) {
  size_t count = 0;
  for (char c : text)
    if (StartsCharacter(c)) ++count;
  return count;
}

const char* ColumnOf(SearchField field) {
  switch (field) {
    case SearchField::Title:
      return "TITLE";
    case SearchField::Artist:
      return "ARTIST";
    case SearchField::Id:
      return "ID";
    case SearchField::Year:
      return "YEAR1";
    case SearchField::Comment:
      return "COMMENTS1";
    case SearchField::Location:
      return "SONGPATH";
    case SearchField::AllFields:
      break;
  }
  return "TITLE";
}

std::string Like(const char* column, const std::string& word) {
  return std::string(column) + " LIKE '%" + word + "%'";
}

}  // namespace

void SortOrder::Update(int column) {
  if (column == -1) return;
  const LibrarySortKey key = SortKeyForColumn(column);
  if (key == Key) {
    Descending = !Descending;
  } else {
    Key = key;
    Descending = false;
  }
}

LibrarySortKey SortKeyForColumn(int column) {
  switch (column) {
    case 0:
      return LibrarySortKey::Title;
    case 1:
      return LibrarySortKey::Artist;
    case 2:
      return LibrarySortKey::Id;
    case 3:
      return LibrarySortKey::Comment;
    case 4:
      return LibrarySortKey::Year;
    default:
      return LibrarySortKey::Location;
  }
}

std::string WholeLibraryStatement(const SortOrder& order) {
  return std::string("SELECT * FROM Items ") + OrderBy(order);
}

std::string SearchSuffix(const SortOrder& order) { return std::string(" ") + OrderBy(order); }

SearchField SearchFieldForChoice(std::string_view choice) {
  static constexpr SearchField kFields[] = {SearchField::Title,   SearchField::Artist,
                                            SearchField::Id,      SearchField::Year,
                                            SearchField::Comment, SearchField::Location};
  for (size_t i = 0; i < 6; ++i) {
    const std::string_view name = kSearchFieldChoices[i];
    if (choice.size() == name.size() &&
        strncasecmp(choice.data(), name.data(), name.size()) == 0)
      return kFields[i];
  }
  return SearchField::AllFields;
}

std::string SanitizeSearchText(std::string_view text) {
  // The text box gives at most kMaxSearchText characters.
  size_t characters = 0;
  size_t end = 0;
  for (; end < text.size(); ++end) {
    if (StartsCharacter(text[end]) && ++characters > kMaxSearchText) break;
  }
  std::string out;
  out.reserve(end + 8);
  for (char c : text.substr(0, end)) {
    if (c >= 'a' && c <= 'z')
      out += static_cast<char>(c - 'a' + 'A');
    else if (c == '\'')
      out += kAccent;
    else if (c == '[' || c == ']')
      out += ' ';
    else
      out += c;
  }
  return out;
}

std::vector<std::string> SplitSearchWords(std::string_view text) {
  if (CountCharacters(text) < 3) return {std::string(text)};
  std::vector<std::string> words(1);
  size_t position = 0;  // in characters
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' && position >= 2) {
      if (words.size() < kMaxSearchWords)
        words.emplace_back();
      else
        words.back().clear();  // the 100th slot starts again
    } else {
      words.back() += c;
    }
    if (StartsCharacter(c)) ++position;
  }
  return words;
}

std::string BuildSearchStatement(const std::vector<std::string>& words, SearchField field,
                                 MatchMode mode, const SortOrder& order) {
  std::string sql = "SELECT * FROM Items WHERE ";
  const std::string joiner = mode == MatchMode::All ? " AND " : " OR ";
  if (words.size() <= 1) {
    const std::string word = words.empty() ? std::string() : words.front();
    if (field != SearchField::AllFields) {
      sql += Like(ColumnOf(field), word);
    } else {
      sql += "(TITLE LIKE '%" + word + "%' OR" + " ARTIST LIKE '%" + word + "%' OR" +
             " ID LIKE '%" + word + "%' OR" + " COMMENTS1 LIKE '%" + word + "%' OR" +
             " YEAR1 LIKE '%" + word + "%')";
    }
  } else if (field != SearchField::AllFields) {
    const char* column = ColumnOf(field);
    for (size_t i = 0; i < words.size(); ++i) {
      if (words[i].empty()) continue;
      if (i > 0) sql += joiner;
      sql += Like(column, words[i]);
    }
  } else {
    static constexpr const char* kColumns[] = {"TITLE", "ARTIST", "ID", "YEAR1", "COMMENTS1"};
    std::string groups[5];
    for (size_t g = 0; g < 5; ++g) {
      groups[g] = "(";
      for (size_t i = 0; i < words.size(); ++i) {
        if (words[i].empty()) continue;
        if (i > 0) groups[g] += joiner;
        groups[g] += Like(kColumns[g], words[i]);
      }
      groups[g] += ")";
    }
    sql += "(" + groups[0] + " OR " + groups[1] + " OR " + groups[2] + " OR " + groups[3] +
           " OR " + groups[4] + ")";
  }
  return sql + SearchSuffix(order);
}

}  // namespace lyricade
