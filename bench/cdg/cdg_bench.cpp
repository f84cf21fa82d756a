// The CD+G decoder's speed: a backward seek replays the whole stream within
// one 30 ms tick, composing stays far below a tick, and normal play costs a
// fraction of a millisecond per tick.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_figures.h"
#include "cdg/cdg_player.h"
#include "cdg/cdg_sample_songs.h"
#include "common/app_settings.h"

namespace lyricade {
namespace {

constexpr size_t kFiveMinutes = 90'000;  // packets
constexpr int64_t kSecond = 10'000'000;

// The stream as a real file, so reads go through the file source.
std::string WriteStream(const std::vector<uint8_t>& bytes, const char* name) {
  std::string path = std::string("/tmp/lyricade-bench-") + name + ".cdg";
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// Time of sector `sector`'s end: AdvanceTo(time) consumes sectors up to it.
int64_t TimeOfSector(int64_t sector) { return (sector * kSecond + kSecond / 2) / 75; }

// Sits at the last sector and moves back by one: the player rewinds and
// replays the whole stream from its start.
void Replay(benchmark::State& state, const std::string& path) {
  AppSettings settings;
  CdgPlayer player(settings);
  if (!player.Open(path)) {
    state.SkipWithError("cannot open the stream");
    return;
  }
  const int64_t last = kFiveMinutes / 4;
  for (auto _ : state) {
    player.AdvanceTo(TimeOfSector(last));
    const auto start = std::chrono::steady_clock::now();
    const int64_t consumed = player.AdvanceTo(TimeOfSector(last - 1));
    const auto end = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(consumed);
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
}

void BM_ReplayRipLike(benchmark::State& state) {
  static const std::string path = WriteStream(MakeRipLikeStream(kFiveMinutes), "rip-like");
  Replay(state, path);
}
BENCHMARK(BM_ReplayRipLike)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReplayDense(benchmark::State& state) {
  static const std::string path = WriteStream(MakeDenseStream(kFiveMinutes), "dense");
  Replay(state, path);
}
BENCHMARK(BM_ReplayDense)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Compose(benchmark::State& state) {
  static const std::vector<uint8_t> stream = MakeRipLikeStream(kFiveMinutes);
  AppSettings settings;
  CdgPlayer player(settings);
  player.OpenMemory(stream.data(), stream.size());
  player.AdvanceTo(100 * kSecond);
  std::vector<uint8_t> frame(kCdgFrameBytes);
  for (auto _ : state) {
    player.Screen().ComposeFrame(frame.data(), kCdgFramePitch);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Compose)->Unit(benchmark::kMicrosecond);

// Normal play: each tick moves the position 30 ms on (2 or 3 sectors) and
// presents the frame.
void BM_Tick(benchmark::State& state) {
  static const std::string path = WriteStream(MakeRipLikeStream(kFiveMinutes), "rip-like-tick");
  AppSettings settings;
  CdgPlayer player(settings);
  player.Open(path);
  int64_t position = 0;
  for (auto _ : state) {
    position += 300'000;  // 30 ms
    if (position > 290 * kSecond) {
      state.PauseTiming();
      player.Close();
      player.Open(path);
      position = 300'000;
      state.ResumeTiming();
    }
    player.AdvanceTo(position);
    player.PresentFrame(0);
    benchmark::DoNotOptimize(player.FrameCopy());
  }
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  return lyricade::bench::RunWithFigures(
      argc, argv,
      {{"BM_ReplayRipLike/manual_time", "cdg-replay-5min", "ms"},
       {"BM_ReplayDense/manual_time", "cdg-replay-dense", "ms"},
       {"BM_Compose", "cdg-compose", "ms"},
       {"BM_Tick", "cdg-tick", "ms"}});
}
