#include "screen/screen_message_state.h"

#include <chrono>
#include <mutex>

#include "common/app_settings.h"

namespace lyricade {

ScreenMessageState::ScreenMessageState(SceneBuffers& buffers, const AppSettings& settings)
    : buffers_(buffers), settings_(settings) {}

int64_t ScreenMessageState::NowMs() const {
  if (nowMs_) return nowMs_();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ScreenMessageState::TickerShowing() const {
  std::lock_guard lock(buffers_.Lock());
  return shared_.Showing;
}

void ScreenMessageState::StartTicker(const std::string& text) {
  std::lock_guard lock(buffers_.Lock());
  shared_.Text = text;
  ++shared_.Generation;
  // Shows from now on, for the UI thread too.
  shared_.Showing = true;
}

void ScreenMessageState::SetCountdown(bool active, int64_t startMs, QColor colour) {
  std::lock_guard lock(buffers_.Lock());
  shared_.CountdownActive = active;
  shared_.CountdownStartMs = startMs;
  shared_.CountdownColour = colour;
}

void ScreenMessageState::TakeSnapshot() {
  // The scene lock is held by the caller.
  if (shared_.Generation != takenGeneration_) {
    takenGeneration_ = shared_.Generation;
    if (motion_.Showing()) {
      waitingLine_ = QString::fromStdString(shared_.Text);
    } else {
      waitingLine_.reset();
      painter_.SetText(QString::fromStdString(shared_.Text));
      motion_.Start(NowMs());
    }
  }
  shared_.Showing = motion_.Showing();
  countdownActive_ = shared_.CountdownActive;
  countdownStartMs_ = shared_.CountdownStartMs;
  countdownColour_ = shared_.CountdownColour;
  if (shared_.CornerPicture.cacheKey() != corner_.cacheKey()) {
    corner_ = shared_.CornerPicture;
    cornerChanged_ = true;
  }
}

void ScreenMessageState::SetCornerPicture(const QImage& picture) {
  std::lock_guard lock(buffers_.Lock());
  shared_.CornerPicture = picture;
}

QImage ScreenMessageState::CornerPicture() const {
  std::lock_guard lock(buffers_.Lock());
  return shared_.CornerPicture;
}

void ScreenMessageState::DrawCorner(SceneCanvas& canvas, bool betweenSongs) {
  cornerChanged_ = false;
  if (!betweenSongs || corner_.isNull() || corner_.height() <= 0) return;
  // A fixed height on the 1920 x 1080 scene, away from the ticker's band.
  constexpr double kHeight = 330;
  constexpr double kMargin = 36;
  const double width = kHeight * corner_.width() / corner_.height();
  canvas.DrawImage(corner_,
                   QRectF(SceneCanvas::kWidth - kMargin - width,
                          SceneCanvas::kHeight - kMargin - kHeight - 90, width, kHeight),
                   1.0f);
}

void ScreenMessageState::DrawTicker(SceneCanvas& canvas) {
  if (!motion_.Visible()) return;
  const TickerPlace place{settings_.TickerSmaller.load(), settings_.TickerTopScroll.load()};
  // "Smaller" changed: the font is made again here, before the width is
  // measured for this frame.
  painter_.SetSmaller(place.Smaller);
  const int width = painter_.TextWidth();
  const int passes = motion_.Passes();
  if (!motion_.Step(NowMs(), width, settings_.TickerLoops.load(), settings_.TickerFaster.load()))
    return;
  if (waitingLine_ && motion_.Passes() != passes) {
    // The old line has just left the screen: the newer one enters.
    painter_.SetText(*waitingLine_);
    waitingLine_.reset();
    motion_.TakeOverAtPass();
  }
  painter_.Draw(canvas, place, motion_.TextLeft(SceneCanvas::kWidth), motion_.Alpha());
}

void ScreenMessageState::DrawCountdown(SceneCanvas& canvas) {
  countdownDrawn_ = -1;
  if (!countdownActive_) return;
  const int length = settings_.CountdownSeconds.load();
  const int64_t elapsed = (NowMs() - countdownStartMs_) / 1000;
  // At the end the host controller's timer takes the card down; until its
  // next tick there is nothing left to count.
  if (elapsed >= length || elapsed < 0) return;
  const int remaining = static_cast<int>(length - elapsed);
  countdown_.Draw(canvas, remaining, countdownColour_);
  countdownDrawn_ = remaining;
}

bool ScreenMessageState::Animating() const {
  if (motion_.Visible() || cornerChanged_) return true;
  // The countdown needs a frame only when the number it shows changes.
  if (countdownActive_) {
    const int64_t elapsed = (NowMs() - countdownStartMs_) / 1000;
    const int length = settings_.CountdownSeconds.load();
    const int remaining = elapsed >= 0 && elapsed < length ? static_cast<int>(length - elapsed) : -1;
    return remaining != countdownDrawn_;
  }
  return countdownDrawn_ != -1;
}

}  // namespace lyricade
