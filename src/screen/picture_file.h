#pragma once
// Picture files of the karaoke screen. DDS and TGA (and BMP, PNG, JPEG) are
// read with FreeImage, since Qt reads no DDS. Files come from the data folder
// and from the host's choice, so anything that is not a readable picture of a
// sane size is refused rather than trusted.

#include <cstdint>
#include <string>

#include "screen/pixel_image.h"

namespace lyricade {

// Nothing bigger is loaded (a 16384 x 16384 picture is already 1 GiB).
inline constexpr int kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;
// The screen's back buffer: logos and background-video frames are shrunk to
// fit inside it when loaded, so nothing bigger is copied or uploaded.
inline constexpr int kScreenPictureWidth = 1920;
inline constexpr int kScreenPictureHeight = 1080;

// Reads a picture as 32-bit BGRA, rows top to bottom; pictures without alpha
// come out opaque. With `width` and `height` above 0 the picture is scaled to
// that size (bilinear). Returns false, leaving `out` empty, on any failure.
bool LoadPictureFile(const std::string& path, PixelImage& out, int width = 0, int height = 0);

// Same, but a picture larger than `maxWidth` x `maxHeight` is scaled down to
// fit inside it with its proportions kept; a smaller one keeps its size. The
// screen's back buffer is 1920x1080, so nothing bigger is worth keeping.
bool LoadPictureFileWithin(const std::string& path, PixelImage& out, int maxWidth, int maxHeight);

// Opaque black (0xFF000000) becomes transparent black.
void KeyOutOpaqueBlack(PixelImage& image);

// An uncompressed 32-bit DDS file (A8R8G8B8), the format the screen's
// pictures ship in.
bool WriteDdsFile(const std::string& path, const PixelImage& image);

// Any format FreeImage writes, chosen by the file's extension (".bmp" is
// written with 24 bits, alpha dropped). Returns false on failure.
bool WritePictureFile(const std::string& path, const PixelImage& image);

}  // namespace lyricade
