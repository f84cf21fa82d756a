#pragma once
// How the ticker moves and fades, frame by frame, from the time that passed
// since the previous frame. Plain state owned by the render thread; no Qt.
//
// Fade: a counter 0..255 (the band's and the text's alpha is 255 minus it)
// moves one step every 10 ms, down while the ticker shows, up after it; once
// it is back at 255 nothing is drawn. Scroll: the position grows by the
// elapsed milliseconds / 7 (/ 3 "Faster"), in whole pixels, the remainder
// dropped; past 2 x text width + 1930 it returns to 0 and counts a pass; more
// passes than the loop setting end the showing, and the line fades out while
// it goes on scrolling.

#include <cstdint>

namespace lyricade {

class TickerMotion {
public:
  static constexpr int kFadeStepMs = 10;

  // A new line: showing, the counter at 254 (it fades in), no passes, the
  // text entering at the right edge; time counts from `nowMs`.
  void Start(int64_t nowMs);

  // A newer line takes over at a pass (the old one has just left the
  // screen): it shows for the whole loop setting again, without a new fade.
  void TakeOverAtPass() {
    showing_ = true;
    passes_ = 0;
  }

  // One frame at `nowMs`. Returns false when nothing is to be drawn (the
  // ticker is idle).
  bool Step(int64_t nowMs, int textWidth, int loopSetting, bool faster);

  bool Showing() const { return showing_; }
  // Still on screen: showing or fading out.
  bool Visible() const { return showing_ || fade_ < 255; }
  int Fade() const { return fade_; }
  int Alpha() const { return 255 - fade_; }
  float Position() const { return position_; }
  int Passes() const { return passes_; }
  // The left edge of the text in back-buffer pixels.
  int TextLeft(int screenWidth) const { return screenWidth - static_cast<int>(position_); }

private:
  bool showing_ = false;
  int fade_ = 255;
  float position_ = 0.f;
  int passes_ = 0;
  int64_t previousMs_ = -1;
  int64_t fadeCarryMs_ = 0;
};

}  // namespace lyricade
