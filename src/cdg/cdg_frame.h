#pragma once
// The composed CD+G picture: 320x240 pixels, 4 bytes a pixel in the byte
// order B, G, R, A (the little-endian 32-bit value 0xAARRGGBB), rows top to
// bottom, 1280 bytes a row with no gap.

#include <cstddef>

namespace lyricade {

inline constexpr int kCdgFrameWidth = 320;
inline constexpr int kCdgFrameHeight = 240;
inline constexpr size_t kCdgFramePitch = kCdgFrameWidth * 4;
inline constexpr size_t kCdgFrameBytes = kCdgFramePitch * kCdgFrameHeight;

}  // namespace lyricade
