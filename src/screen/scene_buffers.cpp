#include "screen/scene_buffers.h"

#include <algorithm>
#include <utility>

#include "screen/screen_log.h"

namespace lyricade {

void SceneBuffers::MarkUpdated(Slot& slot) {
  // Pixels the render thread never took are lost: a video frame not drawn.
  if (slot.Dirty && !slot.Released) ++slot.Replaced;
  slot.Exists = true;
  slot.Dirty = true;
  slot.Released = false;
  ++generation_;
}

void SceneBuffers::Put(SceneTexture texture, const PixelImage& image) {
  if (image.Empty()) {
    Release(texture);
    return;
  }
  std::lock_guard lock(lock_);
  Slot& slot = At(texture);
  slot.Pending = image;
  MarkUpdated(slot);
}

bool SceneBuffers::PutIfExists(SceneTexture texture, const PixelImage& image) {
  if (image.Empty()) return false;
  std::lock_guard lock(lock_);
  Slot& slot = At(texture);
  if (!slot.Exists) return false;
  slot.Pending = image;
  MarkUpdated(slot);
  return true;
}

void SceneBuffers::PutRows(SceneTexture texture, const uint8_t* rows, int width, int height,
                           size_t stride, bool opaque) {
  if (!rows || width <= 0 || height <= 0) {
    qCWarning(lcScreen) << "A frame of" << width << "x" << height << "is not copied into texture"
                        << static_cast<int>(texture);
    return;
  }
  std::lock_guard lock(lock_);
  Slot& slot = At(texture);
  PixelImage& image = slot.Pending;
  if (image.Width != width || image.Height != height) {
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(image.Pitch() * height);
  }
  const size_t rowBytes = image.Pitch();
  for (int y = 0; y < height; ++y) {
    uint8_t* to = image.Row(y);
    std::copy_n(rows + y * stride, rowBytes, to);
    if (opaque) {
      for (size_t x = 3; x < rowBytes; x += 4) to[x] = 255;
    }
  }
  MarkUpdated(slot);
}

void SceneBuffers::Create(SceneTexture texture, int width, int height) {
  if (width <= 0 || height <= 0) {
    qCWarning(lcScreen) << "Texture" << static_cast<int>(texture) << "cannot be" << width << "x"
                        << height;
    return;
  }
  std::lock_guard lock(lock_);
  Slot& slot = At(texture);
  slot.Pending.Reset(width, height);
  MarkUpdated(slot);
}

void SceneBuffers::Release(SceneTexture texture) {
  std::lock_guard lock(lock_);
  Slot& slot = At(texture);
  if (!slot.Exists && !slot.Dirty) return;
  slot.Exists = false;
  slot.Dirty = true;
  slot.Released = true;
  ++generation_;
}

bool SceneBuffers::Exists(SceneTexture texture) const {
  std::lock_guard lock(lock_);
  return At(texture).Exists;
}

uint64_t SceneBuffers::Generation() const { return generation_.load(); }

uint64_t SceneBuffers::Replaced(SceneTexture texture) const {
  std::lock_guard lock(lock_);
  return At(texture).Replaced;
}

bool SceneBuffers::TryTakeChanges(Handovers& out, const std::function<void()>& whileLocked) {
  std::unique_lock lock(lock_, std::try_to_lock);
  if (!lock.owns_lock()) return false;
  for (int i = 0; i < kSceneTextureCount; ++i) {
    Slot& slot = slots_[i];
    TextureHandover& handover = out[i];
    if (!slot.Dirty) {
      handover.What = TextureHandover::Change::None;
      continue;
    }
    slot.Dirty = false;
    if (slot.Released) {
      handover.What = TextureHandover::Change::Released;
      slot.Released = false;
      continue;
    }
    handover.What = TextureHandover::Change::Updated;
    std::swap(handover.Image, slot.Pending);
  }
  if (whileLocked) whileLocked();
  return true;
}

}  // namespace lyricade
