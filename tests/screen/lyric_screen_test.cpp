#include "screen/lyric_screen.h"

#include <gtest/gtest.h>

#include "screen/preview_surface.h"
#include "screen/scene_buffers.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

// Pixels of a colour (RGB) in the columns [from, to) of a picture.
int CountColour(const QImage& picture, QColor colour, int from, int to) {
  int count = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = from; x < to; ++x)
      if (picture.pixelColor(x, y).rgb() == colour.rgb()) ++count;
  return count;
}

// A line is drawn in the title colour, and its sung syllables turn into the
// "Performing" colour from the left as their times come; the screen's
// texture is redrawn only when the sung part or the page changes.
TEST(LyricScreenTest, SungSyllablesTakeTheSungColourFromTheLeft) {
  testing::GuiApplication();
  AnnounceOptions look;
  const QColor unsung(0xFF, 0xFF, 0xFF), sung(0xFF, 0x00, 0x00);
  TimedLyrics lyrics;
  lyrics.Lines.push_back({1000, {{1000, "WWWW "}, {2000, "MMMM"}}, true});

  const QImage before = DrawLyricPage(lyrics, 500, look);
  const int half = before.width() / 2;
  EXPECT_GT(CountColour(before, unsung, 0, before.width()), 1000);
  EXPECT_EQ(CountColour(before, sung, 0, before.width()), 0);
  const QImage first = DrawLyricPage(lyrics, 1500, look);
  EXPECT_GT(CountColour(first, sung, 0, half), 1000);
  EXPECT_EQ(CountColour(first, sung, half + 40, first.width()), 0);
  EXPECT_GT(CountColour(first, unsung, half + 40, first.width()), 1000);

  SceneBuffers buffers;
  PreviewSurface preview;
  LyricScreen screen(buffers, preview, look);
  screen.OpenLyrics(lyrics);
  EXPECT_TRUE(buffers.Exists(SceneTexture::SongCdg));
  const uint64_t opened = buffers.Generation();
  screen.LyricsAt(900);
  EXPECT_EQ(buffers.Generation(), opened) << "nothing changed: no new picture";
  screen.LyricsAt(1100);
  EXPECT_GT(buffers.Generation(), opened);
  screen.CloseLyrics();
  EXPECT_FALSE(buffers.Exists(SceneTexture::SongCdg));
}

}  // namespace
}  // namespace lyricade
