#include "cdg/cdg_screen.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cdg/cdg_font.h"
#include "cdg_test_support.h"
#include "common/app_settings.h"

namespace lyricade {
namespace {

using testing::FrameColour;
using testing::FramePixel;
using testing::Packet;

// A screen with a distinct colour table: colour i = (i, 15 - i, i / 2).
class CdgScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::array<uint8_t, 16> low{}, high{};
    for (int k = 0; k < 8; ++k) {
      low[2 * k] = Encode(k)[0];
      low[2 * k + 1] = Encode(k)[1];
      high[2 * k] = Encode(k + 8)[0];
      high[2 * k + 1] = Encode(k + 8)[1];
    }
    screen.ApplyPacket(Packet(9, 30, low));
    screen.ApplyPacket(Packet(9, 31, high));
  }
  static std::array<uint8_t, 2> Encode(int i) {
    const int r = i, g = 15 - i, b = i / 2;
    return {uint8_t((r << 2) | (g >> 2)), uint8_t(((g & 3) << 4) | b)};
  }
  static uint32_t Expected(int index) { return FrameColour(index, 15 - index, index / 2); }

  std::vector<uint8_t> Compose(size_t pitch = kCdgFramePitch) {
    std::vector<uint8_t> frame(pitch * kCdgFrameHeight, 0xEE);
    screen.ComposeFrame(frame.data(), pitch);
    return frame;
  }
  void Preset(int colour, int repeat = 0, int channelLow = 0, int channelHigh = 0) {
    screen.ApplyPacket(Packet(9, 1, {uint8_t(colour | channelLow << 4), uint8_t(repeat | channelHigh << 4)}));
  }
  void Tile(int row, int column, int c0, int c1, std::array<uint8_t, 12> lines, bool xorTile = false) {
    std::array<uint8_t, 16> data{uint8_t(c0), uint8_t(c1), uint8_t(row), uint8_t(column)};
    for (int i = 0; i < 12; ++i) data[4 + i] = lines[i];
    screen.ApplyPacket(Packet(9, xorTile ? 38 : 6, data));
  }
  void Scroll(bool copy, int horizontal, int vertical) {
    screen.ApplyPacket(Packet(9, copy ? 24 : 20, {0, uint8_t(horizontal), uint8_t(vertical)}));
  }
  // Gives every pixel a value from its position, so moves can be followed.
  void Pattern() {
    for (int row = 0; row < 18; ++row)
      for (int column = 0; column < 50; ++column)
        Tile(row, column, (row + column) % 16, (row * 3 + column * 7 + 1) % 16,
             {0x21, 0x12, 0x0C, 0x30, 0x03, 0x2A, 0x15, 0x3F, 0x00, 0x24, 0x09, 0x33});
  }
  std::array<uint8_t, 300 * 216> Pixels() const {
    std::array<uint8_t, 300 * 216> copy{};
    for (int y = 0; y < 216; ++y)
      for (int x = 0; x < 300; ++x) copy[y * 300 + x] = screen.Pixel(x, y);
    return copy;
  }

  AppSettings settings;
  CdgScreen screen{settings};
};

TEST_F(CdgScreenTest, DispatchLooksOnlyAtTheLowSixBitsOfCommandAndInstruction) {
  Preset(3);
  screen.ApplyPacket(Packet(0xC9, 0xC1, {5}));  // 9 and 1 with the top bits set: executed
  EXPECT_EQ(screen.Pixel(150, 100), 5);
  screen.ApplyPacket(Packet(0x08, 1, {7}));  // command 8: a no-op
  screen.ApplyPacket(Packet(0x19, 1, {7}));  // 25: a no-op
  screen.ApplyPacket(Packet(9, 28, {7}));    // transparent colour definition: ignored
  screen.ApplyPacket(Packet(9, 0, {7}));
  screen.ApplyPacket(Packet(9, 39, {7}));
  EXPECT_EQ(screen.Pixel(0, 0), 5);
}

TEST_F(CdgScreenTest, ColourTableLoadsOnlyInGraphicsModeButThePaletteAlwaysRefreshes) {
  EXPECT_EQ(screen.Colour(3), (CdgColour{3, 12, 1}));
  EXPECT_EQ(screen.PaletteEntry(3), Expected(3));
  // Another command with instruction 30 loads nothing...
  screen.ApplyPacket(Packet(8, 30, {0x3F, 0x3F}));
  EXPECT_EQ(screen.Colour(0), (CdgColour{0, 15, 0}));
  // ...but still refreshes the palette, which picks up the backgrounds switch.
  settings.BackgroundsEnabled = true;
  screen.ApplyPacket(Packet(8, 30));
  EXPECT_EQ(screen.PaletteEntry(0), 0u);
  EXPECT_EQ(screen.PaletteEntry(1), Expected(1));
}

TEST_F(CdgScreenTest, FullColourComesOutAs240WithOpaqueAlpha) {
  std::array<uint8_t, 16> high{};
  high[14] = 0x3F;  // colour 15: R = 15, G = 15
  high[15] = 0x3F;  // B = 15; bits 6-7 of both bytes are masked away
  screen.ApplyPacket(Packet(9, 31, high));
  Preset(15);
  auto frame = Compose();
  const uint8_t* p = frame.data() + 100 * kCdgFramePitch + 100 * 4;
  EXPECT_EQ(p[0], 240);
  EXPECT_EQ(p[1], 240);
  EXPECT_EQ(p[2], 240);
  EXPECT_EQ(p[3], 255);
}

TEST_F(CdgScreenTest, MemoryPresetObeysRepeatAndChannel) {
  Preset(2);
  Preset(9, 1);  // a repeat of a burst
  Preset(9, 15);
  EXPECT_EQ(screen.Pixel(0, 0), 2);
  Preset(9, 0, 1);  // channel 1
  Preset(9, 0, 0, 1);  // channel 4 (high bits 01): drawn
  EXPECT_EQ(screen.Pixel(299, 215), 9);
  Preset(11, 0, 1, 1);  // channel 5: ignored
  EXPECT_EQ(screen.Pixel(17, 33), 9);
  Preset(12, 0, 0, 0);  // channel 0: drawn
  EXPECT_EQ(screen.Pixel(17, 33), 12);
}

TEST_F(CdgScreenTest, TileBlockBoundsBitsAndChannels) {
  Preset(0);
  const std::array<uint8_t, 12> lines{0x20, 0x01, 0xE0 | 0x20, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x21};
  Tile(18, 0, 1, 2, lines);  // row 18: outside, ignored
  Tile(0, 50, 1, 2, lines);  // column 50: outside, ignored
  for (int y = 0; y < 216; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(screen.Pixel(x, y), 0);

  Tile(17, 49, 1, 2, lines);  // the bottom-right tile: pixels 294-299, 204-215
  EXPECT_EQ(screen.Pixel(294, 204), 2);  // bit 5 is the leftmost pixel
  EXPECT_EQ(screen.Pixel(295, 204), 1);
  EXPECT_EQ(screen.Pixel(299, 205), 2);  // bit 0 the rightmost
  EXPECT_EQ(screen.Pixel(294, 206), 2);  // bits 6-7 ignored: same as 0x20
  EXPECT_EQ(screen.Pixel(295, 206), 1);
  for (int x = 294; x < 300; ++x) EXPECT_EQ(screen.Pixel(x, 207), 2);
  EXPECT_EQ(screen.Pixel(294, 215), 2);
  EXPECT_EQ(screen.Pixel(299, 215), 2);
  EXPECT_EQ(screen.Pixel(293, 215), 0);  // nothing outside the tile
  EXPECT_EQ(screen.Pixel(294, 203), 0);

  // Row and column bytes are masked (& 31, & 63) before the bounds check.
  Tile(0x20 | 1, 0x40 | 2, 3, 4, {0x3F});
  EXPECT_EQ(screen.Pixel(12, 12), 4);

  // A tile on channel 1 (colour byte high bits) is not drawn.
  std::array<uint8_t, 16> data{uint8_t(5 | 0x10), 6, 5, 5, 0x3F};
  screen.ApplyPacket(Packet(9, 6, data));
  EXPECT_EQ(screen.Pixel(30, 60), 0);
}

TEST_F(CdgScreenTest, XorTileTwiceRestoresTheScreen) {
  Pattern();
  const auto before = Pixels();
  const std::array<uint8_t, 12> lines{0x3F, 0x15, 0x2A, 0, 0x3F, 0x11, 0x22, 0x0F, 0x30, 0x01, 0x3E, 0x07};
  Tile(7, 20, 5, 10, lines, true);
  EXPECT_NE(Pixels(), before);
  // XOR: old ^ colour, with the colour chosen by each bit.
  Tile(7, 20, 5, 10, lines, true);
  EXPECT_EQ(Pixels(), before);
  Preset(6);
  Tile(0, 0, 3, 12, {0x20}, true);
  EXPECT_EQ(screen.Pixel(0, 0), 6 ^ 12);
  EXPECT_EQ(screen.Pixel(1, 0), 6 ^ 3);
}

TEST_F(CdgScreenTest, ScrollCopyRotatesAndComesBackRound) {
  Pattern();
  const auto start = Pixels();
  Scroll(true, 0x10, 0);  // right by 6: column x goes to x + 6
  EXPECT_EQ(screen.Pixel(6, 10), start[10 * 300 + 0]);
  EXPECT_EQ(screen.Pixel(0, 10), start[10 * 300 + 294]);  // wrapped in on the left
  for (int i = 0; i < 5; ++i) Scroll(true, 0x10, 0);
  for (int i = 0; i < 6; ++i) Scroll(true, 0x20, 0);
  EXPECT_EQ(Pixels(), start);

  Scroll(true, 0, 0x10);  // down by 12: row y goes to y + 12
  EXPECT_EQ(screen.Pixel(40, 12), start[0 * 300 + 40]);
  EXPECT_EQ(screen.Pixel(40, 0), start[204 * 300 + 40]);
  Scroll(true, 0, 0x20);
  EXPECT_EQ(Pixels(), start);

  // All 50 columns round: the picture is back.
  for (int i = 0; i < 50; ++i) Scroll(true, 0x20, 0);
  EXPECT_EQ(Pixels(), start);
}

TEST_F(CdgScreenTest, ScrollPresetKeepsTheUncoveredStrip) {
  Pattern();
  const auto start = Pixels();
  Scroll(false, 0x20, 0);  // left: x goes to x - 6; columns 294-299 keep theirs
  EXPECT_EQ(screen.Pixel(0, 50), start[50 * 300 + 6]);
  EXPECT_EQ(screen.Pixel(294, 50), start[50 * 300 + 294]);
  EXPECT_EQ(screen.Pixel(299, 50), start[50 * 300 + 299]);
  Scroll(false, 0, 0x10);  // down: rows 0-11 keep theirs
  EXPECT_EQ(screen.Pixel(0, 5), start[5 * 300 + 6]);
  EXPECT_EQ(screen.Pixel(0, 17), start[5 * 300 + 6]);
}

TEST_F(CdgScreenTest, ScrollOffsetsAndTheIgnoredCommand) {
  Pattern();
  const auto start = Pixels();
  Scroll(false, 0x05, 0x0B);  // command 0: store the offsets only
  EXPECT_EQ(screen.HorizontalOffset(), 5);
  EXPECT_EQ(screen.VerticalOffset(), 11);
  EXPECT_EQ(Pixels(), start);
  Scroll(true, 0x30 | 2, 0x30 | 3);  // command 0x30: no move, offsets kept
  EXPECT_EQ(screen.HorizontalOffset(), 5);
  EXPECT_EQ(screen.VerticalOffset(), 11);
  EXPECT_EQ(Pixels(), start);
  Scroll(false, 0xC0 | 0x08 | 1, 0x40 | 0x1F);  // masks: h & 7 = 1, v: command 0x10, offset 15
  EXPECT_EQ(screen.HorizontalOffset(), 1);
  EXPECT_EQ(screen.VerticalOffset(), 15);
}

TEST_F(CdgScreenTest, ComposeShiftsByOneOffsetOnlyAndPaintsTheBorderBand) {
  Pattern();
  // Horizontal offset 3: frame (10 + x, 12 + y) shows pixel (x + 3, y).
  Scroll(false, 3, 0);
  auto frame = Compose();
  EXPECT_EQ(FramePixel(frame, 16, 24), Expected(screen.Pixel(9, 12)));
  EXPECT_EQ(FramePixel(frame, 303, 215), Expected(screen.Pixel(296, 203)));
  // Both offsets set: only the horizontal one applies.
  Scroll(false, 3, 9);
  EXPECT_EQ(Compose(), frame);
  // Vertical only, with wrap-around at the bottom.
  Scroll(false, 0, 15);
  frame = Compose();
  EXPECT_EQ(FramePixel(frame, 20, 24), Expected(screen.Pixel(10, 27)));
  EXPECT_EQ(FramePixel(frame, 20, 215), Expected(screen.Pixel(10, (203 + 15) % 216)));
  // Horizontal wrap: column 293 + 7 is column 0.
  Scroll(false, 7, 0);
  frame = Compose();
  EXPECT_EQ(FramePixel(frame, 303, 100), Expected(screen.Pixel(0, 88)));

  // The border band shows the border index's colour all round.
  const uint32_t border = Expected(screen.TransparentIndex());
  for (int x : {0, 15, 304, 319}) EXPECT_EQ(FramePixel(frame, x, 100), border);
  for (int y : {0, 23, 216, 239}) EXPECT_EQ(FramePixel(frame, 160, y), border);
}

TEST_F(CdgScreenTest, ComposeHonoursALargerPitchAndLeavesTheGapAlone) {
  Pattern();
  const size_t pitch = 1400;
  auto wide = Compose(pitch);
  auto tight = Compose();
  for (int y = 0; y < 240; ++y) {
    EXPECT_EQ(0, std::memcmp(wide.data() + y * pitch, tight.data() + y * kCdgFramePitch, kCdgFramePitch));
    EXPECT_EQ(wide[y * pitch + 1280], 0xEE);
    EXPECT_EQ(wide[y * pitch + 1399], 0xEE);
  }
}

TEST_F(CdgScreenTest, BorderPresetAndTransparencyFollowTheBackgroundsSetting) {
  Preset(0);
  screen.ApplyPacket(Packet(9, 2, {6}));  // backgrounds off: no effect at all
  EXPECT_EQ(screen.TransparentIndex(), 0);
  settings.BackgroundsEnabled = true;
  screen.ApplyPacket(Packet(9, 2, {0xF6}));
  EXPECT_EQ(screen.TransparentIndex(), 6);
  // The border moves at once, still in the entry's old opaque colour...
  auto frame = Compose();
  EXPECT_EQ(FramePixel(frame, 0, 0), Expected(6));
  // ...and turns transparent black once the entry is refreshed, like every
  // pixel of that index.
  screen.RefreshTransparentEntry();
  Tile(5, 5, 6, 6, {});
  frame = Compose();
  EXPECT_EQ(FramePixel(frame, 0, 0), 0u);
  EXPECT_EQ(FramePixel(frame, 10 + 30, 12 + 60), 0u);
  EXPECT_EQ(FramePixel(frame, 100, 100), Expected(0));  // index 0 is opaque again
  settings.BackgroundsEnabled = false;
  screen.RefreshTransparentEntry();
  EXPECT_EQ(screen.PaletteEntry(6), Expected(6));
}

TEST(CdgScreenCleared, BlackOpaqueOrFullyTransparent) {
  AppSettings settings;
  CdgScreen screen(settings);
  screen.RefreshPalette();
  std::vector<uint8_t> frame(kCdgFrameBytes, 0x55);
  screen.ComposeFrame(frame.data(), kCdgFramePitch);
  for (size_t i = 0; i < frame.size(); i += 4) ASSERT_EQ(FramePixel(frame, (i / 4) % 320, (i / 4) / 320), 0xFF000000u);
  settings.BackgroundsEnabled = true;
  screen.RefreshPalette();
  screen.ComposeFrame(frame.data(), kCdgFramePitch);
  for (uint8_t byte : frame) ASSERT_EQ(byte, 0);
}

}  // namespace
}  // namespace lyricade
