#include <gtest/gtest.h>

#include "playback_test_support.h"
#include "zip_test_support.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

class ZippedSong : public testing::ShowFixture {
protected:
  // A ZIP holding a real MP3 and its graphics (and any extra members).
  std::string MakeZip(const std::string& name, std::vector<testing::ZipMember> extra = {},
                      bool withAudio = true) {
    const std::string mp3 = MakeSong(name, 1);
    std::vector<testing::ZipMember> members = std::move(extra);
    if (withAudio) members.emplace_back(name + ".mp3", testing::ReadWhole(mp3));
    members.emplace_back(name + ".cdg", testing::ReadWhole(folder.File("songs/" + name + ".cdg")));
    const std::string zip = folder.File("songs/" + name + ".zip");
    EXPECT_TRUE(testing::WriteZip(zip, members));
    return zip;
  }
};

TEST_F(ZippedSong, PlaysFromItsScratchFolderAndStopDeletesTheFiles) {
  show->Extractor().SetClock([] { return ScratchClock{10, 20, 500}; });
  const std::string zip = MakeZip("Zipped Song");
  ASSERT_TRUE(show->PlaySong(zip, 1, 0));
  const SongFile& song = show->Opener().Current();
  EXPECT_EQ(song.Kind, SongKind::Zipped);
  const std::string scratch = folder.File("scratch/Zipped/LYR02BC.TMP/");
  EXPECT_EQ(song.Media, scratch + "Zipped Song.mp3");
  EXPECT_EQ(song.Graphics, scratch + "Zipped Song.cdg");
  EXPECT_TRUE(show->Transport().State().HasGraphics);
  EXPECT_TRUE(fs::exists(song.Media));
  EXPECT_TRUE(prompts.Shown().empty());

  show->Stop();
  EXPECT_FALSE(fs::exists(scratch + "Zipped Song.mp3"));
  EXPECT_FALSE(fs::exists(scratch + "Zipped Song.cdg"));
  EXPECT_TRUE(fs::is_directory(scratch));  // the folder stays until exit
  show->RemoveScratchFolders();
  EXPECT_FALSE(fs::exists(folder.File("scratch/Zipped")));
}

TEST_F(ZippedSong, PlaysToItsEndThroughTheFallbackWhenTheDirectoryIsCutOff) {
  const std::string zip = MakeZip("Cut");
  // Without its central directory the ZIP reader refuses the archive; the
  // module's streaming reader still finds both members.
  ASSERT_TRUE(testing::CutTail(zip, 40));
  ASSERT_TRUE(show->PlaySong(zip, 0, 0));
  EXPECT_TRUE(show->Transport().State().HasGraphics);
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }));
  EXPECT_EQ(show->SongsEnded(), 1);
  EXPECT_TRUE(prompts.Shown().empty());
}

TEST_F(ZippedSong, FailuresKeepTheSongQueuedWithTheirMessages) {
  // Graphics only: extracted, then the missing audio is reported.
  const std::string graphicsOnly = MakeZip("NoAudio", {}, false);
  EXPECT_FALSE(show->PlaySong(graphicsOnly, 0, 0));
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "UnZIP");
  EXPECT_EQ(prompts.Shown()[0].Text,
            "Unzip Failed, MP3 Missing!\n\n(If you get this warning consistently,\nwe recommend you "
            "avoid using ZIP\nand decompress them to Standard MP3+G)");
  EXPECT_FALSE(show->Transport().State().Playing);

  // Not a ZIP at all.
  prompts.ClearShown();
  const std::string fake = folder.File("songs/fake.zip");
  std::ofstream(fake) << "just some text";
  EXPECT_FALSE(show->PlaySong(fake, 0, 0));
  ASSERT_FALSE(prompts.Shown().empty());
  EXPECT_EQ(prompts.Shown().back().Caption, "1a. UnZIP");
  EXPECT_EQ(prompts.Shown().back().Text, "ZIP file empty, bad or damaged!");
  EXPECT_FALSE(show->Transport().State().Playing);
  EXPECT_TRUE(show->PlayEnabled());
}

}  // namespace
}  // namespace lyricade
