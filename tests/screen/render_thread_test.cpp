#include <gtest/gtest.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "common/app_settings.h"
#include "screen/render_thread.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

using namespace std::chrono_literals;

class RenderThreadTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::GuiApplication();
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->create();
    target_.Surface = surface_.get();
    auto context = std::make_unique<QOpenGLContext>();
    ASSERT_TRUE(context->create());
    thread_ = std::make_unique<RenderThread>(std::move(context), target_, buffers_, flags_,
                                             settings_, nullptr, false);
  }
  void TearDown() override { thread_.reset(); }

  template <typename Condition>
  bool WaitFor(Condition condition, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (condition()) return true;
      std::this_thread::sleep_for(2ms);
    }
    return condition();
  }
  QImage Capture() {
    std::future<QImage> frame = thread_->CaptureNextFrame();
    if (frame.wait_for(5s) != std::future_status::ready) return {};
    return frame.get();
  }

  AppSettings settings_;
  SceneFlags flags_;
  SceneBuffers buffers_;
  PresentTarget target_;
  std::unique_ptr<QOffscreenSurface> surface_;
  std::unique_ptr<RenderThread> thread_;
};

TEST_F(RenderThreadTest, StartsDrawsAndStops) {
  EXPECT_EQ(thread_->State(), RenderState::NotStarted);
  EXPECT_FALSE(thread_->Stop());  // never started: not running
  buffers_.Put(SceneTexture::Background, testing::Solid(640, 480, 0xFF123456u));
  ASSERT_TRUE(thread_->Start());
  EXPECT_FALSE(thread_->Start());
  EXPECT_EQ(thread_->State(), RenderState::Running);
  const QImage frame = Capture();
  ASSERT_FALSE(frame.isNull());
  EXPECT_EQ(testing::Rgb(frame, 960, 540), 0x123456u);
  EXPECT_TRUE(thread_->Stop());
  EXPECT_EQ(thread_->State(), RenderState::Stopped);
  EXPECT_FALSE(thread_->Stop());
  // A capture asked for after the end does not wait for ever.
  EXPECT_TRUE(Capture().isNull());
}

TEST_F(RenderThreadTest, UnchangedSceneIsNotDrawnAgainUntilSomethingChanges) {
  ASSERT_TRUE(thread_->Start());
  ASSERT_TRUE(WaitFor([&] { return thread_->FramesDrawn() >= 1 && thread_->FramesUnchanged() >= 3; }));
  const uint64_t drawn = thread_->FramesDrawn();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(thread_->FramesDrawn(), drawn);
  // A flag change is picked up at the next turn.
  settings_.BackgroundChoice = 1;
  EXPECT_TRUE(WaitFor([&] { return thread_->FramesDrawn() > drawn; }));
  // So is a texture write.
  const uint64_t after = thread_->FramesDrawn();
  buffers_.Put(SceneTexture::Blank, testing::Solid(640, 480, 0xFF00FF00u));
  EXPECT_TRUE(WaitFor([&] { return thread_->FramesDrawn() > after; }));
  EXPECT_EQ(testing::Rgb(Capture(), 960, 540), 0x00FF00u);
}

TEST_F(RenderThreadTest, FramesAreSkippedNotWaitedForWhileTheSceneLockIsHeld) {
  ASSERT_TRUE(thread_->Start());
  ASSERT_TRUE(WaitFor([&] { return thread_->FramesDrawn() >= 1; }));
  std::future<QImage> frame;
  uint64_t skippedBefore = 0;
  {
    std::lock_guard held(buffers_.Lock());
    skippedBefore = thread_->FramesSkipped();
    frame = thread_->CaptureNextFrame();
    // The loop keeps turning (it never blocks on the lock) but draws nothing.
    ASSERT_TRUE(WaitFor([&] { return thread_->FramesSkipped() >= skippedBefore + 3; }));
    EXPECT_EQ(frame.wait_for(0ms), std::future_status::timeout);
    EXPECT_EQ(thread_->State(), RenderState::Running);
  }
  // Released: the next turn draws the frame that was asked for.
  ASSERT_EQ(frame.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(frame.get().isNull());
  // And a stop while a test holds the lock still ends the thread.
  std::lock_guard held(buffers_.Lock());
  EXPECT_TRUE(thread_->Stop());
  EXPECT_EQ(thread_->State(), RenderState::Stopped);
}

// Messages whose Animating() fails: an error outside the isolated steps.
class Failing : public ScreenMessages {
public:
  void DrawTicker(SceneCanvas&) override {}
  void DrawCountdown(SceneCanvas&) override {}
  bool Animating() const override {
    if (fail) throw std::runtime_error("broken messages");
    return false;
  }
  std::atomic<bool> fail{false};
};

TEST_F(RenderThreadTest, AnErrorEscapingAFrameEndsTheThread) {
  Failing messages;
  auto context = std::make_unique<QOpenGLContext>();
  ASSERT_TRUE(context->create());
  thread_ = std::make_unique<RenderThread>(std::move(context), target_, buffers_, flags_,
                                           settings_, &messages, false);
  ASSERT_TRUE(thread_->Start());
  ASSERT_TRUE(WaitFor([&] { return thread_->FramesDrawn() >= 1; }));
  messages.fail = true;
  EXPECT_TRUE(WaitFor([&] { return thread_->State() == RenderState::Stopped; }));
  // It had ended on its own: stopping reports that it was not running.
  EXPECT_FALSE(thread_->Stop());
  EXPECT_TRUE(Capture().isNull());
}

}  // namespace
}  // namespace lyricade
