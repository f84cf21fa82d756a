// The audio filter's logic without GStreamer: settings, the copy path, channel
// selection, automatic gain and the key-change path through SoundTouch.

#include "playback/dsp_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "common/app_settings.h"
#include "playback/dsp_frame_pass.h"
#include "playback/dsp_test_media.h"

namespace lyricade {
namespace {

std::vector<uint8_t> Bytes(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes(samples.size() * 2);
  if (!bytes.empty()) std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

std::vector<int16_t> Samples(const uint8_t* bytes, size_t count) {
  std::vector<int16_t> samples(count / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes, samples.size() * 2);
  return samples;
}

std::vector<int16_t> Sine(double frequency, int rate, int channels, size_t frames, double amplitude,
                          size_t start = 0) {
  std::vector<int16_t> out(frames * static_cast<size_t>(channels));
  for (size_t i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(start + i) / rate);
    for (int c = 0; c < channels; ++c) out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = static_cast<int16_t>(v);
  }
  return out;
}

// Runs one buffer through the filter with the graph's output size.
struct Passed {
  DspResult result;
  DspOutput output;
  std::vector<int16_t> samples;
};

Passed Pass(DspFilter& filter, const std::vector<int16_t>& samples) {
  const std::vector<uint8_t> in = Bytes(samples);
  std::vector<uint8_t> out(DspFilter::OutputBufferBytes(in.size()));
  Passed run;
  run.result = filter.Transform(in.data(), in.size(), out.data(), out.size(), &run.output);
  run.samples = Samples(out.data(), run.output.bytes);
  return run;
}

TEST(DspSettings, KeyKeepsWholeTenthsAndTempoIsCentredOn50) {
  DspFilter filter;
  filter.SetPitch(20);
  EXPECT_FLOAT_EQ(filter.GetPitch(), 2.0f);
  filter.SetPitch(-35);
  EXPECT_FLOAT_EQ(filter.GetPitch(), -3.5f);
  filter.SetPitch(25.9f);  // whole tenths only
  EXPECT_FLOAT_EQ(filter.GetPitch(), 2.5f);
  filter.SetPitch(-0.7f);  // truncates to 0: no negative zero
  EXPECT_EQ(filter.GetPitch(), 0.0f);
  EXPECT_FALSE(std::signbit(filter.GetPitch()));
  filter.SetPitch(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(filter.GetPitch(), 0.0f);
  filter.SetPitch(1e30f);
  EXPECT_EQ(filter.GetPitch(), 0.0f);

  filter.SetTempo(50);
  EXPECT_EQ(filter.GetTempo(), 0.0f);
  filter.SetTempo(60);
  EXPECT_FLOAT_EQ(filter.GetTempo(), 10.0f);
  filter.SetTempo(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(filter.GetTempo(), 0.0f);

  filter.SetChannel(2);
  EXPECT_EQ(filter.GetChannel(), 2);
}

TEST(DspSettings, InputFormatsOutsideTheListAreRefused) {
  for (int rate : {44100, 48000, 22050, 11025}) {
    for (int channels : {1, 2}) EXPECT_TRUE(DspFilter::AcceptsInput({channels, rate, 16}));
  }
  EXPECT_FALSE(DspFilter::AcceptsInput({2, 32000, 16}));
  EXPECT_FALSE(DspFilter::AcceptsInput({2, 44100, 8}));
  EXPECT_FALSE(DspFilter::AcceptsInput({2, 44100, 24}));
  EXPECT_FALSE(DspFilter::AcceptsInput({3, 44100, 16}));
  EXPECT_FALSE(DspFilter::AcceptsInput({0, 44100, 16}));

  DspFilter filter;
  ASSERT_TRUE(filter.SetInputFormat({1, 22050, 16}));
  EXPECT_FALSE(filter.SetInputFormat({6, 48000, 16}));
  EXPECT_EQ(filter.InputFormat().channels, 1);
  EXPECT_EQ(filter.InputFormat().rate, 22050);
}

TEST(DspFramePass, ChannelSelectionAndPeaks) {
  const std::vector<int16_t> frame{1000, -2000};
  std::vector<uint8_t> data = Bytes(frame);
  DspPeaks peaks = DspSelectChannel(data.data(), 1, 2, 1, true);
  EXPECT_EQ(Samples(data.data(), 4), (std::vector<int16_t>{1000, 1000}));
  EXPECT_EQ(peaks.left, 1000);
  EXPECT_EQ(peaks.right, 1999);  // peaks are of the values before the change

  data = Bytes(frame);
  DspSelectChannel(data.data(), 1, 2, 2, true);
  EXPECT_EQ(Samples(data.data(), 4), (std::vector<int16_t>{-2000, -2000}));

  data = Bytes({-32768, 32767});
  peaks = DspSelectChannel(data.data(), 1, 2, 0, true);
  EXPECT_EQ(Samples(data.data(), 4), (std::vector<int16_t>{-32768, 32767}));
  EXPECT_EQ(peaks.left, 32767);
  EXPECT_EQ(peaks.right, 32767);
}

TEST(DspFramePass, MonoFramesAreSingleSamples) {
  // Mono must not be read as stereo pairs: channel 1 would otherwise copy
  // every even sample over the next one.
  DspFilter filter;
  ASSERT_TRUE(filter.SetInputFormat({1, 44100, 16}));
  filter.PrepareShifter();
  filter.SetChannel(1);
  const std::vector<int16_t> in{100, -200, 300, -400, 500};
  Passed run = Pass(filter, in);
  ASSERT_EQ(run.result, DspResult::Ok);
  EXPECT_EQ(run.samples, in);

  // The gain reaches every mono sample, the odd last one included.
  filter.SetAutoGain(true);
  run = Pass(filter, {16384, -16384, 16384, -16384, 16384});
  EXPECT_FLOAT_EQ(filter.Gain(), 0.98f);
  EXPECT_EQ(run.samples[0], static_cast<int16_t>(16384 * static_cast<double>(filter.Gain())));
  EXPECT_EQ(run.samples[4], run.samples[0]);
  EXPECT_EQ(run.samples[1], static_cast<int16_t>(static_cast<int>(-16383 * static_cast<double>(filter.Gain())) - 1));
}

TEST(DspCopyPath, UnchangedKeyCopiesTheBufferAndKeepsItsStamps) {
  DspFilter filter;
  filter.SetTempo(50);
  const std::vector<int16_t> in = Sine(440, 44100, 2, 512, 9000);
  Passed run = Pass(filter, in);
  ASSERT_EQ(run.result, DspResult::Ok);
  EXPECT_FALSE(run.output.shifted);
  EXPECT_EQ(run.samples, in);

  // Back to key 0 after a change: the copy path again.
  filter.SetPitch(20);
  Pass(filter, in);
  filter.SetPitch(0);
  run = Pass(filter, in);
  EXPECT_FALSE(run.output.shifted);
  EXPECT_EQ(run.samples, in);

  // A trailing half frame is carried over untouched, nothing more is read.
  filter.SetChannel(1);
  const std::vector<uint8_t> odd{1, 0, 2, 0, 9};
  std::vector<uint8_t> out(odd.size() * 4, 0xEE);
  DspOutput output;
  ASSERT_EQ(filter.Transform(odd.data(), odd.size(), out.data(), out.size(), &output), DspResult::Ok);
  EXPECT_EQ(output.bytes, 5u);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 6), (std::vector<uint8_t>{1, 0, 1, 0, 9, 0xEE}));
}

TEST(DspCopyPath, NoInputGivesNoSample) {
  DspFilter filter;
  std::vector<uint8_t> out(64);
  DspOutput output;
  const uint8_t in[4] = {1, 2, 3, 4};
  EXPECT_EQ(filter.Transform(nullptr, 4, out.data(), out.size(), &output), DspResult::NoSample);
  EXPECT_EQ(filter.Transform(in, 0, out.data(), out.size(), &output), DspResult::NoSample);
  EXPECT_EQ(filter.Transform(in, 4, out.data(), 3, &output), DspResult::NoSample);
}

TEST(DspAutoGain, FullScaleBufferDropsGainAndScalesSymmetrically) {
  DspFilter filter;
  filter.SetAutoGain(true);
  const Passed run = Pass(filter, {32767, -32768, 0, -1});
  ASSERT_EQ(run.result, DspResult::Ok);
  EXPECT_NEAR(filter.Gain(), 0.58f, 1e-6);
  EXPECT_EQ(run.samples, (std::vector<int16_t>{19004, -19005, 0, -1}));
}

TEST(DspAutoGain, SilenceRaisesGainUpToTheCap) {
  DspFilter filter;
  filter.SetAutoGain(true);
  const std::vector<int16_t> silence{0, -1, 0, -1, 0, 0};
  Passed run = Pass(filter, silence);
  EXPECT_FLOAT_EQ(filter.Gain(), 1.02f);
  EXPECT_EQ(run.samples, silence);
  for (int i = 0; i < 200; ++i) run = Pass(filter, silence);
  EXPECT_FLOAT_EQ(filter.Gain(), 3.5f);
  EXPECT_EQ(run.samples, silence);

  // A loud buffer after long silence is brought down before it is scaled.
  run = Pass(filter, {30000, -30000});
  EXPECT_LE(std::abs(run.samples[0]), static_cast<int>(0.6 * 32767));
  EXPECT_GT(run.samples[0], 18000);
}

TEST(DspAutoGain, SettlesBetweenHalfAndSixTenthsOfFullScale) {
  DspFilter filter;
  filter.SetAutoGain(true);
  const std::vector<int16_t> quiet = Sine(440, 44100, 2, 1024, 8000);
  Passed run;
  for (int i = 0; i < 400; ++i) run = Pass(filter, quiet);
  const double level = PeakOf(testing::Pcm{44100, 2, run.samples, {}}, 0, 0, 1024) / 32767.0;
  EXPECT_GE(level, 0.49);
  EXPECT_LE(level, 0.6);
}

TEST(DspAutoGain, SwitchingOffResetsGainAtTheNextBuffer) {
  AppSettings settings;
  DspFilter filter;
  filter.FollowAutoGain(settings.AutoGainControl);
  settings.AutoGainControl = true;
  Pass(filter, {0, 0});
  Pass(filter, {0, 0});
  EXPECT_FLOAT_EQ(filter.Gain(), 1.04f);
  settings.AutoGainControl = false;
  const Passed run = Pass(filter, {1000, -1000});
  EXPECT_EQ(filter.Gain(), 1.0f);
  EXPECT_EQ(run.samples, (std::vector<int16_t>{1000, -1000}));
}

TEST(DspPitchPath, FillsFirstThenShiftsWithInputStamps) {
  DspFilter filter;
  filter.SetPitch(120);
  const size_t frames = 1152;
  size_t start = 0;
  int silentBuffers = 0;
  std::vector<int16_t> produced;
  for (int i = 0; i < 80; ++i, start += frames) {
    const Passed run = Pass(filter, Sine(440, 44100, 2, frames, 10000, start));
    if (run.result == DspResult::NoSample) {
      if (produced.empty()) ++silentBuffers;
      continue;
    }
    EXPECT_TRUE(run.output.shifted);
    EXPECT_EQ(run.output.bytes % 4, 0u);
    produced.insert(produced.end(), run.samples.begin(), run.samples.end());
  }
  EXPECT_GE(silentBuffers, 1);
  testing::Pcm pcm{44100, 2, produced, {}};
  EXPECT_NEAR(testing::DominantFrequency(pcm, 0, pcm.Frames() / 2, 8192), 880.0, 880 * 0.03);
  // 1152 frames of 44.1 kHz stereo last 261224.49... hundreds of ns.
  EXPECT_EQ(filter.InputDuration(frames * 4), 261224);
  // 64-bit arithmetic: a gigabyte buffer does not wrap.
  EXPECT_EQ(filter.InputDuration(size_t{1} << 30), int64_t{1} * (int64_t{1} << 30) * 10'000'000 / 176400);
}

TEST(DspPitchPath, MonoShiftsAsOneChannel) {
  DspFilter filter;
  ASSERT_TRUE(filter.SetInputFormat({1, 22050, 16}));
  filter.PrepareShifter();
  filter.SetPitch(120);
  std::vector<int16_t> produced;
  for (size_t i = 0, start = 0; i < 60; ++i, start += 1024) {
    const Passed run = Pass(filter, Sine(300, 22050, 1, 1024, 10000, start));
    produced.insert(produced.end(), run.samples.begin(), run.samples.end());
  }
  testing::Pcm pcm{22050, 1, produced, {}};
  ASSERT_GT(pcm.Frames(), 30000u);
  EXPECT_NEAR(testing::DominantFrequency(pcm, 0, 10000, 8192), 600.0, 600 * 0.03);
}

TEST(DspPitchPath, NeverGivesMoreThanTheOutputBufferHolds) {
  DspFilter filter;
  filter.SetPitch(20);
  // Fill the shifter through output buffers no larger than the input.
  size_t start = 0;
  for (int i = 0; i < 20; ++i, start += 4096) {
    const std::vector<uint8_t> in = Bytes(Sine(440, 44100, 2, 4096, 8000, start));
    std::vector<uint8_t> out(in.size() + 64, 0xA5);
    DspOutput output;
    filter.Transform(in.data(), in.size(), out.data(), in.size(), &output);
    EXPECT_LE(output.bytes, in.size());
    for (size_t b = in.size(); b < out.size(); ++b) ASSERT_EQ(out[b], 0xA5) << "wrote past the buffer";
  }
  // Key 0 for a while: the copy path leaves the shifter's content alone.
  filter.SetPitch(0);
  const size_t held = filter.ShifterFrames();
  Pass(filter, Sine(440, 44100, 2, 4096, 8000));
  EXPECT_EQ(filter.ShifterFrames(), held);

  // Then a key change on a tiny buffer: the shifter holds far more than four
  // times its size, and only what fits comes out.
  filter.SetPitch(20);
  const std::vector<uint8_t> in = Bytes(Sine(440, 44100, 2, 16, 8000));
  const size_t capacity = DspFilter::OutputBufferBytes(in.size());
  std::vector<uint8_t> out(capacity + 64, 0xA5);
  DspOutput output;
  ASSERT_GT(filter.ShifterFrames(), capacity / 4);
  ASSERT_EQ(filter.Transform(in.data(), in.size(), out.data(), capacity, &output), DspResult::Ok);
  EXPECT_EQ(output.bytes, capacity);
  for (size_t b = capacity; b < out.size(); ++b) ASSERT_EQ(out[b], 0xA5) << "wrote past the buffer";
  EXPECT_GT(filter.ShifterFrames(), 0u) << "the rest waits for the next buffer";
}

}  // namespace
}  // namespace lyricade
