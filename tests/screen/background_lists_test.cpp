// The background video list and the custom picture lists as the data folder
// keeps them: missing files kept for a late drive, the first run's scan of the program's
// "Backgrounds" folder, the 50-picture limit and display names.
#include "screen/background_lists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/test_folder.h"

namespace lyricade {
namespace {

using testing::TestFolder;

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(BackgroundVideoList, LinesNamingMissingFilesStayAndAreWrittenBack) {
  TestFolder folder;
  const std::string kept = folder.File("Kept Loop.wmv"), still = folder.File("Party.Night.jpg");
  const std::string late = folder.File("drive/Late.wmv");
  Touch(kept);
  Touch(still);
  std::ofstream(folder.File("backgrounds.cfg"), std::ios::binary)
      << kept << "\r\n\r\n" << late << "\r\n" << still;
  BackgroundVideoList list;
  list.Load(folder.File("backgrounds.cfg"), folder.File("program/"));
  ASSERT_EQ(list.Size(), 3u);
  EXPECT_EQ(list.Entries()[0].Name, "Kept Loop");
  EXPECT_EQ(list.Entries()[1].Name, "Late");
  EXPECT_EQ(list.Entries()[2].Name, "Party.Night");
  EXPECT_EQ(list.CurrentIndex(), -1);
  EXPECT_EQ(list.CurrentPath(), "");

  ASSERT_TRUE(list.Save(folder.File("backgrounds.cfg")));
  EXPECT_EQ(Contents(folder.File("backgrounds.cfg")), kept + "\r\n" + late + "\r\n" + still + "\r\n");
  list.Remove(1);

  // The current entry moves on and wraps; removing leaves the index alone.
  list.Advance();
  list.Advance();
  EXPECT_EQ(list.CurrentPath(), still);
  list.Advance();
  EXPECT_EQ(list.CurrentIndex(), 0);
  EXPECT_TRUE(list.Remove(1));
  EXPECT_FALSE(list.Remove(1));
  list.SetCurrent(5);
  list.Advance();
  EXPECT_EQ(list.CurrentIndex(), 0);
}

TEST(BackgroundVideoList, AFirstRunListsTheProgramsVideosInAnyCaseByName) {
  TestFolder folder;
  const std::string backgrounds = folder.File("program/Backgrounds/");
  std::filesystem::create_directories(backgrounds);
  for (const char* name : {"c.Mp4", "a.mpg", "b.WMV", "d.avi", "e.m4v", "notes.txt", "still.jpg"})
    Touch(backgrounds + name);
  std::filesystem::create_directories(backgrounds + "folder.wmv");
  BackgroundVideoList list;
  list.Load(folder.File("backgrounds.cfg"), folder.File("program/"));
  ASSERT_EQ(list.Size(), 5u);
  const char* names[] = {"a", "b", "c", "d", "e"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(list.Entries()[i].Name, names[i]);
  EXPECT_EQ(list.Entries()[1].Path, backgrounds + "b.WMV");

  // An existing but empty list file means the host emptied the list.
  std::ofstream(folder.File("backgrounds.cfg"));
  list.Load(folder.File("backgrounds.cfg"), folder.File("program/"));
  EXPECT_TRUE(list.Empty());
}

TEST(CustomPictureList, HoldsFiftyPicturesNamedByTheirFiles) {
  TestFolder folder;
  {
    std::ofstream file(folder.File("customlogos.cfg"), std::ios::binary);
    file << "\r\n";
    // A path over the longest a line holds is left out, not cut.
    file << "/logos/" << std::string(1024, 'x') << ".png\r\n";
    for (int i = 0; i < 51; ++i) file << "/logos/Logo " << i << ".png\r\n";
  }
  CustomPictureList logos;
  logos.Load(folder.File("customlogos.cfg"));
  ASSERT_EQ(logos.Size(), 50u);
  EXPECT_TRUE(logos.Full());
  EXPECT_EQ(logos.Names().front(), "Logo 0");
  EXPECT_EQ(logos.Names().back(), "Logo 49");
  EXPECT_FALSE(logos.Add("/logos/Party.Night.jpg"));

  // Removing moves the later ones up; a name is the file's without its
  // extension, dots inside kept.
  EXPECT_TRUE(logos.Remove(0));
  EXPECT_EQ(logos.Path(0), "/logos/Logo 1.png");
  EXPECT_TRUE(logos.Add("/some folder/Party.Night.jpg"));
  EXPECT_EQ(logos.Names().back(), "Party.Night");
  EXPECT_EQ(logos.Path(50), "");
  EXPECT_EQ(logos.Path(-1), "");

  ASSERT_TRUE(logos.Save(folder.File("customlogos.cfg")));
  CustomPictureList again;
  again.Load(folder.File("customlogos.cfg"));
  EXPECT_EQ(again.Names(), logos.Names());
  // No file: an empty list.
  again.Load(folder.File("missing.cfg"));
  EXPECT_EQ(again.Size(), 0u);
}

}  // namespace
}  // namespace lyricade
