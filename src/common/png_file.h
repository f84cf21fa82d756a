#pragma once
// Writes 8-bit RGBA pictures as PNG files (the check pictures of the tools).

#include <cstddef>
#include <cstdint>
#include <string>

namespace lyricade {

// `rgba` holds `height` rows of `width` pixels, 4 bytes each in the order R,
// G, B, A, `pitch` bytes apart. Returns false when the file cannot be written.
bool WritePngRgba(const std::string& path, const uint8_t* rgba, int width, int height, size_t pitch);

}  // namespace lyricade
