#pragma once
// The per-buffer sample work of the audio filter on interleaved 16-bit
// little-endian PCM: channel selection with peak tracking, and the automatic
// gain that levels the loudness from buffer to buffer.

#include <cstddef>
#include <cstdint>

namespace lyricade {

// Peaks of the samples read before any change, each 0 to 32767: a sample x
// counts as x when x >= 0 and as -x - 1 when x < 0, so -32768 peaks at 32767.
struct DspPeaks {
  int left = 0;
  int right = 0;
};

inline int DspPeakOf(int sample) { return sample >= 0 ? sample : -sample - 1; }

// Walks `frames` frames of `channels` samples (1 or 2). For stereo, channel 1
// copies the left sample over the right one, channel 2 the right over the
// left, channel 0 leaves the frame; mono frames are never changed and their
// peak is reported as `left`. The peaks are tracked only when `trackPeaks`.
DspPeaks DspSelectChannel(uint8_t* data, size_t frames, int channels, int channel,
                          bool trackPeaks);

// The gain after one buffer with these peaks, starting from `gain`: a buffer
// that would peak above 0.6 of full scale drops the gain to 0.6 / peak at
// once; then the gain moves 0.02 toward a level between 0.5 and 0.6 (judged by
// the level before the drop), and never exceeds 3.5.
float DspNextGain(float gain, DspPeaks peaks);

// Multiplies `count` samples by `gain`: x >= 0 becomes x * gain truncated
// toward zero, x < 0 becomes ((x + 1) * gain truncated toward zero) - 1, which
// keeps positive and negative full scale symmetric.
void DspApplyGain(uint8_t* data, size_t count, float gain);

}  // namespace lyricade
