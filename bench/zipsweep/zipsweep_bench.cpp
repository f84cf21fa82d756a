// zipsweep over a collection of MP3+G archives, as a KJ runs it from a
// terminal:
//   zipsweep-test-rate  archives tested per second by one
//                       "zipsweep --test DIR" process (archives/s)
//   zipsweep-vs-unzip   the whole-process time of "zipsweep --test DIR"
//                       divided by that of Info-ZIP's own test of the same
//                       archives, one "unzip -tq" process per archive
//                       ("find DIR -name '*.zip' -exec unzip -tq {} \;"),
//                       measured side by side in each repetition (x)
// The collection, 2,000 archives of about 300 KB in 20 folders, is made
// once per run in a temporary folder and removed afterwards; one warm-up
// pass of each command runs before the measurements, so both read from the
// page cache.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "playback/zip_test_support.h"

namespace lyricade::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFolders = 20;
constexpr int kArchivesPerFolder = 100;
constexpr int kArchives = kFolders * kArchivesPerFolder;

std::string& CollectionFolder() {
  static std::string folder;
  return folder;
}

// An archive of about 300 KB: an MP3 that does not compress (as real ones
// do not) and a CD+G stream that compresses well.
bool WriteSong(const std::string& path, uint32_t seed) {
  const std::string mp3 = testing::FakeMp3(640, seed);  // 267 KB
  std::string cdg;
  for (int packet = 0; packet < 12000; ++packet) {     // 288 KB, ~30 KB packed
    cdg += '\x09';
    cdg += static_cast<char>(packet % 7 == 0 ? 6 : 1);
    cdg += std::string(22, static_cast<char>((packet * seed) & 0x3F));
  }
  return testing::WriteZip(path, {{"Song " + std::to_string(seed) + ".mp3", mp3},
                                  {"Song " + std::to_string(seed) + ".cdg", cdg}});
}

bool MakeCollection() {
  std::string pattern = (fs::temp_directory_path() / "zipsweep-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return false;
  CollectionFolder() = pattern;
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string dir = pattern + "/Disc " + std::to_string(folder);
    fs::create_directories(dir);
    for (int song = 0; song < kArchivesPerFolder; ++song) {
      const uint32_t seed = static_cast<uint32_t>(folder * kArchivesPerFolder + song + 1);
      if (!WriteSong(dir + "/Track " + std::to_string(song) + ".zip", seed)) return false;
    }
  }
  return true;
}

// Runs a command line through the shell with its output discarded; the
// wall time in seconds, negative when it failed to run.
double TimeCommand(const std::string& command) {
  const auto start = Clock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  // zipsweep ends with 1 when an archive failed, which would be a bad
  // collection: only a command that could not run at all is refused.
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) return -1.0;
  return seconds;
}

std::string ZipsweepCommand() {
  return "XDG_DATA_HOME='" + CollectionFolder() + "/data' XDG_CACHE_HOME='" + CollectionFolder() +
         "/cache' '" LYRICADE_ZIPSWEEP "' --test '" + CollectionFolder() + "'";
}

std::string UnzipCommand() {
  return "find '" + CollectionFolder() + "' -name '*.zip' -exec unzip -tq {} \\;";
}

void WarmUp() {
  static bool warm = false;
  if (warm) return;
  TimeCommand(ZipsweepCommand());
  TimeCommand(UnzipCommand());
  warm = true;
}

void BM_TestRate(benchmark::State& state) {
  WarmUp();
  for (auto _ : state) {
    const double seconds = TimeCommand(ZipsweepCommand());
    if (seconds < 0) {
      state.SkipWithError("zipsweep did not run");
      return;
    }
    state.SetIterationTime(seconds);
    state.counters["archives_per_s"] = kArchives / seconds;
  }
}
BENCHMARK(BM_TestRate)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_VsUnzip(benchmark::State& state) {
  WarmUp();
  for (auto _ : state) {
    const double ours = TimeCommand(ZipsweepCommand());
    const double theirs = TimeCommand(UnzipCommand());
    if (ours < 0 || theirs <= 0) {
      state.SkipWithError("zipsweep or unzip did not run");
      return;
    }
    state.SetIterationTime(ours);
    state.counters["zipsweep_s"] = ours;
    state.counters["unzip_s"] = theirs;
    state.counters["ratio"] = ours / theirs;
  }
}
BENCHMARK(BM_VsUnzip)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace
}  // namespace lyricade::bench

int main(int argc, char** argv) {
  using namespace lyricade::bench;
  if (!MakeCollection()) {
    std::fprintf(stderr, "bench-zipsweep: the archive collection could not be made\n");
    return 1;
  }
  FigureReporter reporter;
  RunReported(argc, argv, reporter);
  std::error_code ignored;
  fs::remove_all(CollectionFolder(), ignored);
  const double rate = reporter.Counter("BM_TestRate", "archives_per_s");
  const double ratio = reporter.Counter("BM_VsUnzip", "ratio");
  if (rate > 0) std::printf("zipsweep-test-rate: %.1f archives/s\n", rate);
  if (ratio > 0) std::printf("zipsweep-vs-unzip: %.3f x\n", ratio);
  return 0;
}
