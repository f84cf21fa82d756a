#pragma once
// The karaoke screen's side of a video sink: copies each frame into the
// layer's texture under the scene lock; the song's video (renderer 0) also
// goes, stretched, into the preview. The first frame after VideoStarted
// raises the layer's flag (song visual showing, or background video
// running); VideoStopped lowers it and releases the texture.

#include <mutex>

#include "platform/media/video_frame_target.h"

namespace lyricade {

class PreviewSurface;
class SceneBuffers;
struct SceneFlags;

class VideoLayer : public VideoFrameTarget {
public:
  // Frames wider or taller than this are refused.
  static constexpr int kMaxSide = 8192;

  // `index` 0: the song's video; 1: the background video.
  VideoLayer(int index, SceneBuffers& buffers, SceneFlags& flags, PreviewSurface& preview);

  void VideoStarted() override;
  bool PresentVideoFrame(const uint8_t* pixels, size_t size, int width, int height,
                         size_t stride) override;
  void VideoStopped() override;

  // Whether a frame of this shape fits its buffer.
  static bool FrameFits(const uint8_t* pixels, size_t size, int width, int height, size_t stride);

private:
  int index_;
  SceneBuffers& buffers_;
  SceneFlags& flags_;
  PreviewSurface& preview_;
  // Orders a streaming thread's frame against start and stop on the UI
  // thread, so a late frame never brings back a stopped layer.
  std::mutex stateLock_;
  bool active_ = false;
  bool firstFrame_ = false;
  bool refusedTold_ = false;
};

}  // namespace lyricade
