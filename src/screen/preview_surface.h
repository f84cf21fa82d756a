#pragma once
// The host-side copy of the karaoke screen: a 640x480 work surface that the
// CD+G sink, the song video and the announce card draw into, and that the
// main window's preview pane shows. It has a lock of its own (writers come
// from the UI thread and from a streaming thread, the pane reads on the UI
// thread), separate from the scene lock, so the preview never delays the
// karaoke screen.

#include <QImage>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace lyricade {

class PreviewSurface {
public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  PreviewSurface();

  // Loads the idle picture ("Background.bmp" of the data folder) and shows
  // it. A picture that cannot be read leaves the idle picture black.
  bool LoadIdlePicture(const std::string& path);
  // Back to the idle picture (a song or an announce card ended).
  void RestoreIdle();
  // A picture of any size, stretched over the whole surface.
  void CopyPicture(const QImage& picture);
  // BGRA / BGRx rows (`stride` bytes apart, top row first), stretched over
  // the whole surface; 320x240 CD+G frames become exact 2x2 blocks. The
  // fourth byte is ignored: the preview is opaque.
  void StretchFrom(const uint8_t* rows, int width, int height, size_t stride);

  // The song's two producers. A song video's frame is kept and shown; a
  // CD+G frame is shown opaque (its transparent colour black, as the screen
  // shows it without a background video), or, while a song video runs, over
  // the last video frame with its alpha, as the screen draws the two. So a
  // video with CD+G beside it shows both in the preview too, whichever
  // producer wrote last.
  void PresentVideoFrame(const uint8_t* rows, int width, int height, size_t stride);
  void PresentCdgFrame(const uint8_t* rows, int width, int height, size_t stride);
  void EndVideo();
  void EndCdg();

  // A copy of the surface as it is now.
  QImage Snapshot() const;
  // Grows with every change, so the pane repaints only when needed.
  uint64_t Generation() const { return generation_.load(); }

private:
  // With the lock held: the stretch of `rows` into `into`; with `blend`, a
  // pixel whose alpha is 0 leaves `into` as it was.
  static void Stretch(const uint8_t* rows, int width, int height, size_t stride, QImage& into,
                      bool blend);
  void ComposeSong();

  mutable std::mutex lock_;
  QImage video_;
  QImage cdg_;
  bool videoActive_ = false;
  bool cdgActive_ = false;
  QImage surface_;
  QImage idle_;
  std::atomic<uint64_t> generation_{0};
};

}  // namespace lyricade
