// Versions of one song: which rows are one song, which maker the host
// prefers, and what the index makes of a library full of duplicates.

#include <gtest/gtest.h>

#include "library/search_index.h"
#include "library/song_versions.h"
#include "library_fixture.h"

namespace lyricade {
namespace {

using testing::LibraryFolder;

TEST(SongVersions, KeysMakersAndTheHostsOrder) {
  // Case (beyond ASCII too), blanks at the ends and control characters do
  // not make another song; another artist does.
  EXPECT_EQ(SongKey("  Waterloo\t", "the QUARTET"), SongKey("waterloo", "The Quartet"));
  EXPECT_EQ(SongKey("Beyonc\xC3\xA9", "X"), SongKey("BEYONC\xC3\x89", "x"));
  EXPECT_EQ(SongKey("Two\nWords", "A"), SongKey("two words", "a"));
  EXPECT_NE(SongKey("Waterloo", "The Quartet"), SongKey("Waterloo", "Quartet"));
  EXPECT_NE(SongKey("AB", "C"), SongKey("A", "BC"));
  EXPECT_EQ(SongKey(" ", ""), "");

  EXPECT_EQ(MakerOf("SC8125-05"), "SC");
  EXPECT_EQ(MakerOf(" sf 012"), "SF");
  EXPECT_EQ(MakerOf("12-A"), "");
  EXPECT_EQ(MakerOf("ABCDEFGHIJK1").size(), kMaxMakerLetters);

  const MakerPreference preference = MakerPreference::Parse("sc, SF;zm  sc 9x,,");
  EXPECT_EQ(preference.Text(), "SC, SF, ZM");
  EXPECT_EQ(preference.Rank("SF"), 1u);
  EXPECT_EQ(preference.Rank("QQ"), 3u);
  EXPECT_EQ(preference.Rank(""), 3u);
  std::string many;
  for (int i = 0; i < 100; ++i) many += "M" + std::string(1, static_cast<char>('A' + i % 26)) +
                                        std::string(1, static_cast<char>('A' + i / 26)) + " ";
  EXPECT_EQ(MakerPreference::Parse(many).Makers().size(), MakerPreference::kMaxMakers);

  // Best maker first, unlisted makers after in the order given.
  EXPECT_EQ(PreferenceOrder({"ZM1", "SF2", "SC3", "XX4", "sf5", ""}, MakerPreference::Parse("SC SF")),
            (std::vector<size_t>{2, 1, 4, 0, 3, 5}));
  EXPECT_EQ(PreferenceOrder({"ZM1", "SF2"}, MakerPreference{}), (std::vector<size_t>{0, 1}));

  EXPECT_EQ(GroupByKey({"b", "a", "", "b", "", "a", "c"}),
            (std::vector<std::vector<size_t>>{{0, 3}, {1, 5}, {2}, {4}, {6}}));
}

TEST(SongVersions, TheIndexGroupsTheLibrarysVersions) {
  LibraryFolder library;
  ASSERT_TRUE(library.Open());
  ASSERT_TRUE(library.database.Execute("BEGIN;"));
  library.Add({"Waterloo", "The Quartet", "ZM-1", "/a/1.zip", "", ""});         // 1
  library.Add({"Fernando", "The Quartet", "SF-2", "/a/2.zip", "", ""});         // 2
  library.Add({"WATERLOO ", "the quartet", "SF-3", "/a/3.zip", "", ""});        // 3
  library.Add({"Waterloo", "Someone Else", "SC-4", "/a/4.zip", "", ""});        // 4
  library.Add({"waterloo", "The  Quartet", "SC-5", "/a/5.zip", "", ""});        // 5: two blanks, another song
  library.Add({"", "", "SC-6", "/a/6.zip", "", ""});                            // 6
  library.Add({"", "", "SC-7", "/a/7.zip", "", ""});                            // 7
  library.Add({"Waterloo", "The Quartet", "SC-8", "/a/8.zip", "", ""});         // 8
  ASSERT_TRUE(library.database.Execute("COMMIT;"));
  std::shared_ptr<const SearchIndex> index = SearchIndex::Build(library.database.LibraryPath());
  ASSERT_NE(index, nullptr);

  const MakerPreference none;
  const MakerPreference scFirst = MakerPreference::Parse("SC, SF");
  EXPECT_EQ(index->Songs({3, 2, 1, 4, 6, 7, 8, 99}, scFirst, 10, 10),
            (std::vector<std::vector<int64_t>>{{8, 3, 1}, {2}, {4}, {6}, {7}}));
  EXPECT_EQ(index->Songs({1, 2, 4}, none, 2, 2), (std::vector<std::vector<int64_t>>{{1, 3}, {2}}));
  EXPECT_EQ(index->PreferredVersion(1, scFirst), 8);
  EXPECT_EQ(index->PreferredVersion(8, MakerPreference::Parse("SF")), 3);
  EXPECT_EQ(index->PreferredVersion(3, none), 1);
  EXPECT_EQ(index->PreferredVersion(99, none), 0);
  EXPECT_EQ(index->VersionCount(3), 3u);
  EXPECT_EQ(index->VersionCount(5), 1u);
  EXPECT_EQ(index->VersionCount(6), 1u);
  EXPECT_EQ(index->VersionCount(99), 0u);
}

}  // namespace
}  // namespace lyricade
