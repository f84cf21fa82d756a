#include "screen/cdg_screen_sink.h"

#include "screen/preview_surface.h"
#include "screen/scene_buffers.h"
#include "screen/screen_log.h"

namespace lyricade {

void CdgScreenSink::frameOpened() {
  buffers_.Create(SceneTexture::SongCdg, kCdgFrameWidth, kCdgFrameHeight);
}

void CdgScreenSink::present(const uint8_t* frame, size_t pitch, int index) {
  if (!frame || pitch < kCdgFramePitch) {
    qCWarning(lcScreen) << "A CD+G frame without pixels or with a row pitch of" << pitch
                        << "bytes is not shown";
    return;
  }
  if (index == 0 || index == 1)
    buffers_.PutRows(SceneTexture::SongCdg, frame, kCdgFrameWidth, kCdgFrameHeight, pitch, false);
  if (index == 0) preview_.PresentCdgFrame(frame, kCdgFrameWidth, kCdgFrameHeight, pitch);
}

void CdgScreenSink::frameClosed() {
  buffers_.Release(SceneTexture::SongCdg);
  preview_.EndCdg();
}

}  // namespace lyricade
