// What song leveling costs a folder import:
//   loudness-import-slowdown  the import-20k tree (20,000 MP3+G pairs, see
//                             bench/import) imported with leveling on, over
//                             the same import with it off (x)
// With leveling on the background measurer runs on the library as the host
// runs it: started before the import, busy with the rotation's queued songs
// (real 60-second MP3s) at the lowest priority, woken every 2 s while the
// import runs and once more when it committed. Each import goes into a new
// library; on and off alternate, each going first in every other run, and
// the medians of nine of each are compared: one import varies by a tenth
// from run to run on a small machine.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "import/song_tree.h"
#include "leveling/background_measurer.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "platform/prompts/scripted_prompts.h"
#include "support/test_media.h"

using namespace lyricade;
using namespace lyricade::bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 9;
constexpr int kQueuedSongs = 8;

// Seconds the import took; negative when it failed.
double TimedImport(const SongTree& tree, const fs::path& data, const std::vector<std::string>& queued,
                   bool leveling) {
  fs::create_directories(data);
  ScriptedPrompts prompts;
  LibraryDatabase database(prompts);
  if (!SeedDatabaseFiles(data.string() + "/", LYRICADE_BENCH_RESOURCES "/")) return -1;
  database.SetDataFolder(data.string() + "/");
  if (!database.OpenLibrary()) return -1;
  BackgroundMeasurer measurer(database.LibraryPath());
  if (leveling) {
    measurer.SetQueued(queued);
    measurer.Start();
  }
  LibraryImport import(database);
  Clock::time_point lastWake = Clock::now();
  ImportProgress progress;
  progress.Pump = [&] {
    if (!leveling || Clock::now() - lastWake < std::chrono::seconds(2)) return;
    measurer.Wake();
    lastWake = Clock::now();
  };
  const Clock::time_point start = Clock::now();
  const long imported = import.ImportFolder((tree.folder / "Songs").string(), progress);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (leveling) measurer.Wake();  // the host's "an import committed"
  measurer.Stop();
  database.Close();
  std::error_code ignored;
  fs::remove_all(data, ignored);
  return imported == kBranches * kDepth * kPairsPerFolder ? seconds : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const SongTree tree;
  if (!tree.ready) {
    std::fprintf(stderr, "bench-loudness-import: the song tree could not be made\n");
    return 1;
  }
  std::vector<std::string> queued;
  for (int n = 0; n < kQueuedSongs; ++n) {
    const std::string song = (tree.folder / ("Queued " + std::to_string(n) + ".mp3")).string();
    if (!testing::MakeNoiseMp3(song, 60, 160)) {
      std::fprintf(stderr, "bench-loudness-import: a queued song could not be made\n");
      return 1;
    }
    queued.push_back(song);
  }
  std::vector<double> off, on;
  for (int run = 0; run < kRuns; ++run) {
    // Each run swaps which import goes first, so a drift in the machine's
    // speed falls on both alike.
    double plain = 0, levelled = 0;
    const bool levelFirst = run % 2 == 1;
    for (const bool leveling : {levelFirst, !levelFirst}) {
      const fs::path data = tree.folder / ((leveling ? "on-" : "off-") + std::to_string(run));
      (leveling ? levelled : plain) = TimedImport(tree, data, queued, leveling);
    }
    if (plain < 0 || levelled < 0) {
      std::fprintf(stderr, "bench-loudness-import: an import failed\n");
      return 1;
    }
    off.push_back(plain);
    on.push_back(levelled);
  }
  std::printf("import-20k-leveling-off: %.0f ms\n", Median(off) * 1e3);
  std::printf("import-20k-leveling-on: %.0f ms\n", Median(on) * 1e3);
  std::printf("loudness-import-slowdown: %.3f x\n", Median(on) / Median(off));
  return 0;
}
