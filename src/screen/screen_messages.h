#pragma once
// The texts the karaoke screen writes over its layers between songs: the
// scrolling ticker of next singers and the start countdown. Each turn of the
// render thread calls TakeSnapshot while it holds the scene lock, then, with
// the lock released, every frame calls DrawTicker, then DrawCountdown, then
// DrawCorner, after the main layer.
// They draw through a SceneCanvas in back-buffer pixels (1920 x 1080, origin
// at the top left), which the screen then stretches to the window.

#include <QImage>
#include <QRectF>

#include "screen/scene_buffers.h"

namespace lyricade {

class SceneCanvas {
public:
  virtual ~SceneCanvas() = default;
  static constexpr int kWidth = 1920;
  static constexpr int kHeight = 1080;

  // One of the screen's textures ("black.dds" under the ticker) over `rect`,
  // its colours multiplied by `opacity` 0..1 in alpha. A texture that does
  // not exist is drawn as opaque black times `opacity`.
  virtual void DrawTexture(SceneTexture texture, const QRectF& rect, float opacity) = 0;
  // A picture made by the caller (text drawn with QPainter) over `rect`, with
  // its own alpha times `opacity`. Pictures are uploaded once and kept while
  // the same QImage (by cache key) is drawn frame after frame.
  virtual void DrawImage(const QImage& image, const QRectF& rect, float opacity) = 0;
};

class ScreenMessages {
public:
  virtual ~ScreenMessages() = default;
  // With the scene lock held: copies what the UI thread wrote for the
  // messages into the render thread's own state.
  virtual void TakeSnapshot() {}
  virtual void DrawTicker(SceneCanvas& canvas) = 0;
  virtual void DrawCountdown(SceneCanvas& canvas) = 0;
  // Last: a picture in a corner (the request page's code), shown only
  // between songs.
  virtual void DrawCorner(SceneCanvas& canvas, bool betweenSongs) {
    (void)canvas;
    (void)betweenSongs;
  }
  // True while something moves or fades, so every frame must be drawn even
  // when nothing else changed.
  virtual bool Animating() const = 0;
};

}  // namespace lyricade
