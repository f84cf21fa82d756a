#pragma once
// EBU R128 measurement of one song's audio as it is decoded: integrated
// loudness (libebur128), sample peak, and the audible end (the moment after
// which the audio stays below -50 dBFS). One meter per song, one thread.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lyricade {

class LoudnessMeter {
public:
  LoudnessMeter();
  ~LoudnessMeter();
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;

  // Readies the meter for audio of this rate and channel count; false when
  // libebur128 refuses them. Forgets what was added before.
  bool Start(int rate, int channels);
  // Adds `frames` interleaved frames.
  bool Add(const float* samples, size_t frames);

  // Integrated loudness in LUFS; -inf for silence.
  double IntegratedLufs() const;
  // The largest sample magnitude in dBFS; -inf for silence.
  double SamplePeakDb() const;
  // Seconds from the start to the end of the last frame above -50 dBFS; 0
  // for silence.
  double AudibleEndSeconds() const;
  double Seconds() const;

private:
  // libebur128's state (its type is an unnamed struct, so it cannot be
  // declared here).
  struct State;
  std::unique_ptr<State> state_;
  int rate_ = 0;
  int channels_ = 0;
  uint64_t frames_ = 0;
  uint64_t lastAudibleFrame_ = 0;  // one past the last audible frame
  float peak_ = 0.0f;
};

}  // namespace lyricade
