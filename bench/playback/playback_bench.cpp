// Opening a song as Play does: from the request to a running graph for a
// 5 MB MP3+G ZIP through the ZIP reader, through the fallback module (the
// archive's directory cut off), and the stop that tears it all down.
#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>

#include "app/show.h"
#include "bench_figures.h"
#include "cdg/cdg_sample_songs.h"
#include "common/app_settings.h"
#include "platform/prompts/scripted_prompts.h"
#include "playback/zip_test_support.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

struct Fixture {
  std::string folder;
  std::string zip;
  std::string cutZip;

  Fixture() {
    folder = (fs::temp_directory_path() / "lyricade-bench-playback").string() + "/";
    fs::create_directories(folder);
    const std::string mp3 = folder + "Song.mp3";
    // A 5.3-minute song: 5.1 MB of audio, 2.3 MB of graphics that pack small.
    if (!fs::exists(mp3)) testing::MakeNoiseMp3(mp3, 320);
    const std::vector<uint8_t> graphics = MakeRipLikeStream(320 * 300);
    zip = folder + "Artist - Song.zip";
    testing::WriteZip(zip, {{"Artist - Song.mp3", testing::ReadWhole(mp3)},
                            {"Artist - Song.cdg", std::string(graphics.begin(), graphics.end())}});
    cutZip = folder + "Cut - Song.zip";
    fs::copy_file(zip, cutZip, fs::copy_options::overwrite_existing);
    testing::CutTail(cutZip, 40);
  }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

struct Session {
  AppSettings settings;
  ScriptedPrompts prompts;
  Show show;
  Session()
      : show(settings, prompts,
             ShowFolders{Files().folder + "data/", Files().folder + "scratch/", LYRICADE_MODULE_FOLDER}) {}
};

void Open(benchmark::State& state, const std::string& zip) {
  Session session;
  for (auto _ : state) {
    if (!session.show.PlaySong(zip, 0, 0)) state.SkipWithError("the song did not open");
    state.PauseTiming();
    session.show.Stop();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_OpenZip(benchmark::State& state) { Open(state, Files().zip); }
BENCHMARK(BM_OpenZip)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_OpenFallback(benchmark::State& state) { Open(state, Files().cutZip); }
BENCHMARK(BM_OpenFallback)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_Stop(benchmark::State& state) {
  Session session;
  for (auto _ : state) {
    state.PauseTiming();
    session.show.PlaySong(Files().zip, 0, 0);
    state.ResumeTiming();
    session.show.Stop();
  }
}
BENCHMARK(BM_Stop)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=true", 1);
  QCoreApplication app(argc, argv);
  return lyricade::bench::RunWithFigures(argc, argv,
                                         {{"BM_OpenZip/iterations:10", "open-zip", "ms"},
                                          {"BM_OpenFallback/iterations:10", "open-fallback", "ms"},
                                          {"BM_Stop/iterations:10", "stop", "ms"}});
}
