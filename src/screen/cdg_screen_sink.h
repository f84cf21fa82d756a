#pragma once
// Where the CD+G player's frames go on the karaoke screen: the song's CD+G
// texture (copied under the scene lock) and, stretched 2x, the preview.

#include "cdg/cdg_frame_sink.h"

namespace lyricade {

class PreviewSurface;
class SceneBuffers;

class CdgScreenSink : public CdgFrameSink {
public:
  CdgScreenSink(SceneBuffers& buffers, PreviewSurface& preview)
      : buffers_(buffers), preview_(preview) {}

  // A 320x240 song texture, cleared to transparent black.
  void frameOpened() override;
  // Outputs 0 and 1 reach the song texture; output 0 also the preview.
  void present(const uint8_t* frame, size_t pitch, int index) override;
  void frameClosed() override;

private:
  SceneBuffers& buffers_;
  PreviewSurface& preview_;
};

}  // namespace lyricade
