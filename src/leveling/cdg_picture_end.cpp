#include "leveling/cdg_picture_end.h"

#include <array>
#include <cstdint>

#include "cdg/cdg_screen.h"
#include "common/app_settings.h"

namespace lyricade {
namespace {

constexpr double kPacketsPerSecond = 300.0;

// The whole visible state, for the rare packets that can change all of it.
struct Picture {
  std::array<uint8_t, CdgScreen::kWidth * CdgScreen::kHeight> pixels{};
  std::array<uint32_t, 16> palette{};
  int horizontal = 0;
  int vertical = 0;

  void Take(const CdgScreen& screen) {
    for (int y = 0; y < CdgScreen::kHeight; ++y)
      for (int x = 0; x < CdgScreen::kWidth; ++x)
        pixels[static_cast<size_t>(y) * CdgScreen::kWidth + x] = screen.Pixel(x, y);
    for (int i = 0; i < 16; ++i) palette[i] = screen.PaletteEntry(i);
    horizontal = screen.HorizontalOffset();
    vertical = screen.VerticalOffset();
  }
  bool operator==(const Picture&) const = default;
};

// A tile block touches one 6x12 tile: only that tile is compared, which
// keeps the scan fast on the packets that make up most of a disc.
using Tile = std::array<uint8_t, CdgScreen::kTileWidth * CdgScreen::kTileHeight>;
bool TakeTile(const CdgScreen& screen, const CdgPacket& packet, Tile* tile) {
  const int row = packet.Data()[2] & 0x1F;
  const int column = packet.Data()[3] & 0x3F;
  if (row >= CdgScreen::kTileRows || column >= CdgScreen::kTileColumns) return false;
  size_t i = 0;
  for (int y = 0; y < CdgScreen::kTileHeight; ++y)
    for (int x = 0; x < CdgScreen::kTileWidth; ++x)
      (*tile)[i++] = screen.Pixel(column * CdgScreen::kTileWidth + x, row * CdgScreen::kTileHeight + y);
  return true;
}

}  // namespace

double CdgPictureEndSeconds(std::string_view stream) {
  const AppSettings settings;
  CdgScreen screen(settings);
  Picture before, after;
  before.Take(screen);
  size_t lastChange = 0;  // one past the packet
  const size_t packets = stream.size() / kCdgPacketSize;
  for (size_t n = 0; n < packets; ++n) {
    CdgPacket packet;
    for (size_t b = 0; b < kCdgPacketSize; ++b)
      packet.Bytes[b] = static_cast<uint8_t>(stream[n * kCdgPacketSize + b]);
    if (packet.Command() != kCdgGraphicsCommand) continue;
    const uint8_t instruction = packet.Instruction();
    bool changed = false;
    if (instruction == kCdgTileBlock || instruction == kCdgTileBlockXor) {
      Tile old, now;
      if (!TakeTile(screen, packet, &old)) continue;
      screen.ApplyPacket(packet);
      TakeTile(screen, packet, &now);
      changed = old != now;
    } else if (instruction == kCdgMemoryPreset || instruction == kCdgBorderPreset ||
               instruction == kCdgScrollPreset || instruction == kCdgScrollCopy ||
               instruction == kCdgLoadColoursLow || instruction == kCdgLoadColoursHigh) {
      before.Take(screen);
      screen.ApplyPacket(packet);
      after.Take(screen);
      changed = !(before == after);
    } else {
      screen.ApplyPacket(packet);
    }
    if (changed) lastChange = n + 1;
  }
  return static_cast<double>(lastChange) / kPacketsPerSecond;
}

}  // namespace lyricade
