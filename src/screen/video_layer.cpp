#include "screen/video_layer.h"

#include "screen/preview_surface.h"
#include "screen/scene_buffers.h"
#include "common/scene_flags.h"
#include "screen/screen_log.h"

namespace lyricade {

VideoLayer::VideoLayer(int index, SceneBuffers& buffers, SceneFlags& flags,
                       PreviewSurface& preview)
    : index_(index), buffers_(buffers), flags_(flags), preview_(preview) {}

bool VideoLayer::FrameFits(const uint8_t* pixels, size_t size, int width, int height,
                           size_t stride) {
  if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  if (stride < static_cast<size_t>(width) * 4) return false;
  // stride x height fits in size_t for any stride a buffer of `size` bytes
  // could carry; a larger stride is refused before the product.
  if (stride > size) return false;
  return stride * static_cast<size_t>(height) <= size;
}

void VideoLayer::VideoStarted() {
  std::lock_guard lock(stateLock_);
  active_ = true;
  firstFrame_ = true;
  refusedTold_ = false;
}

bool VideoLayer::PresentVideoFrame(const uint8_t* pixels, size_t size, int width, int height,
                                   size_t stride) {
  std::lock_guard lock(stateLock_);
  // A frame after the stop is a late one, not a fault.
  if (!active_) return false;
  if (!FrameFits(pixels, size, width, height, stride)) {
    // Told once a video: a stream of bad frames would otherwise flood the log.
    if (!refusedTold_) {
      refusedTold_ = true;
      qCWarning(lcScreen).nospace()
          << "Video " << index_ << ": a frame of " << width << "x" << height << ", stride "
          << stride << " in " << size << " bytes does not fit; such frames are not shown";
    }
    return false;
  }
  const SceneTexture texture = index_ == 0 ? SceneTexture::SongVideo : SceneTexture::BackgroundVideo;
  buffers_.PutRows(texture, pixels, width, height, stride, true);
  if (index_ == 0) preview_.PresentVideoFrame(pixels, width, height, stride);
  if (firstFrame_) {
    firstFrame_ = false;
    if (index_ == 0)
      flags_.SongVisualShowing.store(true);
    else
      flags_.BackgroundVideoRunning.store(true);
  }
  return true;
}

void VideoLayer::VideoStopped() {
  std::lock_guard lock(stateLock_);
  active_ = false;
  firstFrame_ = false;
  if (index_ == 0) {
    flags_.SongVisualShowing.store(false);
    buffers_.Release(SceneTexture::SongVideo);
    preview_.EndVideo();
  } else {
    flags_.BackgroundVideoRunning.store(false);
    buffers_.Release(SceneTexture::BackgroundVideo);
  }
}

}  // namespace lyricade
