#include "cdgframe_run.h"

#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

#include "cdg/cdg_writer.h"
#include "common/test_folder.h"

namespace lyricade {
namespace {

class CdgFrameTool : public ::testing::Test {
protected:
  void SetUp() override {
    // Second 1: a red page with a green "X" at tile (8, 24); second 2: blue.
    CdgWriter writer;
    std::array<CdgColour, 16> table{};
    table[1] = {15, 0, 0};
    table[2] = {0, 15, 0};
    table[3] = {0, 0, 15};
    table[5] = {4, 4, 4};
    writer.LoadColourTable(table);
    writer.BorderPreset(5);
    writer.PadToSeconds(1);
    writer.MemoryPreset(1);
    writer.Text(8, 24, "X", 1, 2);
    writer.PadToSeconds(2);
    writer.MemoryPreset(3);
    writer.PadToSeconds(3);
    song = folder.File("song.cdg");
    ASSERT_TRUE(writer.WriteFile(song));
  }
  int Run(std::vector<std::string> args) {
    out.str({});
    err.str({});
    return RunCdgFrame(args, out, err);
  }
  QColor At(const std::string& png, int x, int y) {
    QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(320, 240));
    return image.pixelColor(x, y);
  }

  testing::TestFolder folder;
  std::string song;
  std::ostringstream out, err;
};

TEST_F(CdgFrameTool, WritesTheFrameAtTheLastMoveAsRgbaPng) {
  const std::string png = folder.File("a.png");
  ASSERT_EQ(Run({song, "--at", "1.5", "-o", png}), 0) << err.str();
  // "X" in the font: ink at its top-left corner (tile line 2, pixel 0).
  const int x = 10 + 24 * 6, y = 12 + 8 * 12;
  EXPECT_EQ(At(png, x, y + 2), QColor(0, 240, 0, 255));
  EXPECT_EQ(At(png, x + 2, y + 2), QColor(240, 0, 0, 255));
  // Backgrounds off: the border stays index 0, opaque black.
  EXPECT_EQ(At(png, 0, 0), QColor(0, 0, 0, 255));

  // Forward to the blue page, then back: the replay draws the red page and
  // the "X" over the blue one.
  ASSERT_EQ(Run({song, "--at", "2.5", "--at", "1.2", "-o", png}), 0);
  EXPECT_EQ(At(png, x, y + 2), QColor(0, 240, 0, 255));
  EXPECT_EQ(At(png, 160, 200), QColor(240, 0, 0, 255));
  ASSERT_EQ(Run({song, "--at", "1.2", "--at", "2.5", "-o", png}), 0);
  EXPECT_EQ(At(png, 160, 200), QColor(0, 0, 240, 255));
}

TEST_F(CdgFrameTool, BackgroundsKeepTheTransparentBorder) {
  const std::string png = folder.File("b.png");
  // One move: the Border Preset moved the border to index 5 during the move,
  // and its entry is made transparent only at the start of the next one.
  ASSERT_EQ(Run({song, "--at", "1.5", "--backgrounds", "-o", png}), 0);
  EXPECT_EQ(At(png, 0, 0), QColor(64, 64, 64, 255));
  ASSERT_EQ(Run({song, "--at", "1.4", "--at", "1.5", "--backgrounds", "-o", png}), 0);
  EXPECT_EQ(At(png, 0, 0).alpha(), 0);
  EXPECT_EQ(At(png, 319, 239).alpha(), 0);
  EXPECT_EQ(At(png, 160, 200), QColor(240, 0, 0, 255));
}

TEST_F(CdgFrameTool, RefusesBadArgumentsAndMissingFiles) {
  EXPECT_EQ(Run({song, "-o", folder.File("c.png")}), 2);  // no time
  EXPECT_EQ(Run({song, "--at", "soon", "-o", folder.File("c.png")}), 2);
  EXPECT_NE(err.str().find("\"soon\" is not a time"), std::string::npos);
  EXPECT_EQ(Run({song, "--at", "nan", "-o", folder.File("c.png")}), 2);
  EXPECT_EQ(Run({song, "--at", "1e300", "-o", folder.File("c.png")}), 2);
  EXPECT_EQ(Run({song, "--at", "1", "--loud", "-o", folder.File("c.png")}), 2);
  EXPECT_EQ(Run({folder.File("missing.cdg"), "--at", "1", "-o", folder.File("c.png")}), 1);
  EXPECT_NE(err.str().find("cannot open"), std::string::npos);
  EXPECT_EQ(Run({song, "--at", "1", "-o", folder.File("no/such/dir/c.png")}), 1);
  EXPECT_EQ(Run({"--help"}), 0);
}

}  // namespace
}  // namespace lyricade
