#include "screen/render_thread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QSurface>

#include <chrono>
#include <exception>

#include "screen/screen_log.h"

namespace lyricade {

RenderThread::RenderThread(std::unique_ptr<QOpenGLContext> context, PresentTarget& target,
                           SceneBuffers& buffers, SceneFlags& flags, const AppSettings& settings,
                           ScreenMessages* messages, bool presentToWindow)
    : context_(std::move(context)),
      target_(target),
      buffers_(buffers),
      flags_(flags),
      settings_(settings),
      messages_(messages),
      presentToWindow_(presentToWindow) {}

RenderThread::~RenderThread() {
  Stop();
  // A loop that did not end in time (a hung driver) still uses the context:
  // leave it to the process rather than destroy it under the thread.
  if (isRunning()) (void)context_.release();
}

void RenderThread::SetSetupSteps(MakeCurrentStep makeCurrent,
                                 InitialiseSceneStep initialiseScene) {
  makeCurrent_ = std::move(makeCurrent);
  initialiseScene_ = std::move(initialiseScene);
}

bool RenderThread::Start() {
  if (!context_ || !target_.Surface) {
    qCWarning(lcScreen) << "The render thread cannot start:"
                        << (context_ ? "no surface to draw on" : "no OpenGL context");
    return false;
  }
  int expected = static_cast<int>(RenderState::NotStarted);
  if (!state_.compare_exchange_strong(expected, static_cast<int>(RenderState::Running))) {
    qCWarning(lcScreen) << "The render thread runs once; it is not started again";
    return false;
  }
  {
    std::lock_guard lock(captureLock_);
    acceptingCaptures_ = true;
  }
  context_->moveToThread(this);
  start(QThread::HighPriority);
  return true;
}

bool RenderThread::Stop() {
  int expected = static_cast<int>(RenderState::Running);
  const bool wasRunning =
      state_.compare_exchange_strong(expected, static_cast<int>(RenderState::StopRequested));
  if (isRunning() || wasRunning) {
    // A turn is a frame and a 10 ms sleep; ten seconds means a hung driver,
    // and then the program goes on without waiting for ever.
    if (!wait(QDeadlineTimer(10000))) {
      qCWarning(lcScreen) << "The render thread did not stop within 10 seconds; left behind";
      return wasRunning;
    }
  }
  return wasRunning;
}

std::future<QImage> RenderThread::CaptureNextFrame() {
  std::promise<QImage> promise;
  std::future<QImage> future = promise.get_future();
  std::lock_guard lock(captureLock_);
  if (!acceptingCaptures_ || state_.load() != static_cast<int>(RenderState::Running)) {
    promise.set_value(QImage());
    return future;
  }
  captures_.push_back(std::move(promise));
  captureWanted_.store(true);
  return future;
}

void RenderThread::FulfilCaptures(const QImage& image, bool last) {
  std::lock_guard lock(captureLock_);
  if (last) acceptingCaptures_ = false;
  for (std::promise<QImage>& promise : captures_) promise.set_value(image);
  captures_.clear();
  captureWanted_.store(false);
}

void RenderThread::Turn(SceneRenderer& renderer, SceneBuffers::Handovers& changes,
                        SceneState& shown, uint64_t& presentedChanges) {
  QElapsedTimer timer;
  timer.start();
  // The messages' shared state and the scene flags are read in the same
  // locked step as the textures, so the frame is drawn from values no other
  // thread writes. A writer puts a texture and then sets its flag: read
  // inside the lock, a flag is never newer than the texture it names (the
  // previous singer's card cannot show for a frame under a new flag).
  SceneState now;
  const std::function<void()> snapshot = [this, &renderer, &now] {
    now = renderer.CurrentState();
    if (messages_) messages_->TakeSnapshot();
  };
  if (!buffers_.TryTakeChanges(changes, snapshot)) {
    ++skipped_;
    return;
  }
  renderer.Upload(changes);

  const bool animating = messages_ && messages_->Animating();
  const bool capture = captureWanted_.load();
  const uint64_t windowChanges = target_.Changes.load();
  if (now == shown && !animating && !capture && windowChanges == presentedChanges) {
    ++unchanged_;
    return;
  }

  renderer.DrawFrame(now);
  shown = now;
  const int width = target_.Width.load();
  const int height = target_.Height.load();
  if (presentToWindow_ && target_.Exposed.load() && width > 0 && height > 0) {
    renderer.Present(context_->defaultFramebufferObject(), width, height);
    context_->swapBuffers(target_.Surface);
  }
  // The frame is finished before the next turn, presented or not: frames
  // never pile up in the driver, and the time measured is the real one.
  renderer.Finish();
  presentedChanges = windowChanges;
  if (capture) FulfilCaptures(renderer.ReadBackBuffer());
  ++drawn_;
  lastFrameMs_.store(static_cast<double>(timer.nsecsElapsed()) / 1e6);
}

RenderSetup RenderThread::WaitForSetup(int limitMs) {
  std::unique_lock lock(setupLock_);
  setupDone_.wait_for(lock, std::chrono::milliseconds(limitMs),
                      [&] { return setup_ != RenderSetup::Pending; });
  return setup_;
}

void RenderThread::ReportSetup(RenderSetup setup) {
  {
    std::lock_guard lock(setupLock_);
    setup_ = setup;
  }
  setupDone_.notify_all();
}

void RenderThread::Loop(SceneRenderer& renderer) {
  SceneBuffers::Handovers changes;
  SceneState shown;
  shown.TextureGeneration = ~uint64_t{0};  // the first turn always draws
  uint64_t presentedChanges = ~uint64_t{0};
  try {
    while (state_.load() == static_cast<int>(RenderState::Running)) {
      Turn(renderer, changes, shown, presentedChanges);
      const int sleepMs = sleepMs_.load();
      if (sleepMs > 0) msleep(static_cast<unsigned long>(sleepMs));
    }
  } catch (const std::exception& error) {
    // Beyond the isolation of a frame's steps: the thread ends and the
    // window keeps its last picture.
    qCWarning(lcScreen) << "The render thread ends on an error in a frame:" << error.what();
  } catch (...) {
    qCWarning(lcScreen) << "The render thread ends on an unknown error in a frame";
  }
}

void RenderThread::run() {
  const bool current = makeCurrent_ ? makeCurrent_(*context_, target_.Surface)
                                    : context_->makeCurrent(target_.Surface);
  if (!current) {
    qCWarning(lcScreen) << "The OpenGL context could not be made current on the screen window;"
                        << "the screen is not drawn";
    ReportSetup(RenderSetup::ContextNotCurrent);
  } else {
    SceneRenderer renderer(buffers_, flags_, settings_);
    renderer.SetMessages(messages_);
    const bool ready = initialiseScene_ ? initialiseScene_(renderer) : renderer.Initialise();
    if (!ready) {
      // The renderer has logged which part of the scene failed.
      qCWarning(lcScreen) << "The scene could not be set up in OpenGL; the screen is not drawn";
      ReportSetup(RenderSetup::SceneNotReady);
    } else {
      ReportSetup(RenderSetup::Ready);
      Loop(renderer);
      renderer.Release();
    }
    context_->doneCurrent();
  }
  FulfilCaptures(QImage(), true);
  state_.store(static_cast<int>(RenderState::Stopped));
  // Back to the UI thread, which deletes it.
  if (QCoreApplication::instance())
    context_->moveToThread(QCoreApplication::instance()->thread());
}

}  // namespace lyricade
