// The list file written off the caller's thread: the newest text wins,
// whatever order the posts and immediate writes come in.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/test_folder.h"
#include "singers/rotation_file_writer.h"

namespace lyricade {
namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RotationFileWriter, TheNewestTextIsOnDiskAfterPostsAndImmediateWrites) {
  testing::TestFolder folder;
  const std::string path = folder.File("lastlist.lst");
  int failures = 0;
  {
    RotationFileWriter writer([&](bool ok) { failures += ok ? 0 : 1; });
    for (int i = 0; i < 500; ++i) writer.Post(path, {std::to_string(i)});
    writer.Flush();
    EXPECT_EQ(Read(path), "499\r\n");
    // An immediate write after posts: no older post lands after it.
    for (int i = 0; i < 200; ++i) {
      writer.Post(path, {"posted " + std::to_string(i)});
      ASSERT_TRUE(writer.WriteNow(path, {"now " + std::to_string(i)}));
    }
    writer.Flush();
    EXPECT_EQ(Read(path), "now 199\r\n");
    // What is still waiting when the writer goes is written.
    writer.Post(path, {"last"});
  }
  EXPECT_EQ(Read(path), "last\r\n");
  EXPECT_EQ(failures, 0);

  RotationFileWriter unwritable([&](bool ok) { failures += ok ? 0 : 1; });
  unwritable.Post(folder.File("no/such/folder/lastlist.lst"), {"x"});
  unwritable.Flush();
  EXPECT_EQ(failures, 1);
}

}  // namespace
}  // namespace lyricade
