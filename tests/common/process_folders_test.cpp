// Locks and run folders tell a living process's folders from a dead one's.

#include "common/process_folders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "common/test_folder.h"

namespace fs = std::filesystem;
using namespace lyricade;
using lyricade::testing::TestFolder;

TEST(ProcessFolders, ALockIsHeldOnceAndFreedWithItsHolder) {
  TestFolder folder;
  const std::string path = folder.File("data.lock");
  std::optional<FileLock> first = FileLock::Take(path);
  EXPECT_EQ(first->Current(), FileLock::State::Held);
  EXPECT_EQ(FileLock::Take(path).Current(), FileLock::State::HeldElsewhere);
  first.reset();
  EXPECT_EQ(FileLock::Take(path).Current(), FileLock::State::Held);
  EXPECT_EQ(FileLock::Take(folder.File("missing/x.lock")).Current(), FileLock::State::Unavailable);
}

TEST(ProcessFolders, OnlyFoldersOfDeadProcessesAreRemoved) {
  TestFolder folder;
  const std::string root = folder.File("cache/lyricade/");
  RunFolder live = RunFolder::MakeInside(root);
  ASSERT_TRUE(live.Valid());
  EXPECT_EQ(live.Path().rfind(root + "run-", 0), 0u);
  // A killed process's folder: nobody holds it. One just made may be a
  // starting process's that has not locked it yet.
  fs::create_directories(root + "run-dead01/Zipped");
  fs::last_write_time(root + "run-dead01", fs::file_time_type::clock::now() - std::chrono::minutes(2));
  fs::create_directories(root + "run-new001");
  fs::create_directories(root + "keep-me");
  EXPECT_EQ(RemoveStaleRunFolders(root), 1u);
  EXPECT_TRUE(fs::exists(root + "run-new001"));
  EXPECT_FALSE(fs::exists(root + "run-dead01"));
  EXPECT_TRUE(fs::exists(live.Path()));
  EXPECT_TRUE(fs::exists(root + "keep-me"));
  const std::string path = live.Path();
  live = RunFolder();
  EXPECT_FALSE(fs::exists(path)) << "a run folder goes with its owner";
}
