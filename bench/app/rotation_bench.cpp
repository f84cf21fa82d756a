// Recomputing every singer's wait after a change, on the UI thread's budget:
// 200 singers with 5 songs each, lengths looked up by path in a table as the
// program keeps them.
#include <string>
#include <unordered_map>

#include "bench_figures.h"
#include "singers/wait_estimate.h"

namespace lyricade {
namespace {

void BM_RotationEstimate200(benchmark::State& state) {
  SingerRotation rotation;
  std::unordered_map<std::string, int> lengths;
  for (int s = 0; s < 200; ++s) {
    const int singer = rotation.AddSinger("Singer " + std::to_string(s));
    for (int k = 0; k < 5; ++k) {
      QueuedSong song;
      song.Title = "Song " + std::to_string(k);
      song.Path = "/songs/" + std::to_string(s) + "-" + std::to_string(k) + ".zip";
      lengths[song.Path] = 150 + (s * 7 + k * 13) % 180;
      rotation.QueueSong(singer, song);
    }
  }
  rotation.SetOptions({NewcomerPlacement::AtEnd, 2});
  rotation.CueSinger(3, false, false);
  const SongSeconds length = [&](const QueuedSong& song) {
    const auto found = lengths.find(song.Path);
    return found == lengths.end() ? 210 : found->second;
  };
  size_t characters = 0;
  int toggle = 0;
  for (auto _ : state) {
    // The change: a singer sits out or comes back.
    rotation.SetSittingOut(100, (++toggle & 1) != 0);
    const auto waits = EstimateWaits(rotation, length, 45, true, 120);
    for (const SingerWait& wait : waits) characters += WaitText(wait).size();
  }
  benchmark::DoNotOptimize(characters);
}
BENCHMARK(BM_RotationEstimate200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  return lyricade::bench::RunWithFigures(argc, argv,
                                         {{"BM_RotationEstimate200", "rotation-estimate-200", "ms"}});
}
