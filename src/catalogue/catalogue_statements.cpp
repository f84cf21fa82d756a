#include "catalogue/catalogue_statements.h"

#include <algorithm>

namespace lyricade {
namespace {

struct SortPair {
  const char* Ascending;
  const char* Descending;
};

constexpr SortPair kAllSongsSort[kCatalogueColumnCount] = {
    {"ORDER BY TRACKNAME, ARTIST", "ORDER BY TRACKNAME DESC, ARTIST"},
    {"ORDER BY ARTIST, TRACKNAME", "ORDER BY ARTIST DESC, TRACKNAME"},
    {"ORDER BY CODE, TRACKNAME", "ORDER BY CODE DESC, TRACKNAME"},
    {"ORDER BY COMP, TRACKNAME, ARTIST", "ORDER BY COMP DESC, TRACKNAME, ARTIST"},
    {"ORDER BY COMP, TRACKNAME, ARTIST", "ORDER BY COMP DESC, TRACKNAME, ARTIST"},
    {"ORDER BY PRICE, TRACKNAME, ARTIST", "ORDER BY PRICE DESC, TRACKNAME, ARTIST"},
    {"ORDER BY GENRE, TRACKNAME, ARTIST", "ORDER BY GENRE DESC, TRACKNAME, ARTIST"},
    {"ORDER BY ACTIVATEDATE, TRACKNAME", "ORDER BY ACTIVATEDATE DESC, TRACKNAME"},
    {"ORDER BY CODE, TRACKNAME", "ORDER BY CODE DESC, TRACKNAME"},
    {"ORDER BY PATH, GENRE, TRACKNAME, ARTIST", "ORDER BY PATH DESC, GENRE, TRACKNAME, ARTIST"},
};

constexpr SortPair kSearchSort[6] = {
    {" ORDER BY TRACKNAME, ARTIST;", " ORDER BY TRACKNAME DESC, ARTIST;"},
    {" ORDER BY ARTIST, TRACKNAME;", " ORDER BY ARTIST DESC, TRACKNAME;"},
    {" ORDER BY CODE, TRACKNAME;", " ORDER BY CODE DESC, TRACKNAME;"},
    {" ORDER BY ACTIVATEDATE, TRACKNAME;", " ORDER BY ACTIVATEDATE DESC, TRACKNAME;"},
    {" ORDER BY PRICE, TRACKNAME, ARTIST;", " ORDER BY PRICE DESC, TRACKNAME, ARTIST;"},
    {" ORDER BY GENRE, TRACKNAME, ARTIST;", " ORDER BY GENRE DESC, TRACKNAME, ARTIST;"},
};

constexpr const char* kSearchFields[5] = {"TRACKNAME", "ARTIST", "CODE", "ACTIVATEDATE", "GENRE"};

std::string Like(const char* field, const std::string& word) {
  return std::string(field) + " LIKE '%" + QuoteSqlText(word) + "%'";
}

}  // namespace

void CatalogueOrder::Update(int column) {
  if (column < 0) return;
  column = std::min(column, kCatalogueColumnCount - 1);
  if (column == Column) {
    Descending = !Descending;
  } else {
    Column = column;
    Descending = false;
  }
}

std::vector<std::string> DefaultStreamingLabels() {
  return {"Quillon Stream", "Quillon Stream Hits", "Quillon Stream Classics",
          "Quillon Stream Gold"};
}

std::string QuoteSqlText(const std::string& text) {
  std::string quoted;
  quoted.reserve(text.size());
  for (const char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

std::string LabelCondition(const std::vector<std::string>& labels) {
  if (labels.empty()) return "0";
  std::string condition;
  for (const std::string& label : labels) {
    if (!condition.empty()) condition += " OR ";
    condition += "COMP = '" + QuoteSqlText(label) + "'";
  }
  return condition;
}

std::string AllSongsSortClause(const CatalogueOrder& order) {
  const SortPair& pair = kAllSongsSort[std::clamp(order.Column, 0, kCatalogueColumnCount - 1)];
  return order.Descending ? pair.Descending : pair.Ascending;
}

std::string AllSongsStatement(const CatalogueOrder& order, bool streamsOnly,
                              const std::vector<std::string>& labels) {
  std::string statement = "SELECT * FROM Songs ";
  if (streamsOnly) statement += "WHERE (" + LabelCondition(labels) + ") ";
  return statement + AllSongsSortClause(order);
}

std::vector<std::string> SplitCatalogueWords(const std::string& text) {
  if (text.size() < 3) return {text};
  std::vector<std::string> words(1);
  for (const char c : text) {
    if (c == ' ') {
      if (words.size() < static_cast<size_t>(kMaxCatalogueWords))
        words.emplace_back();
      else
        words.back().clear();
    } else if (words.back().size() < kMaxCatalogueWordLength) {
      words.back() += c;
    }
  }
  return words;
}

std::string CatalogueSearchCondition(const std::vector<std::string>& words, bool streamsOnly,
                                     const std::vector<std::string>& labels) {
  std::string condition;
  if (words.size() <= 1) {
    const std::string word = words.empty() ? std::string() : words.front();
    condition = "(";
    for (int f = 0; f < 5; ++f) {
      if (f > 0) condition += " OR ";
      condition += Like(kSearchFields[f], word);
    }
    condition += ")";
  } else {
    condition = "(";
    for (int f = 0; f < 5; ++f) {
      if (f > 0) condition += " OR ";
      condition += "(";
      for (size_t w = 0; w < words.size(); ++w) {
        if (w > 0) condition += " AND ";
        condition += Like(kSearchFields[f], words[w]);
      }
      condition += ")";
    }
    condition += ")";
  }
  if (streamsOnly) condition += " AND (" + LabelCondition(labels) + ")";
  return condition;
}

std::string SearchSortClause(const CatalogueOrder& order) {
  const SortPair& pair = kSearchSort[std::clamp(order.Column, 0, 5)];
  return order.Descending ? pair.Descending : pair.Ascending;
}

std::string CatalogueSearchStatement(const std::string& text, const CatalogueOrder& order,
                                     bool streamsOnly, const std::vector<std::string>& labels) {
  return "SELECT * FROM Songs WHERE " +
         CatalogueSearchCondition(SplitCatalogueWords(text), streamsOnly, labels) +
         SearchSortClause(order);
}

}  // namespace lyricade
