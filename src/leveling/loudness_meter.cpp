#include "leveling/loudness_meter.h"

#include <ebur128.h>

#include <cmath>
#include <limits>

namespace lyricade {
namespace {

// -50 dBFS as a sample magnitude.
const float kAudibleFloor = static_cast<float>(std::pow(10.0, -50.0 / 20.0));

}  // namespace

struct LoudnessMeter::State {
  explicit State(ebur128_state* s) : handle(s) {}
  ~State() {
    if (handle) ebur128_destroy(&handle);
  }
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ebur128_state* handle;
};

LoudnessMeter::LoudnessMeter() = default;
LoudnessMeter::~LoudnessMeter() = default;

bool LoudnessMeter::Start(int rate, int channels) {
  state_.reset();
  frames_ = lastAudibleFrame_ = 0;
  peak_ = 0.0f;
  if (rate <= 0 || channels <= 0 || channels > 8) return false;
  ebur128_state* handle = ebur128_init(static_cast<unsigned>(channels),
                                       static_cast<unsigned long>(rate), EBUR128_MODE_I);
  if (!handle) return false;
  state_ = std::make_unique<State>(handle);
  rate_ = rate;
  channels_ = channels;
  return true;
}

bool LoudnessMeter::Add(const float* samples, size_t frames) {
  if (!state_) return false;
  if (ebur128_add_frames_float(state_->handle, samples, frames) != EBUR128_SUCCESS) return false;
  // Peak and audible end in one pass over the block; the block's last loud
  // frame is found from the back, so a loud song costs one comparison a
  // sample and no branch per frame for the end.
  const size_t count = frames * static_cast<size_t>(channels_);
  float peak = peak_;
  size_t lastLoud = count;
  for (size_t i = 0; i < count; ++i) {
    const float magnitude = std::fabs(samples[i]);
    peak = magnitude > peak ? magnitude : peak;
  }
  for (size_t i = count; i-- > 0;) {
    if (std::fabs(samples[i]) > kAudibleFloor) {
      lastLoud = i;
      break;
    }
  }
  peak_ = peak;
  if (lastLoud != count) lastAudibleFrame_ = frames_ + lastLoud / static_cast<size_t>(channels_) + 1;
  frames_ += frames;
  return true;
}

double LoudnessMeter::IntegratedLufs() const {
  double lufs = -std::numeric_limits<double>::infinity();
  if (state_ && ebur128_loudness_global(state_->handle, &lufs) != EBUR128_SUCCESS)
    return -std::numeric_limits<double>::infinity();
  return lufs;
}

double LoudnessMeter::SamplePeakDb() const {
  if (peak_ <= 0.0f) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(static_cast<double>(peak_));
}

double LoudnessMeter::AudibleEndSeconds() const {
  return rate_ > 0 ? static_cast<double>(lastAudibleFrame_) / rate_ : 0.0;
}

double LoudnessMeter::Seconds() const {
  return rate_ > 0 ? static_cast<double>(frames_) / rate_ : 0.0;
}

}  // namespace lyricade
