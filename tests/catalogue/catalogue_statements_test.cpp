// The catalogue list's statements: sort clauses, word splitting and the
// search conditions, as text.

#include <gtest/gtest.h>

#include "catalogue/catalogue_statements.h"

namespace lyricade {
namespace {

const std::vector<std::string> kLabels = {"S1", "S2", "S3", "S4"};
const char* const kLabelTest = "COMP = 'S1' OR COMP = 'S2' OR COMP = 'S3' OR COMP = 'S4'";

TEST(CatalogueStatements, WholeListSortsByColumnAndFlipsOnASecondClick) {
  CatalogueOrder order;
  EXPECT_EQ(AllSongsStatement(order, false, kLabels),
            "SELECT * FROM Songs ORDER BY TRACKNAME, ARTIST");
  order.Update(0);
  EXPECT_EQ(AllSongsSortClause(order), "ORDER BY TRACKNAME DESC, ARTIST");
  order.Update(3);  // "ST" sorts by label
  EXPECT_EQ(AllSongsSortClause(order), "ORDER BY COMP, TRACKNAME, ARTIST");
  order.Update(8);  // "Purchased" sorts by code
  EXPECT_EQ(AllSongsSortClause(order), "ORDER BY CODE, TRACKNAME");
  order.Update(8);
  EXPECT_EQ(AllSongsSortClause(order), "ORDER BY CODE DESC, TRACKNAME");
  order.Update(-1);
  EXPECT_TRUE(order.Descending);
  order.Update(9);
  EXPECT_EQ(AllSongsSortClause(order), "ORDER BY PATH, GENRE, TRACKNAME, ARTIST");
  order.Update(42);  // past the last column: the last column
  EXPECT_EQ(order.Column, 9);
  EXPECT_TRUE(order.Descending);

  CatalogueOrder first;
  EXPECT_EQ(AllSongsStatement(first, true, kLabels),
            std::string("SELECT * FROM Songs WHERE (") + kLabelTest +
                ") ORDER BY TRACKNAME, ARTIST");
  EXPECT_EQ(LabelCondition({"Joe's"}), "COMP = 'Joe''s'");
}

TEST(CatalogueStatements, WordsSplitAtEveryBlankOnlyFromThreeCharacters) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(SplitCatalogueWords(""), Words{""});
  EXPECT_EQ(SplitCatalogueWords("a "), Words{"a "});
  EXPECT_EQ(SplitCatalogueWords("a b"), (Words{"a", "b"}));
  EXPECT_EQ(SplitCatalogueWords("love  me"), (Words{"love", "", "me"}));

  std::string many;
  for (int i = 0; i < 105; ++i) many += "w" + std::to_string(i) + " ";
  many += "last";
  const Words words = SplitCatalogueWords(many);
  ASSERT_EQ(words.size(), 100u);
  EXPECT_EQ(words[98], "w98");
  EXPECT_EQ(words[99], "last");
  EXPECT_EQ(SplitCatalogueWords(std::string(3000, 'x'))[0].size(), 1024u);
}

TEST(CatalogueStatements, SearchRequiresEveryWordInOneFieldAndCapsItsSortColumn) {
  CatalogueOrder order;
  EXPECT_EQ(CatalogueSearchStatement("don't", order, false, kLabels),
            "SELECT * FROM Songs WHERE (TRACKNAME LIKE '%don''t%' OR ARTIST LIKE '%don''t%' OR "
            "CODE LIKE '%don''t%' OR ACTIVATEDATE LIKE '%don''t%' OR GENRE LIKE '%don''t%')"
            " ORDER BY TRACKNAME, ARTIST;");
  EXPECT_EQ(CatalogueSearchCondition({"ab"}, true, kLabels),
            std::string("(TRACKNAME LIKE '%ab%' OR ARTIST LIKE '%ab%' OR CODE LIKE '%ab%' OR "
                        "ACTIVATEDATE LIKE '%ab%' OR GENRE LIKE '%ab%') AND (") +
                kLabelTest + ")");
  EXPECT_EQ(CatalogueSearchCondition({"a", "b"}, true, kLabels),
            std::string("((TRACKNAME LIKE '%a%' AND TRACKNAME LIKE '%b%') OR "
                        "(ARTIST LIKE '%a%' AND ARTIST LIKE '%b%') OR "
                        "(CODE LIKE '%a%' AND CODE LIKE '%b%') OR "
                        "(ACTIVATEDATE LIKE '%a%' AND ACTIVATEDATE LIKE '%b%') OR "
                        "(GENRE LIKE '%a%' AND GENRE LIKE '%b%')) AND (") +
                kLabelTest + ")");

  order.Update(3);  // "ST" in a search: activation date
  EXPECT_EQ(SearchSortClause(order), " ORDER BY ACTIVATEDATE, TRACKNAME;");
  order.Update(8);  // "Purchased" in a search: capped at 5, genre
  EXPECT_EQ(SearchSortClause(order), " ORDER BY GENRE, TRACKNAME, ARTIST;");
  order.Update(8);
  EXPECT_EQ(SearchSortClause(order), " ORDER BY GENRE DESC, TRACKNAME, ARTIST;");
  order.Update(2);
  order.Update(2);
  EXPECT_EQ(SearchSortClause(order), " ORDER BY CODE DESC, TRACKNAME;");
}

}  // namespace
}  // namespace lyricade
