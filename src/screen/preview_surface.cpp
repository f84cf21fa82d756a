#include "screen/preview_surface.h"

#include <QPainter>

#include <cstring>

#include "screen/picture_file.h"
#include "screen/screen_log.h"

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
  videoActive_ = false;
  cdgActive_ = false;
  surface_ = idle_.copy();
  ++generation_;
}

void PreviewSurface::CopyPicture(const QImage& picture) {
  if (picture.isNull()) {
    qCWarning(lcScreen) << "An empty picture is not copied into the preview";
    return;
  }
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

namespace {

bool Usable(const uint8_t* rows, int width, int height, size_t stride) {
  if (rows && width > 0 && height > 0 && stride >= static_cast<size_t>(width) * 4) return true;
  qCWarning(lcScreen).nospace() << "A frame of " << width << "x" << height << " with a stride of "
                                << stride << (rows ? "" : " and no pixels")
                                << " is not copied into the preview";
  return false;
}

}  // namespace

void PreviewSurface::Stretch(const uint8_t* rows, int width, int height, size_t stride,
                             QImage& into, bool blend) {
  // Nearest-pixel stretch: each target pixel takes the source pixel it falls
  // in, which for a 320x240 frame is an exact 2x2 block.
  for (int y = 0; y < kHeight; ++y) {
    const int sourceY = static_cast<int>(static_cast<int64_t>(y) * height / kHeight);
    const uint8_t* from = rows + sourceY * stride;
    auto* to = reinterpret_cast<uint32_t*>(into.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const int sourceX = static_cast<int>(static_cast<int64_t>(x) * width / kWidth);
      uint32_t pixel;
      std::memcpy(&pixel, from + sourceX * 4, 4);
      if (blend && (pixel >> 24) == 0) continue;
      to[x] = pixel | 0xFF000000u;
    }
  }
}

void PreviewSurface::StretchFrom(const uint8_t* rows, int width, int height, size_t stride) {
  if (!Usable(rows, width, height, stride)) return;
  std::lock_guard lock(lock_);
  Stretch(rows, width, height, stride, surface_, false);
  ++generation_;
}

void PreviewSurface::ComposeSong() {
  if (videoActive_) {
    surface_ = video_.copy();
    if (cdgActive_) {
      Stretch(cdg_.constBits(), cdg_.width(), cdg_.height(),
              static_cast<size_t>(cdg_.bytesPerLine()), surface_, true);
    }
  } else if (cdgActive_) {
    Stretch(cdg_.constBits(), cdg_.width(), cdg_.height(),
            static_cast<size_t>(cdg_.bytesPerLine()), surface_, false);
  }
  ++generation_;
}

void PreviewSurface::PresentVideoFrame(const uint8_t* rows, int width, int height,
                                       size_t stride) {
  if (!Usable(rows, width, height, stride)) return;
  std::lock_guard lock(lock_);
  if (video_.isNull()) video_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
  Stretch(rows, width, height, stride, video_, false);
  videoActive_ = true;
  ComposeSong();
}

void PreviewSurface::PresentCdgFrame(const uint8_t* rows, int width, int height, size_t stride) {
  if (!Usable(rows, width, height, stride)) return;
  std::lock_guard lock(lock_);
  if (cdg_.width() != width || cdg_.height() != height)
    cdg_ = QImage(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y)
    std::memcpy(cdg_.scanLine(y), rows + y * stride, static_cast<size_t>(width) * 4);
  cdgActive_ = true;
  ComposeSong();
}

void PreviewSurface::EndVideo() {
  std::lock_guard lock(lock_);
  videoActive_ = false;
}

void PreviewSurface::EndCdg() {
  std::lock_guard lock(lock_);
  cdgActive_ = false;
}

QImage PreviewSurface::Snapshot() const {
  std::lock_guard lock(lock_);
  return surface_.copy();
}

}  // namespace lyricade
