#pragma once
// A CD+G song for timing tests: the screen fills with colour n at second n
// (n = 1..seconds, colour n % 16), and colour n has the red value n, so a
// frame tells which second the player decoded up to.

#include <array>
#include <cstdint>
#include <vector>

#include "cdg/cdg_writer.h"

namespace lyricade::testing {

inline std::vector<uint8_t> CountingSong(int seconds) {
  CdgWriter writer;
  std::array<CdgColour, 16> table{};
  for (int i = 0; i < 16; ++i) table[i] = {uint8_t(i), 0, 0};
  writer.LoadColourTable(table);
  for (int n = 1; n <= seconds; ++n) {
    writer.PadToSeconds(n);
    writer.MemoryPreset(n % 16);
  }
  writer.PadToSeconds(seconds + 0.5);
  return writer.Bytes();
}

}  // namespace lyricade::testing
