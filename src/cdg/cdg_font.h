#pragma once
// Lyricade's own 6x12 bitmap font for drawing text in CD+G tiles: one tile a
// character, printable ASCII only.

#include <array>
#include <cstdint>

namespace lyricade {

using CdgGlyph = std::array<uint8_t, 12>;

// The 12 tile-line bytes of a character (bit 5 the leftmost pixel). Anything
// outside printable ASCII draws as "?".
const CdgGlyph& CdgFontGlyph(char c);

}  // namespace lyricade
