#include "playback/scratch_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/test_folder.h"
#include "playback/zip_test_support.h"

namespace lyricade {
namespace {

using testing::Exists;
using testing::TestFolder;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(ScratchFolder, PrivateRootReusedFoldersAndFreeNames) {
  TestFolder folder;
  const std::string root = folder.File("cache/Zipped/");
  EXPECT_EQ(MakeScratchFolder(root, 700), root + "LYR02BC.TMP/");
  EXPECT_EQ(ModeOf(root), 0700u);
  EXPECT_EQ(ModeOf(root + "LYR02BC.TMP"), 0700u);

  // The same number again: the folder is used as it is.
  ASSERT_TRUE(testing::WriteWhole(root + "LYR02BC.TMP/left.mp3", "x"));
  EXPECT_EQ(MakeScratchFolder(root, 700), root + "LYR02BC.TMP/");
  EXPECT_TRUE(Exists(root + "LYR02BC.TMP/left.mp3"));

  // Number 0, or a file in the way: the next free name.
  EXPECT_EQ(MakeScratchFolder(root, 0), root + "LYR0001.TMP/");
  EXPECT_EQ(MakeScratchFolder(root, 0), root + "LYR0002.TMP/");
  ASSERT_TRUE(testing::WriteWhole(root + "LYR0010.TMP", "a file"));
  EXPECT_EQ(MakeScratchFolder(root, 16), root + "LYR0003.TMP/");

  // An existing root opened up to others is made private again.
  ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
  EXPECT_EQ(MakeScratchFolder(root, 1), root + "LYR0001.TMP/");
  EXPECT_EQ(ModeOf(root), 0700u);

  // A link in the root's place is refused: scratch files would land wherever
  // it points.
  const std::string elsewhere = folder.File("elsewhere");
  std::filesystem::create_directories(elsewhere);
  ASSERT_EQ(::symlink(elsewhere.c_str(), folder.File("linked").c_str()), 0);
  EXPECT_EQ(MakeScratchFolder(folder.File("linked/"), 700), "");
  EXPECT_FALSE(Exists(elsewhere + "/LYR02BC.TMP"));
}

TEST(ScratchFolder, RemovalNeverFollowsLinks) {
  TestFolder folder;
  const std::string outside = folder.File("outside/");
  std::filesystem::create_directories(outside + "inner");
  ASSERT_TRUE(testing::WriteWhole(outside + "keep.mp3", "keep"));
  ASSERT_TRUE(testing::WriteWhole(outside + "inner/keep.cdg", "keep"));

  const std::string root = folder.File("Zipped/");
  const std::string scratch = MakeScratchFolder(root, 700);
  ASSERT_FALSE(scratch.empty());
  std::filesystem::create_directories(scratch + "Disc 1/deeper");
  ASSERT_TRUE(testing::WriteWhole(scratch + "Disc 1/deeper/Song.mp3", "x"));
  ASSERT_TRUE(testing::WriteWhole(scratch + "Song.cdg", "x"));
  ASSERT_EQ(::symlink(outside.c_str(), (scratch + "folder-link").c_str()), 0);
  ASSERT_EQ(::symlink((outside + "keep.mp3").c_str(), (scratch + "Disc 1/file-link").c_str()), 0);
  ASSERT_EQ(::chmod((scratch + "Disc 1/deeper").c_str(), 0500), 0);  // read-only folder inside

  EXPECT_TRUE(RemoveScratchTree(root));
  EXPECT_FALSE(Exists(root));
  EXPECT_EQ(testing::ReadWhole(outside + "keep.mp3"), "keep");
  EXPECT_EQ(testing::ReadWhole(outside + "inner/keep.cdg"), "keep");

  // Nothing there is nothing to do; a link given as the tree goes itself.
  EXPECT_TRUE(RemoveScratchTree(root));
  ASSERT_EQ(::symlink(outside.c_str(), folder.File("Stream").c_str()), 0);
  EXPECT_TRUE(RemoveScratchTree(folder.File("Stream/")));
  EXPECT_FALSE(Exists(folder.File("Stream")));
  EXPECT_TRUE(Exists(outside + "inner/keep.cdg"));
}

}  // namespace
}  // namespace lyricade
