#pragma once
// The CD+G song the screen benchmarks play: a minute of lines of text, one
// new line a second, on a dark blue screen.

#include <array>
#include <cstdint>
#include <vector>

#include "cdg/cdg_writer.h"

namespace lyricade::bench {

inline std::vector<uint8_t> LyricsSong() {
  CdgWriter writer;
  std::array<CdgColour, 16> colours{};
  colours[1] = {0, 0, 8};
  colours[2] = {15, 15, 15};
  writer.LoadColourTable(colours);
  writer.BorderPreset(0);
  writer.MemoryPreset(0);
  for (int second = 0; second < 60; ++second) {
    writer.PadToSeconds(second);
    writer.Text(2 + second % 14, 4, "SING ALONG WITH THE SCREEN", 1, 2);
  }
  writer.PadToSeconds(61);
  return writer.Bytes();
}

}  // namespace lyricade::bench
