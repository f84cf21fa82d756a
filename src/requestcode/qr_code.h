#pragma once
// A QR code of a short text (the request page's address), as a square of
// modules, for the server window and the singers' screen to draw.

#include <string>
#include <vector>

namespace lyricade {

struct QrCode {
  int Size = 0;                // modules per side; 0 when the text cannot be encoded
  std::vector<bool> Dark;      // Size * Size, row by row

  bool IsDark(int x, int y) const { return Dark[static_cast<size_t>(y * Size + x)]; }
};

// Medium error correction, which survives a screen seen at an angle.
QrCode EncodeQrCode(const std::string& text);

}  // namespace lyricade
