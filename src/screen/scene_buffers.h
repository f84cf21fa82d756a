#pragma once
// The CPU-side pixels of every texture of the karaoke screen, and the scene
// lock that guards them.
//
// Only the render thread has the OpenGL context, so only it touches GL
// objects. Writers (the CD+G sink on the UI thread, the video sinks on
// streaming threads, the announce card, the logo loader) take the lock, copy
// their pixels into the texture's pending buffer, mark it dirty and release
// the lock. The render thread only tries the lock: when it gets it, it swaps
// each dirty pending buffer with its own upload buffer (no copy), releases the
// lock and uploads unlocked. So the lock is never held for an upload or a
// draw, and a writer never waits behind a frame. The two buffers per texture
// also mean a streaming thread writes its next frame while the previous one
// is being uploaded.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "screen/pixel_image.h"

namespace lyricade {

enum class SceneTexture {
  Background,       // "background.dds"
  AnnounceCard,     // "background.dds" with opaque black keyed out, then the card
  Blank,            // "blank.dds"
  Black,            // "black.dds", under the ticker
  CustomLogo,       // the host's background logo
  SongCdg,          // the song's CD+G frames, 320x240
  SongVideo,        // the song's video frames
  BackgroundVideo,  // the background video's frames
};
inline constexpr int kSceneTextureCount = 8;

// What the render thread takes over for one texture.
struct TextureHandover {
  enum class Change { None, Updated, Released };
  Change What = Change::None;
  PixelImage Image;  // the new pixels when Updated
};

class SceneBuffers {
public:
  using Handovers = std::array<TextureHandover, kSceneTextureCount>;

  // The whole picture, copied. An empty image releases the texture.
  void Put(SceneTexture texture, const PixelImage& image);
  // Same, only when the texture exists already; returns whether it was copied.
  bool PutIfExists(SceneTexture texture, const PixelImage& image);
  // Rows of `width` x 4 bytes, `stride` bytes apart, top row first. With
  // `opaque` the fourth byte of every pixel is set to 255 (video frames carry
  // an undefined padding byte there). The caller has checked the sizes.
  void PutRows(SceneTexture texture, const uint8_t* rows, int width, int height, size_t stride,
               bool opaque);
  // A texture of the given size, all zero (transparent black).
  void Create(SceneTexture texture, int width, int height);
  // The texture goes away; its layer is drawn with no texture.
  void Release(SceneTexture texture);

  bool Exists(SceneTexture texture) const;
  // Grows with every write; the render thread redraws when it changed. Read
  // without the lock.
  uint64_t Generation() const;
  // How many times the texture's pixels were written again before the
  // render thread took the earlier ones (for video: frames never drawn).
  uint64_t Replaced(SceneTexture texture) const;

  // The render thread's side: tries the lock without waiting. When it is
  // taken, returns false and nothing changes (the frame is skipped). Otherwise
  // moves every dirty buffer into `out` (the buffers in `out` come back as
  // the next pending buffers), runs `whileLocked` (the screen messages take
  // their snapshot) and returns true.
  bool TryTakeChanges(Handovers& out, const std::function<void()>& whileLocked = {});

  // The scene lock itself, for a writer that must do more than one step
  // atomically and for tests that hold it.
  std::mutex& Lock() { return lock_; }

private:
  struct Slot {
    PixelImage Pending;
    bool Exists = false;
    bool Dirty = false;
    bool Released = false;
    uint64_t Replaced = 0;
  };
  Slot& At(SceneTexture texture) { return slots_[static_cast<size_t>(texture)]; }
  const Slot& At(SceneTexture texture) const { return slots_[static_cast<size_t>(texture)]; }
  void MarkUpdated(Slot& slot);

  mutable std::mutex lock_;
  std::array<Slot, kSceneTextureCount> slots_;
  std::atomic<uint64_t> generation_{0};
};

}  // namespace lyricade
