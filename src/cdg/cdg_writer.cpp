#include "cdg/cdg_writer.h"

#include <cstring>
#include <fstream>

#include "cdg/cdg_font.h"

namespace lyricade {

CdgPacket CdgWriter::Make(uint8_t instruction) {
  CdgPacket packet;
  packet.Bytes[0] = kCdgGraphicsCommand;
  packet.Bytes[1] = instruction;
  return packet;
}

// The channel travels in the top two bits of data bytes 0 (low half) and 1
// (high half) of presets and tiles.
void CdgWriter::SetChannel(CdgPacket& packet, int channel) {
  uint8_t* data = packet.Data();
  data[0] = static_cast<uint8_t>((data[0] & 0x0F) | ((channel & 3) << 4));
  data[1] = static_cast<uint8_t>((data[1] & 0x0F) | (((channel >> 2) & 3) << 4));
}

void CdgWriter::MemoryPreset(int colour, int repeat, int channel) {
  CdgPacket packet = Make(kCdgMemoryPreset);
  packet.Data()[0] = static_cast<uint8_t>(colour & 15);
  packet.Data()[1] = static_cast<uint8_t>(repeat & 15);
  SetChannel(packet, channel);
  Raw(packet);
}

void CdgWriter::BorderPreset(int colour) {
  CdgPacket packet = Make(kCdgBorderPreset);
  packet.Data()[0] = static_cast<uint8_t>(colour & 15);
  Raw(packet);
}

void CdgWriter::LoadColours(bool high, const ColourHalf& colours) {
  CdgPacket packet = Make(high ? kCdgLoadColoursHigh : kCdgLoadColoursLow);
  for (int k = 0; k < 8; ++k) {
    const CdgColour& c = colours[k];
    packet.Data()[2 * k] = static_cast<uint8_t>(((c.R & 15) << 2) | ((c.G & 15) >> 2));
    packet.Data()[2 * k + 1] = static_cast<uint8_t>(((c.G & 3) << 4) | (c.B & 15));
  }
  Raw(packet);
}

void CdgWriter::LoadColourTable(const std::array<CdgColour, 16>& colours) {
  ColourHalf low{}, high{};
  for (int k = 0; k < 8; ++k) {
    low[k] = colours[k];
    high[k] = colours[k + 8];
  }
  LoadColours(false, low);
  LoadColours(true, high);
}

void CdgWriter::TileBlock(int row, int column, int colour0, int colour1,
                          const std::array<uint8_t, 12>& lines, bool exclusiveOr, int channel) {
  CdgPacket packet = Make(exclusiveOr ? kCdgTileBlockXor : kCdgTileBlock);
  uint8_t* data = packet.Data();
  data[0] = static_cast<uint8_t>(colour0 & 15);
  data[1] = static_cast<uint8_t>(colour1 & 15);
  data[2] = static_cast<uint8_t>(row & 31);
  data[3] = static_cast<uint8_t>(column & 63);
  for (int line = 0; line < 12; ++line) data[4 + line] = lines[line] & 63;
  SetChannel(packet, channel);
  Raw(packet);
}

void CdgWriter::Text(int row, int column, std::string_view text, int background, int ink,
                     bool exclusiveOr) {
  for (char c : text) {
    if (column >= CdgScreen::kTileColumns) break;
    TileBlock(row, column++, background, ink, CdgFontGlyph(c), exclusiveOr);
  }
}

void CdgWriter::Scroll(bool rotate, CdgHorizontalScroll horizontal, int horizontalOffset,
                       CdgVerticalScroll vertical, int verticalOffset, int fillColour) {
  CdgPacket packet = Make(rotate ? kCdgScrollCopy : kCdgScrollPreset);
  packet.Data()[0] = static_cast<uint8_t>(fillColour & 15);
  packet.Data()[1] = static_cast<uint8_t>(static_cast<uint8_t>(horizontal) | (horizontalOffset & 7));
  packet.Data()[2] = static_cast<uint8_t>(static_cast<uint8_t>(vertical) | (verticalOffset & 15));
  Raw(packet);
}

void CdgWriter::Raw(const CdgPacket& packet) {
  bytes_.insert(bytes_.end(), packet.Bytes, packet.Bytes + kCdgPacketSize);
}

void CdgWriter::Pad(size_t count) { bytes_.resize(bytes_.size() + count * kCdgPacketSize, 0); }

void CdgWriter::PadTo(size_t index) {
  if (PacketCount() < index) Pad(index - PacketCount());
}

void CdgWriter::PadToSeconds(double seconds) {
  if (seconds > 0) PadTo(static_cast<size_t>(seconds * kPacketsPerSecond));
}

bool CdgWriter::WriteFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace lyricade
