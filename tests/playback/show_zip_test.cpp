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

// Ripped archives hold "SONG.MP3" beside "SONG.CDG", or mixed cases; the
// song plays with its graphics whichever reader unpacked it.
TEST_F(ZippedSong, GraphicsAreFoundWhateverTheLetterCaseOfTheMembers) {
  const std::string mp3 = MakeSong("Case", 1);
  const std::string audio = testing::ReadWhole(mp3);
  const std::string graphics = testing::ReadWhole(folder.File("songs/Case.cdg"));
  struct Pair {
    const char* audio;
    const char* graphics;
    bool cut;  // without its directory: unpacked by the fallback module
  };
  for (const Pair& pair : {Pair{"SONG.MP3", "SONG.CDG", false}, Pair{"Song.mp3", "Song.CDG", false},
                           Pair{"SONG.MP3", "SONG.CDG", true}, Pair{"Song.mp3", "Song.CDG", true}}) {
    SCOPED_TRACE(std::string(pair.audio) + (pair.cut ? " cut" : ""));
    const std::string zip = folder.File("songs/Upper.zip");
    ASSERT_TRUE(testing::WriteZip(zip, {{pair.audio, audio}, {pair.graphics, graphics}}));
    if (pair.cut) {
      ASSERT_TRUE(testing::CutTail(zip, 40));
    }
    ASSERT_TRUE(show->PlaySong(zip, 0, 0));
    const SongFile& song = show->Opener().Current();
    EXPECT_EQ(fs::path(song.Media).filename(), pair.audio);
    EXPECT_EQ(fs::path(song.Graphics).filename(), pair.graphics);
    EXPECT_TRUE(show->Transport().State().HasGraphics);
    EXPECT_TRUE(show->Cdg().IsOpen());
    show->Stop();
  }
  EXPECT_TRUE(prompts.Shown().empty());

  // Both cases in one archive: the exact name beside the audio wins.
  const std::string both = folder.File("songs/Both.zip");
  ASSERT_TRUE(testing::WriteZip(
      both, {{"Both.mp3", audio}, {"Both.cdg", graphics}, {"Both.CDG", "not these graphics"}}));
  ASSERT_TRUE(show->PlaySong(both, 0, 0));
  EXPECT_EQ(fs::path(show->Opener().Current().Graphics).filename(), "Both.cdg");
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
