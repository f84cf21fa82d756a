#pragma once
// Draws the karaoke screen with OpenGL into a 1920x1080 back buffer (a
// framebuffer object) and presents it stretched to the window. Runs on the
// thread that has the context current (the render thread; tests drive it on
// their own thread with a context of their own).
//
// One frame:
//   upload   the textures whose pixels changed (taken over under the scene
//            lock by the caller, uploaded here unlocked);
//   2 clear  opaque black;
//   3 begin  blending source alpha / one minus source alpha, nearest
//            filtering or linear with "Smooth Output Lyrics";
//   4 the background video, when it runs and backgrounds are enabled;
//   5 the main layer: the announce card, the background picture (default,
//            blank or custom logo), or the song's picture;
//   6 the ticker, then the start countdown, through ScreenMessages;
//   7 present the back buffer to the window.
// Each step is isolated: a failure inside one (a GL error, an exception from
// the messages) abandons that step only and the frame goes on.

#include <QImage>
#include <QOpenGLBuffer>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "screen/scene_buffers.h"
#include "common/scene_flags.h"
#include "screen/screen_messages.h"

class QOpenGLFramebufferObject;

namespace lyricade {

class AppSettings;

// What the frame depends on; a frame whose state equals the last drawn one
// is the same picture and need not be drawn again.
struct SceneState {
  bool SongVisualShowing = false;
  bool SongPlaying = false;
  bool CdgMode = false;
  bool BackgroundVideoRunning = false;
  bool BackgroundsEnabled = false;
  bool AnnounceCardShowing = false;
  bool CustomLogoLoaded = false;
  bool Smooth = false;
  int BackgroundChoice = 0;
  uint64_t TextureGeneration = 0;
  bool operator==(const SceneState&) const = default;
};

enum class FrameStep { Upload, Clear, Begin, BackgroundVideo, MainLayer, Messages, Present };
inline constexpr int kFrameStepCount = 7;

class SceneRenderer : public SceneCanvas {
public:
  static constexpr int kBackBufferWidth = 1920;
  static constexpr int kBackBufferHeight = 1080;

  SceneRenderer(SceneBuffers& buffers, SceneFlags& flags, const AppSettings& settings);
  ~SceneRenderer() override;
  SceneRenderer(const SceneRenderer&) = delete;
  SceneRenderer& operator=(const SceneRenderer&) = delete;

  // With the context current: shaders, the quad, the back buffer. Returns
  // false (and draws nothing later) when any of them cannot be made.
  bool Initialise();
  // With the context current: every GL object goes. Also done by the
  // destructor when the caller forgot, as long as the context is current.
  void Release();
  bool Initialised() const { return initialised_; }

  // Set before frames are drawn; may be null.
  void SetMessages(ScreenMessages* messages) { messages_ = messages; }

  // The state the next frame would show.
  SceneState CurrentState() const;

  // Uploads what the caller took over from SceneBuffers::TryTakeChanges.
  void Upload(SceneBuffers::Handovers& changes);
  // Steps 2 to 6 into the back buffer, from `state` as read in the same
  // locked step that took the textures over (a flag read later could pair a
  // new flag with an old texture for one frame).
  void DrawFrame(const SceneState& state);
  // Same, reading the state now (callers that hold no other thread's writes).
  void DrawFrame() { DrawFrame(CurrentState()); }
  // Step 7: the back buffer stretched over `width` x `height` pixels of the
  // framebuffer `target` (the window's default framebuffer).
  void Present(unsigned target, int width, int height);
  // Waits until the GL has carried out everything asked of it. A software
  // renderer otherwise queues frames that nobody presents without bound.
  void Finish();
  // The back buffer as it is now, read with glReadPixels (top row first).
  QImage ReadBackBuffer();

  // Failures seen per step since Initialise, for diagnostics and tests.
  int StepFailures(FrameStep step) const { return failures_[static_cast<int>(step)]; }

  // SceneCanvas, for the messages during step 6.
  void DrawTexture(SceneTexture texture, const QRectF& rect, float opacity) override;
  void DrawImage(const QImage& image, const QRectF& rect, float opacity) override;

private:
  struct GlTexture {
    unsigned Id = 0;
    int Width = 0;
    int Height = 0;
  };
  struct CachedImage {
    GlTexture Texture;
    uint64_t LastFrame = 0;
  };

  template <typename Step>
  void RunStep(FrameStep step, Step&& body);
  void UploadTexture(GlTexture& texture, const PixelImage& image);
  void DeleteTexture(GlTexture& texture);
  // Binds `texture`, or the stand-in for a missing texture, with the frame's
  // filtering.
  void BindTexture(const GlTexture* texture);
  const GlTexture* Texture(SceneTexture which) const;
  // The full-screen quad through the scene transform. `textureAlpha` false:
  // the layer is opaque; true: the texture's alpha counts.
  void DrawLayer(const GlTexture* texture, bool textureAlpha);
  // A rectangle in back-buffer pixels, straight to the screen.
  void DrawPixelRect(const GlTexture* texture, const QRectF& rect, float opacity);
  // A vertex: position x, y, z and texture u, v.
  static constexpr int kVertexFloats = 5;
  void DrawRectangle(const float (&vertices)[6 * kVertexFloats]);
  void DrawMainLayer(const SceneState& state);

  SceneBuffers& buffers_;
  SceneFlags& flags_;
  const AppSettings& settings_;
  ScreenMessages* messages_ = nullptr;

  QOpenGLFunctions gl_;
  std::unique_ptr<QOpenGLShaderProgram> program_;
  std::unique_ptr<QOpenGLFramebufferObject> backBuffer_;
  QOpenGLBuffer quad_{QOpenGLBuffer::VertexBuffer};
  QOpenGLBuffer rect_{QOpenGLBuffer::VertexBuffer};
  std::array<GlTexture, kSceneTextureCount> textures_;
  GlTexture missing_;  // 1x1 opaque black: a layer whose texture is missing
  std::unordered_map<int64_t, CachedImage> images_;
  SceneState frameState_;
  uint64_t frameNumber_ = 0;
  std::array<int, kFrameStepCount> failures_{};
  bool initialised_ = false;
};

}  // namespace lyricade
