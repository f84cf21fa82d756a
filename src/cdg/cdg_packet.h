#pragma once
// One CD+G subcode packet as stored in a ".cdg" file: 24 bytes, packets back
// to back with no header, 300 a second. Only the command byte, the
// instruction byte and the 16 data bytes at offset 4 are ever read.

#include <cstddef>
#include <cstdint>

namespace lyricade {

inline constexpr size_t kCdgPacketSize = 24;
inline constexpr size_t kCdgDataOffset = 4;
inline constexpr size_t kCdgDataSize = 16;
// The command value (low 6 bits) of the CD+G graphics mode.
inline constexpr uint8_t kCdgGraphicsCommand = 9;

// Instruction numbers (low 6 bits of byte 1).
enum CdgInstruction : uint8_t {
  kCdgMemoryPreset = 1,
  kCdgBorderPreset = 2,
  kCdgTileBlock = 6,
  kCdgScrollPreset = 20,
  kCdgTransparentColour = 28,  // part of the standard; ignored on purpose
  kCdgScrollCopy = 24,
  kCdgLoadColoursLow = 30,
  kCdgLoadColoursHigh = 31,
  kCdgTileBlockXor = 38,
};

struct CdgPacket {
  uint8_t Bytes[kCdgPacketSize] = {};

  uint8_t Command() const { return Bytes[0] & 63; }
  uint8_t Instruction() const { return Bytes[1] & 63; }
  const uint8_t* Data() const { return Bytes + kCdgDataOffset; }
  uint8_t* Data() { return Bytes + kCdgDataOffset; }
};
static_assert(sizeof(CdgPacket) == kCdgPacketSize);

}  // namespace lyricade
