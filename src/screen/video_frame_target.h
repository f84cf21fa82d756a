#pragma once
// How decoded video frames reach the karaoke screen. The song's video sink
// ("Texture Renderer 0") and the background video's ("Texture Renderer 1")
// call it from their streaming threads with BGRx frames, rows top to bottom.

#include <cstddef>
#include <cstdint>

namespace lyricade {

class VideoFrameTarget {
public:
  virtual ~VideoFrameTarget() = default;
  // A stream is about to deliver frames; the first one shows the layer.
  virtual void VideoStarted() = 0;
  // One frame: `width` x `height` pixels of 4 bytes (B, G, R, padding), rows
  // `stride` bytes apart in a buffer of `size` bytes. Returns false when the
  // frame was refused (a buffer too small for its size, no stream started);
  // a frame of a new size replaces the texture.
  virtual bool PresentVideoFrame(const uint8_t* pixels, size_t size, int width, int height,
                                 size_t stride) = 0;
  // The stream is gone: the layer disappears and its texture is released.
  virtual void VideoStopped() = 0;
};

}  // namespace lyricade
