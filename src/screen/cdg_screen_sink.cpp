#include "screen/cdg_screen_sink.h"

#include "screen/preview_surface.h"
#include "screen/scene_buffers.h"

namespace lyricade {

void CdgScreenSink::frameOpened() {
  buffers_.Create(SceneTexture::SongCdg, kCdgFrameWidth, kCdgFrameHeight);
}

void CdgScreenSink::present(const uint8_t* frame, size_t pitch, int index) {
  if (!frame || pitch < kCdgFramePitch) return;
  if (index == 0 || index == 1)
    buffers_.PutRows(SceneTexture::SongCdg, frame, kCdgFrameWidth, kCdgFrameHeight, pitch, false);
  if (index == 0) preview_.PresentCdgFrame(frame, kCdgFrameWidth, kCdgFrameHeight, pitch);
}

void CdgScreenSink::frameClosed() {
  buffers_.Release(SceneTexture::SongCdg);
  preview_.EndCdg();
}

}  // namespace lyricade
