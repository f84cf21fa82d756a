#include "screen/preview_surface.h"

#include <QPainter>

#include <cstring>

#include "screen/picture_file.h"

namespace lyricade {

PreviewSurface::PreviewSurface()
    : surface_(kWidth, kHeight, QImage::Format_RGB32), idle_(kWidth, kHeight, QImage::Format_RGB32) {
  surface_.fill(Qt::black);
  idle_.fill(Qt::black);
}

bool PreviewSurface::LoadIdlePicture(const std::string& path) {
  PixelImage picture;
  QImage idle(kWidth, kHeight, QImage::Format_RGB32);
  idle.fill(Qt::black);
  const bool loaded = LoadPictureFile(path, picture, kWidth, kHeight);
  if (loaded) {
    for (int y = 0; y < kHeight; ++y) {
      auto* to = reinterpret_cast<uint32_t*>(idle.scanLine(y));
      std::memcpy(to, picture.Row(y), picture.Pitch());
      for (int x = 0; x < kWidth; ++x) to[x] |= 0xFF000000u;
    }
  }
  {
    std::lock_guard lock(lock_);
    idle_ = idle;
  }
  RestoreIdle();
  return loaded;
}

void PreviewSurface::RestoreIdle() {
  std::lock_guard lock(lock_);
  surface_ = idle_.copy();
  ++generation_;
}

void PreviewSurface::CopyPicture(const QImage& picture) {
  if (picture.isNull()) return;
  const QImage scaled = picture.size() == surface_.size()
                            ? picture.convertToFormat(QImage::Format_RGB32)
                            : picture.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_RGB32);
  std::lock_guard lock(lock_);
  QPainter painter(&surface_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, scaled);
  ++generation_;
}

void PreviewSurface::StretchFrom(const uint8_t* rows, int width, int height, size_t stride) {
  if (!rows || width <= 0 || height <= 0 || stride < static_cast<size_t>(width) * 4) return;
  std::lock_guard lock(lock_);
  // Nearest-pixel stretch: each target pixel takes the source pixel it falls
  // in, which for a 320x240 frame is an exact 2x2 block.
  for (int y = 0; y < kHeight; ++y) {
    const int sourceY = static_cast<int>(static_cast<int64_t>(y) * height / kHeight);
    const uint8_t* from = rows + sourceY * stride;
    auto* to = reinterpret_cast<uint32_t*>(surface_.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const int sourceX = static_cast<int>(static_cast<int64_t>(x) * width / kWidth);
      uint32_t pixel;
      std::memcpy(&pixel, from + sourceX * 4, 4);
      to[x] = pixel | 0xFF000000u;
    }
  }
  ++generation_;
}

QImage PreviewSurface::Snapshot() const {
  std::lock_guard lock(lock_);
  return surface_.copy();
}

}  // namespace lyricade
