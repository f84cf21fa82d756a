#pragma once
// The song's audio filter without the media framework: key change through
// SoundTouch, channel selection ("multiplex") and automatic gain on 16-bit
// PCM buffers. One filter per song graph; the GStreamer element in
// dsp_element.h is a thin shell around it.
//
// Threads: the setters (IDspSettings) run on the UI thread and store relaxed
// atomics; Transform runs on the streaming thread and reads each setting once
// per buffer. Everything else (format, shifter, gain, scratch space) belongs
// to the streaming thread.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/dsp_settings.h"

namespace soundtouch {
class SoundTouch;
}

namespace lyricade {

struct DspFormat {
  int channels = 2;
  int rate = 44100;
  int bitsPerSample = 16;
};

enum class DspResult {
  NoSample,  // nothing is delivered for this input buffer
  Ok,
};

struct DspOutput {
  size_t bytes = 0;
  // True when the buffer went through the shifter: its time stamps become
  // (input start, input start + InputDuration) instead of the input's own.
  bool shifted = false;
  // The tempo change (percent) this buffer was made with.
  float tempo = 0.0f;
};

class DspFilter final : public IDspSettings {
public:
  DspFilter();
  ~DspFilter() override;
  DspFilter(const DspFilter&) = delete;
  DspFilter& operator=(const DspFilter&) = delete;

  float GetPitch() const override { return pitch_.load(std::memory_order_relaxed); }
  void SetPitch(float tenths) override;
  float GetTempo() const override { return tempo_.load(std::memory_order_relaxed); }
  void SetTempo(float value) override;
  int GetChannel() const override { return channel_.load(std::memory_order_relaxed); }
  void SetChannel(int channel) override { channel_.store(channel, std::memory_order_relaxed); }

  // "Auto Gain Control": by default the filter's own switch; a song graph
  // points the filter at the program's preference instead, before streaming.
  void SetAutoGain(bool on) { ownAutoGain_.store(on, std::memory_order_relaxed); }
  void FollowAutoGain(const std::atomic<bool>& flag) { autoGain_ = &flag; }
  bool AutoGain() const { return autoGain_->load(std::memory_order_relaxed); }
  // Song leveling: a fixed gain (a factor) for the whole song, applied while
  // the followed flag ("Level Songs") is on; auto gain is off meanwhile.
  void SetLevelGain(float factor) { levelGain_.store(factor, std::memory_order_relaxed); }
  float LevelGain() const { return levelGain_.load(std::memory_order_relaxed); }
  void FollowLeveling(const std::atomic<bool>& flag) { leveling_ = &flag; }
  bool Leveling() const { return leveling_ && leveling_->load(std::memory_order_relaxed); }

  // 16-bit PCM at 44100, 48000, 22050 or 11025 Hz with 1 or 2 channels.
  static bool AcceptsInput(const DspFormat& format);
  // Stores an accepted input format; refuses (and keeps the old one) anything
  // else.
  bool SetInputFormat(const DspFormat& format);
  const DspFormat& InputFormat() const { return format_; }
  size_t FrameBytes() const { return static_cast<size_t>(format_.channels) * 2; }

  // Readies the shifter for the stored input format: its rate and channels,
  // no tempo, pitch or rate change, quick seek and the anti-alias filter
  // (length 32) on. The stored key and tempo are handed to it again at the
  // next shifted buffer.
  void PrepareShifter();
  // Drops what the shifter holds (a flushing seek: the audio before it must
  // not come out after it).
  void ClearShifter();

  // The output buffer a graph gives the filter for an input of this size:
  // four times as large, so that the shifter's output nearly always fits.
  static size_t OutputBufferBytes(size_t inputBytes) { return inputBytes * 4; }

  // One input buffer into one output buffer of `outCapacity` bytes. With key
  // and tempo unchanged the output is a copy of the input after the frame
  // pass; otherwise the frame-passed input goes into the shifter and as many
  // frames as it has ready, at most what fits, come out. NoSample when there
  // is no input, nothing fits, or the shifter is still filling.
  DspResult Transform(const uint8_t* in, size_t inBytes, uint8_t* out, size_t outCapacity,
                      DspOutput* output);

  // How many times its own speed the song plays at a tempo change of
  // `tempo` percent, as the shifter is given it.
  static double TempoFactor(float tempo);

  // Duration of an input buffer of `bytes` bytes in 100 ns units, truncated.
  int64_t InputDuration(size_t bytes) const;

  // The current automatic gain (streaming thread state).
  float Gain() const { return gain_; }
  // Frames waiting inside the shifter.
  size_t ShifterFrames() const;

private:
  void FramePass(uint8_t* data, size_t bytes, int channel);
  bool Shift(uint8_t* out, size_t inBytes, size_t outCapacity, DspOutput* output);

  std::atomic<float> pitch_{0.0f};
  std::atomic<bool> pitchChanged_{true};
  std::atomic<float> tempo_{0.0f};
  std::atomic<bool> tempoChanged_{true};
  std::atomic<int> channel_{0};
  std::atomic<bool> ownAutoGain_{false};
  const std::atomic<bool>* autoGain_ = &ownAutoGain_;
  std::atomic<float> levelGain_{1.0f};
  const std::atomic<bool>* leveling_ = nullptr;

  DspFormat format_;
  float gain_ = 1.0f;
  std::unique_ptr<soundtouch::SoundTouch> shifter_;
  // What the shifter was last given, so that a value whose store became
  // visible after its changed flag is still picked up.
  float shifterPitch_ = 0.0f;
  float shifterTempo_ = 0.0f;
  std::vector<float> feed_;
  std::vector<float> drain_;
};

}  // namespace lyricade
