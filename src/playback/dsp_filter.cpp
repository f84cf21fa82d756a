#include "playback/dsp_filter.h"

#include <SoundTouch.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>

#include "playback/dsp_frame_pass.h"

namespace lyricade {
namespace {

// SoundTouch's usable ranges; values beyond them (never sent by the program,
// but reachable through the settings) would make it divide by zero or step
// backwards, so the shifter gets the nearest usable value.
constexpr float kShifterPitchLimit = 60.0f;   // semitones either way
constexpr float kShifterTempoMin = -95.0f;    // percent
constexpr float kShifterTempoMax = 5000.0f;

constexpr float kToFloat = 1.0f / 32768.0f;

}  // namespace

DspFilter::DspFilter() : shifter_(std::make_unique<soundtouch::SoundTouch>()) {
  PrepareShifter();
}

DspFilter::~DspFilter() = default;

void DspFilter::SetPitch(float tenths) {
  // Keep the whole tenths only; anything that is no number of tenths is 0.
  int whole = 0;
  if (std::isfinite(tenths) && tenths > static_cast<float>(INT_MIN) &&
      tenths < static_cast<float>(INT_MAX)) {
    whole = static_cast<int>(tenths);
  }
  pitch_.store(whole == 0 ? 0.0f : static_cast<float>(whole) / 10.0f, std::memory_order_relaxed);
  pitchChanged_.store(true, std::memory_order_relaxed);
}

void DspFilter::SetTempo(float value) {
  float tempo = value - 50.0f;
  if (!std::isfinite(tempo)) tempo = 0.0f;
  tempo_.store(tempo, std::memory_order_relaxed);
  tempoChanged_.store(true, std::memory_order_relaxed);
}

bool DspFilter::AcceptsInput(const DspFormat& format) {
  if (format.bitsPerSample != 16) return false;
  if (format.channels != 1 && format.channels != 2) return false;
  switch (format.rate) {
    case 44100:
    case 48000:
    case 22050:
    case 11025:
      return true;
    default:
      return false;
  }
}

bool DspFilter::SetInputFormat(const DspFormat& format) {
  if (!AcceptsInput(format)) return false;
  format_ = format;
  return true;
}

void DspFilter::PrepareShifter() {
  shifter_->setSampleRate(static_cast<unsigned>(format_.rate));
  shifter_->setChannels(static_cast<unsigned>(format_.channels));
  shifter_->setTempoChange(0.0);
  shifter_->setPitchSemiTones(0.0);
  shifter_->setRateChange(0.0);
  shifter_->setSetting(SETTING_USE_QUICKSEEK, 1);
  shifter_->setSetting(SETTING_USE_AA_FILTER, 1);
  shifter_->setSetting(SETTING_AA_FILTER_LENGTH, 32);
  shifterPitch_ = 0.0f;
  shifterTempo_ = 0.0f;
  // The shifter has just been told "no change": the stored key and tempo are
  // due again (a renegotiated format must not silently drop the key).
  pitchChanged_.store(true, std::memory_order_relaxed);
  tempoChanged_.store(true, std::memory_order_relaxed);
}

double DspFilter::TempoFactor(float tempo) {
  return 1.0 + static_cast<double>(std::clamp(tempo, kShifterTempoMin, kShifterTempoMax)) / 100.0;
}

void DspFilter::ClearShifter() { shifter_->clear(); }

size_t DspFilter::ShifterFrames() const { return shifter_->numSamples(); }

int64_t DspFilter::InputDuration(size_t bytes) const {
  const int64_t bytesPerSecond = static_cast<int64_t>(format_.channels) * (16 / 8) * format_.rate;
  return static_cast<int64_t>(bytes) * 10'000'000 / bytesPerSecond;
}

void DspFilter::FramePass(uint8_t* data, size_t bytes, int channel) {
  const bool leveling = Leveling();
  const bool autoGain = AutoGain() && !leveling;
  const size_t frames = bytes / FrameBytes();
  const DspPeaks peaks = DspSelectChannel(data, frames, format_.channels, channel, autoGain);
  if (!autoGain) {
    gain_ = 1.0f;
    // The levelled song's gain keeps its peak below full scale; the clamp
    // in DspApplyGain only meets audio louder than its measurement.
    const float level = LevelGain();
    if (leveling && level != 1.0f)
      DspApplyGain(data, frames * static_cast<size_t>(format_.channels), level);
    return;
  }
  gain_ = DspNextGain(gain_, peaks);
  DspApplyGain(data, frames * static_cast<size_t>(format_.channels), gain_);
}

DspResult DspFilter::Transform(const uint8_t* in, size_t inBytes, uint8_t* out,
                               size_t outCapacity, DspOutput* output) {
  *output = DspOutput{};
  if (in == nullptr || out == nullptr || inBytes < 1 || outCapacity < inBytes) {
    return DspResult::NoSample;
  }
  const float pitch = pitch_.load(std::memory_order_relaxed);
  const float tempo = tempo_.load(std::memory_order_relaxed);
  const int channel = channel_.load(std::memory_order_relaxed);
  output->tempo = tempo;

  if (pitch == 0.0f && tempo == 0.0f) {
    if (out != in) std::memcpy(out, in, inBytes);
    FramePass(out, inBytes, channel);
    output->bytes = inBytes;
    return DspResult::Ok;
  }

  // The shifter is neither cleared nor flushed on a change: audio it still
  // holds from an earlier key comes out first.
  if (pitchChanged_.exchange(false, std::memory_order_relaxed) || pitch != shifterPitch_) {
    shifter_->setPitchSemiTones(std::clamp(pitch, -kShifterPitchLimit, kShifterPitchLimit));
    shifterPitch_ = pitch;
  }
  if (tempoChanged_.exchange(false, std::memory_order_relaxed) || tempo != shifterTempo_) {
    shifter_->setTempoChange(std::clamp(tempo, kShifterTempoMin, kShifterTempoMax));
    shifterTempo_ = tempo;
  }
  if (out != in) std::memcpy(out, in, inBytes);
  FramePass(out, inBytes, channel);
  try {
    if (!Shift(out, inBytes, outCapacity, output)) return DspResult::NoSample;
  } catch (const std::exception&) {
    // SoundTouch reports misuse by throwing; it must not unwind into the
    // media framework's C code.
    return DspResult::NoSample;
  }
  output->shifted = true;
  return DspResult::Ok;
}

bool DspFilter::Shift(uint8_t* out, size_t inBytes, size_t outCapacity, DspOutput* output) {
  const size_t channels = static_cast<size_t>(format_.channels);
  const size_t frameBytes = FrameBytes();
  const size_t inFrames = inBytes / frameBytes;
  const size_t inSamples = inFrames * channels;

  // Debian's SoundTouch works on float samples.
  if (feed_.size() < inSamples) feed_.resize(inSamples);
  for (size_t i = 0; i < inSamples; ++i) {
    int16_t v;
    std::memcpy(&v, out + 2 * i, sizeof v);
    feed_[i] = static_cast<float>(v) * kToFloat;
  }
  if (inFrames > 0) shifter_->putSamples(feed_.data(), static_cast<unsigned>(inFrames));

  // Never more than the output buffer holds; the rest waits for the next
  // buffer.
  const size_t capacityFrames = outCapacity / frameBytes;
  const size_t ready = std::min<size_t>(shifter_->numSamples(), capacityFrames);
  if (ready == 0) return false;
  if (drain_.size() < ready * channels) drain_.resize(ready * channels);
  const size_t got = shifter_->receiveSamples(drain_.data(), static_cast<unsigned>(ready));
  const size_t outSamples = got * channels;
  for (size_t i = 0; i < outSamples; ++i) {
    const float scaled = std::clamp(drain_[i] * 32768.0f, -32768.0f, 32767.0f);
    // Round to nearest; the clamp keeps the result inside 16 bits.
    const int16_t v = static_cast<int16_t>(scaled >= 0.0f ? scaled + 0.5f : scaled - 0.5f);
    std::memcpy(out + 2 * i, &v, sizeof v);
  }
  output->bytes = got * frameBytes;
  return got > 0;
}

}  // namespace lyricade
