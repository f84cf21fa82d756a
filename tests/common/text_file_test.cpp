#include "common/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/test_folder.h"

namespace lyricade {
namespace {

std::string RawContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(TextFile, WritesCrlfAndReadsBackWithoutLineEnds) {
  testing::TestFolder folder;
  const std::string path = folder.File("list.cfg");
  ASSERT_TRUE(WriteTextLinesAtomically(path, {"first", "", "-", "last"}));
  EXPECT_EQ(RawContent(path), "first\r\n\r\n-\r\nlast\r\n");
  auto lines = ReadTextLines(path);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (std::vector<std::string>{"first", "", "-", "last"}));
}

TEST(TextFile, ReadsBareLineFeedsStrayCarriageReturnsAndAnUnfinishedLastLine) {
  testing::TestFolder folder;
  const std::string path = folder.File("odd.cfg");
  std::ofstream(path, std::ios::binary) << "a\nb\r\r\nc";
  auto lines = ReadTextLines(path);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TextFile, MissingFileIsNotAnEmptyList) {
  testing::TestFolder folder;
  EXPECT_FALSE(ReadTextLines(folder.File("absent.cfg")).has_value());
}

TEST(TextFile, ReplaceLeavesNoTemporaryAndFailureKeepsTheOldFile) {
  testing::TestFolder folder;
  const std::string path = folder.File("prefs.cfg");
  ASSERT_TRUE(WriteTextLinesAtomically(path, {"old"}));
  ASSERT_TRUE(WriteTextLinesAtomically(path, {"new"}));
  EXPECT_EQ(RawContent(path), "new\r\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  // A folder in the way of the target: the rename fails, nothing is left.
  const std::string blocked = folder.File("blocked");
  std::filesystem::create_directories(blocked + "/inside");
  EXPECT_FALSE(WriteTextLinesAtomically(blocked, {"x"}));
  EXPECT_TRUE(std::filesystem::is_directory(blocked + "/inside"));
  EXPECT_FALSE(std::filesystem::exists(blocked + ".tmp"));

  EXPECT_FALSE(WriteTextLinesAtomically(folder.File("no/such/folder.cfg"), {"x"}));
}

// Files follow the user's umask, private ones stay private, and neither a
// crash's world-readable temporary nor a link in its place changes that.
TEST(TextFile, ModesFollowTheUmaskAndNoLeftoverOrLinkIsWrittenThrough) {
  testing::TestFolder folder;
  const std::string secret = folder.File("CChash.cfg");
  const std::string outside = folder.File("outside.txt");
  ASSERT_TRUE(WriteFileAtomically(outside, "keep"));
  std::filesystem::create_symlink(outside, secret + ".tmp");
  const mode_t saved = ::umask(027);
  ASSERT_TRUE(WriteFileAtomically(secret, "card", 0600));
  const std::string plain = folder.File("prefs.cfg");
  ASSERT_TRUE(WriteFileAtomically(plain + ".tmp", "an old crash's"));
  ::chmod((plain + ".tmp").c_str(), 0666);
  ASSERT_TRUE(WriteFileAtomically(plain, "prefs"));
  ::umask(saved);
  struct stat info {};
  ASSERT_EQ(::stat(secret.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(plain.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(RawContent(outside), "keep");
  EXPECT_EQ(RawContent(secret), "card");
}

}  // namespace
}  // namespace lyricade
