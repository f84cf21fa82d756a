#include "playback/zip_archive_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/test_folder.h"
#include "common/zip_member_name.h"
#include "playback/zip_test_support.h"

namespace lyricade {
namespace {

using testing::ReadWhole;
using testing::TestFolder;

TEST(ZipMemberName, RefusesNamesThatLeaveTheFolder) {
  for (const char* bad : {"", "/etc/passwd", "\\share\\x.mp3", "C:\\x.mp3", "c:x.mp3", "..",
                          "../x.mp3", "a/../../x.mp3", "a\\..\\x.mp3", "a/..", "folder/", "folder\\",
                          ".", "./", "a/./../b"}) {
    EXPECT_FALSE(SafeMemberPath(bad)) << bad;
    EXPECT_FALSE(FlatMemberName(bad)) << bad;
  }
  EXPECT_FALSE(SafeMemberPath(std::string("a\0b.mp3", 7)));
  EXPECT_EQ(SafeMemberPath("Disc 1\\Song.mp3"), "Disc 1/Song.mp3");
  EXPECT_EQ(SafeMemberPath("./a//b/./Song...mp3"), "a/b/Song...mp3");
  EXPECT_EQ(FlatMemberName("Karaoke/Artist\\Song.cdg"), "Song.cdg");
  EXPECT_EQ(FlatMemberName("..Song..mp3"), "..Song..mp3") << "dots inside a name are no step up";
  EXPECT_TRUE(IsFolderMemberName("a/"));
  EXPECT_FALSE(IsFolderMemberName("a"));
}

class ZipArchiveReaderTest : public ::testing::Test {
protected:
  std::string Zip(const std::vector<testing::ZipMember>& members) {
    const std::string path = folder_.File("songs.zip");
    EXPECT_TRUE(testing::WriteZip(path, members));
    return path;
  }
  TestFolder folder_;
};

TEST_F(ZipArchiveReaderTest, WalksEntriesWithAndWithoutAFilter) {
  ZipArchiveReader reader;
  ASSERT_TRUE(reader.Open(Zip({{"Karaoke/", ""},
                               {"Karaoke/Song.MP3", "audio", testing::DosDateTime(2001, 2, 3, 4, 5, 6), false, "lead vocal"},
                               {"Song.cdg", "graphics"},
                               {"notes.txt", "text"}})));
  EXPECT_EQ(reader.ArchiveFolder(), folder_.Path());
  EXPECT_EQ(reader.EntryCount(), 4u);

  std::vector<std::string> names;
  for (ZipStep step = reader.FirstEntry(); step == ZipStep::Entry; step = reader.NextEntry())
    names.push_back(reader.CurrentEntryInfo()->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Karaoke/", "Karaoke/Song.MP3", "Song.cdg", "notes.txt"}));

  ASSERT_EQ(reader.FirstEntry("mp3"), ZipStep::Entry);
  const std::optional<ZipEntryInfo> info = reader.CurrentEntryInfo();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Name, "Karaoke/Song.MP3");
  EXPECT_EQ(info->Comment, "lead vocal");
  EXPECT_EQ(info->UncompressedSize, 5u);
  EXPECT_EQ(info->DosDateTime, testing::DosDateTime(2001, 2, 3, 4, 5, 6));
  EXPECT_FALSE(info->IsFolder);
  EXPECT_EQ(reader.NextEntry("mp3"), ZipStep::End);
  ASSERT_EQ(reader.FirstEntry("CDG"), ZipStep::Entry);
  EXPECT_EQ(reader.CurrentEntryInfo()->Name, "Song.cdg");
  EXPECT_EQ(reader.FirstEntry("wma"), ZipStep::End);
}

TEST_F(ZipArchiveReaderTest, ExtractsWithFoldersAndSetsTimes) {
  const std::string big = testing::FakeMp3(30);  // many 2048-byte pieces
  ZipArchiveReader reader;
  ASSERT_TRUE(reader.Open(Zip({{"Disc/", ""},
                               {"Disc/Song.mp3", big, testing::DosDateTime(2010, 12, 31, 23, 59, 58)},
                               {"Song.cdg", "graphics"}})));
  ASSERT_TRUE(reader.SetDestination(folder_.File("kept/deeper")));
  ASSERT_TRUE(reader.ExtractAll(false));
  EXPECT_EQ(ReadWhole(folder_.File("kept/deeper/Disc/Song.mp3")), big);
  EXPECT_EQ(ReadWhole(folder_.File("kept/deeper/Song.cdg")), "graphics");
  struct stat info {};
  ASSERT_EQ(::stat(folder_.File("kept/deeper/Disc/Song.mp3").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, testing::LocalTime(2010, 12, 31, 23, 59, 58));


  // A destination that is a file is refused.
  ASSERT_TRUE(testing::WriteWhole(folder_.File("afile"), "x"));
  EXPECT_FALSE(reader.SetDestination(folder_.File("afile")));
}

TEST_F(ZipArchiveReaderTest, DamagedEmptyAndHostileArchives) {
  ZipArchiveReader reader;
  EXPECT_FALSE(reader.Open(""));
  EXPECT_FALSE(reader.Open(folder_.File("missing.zip")));

  // No entries: no first entry, nothing to extract.
  ASSERT_TRUE(reader.Open(Zip({})));
  EXPECT_EQ(reader.FirstEntry(), ZipStep::End);
  ASSERT_TRUE(reader.SetDestination(folder_.File("out")));
  EXPECT_FALSE(reader.ExtractAll(true));

  // Directory's end record cut off: minizip cannot open the archive.
  const std::string cut = Zip({{"Song.mp3", "audio"}});
  ASSERT_TRUE(testing::CutTail(cut, 22));
  EXPECT_FALSE(reader.Open(cut));

  // A bad checksum fails the entry and leaves no file behind.
  const std::string data = testing::FakeMp3(5);
  const std::string bad = Zip({{"Song.mp3", data, {}, true}});
  ASSERT_TRUE(testing::Corrupt(bad, data));
  ASSERT_TRUE(reader.Open(bad));
  ASSERT_EQ(reader.FirstEntry(), ZipStep::Entry);
  std::string written;
  EXPECT_FALSE(reader.ExtractCurrentEntry(folder_.File("out"), true, &written));
  EXPECT_EQ(written, folder_.File("out/Song.mp3"));
  EXPECT_FALSE(testing::Exists(written));

  // A name that leaves the folder is never written, flat or not.
  ASSERT_TRUE(reader.Open(Zip({{"../evil.mp3", "evil"}})));
  ASSERT_EQ(reader.FirstEntry(), ZipStep::Entry);
  EXPECT_FALSE(reader.ExtractCurrentEntry(folder_.File("out"), true));
  EXPECT_FALSE(reader.ExtractCurrentEntry(folder_.File("out"), false));
  EXPECT_FALSE(testing::Exists(folder_.File("evil.mp3")));
  EXPECT_FALSE(testing::Exists(folder_.File("out/evil.mp3")));

  // A link planted where a member goes is replaced, not written through.
  ASSERT_TRUE(testing::WriteWhole(folder_.File("target"), "untouched"));
  ASSERT_EQ(::symlink(folder_.File("target").c_str(), folder_.File("out/Song.cdg").c_str()), 0);
  ASSERT_TRUE(reader.Open(Zip({{"Song.cdg", "graphics"}})));
  ASSERT_TRUE(reader.SetDestination(folder_.File("out")));
  ASSERT_TRUE(reader.ExtractAll(true));
  EXPECT_EQ(ReadWhole(folder_.File("target")), "untouched");
  EXPECT_EQ(ReadWhole(folder_.File("out/Song.cdg")), "graphics");
}

}  // namespace
}  // namespace lyricade
