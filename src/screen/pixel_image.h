#pragma once
// A picture in memory as the scene's textures hold it: 4 bytes a pixel in the
// byte order B, G, R, A (the little-endian value 0xAARRGGBB), rows top to
// bottom, no gap between rows.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

namespace lyricade {

struct PixelImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;

  PixelImage() = default;
  PixelImage(int width, int height, uint32_t fill = 0) { Reset(width, height, fill); }

  void Reset(int width, int height, uint32_t fill = 0) {
    Width = width;
    Height = height;
    Pixels.resize(static_cast<size_t>(width) * height * 4);
    if (fill == 0) {
      std::fill(Pixels.begin(), Pixels.end(), uint8_t{0});
    } else {
      for (size_t i = 0; i < Pixels.size(); i += 4) std::memcpy(&Pixels[i], &fill, 4);
    }
  }
  bool Empty() const { return Width <= 0 || Height <= 0; }
  size_t Pitch() const { return static_cast<size_t>(Width) * 4; }
  uint8_t* Row(int y) { return Pixels.data() + y * Pitch(); }
  const uint8_t* Row(int y) const { return Pixels.data() + y * Pitch(); }
  uint32_t At(int x, int y) const {
    uint32_t value;
    std::memcpy(&value, Row(y) + x * 4, 4);
    return value;
  }
  void Set(int x, int y, uint32_t value) { std::memcpy(Row(y) + x * 4, &value, 4); }
};

}  // namespace lyricade
