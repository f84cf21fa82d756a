#include "library/library_search.h"

#include <gtest/gtest.h>

namespace lyricade {
namespace {

std::string Search(const std::string& text, const std::string& field, MatchMode mode,
                   SortOrder order = {}) {
  return BuildSearchStatement(SplitSearchWords(SanitizeSearchText(text)),
                              SearchFieldForChoice(field), mode, order);
}

TEST(LibrarySearch, StatementsForTheUsualSearches) {
  EXPECT_EQ(Search("love me", "Artist", MatchMode::All),
            "SELECT * FROM Items WHERE ARTIST LIKE '%LOVE%' AND ARTIST LIKE '%ME%'"
            " ORDER BY TITLE, ARTIST;");
  EXPECT_EQ(Search("love me", "artist", MatchMode::AtleastOne),
            "SELECT * FROM Items WHERE ARTIST LIKE '%LOVE%' OR ARTIST LIKE '%ME%'"
            " ORDER BY TITLE, ARTIST;");
  EXPECT_EQ(Search("don't", "Title", MatchMode::All),
            "SELECT * FROM Items WHERE TITLE LIKE '%DON\xC2\xB4T%' ORDER BY TITLE, ARTIST;");
  EXPECT_EQ(Search("[Live]", "Title", MatchMode::All),
            "SELECT * FROM Items WHERE TITLE LIKE '% LIVE%' ORDER BY TITLE, ARTIST;");
  // One word ignores the match mode; all fields never look at the path.
  const std::string oneWordAll =
      "SELECT * FROM Items WHERE (TITLE LIKE '%ABBA%' OR ARTIST LIKE '%ABBA%' OR"
      " ID LIKE '%ABBA%' OR COMMENTS1 LIKE '%ABBA%' OR YEAR1 LIKE '%ABBA%')"
      " ORDER BY TITLE, ARTIST;";
  EXPECT_EQ(Search("abba", "Match All", MatchMode::All), oneWordAll);
  EXPECT_EQ(Search("abba", "Match All", MatchMode::AtleastOne), oneWordAll);
  EXPECT_EQ(Search("abba", "All Fields", MatchMode::All), oneWordAll);
  EXPECT_EQ(Search("x", "Location", MatchMode::All),
            "SELECT * FROM Items WHERE SONGPATH LIKE '%X%' ORDER BY TITLE, ARTIST;");
  EXPECT_EQ(Search("%_", "Comment", MatchMode::All),
            "SELECT * FROM Items WHERE COMMENTS1 LIKE '%%_%' ORDER BY TITLE, ARTIST;");
  // The empty text is the one word "".
  EXPECT_EQ(Search("", "Year", MatchMode::All),
            "SELECT * FROM Items WHERE YEAR1 LIKE '%%' ORDER BY TITLE, ARTIST;");
}

TEST(LibrarySearch, AllFieldsWithSeveralWordsBuildsFiveGroups) {
  EXPECT_EQ(Search("love  me", "Match All", MatchMode::All),
            "SELECT * FROM Items WHERE ((TITLE LIKE '%LOVE%' AND TITLE LIKE '%ME%') OR"
            " (ARTIST LIKE '%LOVE%' AND ARTIST LIKE '%ME%') OR"
            " (ID LIKE '%LOVE%' AND ID LIKE '%ME%') OR"
            " (YEAR1 LIKE '%LOVE%' AND YEAR1 LIKE '%ME%') OR"
            " (COMMENTS1 LIKE '%LOVE%' AND COMMENTS1 LIKE '%ME%')) ORDER BY TITLE, ARTIST;");
  SortOrder byYearDown{LibrarySortKey::Year, true};
  EXPECT_EQ(Search("ab cd", "anything", MatchMode::AtleastOne, byYearDown),
            "SELECT * FROM Items WHERE ((TITLE LIKE '%AB%' OR TITLE LIKE '%CD%') OR"
            " (ARTIST LIKE '%AB%' OR ARTIST LIKE '%CD%') OR (ID LIKE '%AB%' OR ID LIKE '%CD%') OR"
            " (YEAR1 LIKE '%AB%' OR YEAR1 LIKE '%CD%') OR"
            " (COMMENTS1 LIKE '%AB%' OR COMMENTS1 LIKE '%CD%')) ORDER BY YEAR1 DESC, TITLE;");
}

TEST(LibrarySearch, WordSplitting) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(SplitSearchWords("A B C"), (Words{"A B", "C"}));
  EXPECT_EQ(SplitSearchWords("A "), (Words{"A "}));
  EXPECT_EQ(SplitSearchWords(" A"), (Words{" A"}));
  EXPECT_EQ(SplitSearchWords(""), (Words{""}));
  EXPECT_EQ(SplitSearchWords(" LIVE "), (Words{" LIVE", ""}));
  EXPECT_EQ(SplitSearchWords("AB  CD"), (Words{"AB", "", "CD"}));
  // Lengths and positions count characters: "é b" is three characters.
  EXPECT_EQ(SplitSearchWords("\xC3\xA9 B"), (Words{"\xC3\xA9 B"}));
  EXPECT_EQ(SplitSearchWords("\xC3\xA9"), (Words{"\xC3\xA9"}));

  std::string text;
  for (int i = 1; i <= 130; ++i) text += "W" + std::to_string(i) + " ";
  text += "LAST";
  const Words words = SplitSearchWords(text);
  ASSERT_EQ(words.size(), 100u);
  EXPECT_EQ(words[0], "W1");
  EXPECT_EQ(words[98], "W99");
  EXPECT_EQ(words[99], "LAST");
  const std::string sql = BuildSearchStatement(words, SearchField::Title, MatchMode::All, {});
  EXPECT_NE(sql.find("TITLE LIKE '%W99%' AND TITLE LIKE '%LAST%' ORDER BY"), std::string::npos);
  EXPECT_EQ(sql.find("W100"), std::string::npos);
}

TEST(LibrarySearch, Sanitising) {
  EXPECT_EQ(SanitizeSearchText("don't [Live] b\xC3\xA9yonc\xC3\xA9 %a_b"),
            "DON\xC2\xB4T  LIVE  B\xC3\xA9YONC\xC3\xA9 %A_B");
  const std::string longText(1500, 'x');
  EXPECT_EQ(SanitizeSearchText(longText), std::string(1023, 'X'));
  // The cut never splits a character.
  std::string accented;
  for (int i = 0; i < 1100; ++i) accented += "\xC3\xA9";
  EXPECT_EQ(SanitizeSearchText(accented).size(), 1023u * 2);
}

TEST(LibrarySearch, SortStatementsAndHeaderClicks) {
  const char* ascending[] = {"TITLE, ARTIST", "ARTIST, TITLE", "ID, TITLE",
                             "YEAR1, TITLE",  "Comments1",     "SONGPATH"};
  const char* descending[] = {"TITLE DESC, ARTIST", "ARTIST DESC, TITLE", "ID DESC, TITLE",
                              "YEAR1 DESC, TITLE",  "Comments1 DESC",     "SONGPATH DESC"};
  for (int key = 0; key < 6; ++key) {
    SortOrder up{static_cast<LibrarySortKey>(key), false};
    SortOrder down{static_cast<LibrarySortKey>(key), true};
    EXPECT_EQ(WholeLibraryStatement(up), std::string("SELECT * FROM Items ORDER BY ") + ascending[key] + ";");
    EXPECT_EQ(WholeLibraryStatement(down), std::string("SELECT * FROM Items ORDER BY ") + descending[key] + ";");
    EXPECT_EQ(SearchSuffix(up), std::string(" ORDER BY ") + ascending[key] + ";");
    EXPECT_EQ(SearchSuffix(down), std::string(" ORDER BY ") + descending[key] + ";");
  }
  // Columns: Comment (3) and Year (4) swap key numbers; Ref and beyond sort by path.
  const LibrarySortKey expected[] = {LibrarySortKey::Title,   LibrarySortKey::Artist,
                                     LibrarySortKey::Id,      LibrarySortKey::Comment,
                                     LibrarySortKey::Year,    LibrarySortKey::Location,
                                     LibrarySortKey::Location, LibrarySortKey::Location};
  for (int column = 0; column < 8; ++column)
    EXPECT_EQ(SortKeyForColumn(column), expected[column]) << column;

  SortOrder order;
  order.Update(-1);
  EXPECT_EQ(WholeLibraryStatement(order), "SELECT * FROM Items ORDER BY TITLE, ARTIST;");
  order.Update(0);  // same header: descending
  EXPECT_EQ(WholeLibraryStatement(order), "SELECT * FROM Items ORDER BY TITLE DESC, ARTIST;");
  order.Update(-1);  // kept
  EXPECT_TRUE(order.Descending);
  order.Update(4);  // Year header: ascending by year
  EXPECT_EQ(WholeLibraryStatement(order), "SELECT * FROM Items ORDER BY YEAR1, TITLE;");
  order.Update(6);  // Ref header
  EXPECT_EQ(WholeLibraryStatement(order), "SELECT * FROM Items ORDER BY SONGPATH;");
  order.Update(5);  // Location after Ref: same key, turns round
  EXPECT_EQ(WholeLibraryStatement(order), "SELECT * FROM Items ORDER BY SONGPATH DESC;");
}

}  // namespace
}  // namespace lyricade
