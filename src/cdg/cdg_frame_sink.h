#pragma once
// How composed CD+G frames leave the player. The karaoke screen's sink copies
// each frame into the song texture under the scene lock and stretches it into
// the preview; LastFrameSink keeps the last frame for tools and tests.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <vector>

#include "cdg/cdg_frame.h"

namespace lyricade {

class CdgFrameSink {
public:
  virtual ~CdgFrameSink() = default;
  // The player opened a song's graphics: create and clear the song texture.
  virtual void frameOpened() = 0;
  // A frame of 320x240 BGRA pixels, `pitch` bytes a row, for output `index`
  // (0 the karaoke screen's song texture and preview).
  virtual void present(const uint8_t* frame, size_t pitch, int index) = 0;
  // The player closed: release the song texture.
  virtual void frameClosed() = 0;
};

// Keeps a copy of the last frame presented, and counts what it was told.
class LastFrameSink : public CdgFrameSink {
public:
  LastFrameSink() : frame_(kCdgFrameBytes, 0) {}

  void frameOpened() override {
    ++opened_;
    isOpen_ = true;
    std::fill(frame_.begin(), frame_.end(), 0);
  }
  void present(const uint8_t* frame, size_t pitch, int index) override {
    for (int y = 0; y < kCdgFrameHeight; ++y)
      std::copy_n(frame + y * pitch, kCdgFramePitch, frame_.data() + y * kCdgFramePitch);
    ++presented_;
    lastIndex_ = index;
  }
  void frameClosed() override {
    ++closed_;
    isOpen_ = false;
  }

  const std::vector<uint8_t>& Frame() const { return frame_; }
  // The pixel at (x, y) as 0xAARRGGBB.
  uint32_t PixelAt(int x, int y) const {
    const uint8_t* p = frame_.data() + y * kCdgFramePitch + x * 4;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  }
  int Presented() const { return presented_; }
  int Opened() const { return opened_; }
  int Closed() const { return closed_; }
  int LastIndex() const { return lastIndex_; }
  bool IsOpen() const { return isOpen_; }

private:
  std::vector<uint8_t> frame_;
  int presented_ = 0;
  int opened_ = 0;
  int closed_ = 0;
  int lastIndex_ = -1;
  bool isOpen_ = false;
};

}  // namespace lyricade
