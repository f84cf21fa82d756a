#include "cdg/cdg_writer.h"

#include <gtest/gtest.h>

#include "cdg/cdg_font.h"
#include "cdg/cdg_player.h"
#include "cdg_test_support.h"
#include "common/app_settings.h"

namespace lyricade {
namespace {

using testing::FrameColour;

// Decodes a written stream to its end and composes the frame.
class Decoded {
public:
  explicit Decoded(const CdgWriter& writer) {
    player.OpenMemory(writer.Bytes().data(), writer.Bytes().size());
    player.AdvanceTo(int64_t{3600} * 10'000'000);
    player.PresentFrame(0);
  }
  uint32_t ScreenPixel(int x, int y) const { return sink.PixelAt(10 + x, 12 + y); }
  AppSettings settings;
  LastFrameSink sink;
  CdgPlayer player{settings, &sink};
};

CdgWriter WithColours() {
  CdgWriter writer;
  std::array<CdgColour, 16> table{};
  table[1] = {0, 0, 8};
  table[14] = {15, 15, 0};
  writer.LoadColourTable(table);
  writer.MemoryPreset(1);
  return writer;
}

TEST(CdgWriter, TextDrawsTheFontGlyphAtItsTile) {
  CdgWriter writer = WithColours();
  writer.Text(8, 20, "HI!", 1, 14);
  Decoded decoded(writer);
  const uint32_t ink = FrameColour(15, 15, 0), paper = FrameColour(0, 0, 8);
  // "H" as drawn in the font: two posts with a bar on its fourth row.
  const char* h[12] = {"......", "......", "#...#.", "#...#.", "#...#.", "#####.",
                       "#...#.", "#...#.", "#...#.", "......", "......", "......"};
  for (int line = 0; line < 12; ++line)
    for (int p = 0; p < 6; ++p)
      EXPECT_EQ(decoded.ScreenPixel(120 + p, 96 + line), h[line][p] == '#' ? ink : paper)
          << "line " << line << " pixel " << p;
  // Every character lands on its own tile, bit 5 leftmost.
  const std::string text = "HI!";
  for (size_t c = 0; c < text.size(); ++c) {
    const CdgGlyph& glyph = CdgFontGlyph(text[c]);
    for (int line = 0; line < 12; ++line)
      for (int p = 0; p < 6; ++p)
        ASSERT_EQ(decoded.ScreenPixel(120 + 6 * int(c) + p, 96 + line),
                  (glyph[line] & (0x20 >> p)) ? ink : paper);
  }
}

TEST(CdgWriter, FontCoversPrintableAsciiAndStaysInsideItsCell) {
  for (int c = 33; c < 127; ++c) {
    const CdgGlyph& glyph = CdgFontGlyph(char(c));
    int ink = 0;
    for (int line = 0; line < 12; ++line) {
      EXPECT_EQ(glyph[line] & 0x01, 0) << char(c) << ": column 5 is the gap between letters";
      ink += glyph[line] != 0;
    }
    EXPECT_GT(ink, 0) << char(c);
    EXPECT_EQ(glyph[11], 0) << char(c);
  }
  EXPECT_EQ(CdgFontGlyph('\n'), CdgFontGlyph('?'));
  EXPECT_EQ(CdgFontGlyph(char(0xC3)), CdgFontGlyph('?'));
  EXPECT_NE(CdgFontGlyph('O'), CdgFontGlyph('0'));
}

TEST(CdgWriter, TextPastTheLastColumnIsDroppedAndTimingIsByPosition) {
  CdgWriter writer;
  writer.Text(0, 48, "ABCD", 0, 1);
  EXPECT_EQ(writer.PacketCount(), 2u);
  writer.PadToSeconds(1.5);
  EXPECT_EQ(writer.PacketCount(), 450u);
  writer.PadTo(10);  // never backwards
  EXPECT_EQ(writer.PacketCount(), 450u);
}

TEST(CdgWriter, ColourTableRoundTripsEveryComponent) {
  CdgWriter writer;
  std::array<CdgColour, 16> table{};
  for (int i = 0; i < 16; ++i) table[i] = {uint8_t(i), uint8_t((i * 7) & 15), uint8_t(15 - i)};
  writer.LoadColourTable(table);
  Decoded decoded(writer);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(decoded.player.Screen().Colour(i), table[i]) << i;
}

TEST(CdgWriter, ScrollCommandsReachTheDecoder) {
  CdgWriter writer = WithColours();
  writer.Text(0, 0, "#", 1, 14);
  writer.Scroll(true, CdgHorizontalScroll::Left, 2, CdgVerticalScroll::Up, 5);
  Decoded decoded(writer);
  // Rotated left by one tile and up by one: tile (0, 0) is now at (17, 49).
  EXPECT_EQ(decoded.player.Screen().Pixel(294 + 1, 204 + 2), 14);  // "#" top-left ink
  EXPECT_EQ(decoded.player.Screen().HorizontalOffset(), 2);
  EXPECT_EQ(decoded.player.Screen().VerticalOffset(), 5);
}

}  // namespace
}  // namespace lyricade
