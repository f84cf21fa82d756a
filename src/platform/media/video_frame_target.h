#pragma once
// Where a graph's video renderer puts its frames: BGRx pixels, rows top to
// bottom, `stride` bytes apart. Called on a GStreamer streaming thread; the
// karaoke screen copies the frame into its texture under the scene lock.

#include <cstdint>

namespace lyricade {

class VideoFrameTarget {
public:
  virtual ~VideoFrameTarget() = default;
  virtual void videoFrame(const uint8_t* bgrx, int width, int height, int stride) = 0;
};

}  // namespace lyricade
