// The program as a whole: start-up to an interactive main window with a
// 100,000-song library listed (and with a million songs, startup-1m),
// shutdown, and the longest 30 ms timer step
// while a song with CD+G lyrics plays.
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/show.h"
#include "app/ui/application.h"
#include "bench_figures.h"
#include "cdg/cdg_sample_songs.h"
#include "generated_library.h"
#include "library/database_seed.h"
#include "library/library_list_controller.h"
#include "platform/prompts/scripted_prompts.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// The CPU time of the calling thread: the work a step does, whatever else
// the machine runs (the software renderer of a display-less machine takes
// both cores for the singers' screen).
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double longestWallTick = 0;

// A fresh data folder holding a generated library of `songs` songs.
std::string MakeDataFolder(const std::string& name, long songs) {
  const std::string data = bench::BenchDataFolder() + "/" + name + "/";
  fs::remove_all(data);
  fs::create_directories(data);
  SeedDatabaseFiles(data, LYRICADE_BENCH_RESOURCES);
  fs::copy_file(bench::GeneratedLibrary(songs, LYRICADE_BENCH_RESOURCES), data + "collections.mdb",
                fs::copy_options::overwrite_existing);
  return data;
}

// A data folder holding the generated 100,000-song library.
const std::string& DataFolder() {
  static const std::string folder = MakeDataFolder("app-data", 100000);
  return folder;
}

// Starts the program on the data folder and waits for the library's list.
void StartUp(Application& application) {
  application.SetSplash(false);
  application.Start();
  LibraryListController* list = application.LibraryController();
  while (list->LoadBusy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  QCoreApplication::processEvents();
}

void BM_Startup(benchmark::State& state) {
  for (auto _ : state) {
    ScriptedPrompts prompts;
    const auto start = Clock::now();
    Application application({"--data-dir", DataFolder()}, &prompts);
    StartUp(application);
    state.SetIterationTime(Seconds(start, Clock::now()));
    application.Shutdown();
  }
}
BENCHMARK(BM_Startup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The same with a million songs.
void BM_Startup1m(benchmark::State& state) {
  static const std::string folder = MakeDataFolder("app-data-1m", 1000000);
  for (auto _ : state) {
    ScriptedPrompts prompts;
    const auto start = Clock::now();
    Application application({"--data-dir", folder}, &prompts);
    StartUp(application);
    state.SetIterationTime(Seconds(start, Clock::now()));
    application.Shutdown();
  }
}
BENCHMARK(BM_Startup1m)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Shutdown(benchmark::State& state) {
  for (auto _ : state) {
    ScriptedPrompts prompts;
    Application application({"--data-dir", DataFolder()}, &prompts);
    StartUp(application);
    const auto start = Clock::now();
    application.Shutdown();
    state.SetIterationTime(Seconds(start, Clock::now()));
  }
}
BENCHMARK(BM_Shutdown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// Ten seconds of a song with rip-like lyrics; the figure is the longest
// timer step in CPU time of the UI thread (tick-max-wall, printed after,
// includes the time the thread waited for a core).
void BM_TickMax(benchmark::State& state) {
  const std::string song = DataFolder() + "Bench Song.mp3";
  if (!fs::exists(song)) {
    testing::MakeMp3(song, 20);
    const std::vector<uint8_t> graphics = MakeRipLikeStream(20 * 300);
    std::ofstream(DataFolder() + "Bench Song.cdg", std::ios::binary)
        .write(reinterpret_cast<const char*>(graphics.data()),
               static_cast<std::streamsize>(graphics.size()));
  }
  for (auto _ : state) {
    ScriptedPrompts prompts;
    Application application({"--data-dir", DataFolder()}, &prompts);
    StartUp(application);
    Show* show = application.HostController();
    show->StopTimer();
    show->PlaySong(song, 0, 0);
    double longest = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
      const auto start = Clock::now();
      const double cpuStart = ThreadSeconds();
      show->tick();
      longest = std::max(longest, ThreadSeconds() - cpuStart);
      longestWallTick = std::max(longestWallTick, Seconds(start, Clock::now()));
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(25);
    }
    state.SetIterationTime(longest);
    application.Shutdown();
  }
}
BENCHMARK(BM_TickMax)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  lyricade::bench::RestartUnderXvfbIfNoDisplay(argc, argv);
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=true", 1);
  setenv("XDG_CACHE_HOME", (lyricade::bench::BenchDataFolder() + "/app-cache").c_str(), 1);
  QApplication app(argc, argv);
  const int status = lyricade::bench::RunWithFigures(
      argc, argv,
      {{"BM_Startup/iterations:1/manual_time", "startup-100k", "ms"},
       {"BM_Startup1m/iterations:1/manual_time", "startup-1m", "ms"},
       {"BM_Shutdown/iterations:1/manual_time", "shutdown", "ms"},
       {"BM_TickMax/iterations:1/manual_time", "tick-max", "ms"}});
  std::printf("tick-max-wall: %.3f ms\n", lyricade::longestWallTick * 1e3);
  return status;
}
