#include "playback/dsp_frame_pass.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lyricade {
namespace {

static_assert(std::endian::native == std::endian::little,
              "samples are read and written as host 16-bit integers");

inline int Load(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Store(uint8_t* p, int value) {
  const int16_t v = static_cast<int16_t>(value);
  std::memcpy(p, &v, sizeof v);
}

constexpr float kLevelCeiling = 0.6f;
constexpr float kLevelFloor = 0.5f;
constexpr float kGainStep = 0.02f;
constexpr float kGainMax = 3.5f;

}  // namespace

DspPeaks DspSelectChannel(uint8_t* data, size_t frames, int channels, int channel,
                          bool trackPeaks) {
  DspPeaks peaks;
  if (channels == 1) {
    if (!trackPeaks) return peaks;
    int peak = 0;
    for (size_t i = 0; i < frames; ++i) peak = std::max(peak, DspPeakOf(Load(data + 2 * i)));
    peaks.left = peak;
    return peaks;
  }
  if (channel != 1 && channel != 2 && !trackPeaks) return peaks;
  int peakL = 0, peakR = 0;
  for (size_t i = 0; i < frames; ++i) {
    uint8_t* frame = data + 4 * i;
    const int l = Load(frame);
    const int r = Load(frame + 2);
    if (channel == 1) {
      Store(frame + 2, l);
    } else if (channel == 2) {
      Store(frame, r);
    }
    if (trackPeaks) {
      peakL = std::max(peakL, DspPeakOf(l));
      peakR = std::max(peakR, DspPeakOf(r));
    }
  }
  peaks.left = peakL;
  peaks.right = peakR;
  return peaks;
}

float DspNextGain(float gain, DspPeaks peaks) {
  const float p = static_cast<float>(std::max(peaks.left, peaks.right)) / 32767.0f;
  const float level = p * gain;
  if (level > kLevelCeiling) gain = kLevelCeiling / p;
  if (level >= kLevelFloor) {
    gain -= kGainStep;
  } else {
    gain += kGainStep;
  }
  if (gain > kGainMax) gain = kGainMax;
  return gain;
}

void DspApplyGain(uint8_t* data, size_t count, float gain) {
  // The stored single-precision gain, multiplied exactly.
  const double g = gain;
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = data + 2 * i;
    const int x = Load(p);
    long y = x >= 0 ? static_cast<long>(x * g) : static_cast<long>((x + 1) * g) - 1;
    // The gain keeps peaks near 0.6 of full scale, so this bound only guards
    // against a rounding slip turning into a wrapped sample.
    y = std::clamp(y, -32768L, 32767L);
    Store(p, static_cast<int>(y));
  }
}

}  // namespace lyricade
