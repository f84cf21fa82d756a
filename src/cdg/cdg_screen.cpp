#include "cdg/cdg_screen.h"

#include <cstring>

#include "common/app_settings.h"

namespace lyricade {
namespace {

constexpr uint32_t Bgra(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return (uint32_t{a} << 24) | (uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b};
}

// The key colour written into the transparent entry: black, alpha 0.
constexpr uint32_t kKeyEntry = Bgra(0, 0, 0, 0);

inline void Store(uint8_t* at, uint32_t value) { std::memcpy(at, &value, 4); }

// The six pixels of a tile line as a byte mask: bit 5 (the leftmost pixel)
// becomes the lowest byte, which memcpy puts first in memory on a
// little-endian machine.
struct LineMasks {
  uint64_t masks[64];
  constexpr LineMasks() : masks() {
    for (int bits = 0; bits < 64; ++bits) {
      uint64_t mask = 0;
      for (int p = 0; p < 6; ++p)
        if (bits & (0x20 >> p)) mask |= uint64_t{0xFF} << (8 * p);
      masks[bits] = mask;
    }
  }
};
constexpr LineMasks kLineMasks;
inline uint64_t LineMask(int bits) { return kLineMasks.masks[bits]; }

}  // namespace

CdgScreen::CdgScreen(const AppSettings& settings) : settings_(settings) {}

void CdgScreen::ApplyPacket(const uint8_t* packetBytes) {
  const uint8_t instruction = packetBytes[1] & 63;
  if ((packetBytes[0] & 63) == kCdgGraphicsCommand) {
    const uint8_t* data = packetBytes + kCdgDataOffset;
    switch (instruction) {
      case kCdgMemoryPreset: MemoryPreset(data); break;
      case kCdgBorderPreset: BorderPreset(data); break;
      case kCdgTileBlock: TileBlock(data, false); break;
      case kCdgTileBlockXor: TileBlock(data, true); break;
      case kCdgScrollPreset: Scroll(data, false); break;
      case kCdgScrollCopy: Scroll(data, true); break;
      case kCdgLoadColoursLow: LoadColours(data, 0); break;
      case kCdgLoadColoursHigh: LoadColours(data, 8); break;
      default: break;  // transparent colour definition and the rest: ignored
    }
  }
  // The palette follows a colour-table instruction number whatever the
  // command byte said.
  if (instruction == kCdgLoadColoursLow || instruction == kCdgLoadColoursHigh) RefreshPalette();
}

void CdgScreen::ApplyPacket(const CdgPacket& packet) { ApplyPacket(packet.Bytes); }

bool CdgScreen::ChannelAccepted(const uint8_t* data) {
  const int channel = ((data[1] & 0x30) >> 2) + ((data[0] & 0x30) >> 4);
  return channel == kSelectedChannel || (channel == 0 && kChannelZeroShown);
}

void CdgScreen::MemoryPreset(const uint8_t* data) {
  if (!ChannelAccepted(data)) return;
  // Only the first of a run of repeated presets acts.
  if ((data[1] & 15) != 0) return;
  pixels_.fill(data[0] & 15);
}

void CdgScreen::BorderPreset(const uint8_t* data) {
  // The border index only matters, and only moves, while backgrounds show.
  if (settings_.BackgroundsEnabled.load(std::memory_order_relaxed))
    transparentIndex_ = data[0] & 15;
}

void CdgScreen::TileBlock(const uint8_t* data, bool exclusiveOr) {
  const uint8_t colour0 = data[0] & 15;
  const uint8_t colour1 = data[1] & 15;
  const int tileRow = data[2] & 31;
  const int tileColumn = data[3] & 63;
  if (tileRow >= kTileRows || tileColumn >= kTileColumns) return;
  if (!ChannelAccepted(data)) return;
  uint8_t* origin = pixels_.data() + static_cast<size_t>(tileRow * kTileHeight) * kWidth +
                    tileColumn * kTileWidth;
  // Six pixels at a time: each line's bits pick colour0 or colour1 through a
  // byte mask, so a tile costs twelve word operations instead of 72 branches.
  constexpr uint64_t kSpread = 0x0000010101010101ull;  // one in each of 6 bytes
  const uint64_t base = colour0 * kSpread;
  const uint64_t change = static_cast<uint64_t>(colour0 ^ colour1) * kSpread;
  for (int line = 0; line < kTileHeight; ++line) {
    const uint64_t chosen = base ^ (change & LineMask(data[4 + line] & 63));
    uint8_t* row = origin + static_cast<size_t>(line) * kWidth;
    // Four and two bytes straight from registers: a six-byte memcpy through
    // the stack stalls on store forwarding.
    uint32_t low = static_cast<uint32_t>(chosen);
    uint16_t high = static_cast<uint16_t>(chosen >> 32);
    if (exclusiveOr) {
      uint32_t oldLow;
      uint16_t oldHigh;
      std::memcpy(&oldLow, row, 4);
      std::memcpy(&oldHigh, row + 4, 2);
      low ^= oldLow;
      high ^= oldHigh;
    }
    std::memcpy(row, &low, 4);
    std::memcpy(row + 4, &high, 2);
  }
}

void CdgScreen::Scroll(const uint8_t* data, bool rotate) {
  const int horizontal = data[1] & 63;
  const int horizontalCommand = horizontal & 0x30;
  if (horizontalCommand != 0x30) {
    if (horizontalCommand == 0x10) ScrollColumns(+1, rotate);
    if (horizontalCommand == 0x20) ScrollColumns(-1, rotate);
    horizontalOffset_ = horizontal & 7;
  }
  const int vertical = data[2] & 63;
  const int verticalCommand = vertical & 0x30;
  if (verticalCommand != 0x30) {
    if (verticalCommand == 0x10) ScrollRows(+1, rotate);
    if (verticalCommand == 0x20) ScrollRows(-1, rotate);
    verticalOffset_ = vertical & 15;
  }
}

// Moves every column one tile width right (+1) or left (-1). With `rotate`
// the columns pushed past one edge re-enter at the other; without it the
// uncovered columns keep what they held.
void CdgScreen::ScrollColumns(int direction, bool rotate) {
  constexpr int kKept = kWidth - kTileWidth;
  uint8_t wrapped[kTileWidth];
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = pixels_.data() + static_cast<size_t>(y) * kWidth;
    if (direction > 0) {
      std::memcpy(wrapped, row + kKept, kTileWidth);
      std::memmove(row + kTileWidth, row, kKept);
      if (rotate) std::memcpy(row, wrapped, kTileWidth);
    } else {
      std::memcpy(wrapped, row, kTileWidth);
      std::memmove(row, row + kTileWidth, kKept);
      if (rotate) std::memcpy(row + kKept, wrapped, kTileWidth);
    }
  }
}

// Moves every row one tile height down (+1) or up (-1), as ScrollColumns.
void CdgScreen::ScrollRows(int direction, bool rotate) {
  constexpr size_t kBand = static_cast<size_t>(kTileHeight) * kWidth;
  constexpr size_t kKept = static_cast<size_t>(kWidth) * kHeight - kBand;
  uint8_t wrapped[kBand];
  uint8_t* pixels = pixels_.data();
  if (direction > 0) {
    if (rotate) std::memcpy(wrapped, pixels + kKept, kBand);
    std::memmove(pixels + kBand, pixels, kKept);
    if (rotate) std::memcpy(pixels, wrapped, kBand);
  } else {
    if (rotate) std::memcpy(wrapped, pixels, kBand);
    std::memmove(pixels, pixels + kBand, kKept);
    if (rotate) std::memcpy(pixels + kKept, wrapped, kBand);
  }
}

void CdgScreen::LoadColours(const uint8_t* data, int base) {
  for (int k = 0; k < 8; ++k) {
    const uint8_t high = data[2 * k] & 63;
    const uint8_t low = data[2 * k + 1] & 63;
    CdgColour& colour = colourTable_[base + k];
    colour.R = high >> 2;
    colour.G = static_cast<uint8_t>(((high & 3) << 2) | (low >> 4));
    colour.B = low & 15;
  }
}

uint32_t CdgScreen::OpaqueColour(int index) const {
  // A 4-bit component v becomes the byte v << 4: full intensity is 240.
  const CdgColour& c = colourTable_[index];
  return Bgra(static_cast<uint8_t>(c.R << 4), static_cast<uint8_t>(c.G << 4),
              static_cast<uint8_t>(c.B << 4), 255);
}

void CdgScreen::RefreshPalette() {
  for (int index = 0; index < 16; ++index) palette_[index] = OpaqueColour(index);
  if (settings_.BackgroundsEnabled.load(std::memory_order_relaxed))
    palette_[transparentIndex_] = kKeyEntry;
}

void CdgScreen::RefreshTransparentEntry() {
  palette_[transparentIndex_] = settings_.BackgroundsEnabled.load(std::memory_order_relaxed)
                                    ? kKeyEntry
                                    : OpaqueColour(transparentIndex_);
}

void CdgScreen::ComposeFrame(uint8_t* frame, size_t pitch) const {
  // The picture lies at frame columns 10-309, rows 12-227, but the border
  // band covers everything outside columns 16-303 and rows 24-215, so only
  // that inner area is looked up; every frame pixel is written exactly once.
  constexpr int kPictureLeft = 10, kPictureTop = 12;
  constexpr int kInnerLeft = 16, kInnerRight = 304;  // frame columns [16, 304)
  constexpr int kInnerTop = 24, kInnerBottom = 216;  // frame rows [24, 216)
  const uint32_t border = palette_[transparentIndex_];
  const int shiftX = horizontalOffset_;
  // The vertical offset is applied only when there is no horizontal one.
  const int shiftY = shiftX == 0 ? verticalOffset_ : 0;

  auto fillBorder = [&](uint8_t* row, int from, int to) {
    for (int x = from; x < to; ++x) Store(row + 4 * x, border);
  };

  for (int fy = 0; fy < kCdgFrameHeight; ++fy) {
    uint8_t* row = frame + static_cast<size_t>(fy) * pitch;
    if (fy < kInnerTop || fy >= kInnerBottom) {
      fillBorder(row, 0, kCdgFrameWidth);
      continue;
    }
    fillBorder(row, 0, kInnerLeft);
    int sourceY = fy - kPictureTop + shiftY;
    if (sourceY >= kHeight) sourceY -= kHeight;
    const uint8_t* source = pixels_.data() + static_cast<size_t>(sourceY) * kWidth;
    int sourceX = kInnerLeft - kPictureLeft + shiftX;
    uint8_t* out = row + 4 * kInnerLeft;
    for (int fx = kInnerLeft; fx < kInnerRight; ++fx, ++sourceX, out += 4) {
      if (sourceX >= kWidth) sourceX -= kWidth;
      Store(out, palette_[source[sourceX]]);
    }
    fillBorder(row, kInnerRight, kCdgFrameWidth);
  }
}

void CdgScreen::Clear() { pixels_.fill(0); }

}  // namespace lyricade
