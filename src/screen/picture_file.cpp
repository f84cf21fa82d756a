#include "screen/picture_file.h"

#include <FreeImage.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <tuple>
#include <utility>

#include "common/text_file.h"
#include "screen/screen_log.h"

namespace lyricade {
namespace {

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

void QuietFreeImage(FREE_IMAGE_FORMAT, const char*) {}

void InitialiseFreeImage() {
  static const bool initialised = [] {
    FreeImage_SetOutputMessage(QuietFreeImage);
    return true;
  }();
  (void)initialised;
}

bool SaneSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

void PutLe32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool RenameOver(const std::string& temporary, const std::string& path) {
  if (std::rename(temporary.c_str(), path.c_str()) == 0) {
    // The new name must survive a power loss as the picture's data does.
    SyncFolderOf(path);
    return true;
  }
  qCWarning(lcScreen) << "Picture" << path.c_str() << "cannot replace the old one:"
                      << std::strerror(errno);
  std::remove(temporary.c_str());
  return false;
}

bool Refuse(const std::string& path, const char* why) {
  qCWarning(lcScreen) << "Picture" << path.c_str() << "not loaded:" << why;
  return false;
}

}  // namespace

namespace {

// The size a `width` x `height` picture takes inside the bounds, proportions
// kept, never larger than it is.
std::pair<int, int> FittedSize(int width, int height, int maxWidth, int maxHeight) {
  if (width <= maxWidth && height <= maxHeight) return {width, height};
  const double scale = std::min(static_cast<double>(maxWidth) / width,
                                static_cast<double>(maxHeight) / height);
  return {std::max(1, static_cast<int>(width * scale + 0.5)),
          std::max(1, static_cast<int>(height * scale + 0.5))};
}

bool LoadPicture(const std::string& path, PixelImage& out, int width, int height, bool within) {
  out = PixelImage();
  InitialiseFreeImage();
  FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(path.c_str());
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
    return Refuse(path, "missing, unreadable or of an unknown kind");

  Bitmap loaded(FreeImage_Load(format, path.c_str(), 0));
  if (!loaded || !FreeImage_HasPixels(loaded.get())) return Refuse(path, "damaged or unreadable");
  if (!SaneSize(FreeImage_GetWidth(loaded.get()), FreeImage_GetHeight(loaded.get())))
    return Refuse(path, "empty or too large");
  if (FreeImage_GetImageType(loaded.get()) != FIT_BITMAP) {
    Bitmap standard(FreeImage_ConvertToType(loaded.get(), FIT_BITMAP, TRUE));
    if (!standard) return Refuse(path, "its pixel type cannot be converted");
    loaded = std::move(standard);
  }
  Bitmap bitmap(FreeImage_ConvertTo32Bits(loaded.get()));
  if (!bitmap) return Refuse(path, "it cannot be converted to 32 bits a pixel");
  if (within) {
    std::tie(width, height) =
        FittedSize(static_cast<int>(FreeImage_GetWidth(bitmap.get())),
                   static_cast<int>(FreeImage_GetHeight(bitmap.get())), width, height);
  }
  if (width > 0 && height > 0 &&
      (static_cast<int>(FreeImage_GetWidth(bitmap.get())) != width ||
       static_cast<int>(FreeImage_GetHeight(bitmap.get())) != height)) {
    Bitmap scaled(FreeImage_Rescale(bitmap.get(), width, height, FILTER_BILINEAR));
    if (!scaled) return Refuse(path, "it cannot be scaled");
    bitmap = std::move(scaled);
  }

  const int w = static_cast<int>(FreeImage_GetWidth(bitmap.get()));
  const int h = static_cast<int>(FreeImage_GetHeight(bitmap.get()));
  if (!SaneSize(w, h)) return Refuse(path, "empty or too large after conversion");
  PixelImage image(w, h);
  // FreeImage keeps rows bottom to top, in the byte order B, G, R, A on
  // little-endian machines.
  for (int y = 0; y < h; ++y) {
    const BYTE* row = FreeImage_GetScanLine(bitmap.get(), h - 1 - y);
    if (!row) return Refuse(path, "its rows cannot be read");
    std::memcpy(image.Row(y), row, image.Pitch());
  }
  out = std::move(image);
  return true;
}

}  // namespace

bool LoadPictureFile(const std::string& path, PixelImage& out, int width, int height) {
  return LoadPicture(path, out, width, height, false);
}

bool LoadPictureFileWithin(const std::string& path, PixelImage& out, int maxWidth, int maxHeight) {
  return LoadPicture(path, out, maxWidth, maxHeight, true);
}

void KeyOutOpaqueBlack(PixelImage& image) {
  for (int y = 0; y < image.Height; ++y) {
    for (int x = 0; x < image.Width; ++x) {
      if (image.At(x, y) == 0xFF000000u) image.Set(x, y, 0);
    }
  }
}

bool WriteDdsFile(const std::string& path, const PixelImage& image) {
  if (image.Empty()) {
    qCWarning(lcScreen) << "Picture" << path.c_str() << "not written: the picture is empty";
    return false;
  }
  std::string data = "DDS ";
  PutLe32(data, 124);                             // header size
  PutLe32(data, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);  // caps, height, width, pitch, pixel format
  PutLe32(data, static_cast<uint32_t>(image.Height));
  PutLe32(data, static_cast<uint32_t>(image.Width));
  PutLe32(data, static_cast<uint32_t>(image.Pitch()));
  PutLe32(data, 0);                                // depth
  PutLe32(data, 0);                                // mip levels
  for (int i = 0; i < 11; ++i) PutLe32(data, 0);   // reserved
  PutLe32(data, 32);                               // pixel format size
  PutLe32(data, 0x40 | 0x1);                       // RGB with alpha
  PutLe32(data, 0);                                // no four-character code
  PutLe32(data, 32);                               // bits a pixel
  PutLe32(data, 0x00FF0000);
  PutLe32(data, 0x0000FF00);
  PutLe32(data, 0x000000FF);
  PutLe32(data, 0xFF000000);
  PutLe32(data, 0x1000);                           // a texture
  for (int i = 0; i < 4; ++i) PutLe32(data, 0);    // more caps, reserved
  data.append(reinterpret_cast<const char*>(image.Pixels.data()), image.Pixels.size());

  const std::string temporary = path + ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file.write(data.data(), static_cast<std::streamsize>(data.size()))) {
      qCWarning(lcScreen) << "Picture" << temporary.c_str() << "cannot be written";
      file.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  return RenameOver(temporary, path);
}

bool WritePictureFile(const std::string& path, const PixelImage& image) {
  if (image.Empty()) {
    qCWarning(lcScreen) << "Picture" << path.c_str() << "not written: the picture is empty";
    return false;
  }
  InitialiseFreeImage();
  const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(path.c_str());
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsWriting(format)) {
    qCWarning(lcScreen) << "Picture" << path.c_str() << "not written: no writer for its kind";
    return false;
  }
  Bitmap bitmap(FreeImage_Allocate(image.Width, image.Height, 32, FI_RGBA_RED_MASK,
                                   FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (!bitmap) {
    qCWarning(lcScreen) << "Picture" << path.c_str() << "not written: out of memory";
    return false;
  }
  for (int y = 0; y < image.Height; ++y)
    std::memcpy(FreeImage_GetScanLine(bitmap.get(), image.Height - 1 - y), image.Row(y),
                image.Pitch());
  if (format == FIF_BMP || format == FIF_JPEG) {
    Bitmap rgb(FreeImage_ConvertTo24Bits(bitmap.get()));
    if (!rgb) {
      qCWarning(lcScreen) << "Picture" << path.c_str() << "not written: no 24-bit conversion";
      return false;
    }
    bitmap = std::move(rgb);
  }
  // Written beside and renamed over, so a reader never sees half a picture.
  const std::string temporary = path + ".part";
  if (!FreeImage_Save(format, bitmap.get(), temporary.c_str(), 0)) {
    qCWarning(lcScreen) << "Picture" << temporary.c_str() << "cannot be written";
    std::remove(temporary.c_str());
    return false;
  }
  return RenameOver(temporary, path);
}

}  // namespace lyricade
