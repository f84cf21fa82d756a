#pragma once
// The karaoke screen as the rest of the program sees it: the window, the
// scene (flags, pixel buffers and scene lock, render thread), the preview,
// and the producers that feed it (the CD+G sink, the two video layers).
//
// Start-up, on the UI thread: CreateWindow (monitor choice, the
// single-display message, the window and the preview's idle picture), then
// InitialiseScene (the OpenGL context, the picture files, the window's
// placement), then StartRenderThread. Shutdown: StopRenderThread, then the
// object goes.

#include <QImage>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "screen/cdg_screen_sink.h"
#include "screen/karaoke_static.h"
#include "screen/monitor_choice.h"
#include "screen/preview_surface.h"
#include "screen/render_thread.h"
#include "screen/scene_buffers.h"
#include "common/scene_flags.h"
#include "screen/video_layer.h"

class QOpenGLContext;

namespace lyricade {

class AppSettings;
class Prompts;
class ScreenMessages;

class KaraokeScreen {
public:
  // How the scene gets its OpenGL, step by step; an empty step is the real
  // one. Tests put in steps that fail.
  struct ContextFactory {
    // Makes the context for the window (UI thread); null, or a context that
    // failed QOpenGLContext::create, when none can be had.
    std::function<std::unique_ptr<QOpenGLContext>(QWindow&)> Create;
    // Makes it current on the window (render thread).
    RenderThread::MakeCurrentStep MakeCurrent;
    // The scene's shaders, quad and back buffer (render thread).
    RenderThread::InitialiseSceneStep InitialiseScene;
  };

  static constexpr const char* kNoOpenGlCaption = "Not available";
  static constexpr const char* kNoOpenGlText =
      "Update your Video Driver from the manufacturer.\n\nSpecific: Not available";

  // `dataFolder` holds the pictures; `programFolder` the help page.
  KaraokeScreen(AppSettings& settings, Prompts& prompts, std::string dataFolder,
                std::string programFolder);
  ~KaraokeScreen();
  KaraokeScreen(const KaraokeScreen&) = delete;
  KaraokeScreen& operator=(const KaraokeScreen&) = delete;

  // Chooses the monitor among `screens` (QGuiApplication::screens() order),
  // shows the single-display message when there is one screen, creates the
  // window (640x480 at (0, 0)) and loads the preview's idle picture.
  void CreateWindow(const std::vector<ScreenRect>& screens);
  // The same over the screens Qt lists.
  void CreateWindow();

  // Creates the OpenGL context, loads the picture files into their textures
  // and places the window. Without a context: the "Not available" message,
  // and the program goes on without screen rendering (false).
  bool InitialiseScene(const ContextFactory& factory = {});

  // Set before the render thread starts; may be null.
  void SetScreenMessages(ScreenMessages* messages) { messages_ = messages; }
  // Starts the render thread and waits for its OpenGL set-up. When the
  // context cannot be made current on the window or the scene cannot be set
  // up there, the thread ends, the "Not available" message is shown and the
  // program goes on without screen rendering (false).
  bool StartRenderThread();
  // Returns whether it had been running.
  bool StopRenderThread();

  // The host's background logo (index 0 upwards): on success the background
  // choice becomes index + 2. On failure the logo is gone (choice 2 and up
  // then draws nothing) and the choice stays.
  bool LoadCustomLogo(const std::string& path, int index);
  // The announce card (a 640x480 picture): copied into its texture and the
  // preview. Refused when "background.dds" could not be loaded, since the
  // card's texture is made from it.
  bool CopyAnnounceCard(const QImage& card);

  SceneFlags& Flags() { return flags_; }
  SceneBuffers& Buffers() { return buffers_; }
  PreviewSurface& Preview() { return preview_; }
  CdgFrameSink& CdgSink() { return cdgSink_; }
  // 0 the song's video ("Texture Renderer 0"), 1 the background video.
  VideoFrameTarget& VideoTarget(int index) { return index == 0 ? songVideo_ : backgroundVideo_; }

  KaraokeStatic* Window() { return window_.get(); }
  const MonitorChoice& Choice() const { return choice_; }
  ScreenRect ChosenRect() const { return chosen_; }
  RenderThread* Renderer() { return renderThread_.get(); }
  // The next frame's back buffer; an empty picture without a render thread.
  std::future<QImage> CaptureNextFrame();

private:
  void LoadSceneTextures();
  void ShowNoOpenGl();

  AppSettings& settings_;
  Prompts& prompts_;
  std::string dataFolder_;
  std::string programFolder_;
  ScreenMessages* messages_ = nullptr;

  SceneFlags flags_;
  SceneBuffers buffers_;
  PreviewSurface preview_;
  CdgScreenSink cdgSink_;
  VideoLayer songVideo_;
  VideoLayer backgroundVideo_;

  std::vector<ScreenRect> screens_;
  MonitorChoice choice_;
  ScreenRect chosen_;
  ContextFactory factory_;
  std::unique_ptr<KaraokeStatic> window_;
  std::unique_ptr<QOpenGLContext> context_;
  std::unique_ptr<RenderThread> renderThread_;
};

}  // namespace lyricade
