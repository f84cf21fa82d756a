// Speed of the audio filter's two paths on 44.1 kHz stereo, in multiples of
// real time on one core, and of SoundTouch alone with the filter's settings
// for reference. Figures (medians when repeated):
//   dsp-copy-realtime       key 0: one copy and one pass per buffer
//   dsp-copy-agc-realtime   key 0 with channel selection and auto gain
//   dsp-pitch-realtime      +2 half steps through the shifter
//   dsp-soundtouch-realtime SoundTouch alone, float samples, +2 half steps

#include <SoundTouch.h>
#include <benchmark/benchmark.h>

#include "bench_figures.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "playback/dsp_filter.h"

namespace {

using lyricade::DspFilter;
using lyricade::DspOutput;

constexpr int kRate = 44100;
constexpr size_t kFrames = 1152;  // one MP3 frame, what decoders hand over
constexpr double kBufferSeconds = static_cast<double>(kFrames) / kRate;

// Ten seconds of a music-like stereo signal: a few partials and some noise.
const std::vector<int16_t>& Music() {
  static const std::vector<int16_t> music = [] {
    const size_t frames = 10 * kRate;
    std::vector<int16_t> out(frames * 2);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 600.0);
    for (size_t i = 0; i < frames; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double v = 6000 * std::sin(2 * std::numbers::pi * 220 * t) +
                       3000 * std::sin(2 * std::numbers::pi * 554.37 * t) +
                       2000 * std::sin(2 * std::numbers::pi * 1318.5 * t);
      out[2 * i] = static_cast<int16_t>(v + noise(random));
      out[2 * i + 1] = static_cast<int16_t>(0.7 * v + noise(random));
    }
    return out;
  }();
  return music;
}

void RunFilter(benchmark::State& state, DspFilter& filter) {
  const std::vector<int16_t>& music = Music();
  const size_t buffers = music.size() / 2 / kFrames;
  const size_t inBytes = kFrames * 4;
  std::vector<uint8_t> out(DspFilter::OutputBufferBytes(inBytes));
  size_t index = 0;
  for (auto _ : state) {
    const auto* in = reinterpret_cast<const uint8_t*>(music.data() + index * kFrames * 2);
    DspOutput output;
    benchmark::DoNotOptimize(filter.Transform(in, inBytes, out.data(), out.size(), &output));
    benchmark::ClobberMemory();
    index = (index + 1) % buffers;
  }
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBufferSeconds, benchmark::Counter::kIsRate);
}

void CopyPath(benchmark::State& state) {
  DspFilter filter;
  filter.SetTempo(50);
  RunFilter(state, filter);
}
BENCHMARK(CopyPath);

void CopyPathAgc(benchmark::State& state) {
  DspFilter filter;
  filter.SetTempo(50);
  filter.SetChannel(1);
  filter.SetAutoGain(true);
  RunFilter(state, filter);
}
BENCHMARK(CopyPathAgc);

void PitchPath(benchmark::State& state) {
  DspFilter filter;
  filter.SetTempo(50);
  filter.SetPitch(20);
  RunFilter(state, filter);
}
BENCHMARK(PitchPath);

void SoundTouchAlone(benchmark::State& state) {
  const std::vector<int16_t>& music = Music();
  std::vector<float> input(music.size());
  for (size_t i = 0; i < music.size(); ++i) input[i] = music[i] / 32768.0f;
  soundtouch::SoundTouch shifter;
  shifter.setSampleRate(kRate);
  shifter.setChannels(2);
  shifter.setPitchSemiTones(2.0);
  shifter.setSetting(SETTING_USE_QUICKSEEK, 1);
  shifter.setSetting(SETTING_USE_AA_FILTER, 1);
  shifter.setSetting(SETTING_AA_FILTER_LENGTH, 32);
  std::vector<float> out(kFrames * 2 * 4);
  const size_t buffers = music.size() / 2 / kFrames;
  size_t index = 0;
  for (auto _ : state) {
    shifter.putSamples(input.data() + index * kFrames * 2, kFrames);
    benchmark::DoNotOptimize(shifter.receiveSamples(out.data(), kFrames * 4));
    index = (index + 1) % buffers;
  }
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBufferSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(SoundTouchAlone);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  lyricade::bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("dsp-copy-realtime: %.0f x\n", reporter.Counter("CopyPath", "realtime"));
  std::printf("dsp-copy-agc-realtime: %.0f x\n", reporter.Counter("CopyPathAgc", "realtime"));
  std::printf("dsp-pitch-realtime: %.0f x\n", reporter.Counter("PitchPath", "realtime"));
  std::printf("dsp-soundtouch-realtime: %.0f x\n", reporter.Counter("SoundTouchAlone", "realtime"));
  return 0;
}
