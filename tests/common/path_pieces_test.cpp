#include "common/path_pieces.h"

#include <gtest/gtest.h>

namespace lyricade {
namespace {

TEST(PathPieces, ExtensionIsWhatFollowsTheLastDotWhenShorterThanFive) {
  EXPECT_EQ(FileExtension("/songs/Artist - Title.mp3"), "mp3");
  EXPECT_EQ(FileExtension("/songs/a.b.CDG"), "CDG");
  EXPECT_EQ(FileExtension("/songs/clip.mpeg"), "mpeg");
  EXPECT_EQ(FileExtension("/songs/notes.backup"), "");  // five or more: none
  EXPECT_EQ(FileExtension("/songs/README"), "");
  EXPECT_EQ(FileExtension("/songs/trailing."), "");
  // A dot in a folder name is not an extension of the file.
  EXPECT_EQ(FileExtension("/my.songs/track"), "");
  EXPECT_EQ(FileExtension("/a.b/c"), "");
}

TEST(PathPieces, DisplayNameDropsFolderAndOnlyTheLastExtension) {
  EXPECT_EQ(DisplayName("/pics/Party.Night.jpg"), "Party.Night");
  EXPECT_EQ(DisplayName("/pics/plain"), "plain");
  EXPECT_EQ(DisplayName("/my.pics/plain"), "plain");
  EXPECT_EQ(DisplayName("noslash.wmv"), "noslash");
  EXPECT_EQ(DisplayName("/ends/with/"), "");
}

TEST(PathPieces, FolderAndCaseInsensitiveCompare) {
  EXPECT_EQ(FolderOf("/a/b/c.mp3"), "/a/b/");
  EXPECT_EQ(FolderOf("c.mp3"), "");
  EXPECT_TRUE(EqualsIgnoreCase("ZIP", "zip"));
  EXPECT_FALSE(EqualsIgnoreCase("zip", "zi"));
  EXPECT_FALSE(EqualsIgnoreCase("cdg", "cdh"));
}

}  // namespace
}  // namespace lyricade
