#pragma once
// Authors CD+G streams with the real instruction set: colour tables, memory
// and border presets, tile blocks (normal and XOR), text in the 6x12 font,
// scroll preset and copy in every direction. Packets are appended in order;
// time is the packet position (300 packets a second), so a song is written
// by padding to the moment each instruction is due. Used for demo songs,
// tests, benchmarks and fuzz seeds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cdg/cdg_packet.h"
#include "cdg/cdg_screen.h"

namespace lyricade {

// The scroll commands of the horizontal and vertical bytes.
enum class CdgHorizontalScroll : uint8_t { Stay = 0x00, Right = 0x10, Left = 0x20, Ignore = 0x30 };
enum class CdgVerticalScroll : uint8_t { Stay = 0x00, Down = 0x10, Up = 0x20, Ignore = 0x30 };

class CdgWriter {
public:
  static constexpr int kPacketsPerSecond = 300;

  // Eight colours of one half of the colour table (4-bit components).
  using ColourHalf = std::array<CdgColour, 8>;

  // Fills the screen with `colour`. `repeat` 1-15 marks the repeats of a
  // burst (the decoder acts on the first only). `channel` 0-15.
  void MemoryPreset(int colour, int repeat = 0, int channel = 0);
  void BorderPreset(int colour);
  void LoadColours(bool high, const ColourHalf& colours);
  // The whole table: colours 0-7 then 8-15.
  void LoadColourTable(const std::array<CdgColour, 16>& colours);
  // One 6x12 tile at tile `row` 0-17, `column` 0-49 (not checked, so streams
  // with out-of-range tiles can be written). `lines` holds 12 bytes, bit 5
  // the leftmost pixel; clear bits take colour0, set bits colour1.
  void TileBlock(int row, int column, int colour0, int colour1, const std::array<uint8_t, 12>& lines,
                 bool exclusiveOr = false, int channel = 0);
  // Text in the 6x12 font, one tile a character from (row, column) to the
  // right; characters past column 49 are dropped.
  void Text(int row, int column, std::string_view text, int background, int ink,
            bool exclusiveOr = false);
  // Scroll Preset (rotate false) or Scroll Copy (rotate true) with the given
  // commands and offsets (horizontal 0-7, vertical 0-15).
  void Scroll(bool rotate, CdgHorizontalScroll horizontal, int horizontalOffset,
              CdgVerticalScroll vertical, int verticalOffset, int fillColour = 0);
  // Any packet, as given.
  void Raw(const CdgPacket& packet);
  // `count` all-zero packets (no-ops).
  void Pad(size_t count);
  // Pads with zero packets up to packet number `index` (nothing if already
  // there).
  void PadTo(size_t index);
  void PadToSeconds(double seconds);

  size_t PacketCount() const { return bytes_.size() / kCdgPacketSize; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  bool WriteFile(const std::string& path) const;

private:
  static CdgPacket Make(uint8_t instruction);
  static void SetChannel(CdgPacket& packet, int channel);

  std::vector<uint8_t> bytes_;
};

}  // namespace lyricade
