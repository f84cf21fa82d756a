#pragma once
// The thread that draws the karaoke screen. It owns the OpenGL context (made
// on the UI thread, then moved here) and loops:
//   try the scene lock without waiting; when it is taken, skip this turn;
//   otherwise take over the changed pixel buffers, release the lock, upload
//   them, and draw and present a frame when anything on screen changed;
//   sleep 10 ms.
// Frames that would show the same picture as the last one are not drawn, so
// an idle screen leaves the cores to the audio. State: 0 not started, 1
// running, 2 stop requested, 3 stopped. An error that escapes a frame ends
// the thread; the window keeps its last picture.
//
// Before the loop the thread makes the context current on the window and
// sets up the scene (shaders, quad, back buffer). It only reports how that
// went (WaitForSetup); telling the host is the UI thread's business. When
// either step fails the thread ends without drawing.

#include <QImage>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "screen/scene_renderer.h"

class QOpenGLContext;
class QSurface;

namespace lyricade {

// Where frames are presented: a window, its size in device pixels and
// whether it is exposed, kept up to date by the window on the UI thread.
struct PresentTarget {
  QSurface* Surface = nullptr;
  std::atomic<bool> Exposed{false};
  std::atomic<int> Width{0};
  std::atomic<int> Height{0};
  // Grows when the window must be presented again (exposed, resized).
  std::atomic<uint64_t> Changes{0};
};

enum class RenderState : int { NotStarted = 0, Running = 1, StopRequested = 2, Stopped = 3 };

// How the thread's OpenGL set-up went. Pending: not over yet (or the thread
// never started).
enum class RenderSetup { Pending, Ready, ContextNotCurrent, SceneNotReady };

class RenderThread : public QThread {
  Q_OBJECT
public:
  // `context` is created (QOpenGLContext::create succeeded) and belongs to
  // the calling thread; it is moved to the render thread by Start. `target`
  // must outlive the thread; without a window (tests) its Surface is an
  // offscreen surface and nothing is presented.
  RenderThread(std::unique_ptr<QOpenGLContext> context, PresentTarget& target,
               SceneBuffers& buffers, SceneFlags& flags, const AppSettings& settings,
               ScreenMessages* messages = nullptr, bool presentToWindow = true);
  ~RenderThread() override;

  // The two set-up steps the thread runs before its loop. An empty step is
  // the real one (QOpenGLContext::makeCurrent, SceneRenderer::Initialise);
  // tests put in steps that fail. Set before Start.
  using MakeCurrentStep = std::function<bool(QOpenGLContext&, QSurface*)>;
  using InitialiseSceneStep = std::function<bool(SceneRenderer&)>;
  void SetSetupSteps(MakeCurrentStep makeCurrent, InitialiseSceneStep initialiseScene);

  // Starts the loop at above-normal priority; false when it cannot start.
  bool Start();
  // Waits (at most `limitMs`) until the set-up on the thread is over and
  // says how it went; Pending when it did not finish in time or the thread
  // never started.
  RenderSetup WaitForSetup(int limitMs = 10000);
  // Asks the loop to end and joins it. Returns whether it had been running.
  bool Stop();

  RenderState State() const { return static_cast<RenderState>(state_.load()); }

  // The back buffer of the next frame drawn (a frame is drawn for it even
  // when nothing changed). An empty picture when the thread ends first.
  std::future<QImage> CaptureNextFrame();

  uint64_t FramesDrawn() const { return drawn_.load(); }
  // Turns that found the scene lock taken.
  uint64_t FramesSkipped() const { return skipped_.load(); }
  // Turns that found nothing changed.
  uint64_t FramesUnchanged() const { return unchanged_.load(); }
  // Milliseconds spent on the last frame drawn (upload, draw, present).
  double LastFrameMilliseconds() const { return lastFrameMs_.load(); }

  // Pause between turns; 10 ms for the screen, 0 for measurements.
  void SetSleepMilliseconds(int ms) { sleepMs_.store(ms); }

protected:
  void run() override;

private:
  void Turn(SceneRenderer& renderer, SceneBuffers::Handovers& changes, SceneState& shown,
            uint64_t& presentedChanges);
  void FulfilCaptures(const QImage& image, bool last = false);
  void ReportSetup(RenderSetup setup);
  // The loop, once the scene is set up.
  void Loop(SceneRenderer& renderer);

  std::unique_ptr<QOpenGLContext> context_;
  PresentTarget& target_;
  SceneBuffers& buffers_;
  SceneFlags& flags_;
  const AppSettings& settings_;
  ScreenMessages* messages_;
  bool presentToWindow_;
  MakeCurrentStep makeCurrent_;
  InitialiseSceneStep initialiseScene_;

  std::mutex setupLock_;
  std::condition_variable setupDone_;
  RenderSetup setup_ = RenderSetup::Pending;

  std::atomic<int> state_{0};
  std::atomic<int> sleepMs_{10};
  std::atomic<uint64_t> drawn_{0};
  std::atomic<uint64_t> skipped_{0};
  std::atomic<uint64_t> unchanged_{0};
  std::atomic<double> lastFrameMs_{0.0};

  std::mutex captureLock_;
  // Captures are taken only while the loop runs; both under captureLock_, so
  // a capture asked for as the loop ends is answered, never left waiting.
  bool acceptingCaptures_ = false;
  std::vector<std::promise<QImage>> captures_;
  std::atomic<bool> captureWanted_{false};
};

}  // namespace lyricade
