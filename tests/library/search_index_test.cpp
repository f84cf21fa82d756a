// The search index against the search statement: generated libraries full of
// the texts that make LIKE tricky, random searches over every field, mode
// and order, compared row for row; again after the library changes.

#include <algorithm>
#include <gtest/gtest.h>

#include <random>

#include "library/indexed_search.h"
#include "library/list_loader.h"
#include "library/substring_scan.h"
#include "library_fixture.h"

namespace lyricade {
namespace {

using testing::LibraryFolder;
using testing::Song;

// Pieces of texts and of searches: letter case beyond ASCII (é/É, the Kelvin
// sign folding to k, ß), apostrophes (stored as accents), brackets, the
// wildcards, blanks, and words that differ only in case (ties in the orders).
const char* const kPieces[] = {"love",
                               "LOVE",
                               "Love",
                               "me",
                               "ME",
                               "the",
                               "Beyonc\xC3\xA9",
                               "BEYONC\xC3\x89",
                               "\xC3\xA9",
                               "don't",
                               "Don\xC2\xB4t",
                               "[Live]",
                               "live",
                               "100%",
                               "a_b",
                               "_",
                               "%",
                               "k",
                               "\xE2\x84\xAA",
                               "stra\xC3\x9F"
                               "e",
                               "STRASSE",
                               "abba",
                               "x",
                               "1977",
                               "",
                               " ",
                               "o",
                               "\xC3\xB6",
                               "ABBA"};

std::string Pieces(std::mt19937& random, int most) {
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::string text;
  const int count = std::uniform_int_distribution<int>(0, most)(random);
  for (int i = 0; i < count; ++i) {
    if (i > 0 && random() % 3 != 0) text += ' ';
    text += kPieces[piece(random)];
  }
  return text;
}

void AddSongs(LibraryFolder& library, std::mt19937& random, int count, int first) {
  library.database.BeginTrans();
  for (int i = 0; i < count; ++i)
    library.Add({Pieces(random, 3), Pieces(random, 2), Pieces(random, 1),
                 "/songs/" + Pieces(random, 2) + std::to_string(first + i) + ".mp3",
                 Pieces(random, 1), Pieces(random, 2)});
  // Some fields are null, as rows written by other programs may have them.
  library.database.Execute("UPDATE Items SET Comments1 = NULL WHERE ItemNum % 7 = 3;");
  library.database.Execute("UPDATE Items SET Artist = NULL WHERE ItemNum % 11 = 5;");
  library.database.CommitTrans();
}

// The keys of the statement's rows, read the way the list's result reads
// them (reading every row of every result would make the test slow).
std::vector<int64_t> StatementRows(DbConnection& reader, std::string statement) {
  statement.pop_back();  // the ";"
  std::vector<int64_t> rows;
  EXPECT_TRUE(reader.Query("SELECT ItemNum FROM (" + statement + ");", [&](const DbRow& row) {
    rows.push_back(row.Integer(0));
    return true;
  }));
  return rows;
}

// `count` random searches, each through the index and through the statement.
void ExpectSameRows(LibraryFolder& library, const SearchIndex& index, std::mt19937& random,
                    int count) {
  DbConnection reader;
  ASSERT_TRUE(reader.Open(library.database.LibraryPath(), DbAccess::ReadOnly));
  size_t matched = 0;
  for (int q = 0; q < count; ++q) {
    const std::string text = Pieces(random, 4);
    const std::string choice = kSearchFieldChoices[random() % 7];
    const MatchMode mode = random() % 2 ? MatchMode::All : MatchMode::AtleastOne;
    SortOrder order;
    order.Key = static_cast<LibrarySortKey>(random() % 6);
    order.Descending = random() % 2;
    const std::vector<std::string> words = SplitSearchWords(SanitizeSearchText(text));
    const SearchField field = SearchFieldForChoice(choice);
    const std::string statement = BuildSearchStatement(words, field, mode, order);
    const std::optional<std::vector<int64_t>> found = index.Search(words, field, mode, order);
    ASSERT_TRUE(found) << statement;
    ASSERT_EQ(*found, StatementRows(reader, statement)) << statement;
    if (q % 4 == 0) {
      // And as the list opens the statement itself.
      const std::shared_ptr<DbResult> listed =
          OpenListResult(library.database.LibraryPath(), statement);
      ASSERT_TRUE(listed->IsKeyed()) << statement;
      ASSERT_EQ(*found, listed->Keys()) << statement;
    }
    matched += found->size();
  }
  // The searches found rows, not only empty lists.
  EXPECT_GT(matched, index.RowCount() * static_cast<size_t>(count) / 20);
}

std::shared_ptr<const SearchIndex> Rebuilt(IndexedSearch& search) {
  search.Refresh();
  search.WaitForBuild();
  return search.Current();
}

TEST(SearchIndex, AnswersExactlyAsTheStatementThroughChanges) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  std::mt19937 random(2113);
  AddSongs(library, random, 1500, 0);
  IndexedSearch search(library.database);
  std::shared_ptr<const SearchIndex> index = Rebuilt(search);
  ASSERT_TRUE(index);
  ASSERT_EQ(index->RowCount(), 1500u);
  ExpectSameRows(library, *index, random, 1000);

  // Each kind of write leaves the index stale at once, and the index built
  // after it answers as the statement does.
  const std::vector<std::string> changes = {
      "",  // an import, below
      "DELETE FROM Items WHERE  ItemNum = 17;",
      "UPDATE Items Set TITLE = Artist, ARTIST = Title  WHERE SongPath LIKE '%1%';",
      "UPDATE Items SET  TITLE = UPPER(Title), ARTIST = UPPER(Artist), ID = UPPER(ID) WHERE "
      "Title LIKE '%LOVE%';",
      "DELETE FROM Items WHERE ItemNum > 1200;",
      // Numbers far apart: the orders then name rows, not numbers.
      "INSERT INTO Items (ItemNum, Title, Artist, ID, Year1, SongPath, Comments1) VALUES "
      "(90000000, 'Love Me', 'Abba', 'SC1', '1977', '/s/far.mp3', '');"};
  for (const std::string& change : changes) {
    if (change.empty())
      AddSongs(library, random, 300, 5000);
    else
      ASSERT_TRUE(library.database.Execute(change));
    EXPECT_FALSE(search.Current()) << change;
    index = Rebuilt(search);
    ASSERT_TRUE(index) << change;
    ExpectSameRows(library, *index, random, 150);
  }

  // A write on a transaction that has not committed yet already stops the
  // index; so does a clear, which SQLite carries out without visiting rows.
  library.database.BeginTrans();
  library.database.Execute("DELETE FROM Items WHERE ItemNum = 20;");
  EXPECT_FALSE(search.Current());
  search.WaitForBuild();
  library.database.CommitTrans();
  EXPECT_FALSE(search.Current());
  search.WaitForBuild();

  ASSERT_TRUE(library.database.CompactLibrary());
  EXPECT_FALSE(search.Current());
  index = Rebuilt(search);
  ASSERT_TRUE(index);
  ExpectSameRows(library, *index, random, 150);

  // Another connection (another program) writing the file.
  DbConnection other;
  ASSERT_TRUE(other.Open(library.database.LibraryPath()));
  ASSERT_TRUE(other.Execute("DELETE FROM Items WHERE ItemNum = 30;"));
  EXPECT_FALSE(search.Current());
  search.WaitForBuild();

  ASSERT_TRUE(library.database.Execute("DELETE FROM Items"));
  EXPECT_FALSE(search.Current());
  index = Rebuilt(search);
  ASSERT_TRUE(index);
  EXPECT_EQ(index->RowCount(), 0u);
}

TEST(SearchIndex, WordListsTheStatementCannotRunAreLeftToIt) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  library.Add({"Don\xC2\xB4t Stop", "Fleetwood Mac", "SC1", "/s/1.mp3", "1977", ""});
  IndexedSearch search(library.database);
  std::shared_ptr<const SearchIndex> index = Rebuilt(search);
  ASSERT_TRUE(index);
  const SortOrder order;
  EXPECT_FALSE(index->Search({"DON'T"}, SearchField::Title, MatchMode::All, order));
  EXPECT_FALSE(index->Search({"", "STOP"}, SearchField::Title, MatchMode::All, order));
  EXPECT_EQ(index->Search({"DON\xC2\xB4T", "", "STOP"}, SearchField::Title, MatchMode::All, order),
            std::vector<int64_t>{1});
}

TEST(SearchIndex, ASpentBudgetAnswersAPartInOrder) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  std::mt19937 random(77);
  AddSongs(library, random, 9000, 0);
  IndexedSearch search(library.database);
  std::shared_ptr<const SearchIndex> index = Rebuilt(search);
  ASSERT_TRUE(index);
  const SortOrder order;
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{"_%E%"}, {"E", "A"}}) {
    const std::vector<int64_t> full = *index->Search(words, SearchField::AllFields, MatchMode::All, order);
    SearchBudget spent{std::chrono::steady_clock::now()};
    const std::vector<int64_t> part = *index->Search(words, SearchField::AllFields, MatchMode::All, order, &spent);
    EXPECT_TRUE(spent.CutShort);
    EXPECT_LT(part.size(), full.size());
    // What it has is the full answer's rows, in the full answer's order.
    EXPECT_TRUE(std::includes(full.begin(), full.end(), part.begin(), part.end(),
                              [&](int64_t a, int64_t b) {
                                return std::find(full.begin(), full.end(), a) < std::find(full.begin(), full.end(), b);
                              }));
    SearchBudget ample{std::chrono::steady_clock::now() + std::chrono::minutes(1)};
    EXPECT_EQ(*index->Search(words, SearchField::AllFields, MatchMode::All, order, &ample), full);
    EXPECT_FALSE(ample.CutShort);
  }
}

TEST(SubstringScan, FindsAcrossTheSixteenByteSteps) {
  std::string block(100, 'a');
  block[37] = 'x';
  block[38] = 'y';
  block[70] = 'x';
  block[71] = 'y';
  block[99] = 'z';
  EXPECT_EQ(FindBytes(block, "xy"), 37u);
  EXPECT_EQ(FindBytes(block, "xy", 38), 70u);
  EXPECT_EQ(FindBytes(block, "az"), 98u);
  EXPECT_EQ(FindBytes(block, "z"), 99u);
  EXPECT_EQ(FindBytes(block, "xyz"), std::string_view::npos);
  EXPECT_EQ(FindBytes(block, "aaax", 0), 34u);

  // Several needles in one pass, each probed at the places given: the
  // leftmost start of any, the first listed among those starting there, up
  // to the block's last byte.
  const ProbedNeedle xyz{"xyz", 2, 1};
  const ProbedNeedle ay{"ay", 1, 1};
  const ProbedNeedle xy{"xy", 0, 1};
  const ProbedNeedle az{"az", 0, 1};
  const std::vector<ProbedNeedle> needles = {xyz, xy, az};
  size_t which = 9;
  EXPECT_EQ(FindAnyBytes(block, needles, 0, which), 37u);
  EXPECT_EQ(which, 1u);
  EXPECT_EQ(FindAnyBytes(block, needles, 71, which), 98u);
  EXPECT_EQ(which, 2u);
  EXPECT_EQ(FindAnyBytes(block, std::vector<ProbedNeedle>{xyz, ay}, 0, which), std::string_view::npos);
  EXPECT_EQ(FindAnyBytes(block, std::vector<ProbedNeedle>{ProbedNeedle{"z", 0, 0}}, 0, which), 99u);
}

}  // namespace
}  // namespace lyricade
