// The music between the songs: how soon a pad press has its effect's graph
// playing, and the longest 30 ms timer step while a song plays and ten
// effects and two break tracks are started beside it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/show.h"
#include "bench_figures.h"
#include "cdg/cdg_sample_songs.h"
#include "common/app_settings.h"
#include "generated_library.h"
#include "platform/prompts/scripted_prompts.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double longestPressCpu = 0;

// A folder with a song (MP3 and rip-like CD+G), ten effects and two break
// tracks.
const std::string& MediaFolder() {
  static const std::string folder = [] {
    const std::string media = bench::BenchDataFolder() + "effects-media/";
    fs::create_directories(media);
    if (!fs::exists(media + "song.mp3")) {
      testing::MakeMp3(media + "song.mp3", 30);
      const std::vector<uint8_t> graphics = MakeRipLikeStream(30 * 300);
      std::ofstream(media + "song.cdg", std::ios::binary)
          .write(reinterpret_cast<const char*>(graphics.data()),
                 static_cast<std::streamsize>(graphics.size()));
    }
    for (int i = 0; i < 10; ++i) {
      const std::string effect = media + "effect" + std::to_string(i) + ".mp3";
      if (!fs::exists(effect)) testing::MakeMp3(effect, 3, 300 + 50 * i);
    }
    for (int i = 0; i < 2; ++i) {
      const std::string track = media + "break" + std::to_string(i) + ".mp3";
      if (!fs::exists(track)) testing::MakeNoiseMp3(track, 20);
    }
    return media;
  }();
  return folder;
}

struct Stage {
  AppSettings settings;
  ScriptedPrompts prompts;
  Show show{settings, prompts, ShowFolders{"", bench::BenchDataFolder() + "effects-scratch/", ""}};
  Stage() {
    for (int i = 0; i < 10; ++i)
      show.EffectPads().Assign(i, MediaFolder() + "effect" + std::to_string(i) + ".mp3");
    for (int i = 0; i < 2; ++i) show.Ambients().AddFile(MediaFolder() + "break" + std::to_string(i) + ".mp3");
  }
};

// From the press to the graph in its running state.
void BM_EffectStart(benchmark::State& state) {
  Stage stage;
  for (auto _ : state) {
    const auto start = Clock::now();
    stage.show.Effects().PlaySlot(0);
    while (!stage.show.EffectPlayer().Running() && Clock::now() - start < std::chrono::seconds(5))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    stage.show.Effects().Stop();
  }
}
BENCHMARK(BM_EffectStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Ten seconds of a song; every 20th step a pad is pressed, and two break
// tracks start (and fade) along the way. The figure is the longest timer
// step in CPU time of the UI thread; the presses themselves are reported
// after as effect-press-cpu-max.
void BM_TickMaxDuringEffects(benchmark::State& state) {
  for (auto _ : state) {
    Stage stage;
    Show& show = stage.show;
    stage.settings.RandomIncrement = false;
    show.PlaySong(MediaFolder() + "song.mp3", 0, 0);
    double longest = 0;
    int step = 0;
    int effects = 0;
    int tracks = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
      const double cpuStart = ThreadSeconds();
      show.tick();
      longest = std::max(longest, ThreadSeconds() - cpuStart);
      ++step;
      const double pressStart = ThreadSeconds();
      if (step % 20 == 0 && effects < 10) show.Effects().PlaySlot(effects++);
      if ((step == 30 || step == 150) && tracks < 2) {
        show.StartNextBreakTrack();
        ++tracks;
      }
      longestPressCpu = std::max(longestPressCpu, ThreadSeconds() - pressStart);
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(25);
    }
    state.SetIterationTime(longest);
    show.StopBetweenSongs();
    show.StopAndTearDown();
  }
}
BENCHMARK(BM_TickMaxDuringEffects)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=true", 1);
  QCoreApplication app(argc, argv);
  const int status = lyricade::bench::RunWithFigures(
      argc, argv,
      {{"BM_EffectStart/iterations:10/manual_time", "effect-start", "ms"},
       {"BM_TickMaxDuringEffects/iterations:1/manual_time", "tick-max-during-effects", "ms"}});
  std::printf("effect-press-cpu-max: %.3f ms\n", lyricade::longestPressCpu * 1e3);
  return status;
}
