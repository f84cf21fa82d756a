#include "screen/ticker_motion.h"

#include <algorithm>

namespace lyricade {

void TickerMotion::Start(int64_t nowMs) {
  showing_ = true;
  fade_ = 254;
  passes_ = 0;
  // The line enters at the right edge, and the idle time before it does not
  // count as scrolling.
  position_ = 0.f;
  previousMs_ = nowMs;
  fadeCarryMs_ = 0;
}

bool TickerMotion::Step(int64_t nowMs, int textWidth, int loopSetting, bool faster) {
  if (previousMs_ < 0) previousMs_ = nowMs;
  // A clock that went back counts as no time.
  const int64_t elapsed = std::max<int64_t>(0, nowMs - previousMs_);

  // The fade moves by time, not by frames, so it takes 2.55 s whatever the
  // frame rate; the part of a step not yet due is carried to the next frame.
  fadeCarryMs_ += elapsed;
  const int64_t steps = fadeCarryMs_ / kFadeStepMs;
  fadeCarryMs_ %= kFadeStepMs;
  if (showing_) {
    fade_ = static_cast<int>(std::max<int64_t>(0, fade_ - steps));
  } else {
    // Back at 255 the line is fully transparent: it is over.
    fade_ = static_cast<int>(std::min<int64_t>(255, fade_ + steps));
    if (fade_ >= 255) return false;
  }

  position_ += static_cast<float>(elapsed / (faster ? 3 : 7));
  previousMs_ = nowMs;
  if (position_ > 2.f * static_cast<float>(textWidth) + 1930.f) {
    position_ = 0.f;
    ++passes_;
    if (passes_ > loopSetting) showing_ = false;
  }
  return true;
}

}  // namespace lyricade
