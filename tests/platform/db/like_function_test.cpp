#include "platform/db/like_function.h"

#include <gtest/gtest.h>

#include "platform/db/db_connection.h"
#include "platform/db/db_result.h"
#include "common/test_folder.h"

namespace lyricade {
namespace {

TEST(LikeFunction, WildcardsAndAnchorsFollowSqlLike) {
  EXPECT_TRUE(LikeMatches("%LOVE%", "Endless love"));
  EXPECT_TRUE(LikeMatches("%LOVE%", "LOVE"));
  EXPECT_FALSE(LikeMatches("%LOVE%", "LOV"));
  EXPECT_TRUE(LikeMatches("LOVE%", "love me do"));
  EXPECT_FALSE(LikeMatches("LOVE%", "my love"));
  EXPECT_TRUE(LikeMatches("%ME", "love me"));
  EXPECT_FALSE(LikeMatches("%ME", "me and you"));
  EXPECT_TRUE(LikeMatches("L_VE", "live"));
  EXPECT_FALSE(LikeMatches("L_VE", "lve"));
  EXPECT_TRUE(LikeMatches("%A%B%C%", "xaxxbxc"));
  EXPECT_FALSE(LikeMatches("%A%B%C%", "cba"));
  EXPECT_TRUE(LikeMatches("%%", ""));
  EXPECT_TRUE(LikeMatches("", ""));
  EXPECT_FALSE(LikeMatches("", "x"));
  // Segments are found leftmost but the last one is anchored at the end.
  EXPECT_TRUE(LikeMatches("%AB%AB", "ababab"));
  EXPECT_TRUE(LikeMatches("A%A", "aa"));
  EXPECT_FALSE(LikeMatches("A%A", "a"));
}

TEST(LikeFunction, EveryLetterComparesWithoutCase) {
  // Search words are upper-cased for a to z only: é stays é.
  EXPECT_TRUE(LikeMatches("%BEYONCé%", "BEYONCÉ"));
  EXPECT_TRUE(LikeMatches("%BEYONCé%", "Beyoncé - Halo"));
  EXPECT_TRUE(LikeMatches("%ÅSA%", "åsa"));
  EXPECT_TRUE(LikeMatches("%ΣΟΦΙΑ%", "σοφια"));
  EXPECT_TRUE(LikeMatches("%ДРУГ%", "мой друг"));
  // A non-ASCII character that folds to an ASCII letter (KELVIN SIGN).
  EXPECT_TRUE(LikeMatches("%K%", "\u212A"));
  // "_" is one character, not one byte.
  EXPECT_TRUE(LikeMatches("CAF_", "café"));
  EXPECT_FALSE(LikeMatches("CAF__", "café"));
  EXPECT_FALSE(LikeMatches("%É%", "e"));
}

TEST(LikeFunction, EscapeAndBrokenTexts) {
  EXPECT_TRUE(LikeMatches("100!%", "100%", U'!'));
  EXPECT_FALSE(LikeMatches("100!%", "1000", U'!'));
  EXPECT_TRUE(LikeMatches("A!_B", "a_b", U'!'));
  EXPECT_FALSE(LikeMatches("A!_B", "axb", U'!'));
  // Invalid UTF-8 compares byte for byte and never reads past the end.
  EXPECT_TRUE(LikeMatches("%\xC3", "ab\xC3"));
  EXPECT_TRUE(LikeMatches("%\xFF\xFE%", "x\xFF\xFEy"));
  EXPECT_FALSE(LikeMatches("%\xE2\x82", "\xE2\x82\xAC"));
  EXPECT_TRUE(LikeMatches("%", std::string("a\0b", 3)));
}

TEST(LikeFunction, ReplacesSqlLikeOnEveryConnection) {
  testing::TestFolder folder;
  const std::string path = folder.File("like.db");
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    SqliteHandle db(raw);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE T (K INTEGER PRIMARY KEY, V TEXT);"
                           "INSERT INTO T (V) VALUES ('BEYONCÉ'), ('beyoncé'), ('Beyonce'), (NULL);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
  }
  DbResult result;
  ASSERT_TRUE(result.Open(path, "SELECT * FROM T WHERE V LIKE '%BEYONCé%' ORDER BY K;"));
  EXPECT_EQ(result.RecordCount(), 2);
  ASSERT_TRUE(result.Open(path, "SELECT V LIKE NULL, NULL LIKE 'x' FROM T LIMIT 1;"));
  EXPECT_TRUE(result.IsNull(0));
  EXPECT_TRUE(result.IsNull(1));
  ASSERT_TRUE(result.Open(path, "SELECT count(*) FROM T WHERE V LIKE '%'"));
  EXPECT_EQ(result.Integer(0), 3);  // NULL never matches
  ASSERT_TRUE(result.Open(path, "SELECT 'A_B' LIKE 'a#_b' ESCAPE '#', 'AxB' LIKE 'a#_b' ESCAPE '#';"));
  EXPECT_EQ(result.Integer(0), 1);
  EXPECT_EQ(result.Integer(1), 0);
  EXPECT_FALSE(result.Open(path, "SELECT 'a' LIKE 'a' ESCAPE 'xy';"));
}

}  // namespace
}  // namespace lyricade
