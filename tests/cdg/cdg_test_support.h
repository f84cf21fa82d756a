#pragma once
// Helpers shared by the CD+G tests: packets built byte by byte (so the tests
// do not lean on the writer they also check), frame pixel reads, and colours
// as the frame must hold them.

#include <array>
#include <cstdint>
#include <vector>

#include "cdg/cdg_frame.h"
#include "cdg/cdg_packet.h"

namespace lyricade::testing {

inline CdgPacket Packet(uint8_t command, uint8_t instruction, std::array<uint8_t, 16> data = {}) {
  CdgPacket packet;
  packet.Bytes[0] = command;
  packet.Bytes[1] = instruction;
  for (int i = 0; i < 16; ++i) packet.Bytes[4 + i] = data[i];
  return packet;
}

// 0xAARRGGBB of a 4-bit colour as the frame shows it (a component v becomes
// the byte v * 16).
constexpr uint32_t FrameColour(int r, int g, int b, int a = 255) {
  return (uint32_t(a) << 24) | (uint32_t(r * 16) << 16) | (uint32_t(g * 16) << 8) | uint32_t(b * 16);
}

inline uint32_t FramePixel(const std::vector<uint8_t>& frame, int x, int y, size_t pitch = kCdgFramePitch) {
  const uint8_t* p = frame.data() + y * pitch + x * 4;
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace lyricade::testing
