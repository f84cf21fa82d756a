#pragma once
// The state of one CD+G display: 300x216 colour indices, the 16-colour table
// with the palette derived from it, the scroll offsets and the border /
// transparent index. Packets are applied one by one; a frame is composed from
// the state on demand. Pure integer work on fixed arrays: nothing here
// allocates, so a seek can apply tens of thousands of packets in one tick.

#include <array>
#include <cstddef>
#include <cstdint>

#include "cdg/cdg_frame.h"
#include "cdg/cdg_packet.h"

namespace lyricade {

class AppSettings;

// One colour-table entry: three 4-bit components.
struct CdgColour {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  bool operator==(const CdgColour&) const = default;
};

class CdgScreen {
public:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 216;
  static constexpr int kTileWidth = 6;
  static constexpr int kTileHeight = 12;
  static constexpr int kTileRows = kHeight / kTileHeight;    // 18
  static constexpr int kTileColumns = kWidth / kTileWidth;  // 50

  // `BackgroundsEnabled` is read from the settings at the moments it matters
  // (Border Preset, palette refreshes); the screen never writes it.
  explicit CdgScreen(const AppSettings& settings);

  void ApplyPacket(const CdgPacket& packet);
  // Same, straight from 24 bytes of a stream.
  void ApplyPacket(const uint8_t* packetBytes);

  // Rebuilds all 16 palette entries from the colour table; with backgrounds
  // on, the entry of the transparent index becomes the key colour, alpha 0.
  void RefreshPalette();
  // Rebuilds only the entry of the transparent index, so a change of the
  // backgrounds setting shows even while the colour table stays as it is.
  void RefreshTransparentEntry();

  // Writes a whole 320x240 frame; `pitch` (at least 1280) is the distance in
  // bytes between rows; bytes past 1280 in a row are left untouched.
  void ComposeFrame(uint8_t* frame, size_t pitch) const;

  // Sets every pixel to index 0. Colours, offsets and the transparent index
  // carry over (a stream normally begins with its own presets).
  void Clear();

  uint8_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * kWidth + x]; }
  const CdgColour& Colour(int index) const { return colourTable_[index]; }
  // The palette entry as the 32-bit value 0xAARRGGBB.
  uint32_t PaletteEntry(int index) const { return palette_[index]; }
  int HorizontalOffset() const { return horizontalOffset_; }
  int VerticalOffset() const { return verticalOffset_; }
  int TransparentIndex() const { return transparentIndex_; }

  // The channel drawn besides channel 0 (4); the channel-0 flag is on.
  static constexpr int kSelectedChannel = 4;
  static constexpr bool kChannelZeroShown = true;

private:
  static bool ChannelAccepted(const uint8_t* data);
  uint32_t OpaqueColour(int index) const;

  void MemoryPreset(const uint8_t* data);
  void BorderPreset(const uint8_t* data);
  void TileBlock(const uint8_t* data, bool exclusiveOr);
  void Scroll(const uint8_t* data, bool rotate);
  void ScrollColumns(int direction, bool rotate);
  void ScrollRows(int direction, bool rotate);
  void LoadColours(const uint8_t* data, int base);

  const AppSettings& settings_;
  std::array<uint8_t, kWidth * kHeight> pixels_{};
  std::array<CdgColour, 16> colourTable_{};
  std::array<uint32_t, 16> palette_{};
  int horizontalOffset_ = 0;
  int verticalOffset_ = 0;
  int transparentIndex_ = 0;
};

}  // namespace lyricade
