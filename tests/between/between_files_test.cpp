// The pads' and the break music's files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "between/ambient_list.h"
#include "between/effect_slots.h"
#include "common/test_folder.h"
#include "common/text_file.h"

namespace lyricade {
namespace {

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST(EffectSlotsFile, RoundTripKeepsLongPathsAndFreeSlots) {
  testing::TestFolder folder;
  EffectSlots pads;
  const std::string longPath = "/" + std::string(EffectSlots::kMaxPath - 1, 'a');
  pads.Assign(0, longPath);
  pads.Assign(2, "/music/Drum Roll.wav");
  pads.Assign(19, "/music/last.mp3");
  pads.Assign(20, "/out/of/range.mp3");  // ignored
  ASSERT_TRUE(pads.Save(folder.File("sfxlist.cfg")));

  const auto lines = ReadTextLines(folder.File("sfxlist.cfg"));
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->size(), 20u);

  EffectSlots read;
  ASSERT_TRUE(read.Load(folder.File("sfxlist.cfg")));
  EXPECT_EQ(read.Path(0), longPath);
  EXPECT_EQ(read.Path(2), "/music/Drum Roll.wav");
  EXPECT_EQ(read.Path(19), "/music/last.mp3");
  EXPECT_FALSE(read.Assigned(1));
  EXPECT_EQ(read.ButtonText(2), "*3");
  EXPECT_EQ(read.ButtonText(1), "2");
  EXPECT_EQ(read.StatusText(2), "Drum Roll");
  EXPECT_EQ(read.StatusText(1), "");
}

TEST(EffectSlotsFile, ShortOrMissingFilesLeaveSlotsFree) {
  testing::TestFolder folder;
  ASSERT_TRUE(WriteFileAtomically(folder.File("short.cfg"), "/a.mp3\r\n\r\n/c.mp3"));
  EffectSlots pads;
  pads.Assign(10, "/stale.mp3");
  ASSERT_TRUE(pads.Load(folder.File("short.cfg")));
  EXPECT_EQ(pads.Path(0), "/a.mp3");
  EXPECT_FALSE(pads.Assigned(1));
  EXPECT_EQ(pads.Path(2), "/c.mp3");
  EXPECT_FALSE(pads.Assigned(10));  // a read starts from free slots

  pads.Assign(4, "/x.mp3");
  EXPECT_FALSE(pads.Load(folder.File("none.cfg")));
  EXPECT_FALSE(pads.Assigned(0));
  EXPECT_FALSE(pads.Assigned(4));
}

// A track on a drive plugged in after the start stays in the list and goes
// back to the file as it was.
TEST(AmbientListFile, MissingFilesStayAndAreWrittenBackUnchanged) {
  testing::TestFolder folder;
  Touch(folder.File("Intro Song.mp3"));
  Touch(folder.File("outro.wav"));
  const std::vector<std::string> written = {folder.File("Intro Song.mp3"), folder.File("late/drive.mp3"),
                                            folder.File("outro.wav")};
  ASSERT_TRUE(WriteTextLinesAtomically(folder.File("ambients.cfg"),
                                       {written[0], written[1], "", written[2]}));

  AmbientList list;
  ASSERT_TRUE(list.Load(folder.File("ambients.cfg")));
  ASSERT_EQ(list.Size(), 3);
  EXPECT_EQ(list.At(0).Name, "Intro Song");
  EXPECT_EQ(list.At(1).Name, "drive");
  EXPECT_FALSE(list.Present(1));
  EXPECT_TRUE(list.Present(2));

  ASSERT_TRUE(list.Save(folder.File("ambients.cfg")));
  EXPECT_EQ(ReadTextLines(folder.File("ambients.cfg")), std::optional(written));
  std::filesystem::create_directories(folder.File("late"));
  Touch(folder.File("late/drive.mp3"));
  EXPECT_TRUE(list.Present(1));
}

TEST(AmbientListFile, AddFolderTakesMusicFilesWithTheirExtensions) {
  testing::TestFolder folder;
  std::filesystem::create_directory(folder.File("sub"));
  Touch(folder.File("a.MP3"));
  Touch(folder.File("notes.txt"));
  Touch(folder.File("sub/b.wav"));
  AmbientList list;
  EXPECT_EQ(list.AddFolder(folder.Path()), 2);
  ASSERT_EQ(list.Size(), 2);
  EXPECT_EQ(list.At(0).Name, "a.MP3");
  EXPECT_EQ(list.At(1).Name, "b.wav");
  EXPECT_EQ(list.At(1).Path, folder.File("sub/b.wav"));
}

}  // namespace
}  // namespace lyricade
