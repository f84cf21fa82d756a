// The karaoke screen with a looping background video behind a CD+G song, on
// this machine's OpenGL (Mesa llvmpipe without a GPU):
//   screen-bgvideo-frame  one 30 ms tick's screen work: the CD+G frame
//                         handed to the scene, the changed textures (CD+G
//                         and the 1280x720 background video frame) uploaded,
//                         and the 1920x1080 frame drawn to the end; the
//                         video decodes and loops meanwhile as it does in a
//                         show
//   screen-bgvideo-cpu    the render thread's share of one core over three
//                         seconds of the same show, drawn by the real render
//                         thread (10 ms between turns), with the llvmpipe
//                         threads that rasterise its frames
//   screen-bgvideo-cpu-render-thread  the render thread alone, without the
//                         rasteriser threads
//   screen-bgvideo-cpu-process  the whole process over the same seconds
//                         (video decoding, the tick, the render thread and
//                         the rasteriser), for comparison with `top`
// Needs a display; without one the program runs itself again under
// xvfb-run.

#include <benchmark/benchmark.h>

#include "screen/bench_lyrics.h"
#include "bench_figures.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/background_videos.h"
#include "cdg/cdg_player.h"
#include "cdg/cdg_writer.h"
#include "common/app_settings.h"
#include "screen/cdg_screen_sink.h"
#include "screen/preview_surface.h"
#include "screen/render_thread.h"
#include "screen/scene_renderer.h"
#include "screen/video_layer.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(30);

std::map<std::string, std::vector<double>>& Figures() {
  static std::map<std::string, std::vector<double>> figures;
  return figures;
}

void Record(const std::string& name, double value) { Figures()[name].push_back(value); }

// The 1280x720 background video, made once in a folder removed at exit.
struct VideoFile {
  VideoFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyricade-bgvideo-XXXXXX").string();
    if (::mkdtemp(pattern.data())) folder = pattern;
    path = folder + "/loop.avi";
    made = !folder.empty() && testing::MakeVideo(path, 2.0, 1280, 720);
  }
  ~VideoFile() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }
  std::string folder, path;
  bool made = false;
};

const VideoFile& Video() {
  static VideoFile video;
  return video;
}

using bench::LyricsSong;

// What a show puts on the screen: backgrounds enabled, the background video
// looping into its layer, a CD+G song playing over it.
struct BackgroundShow {
  BackgroundShow() : backgroundLayer(1, buffers, flags, preview), sink(buffers, preview), player(settings, &sink) {
    settings.BackgroundsEnabled = true;
    settings.SmoothOutputLyrics = true;
    videos = std::make_unique<BackgroundVideos>(settings);
    videos->SetTarget(&backgroundLayer);
    videos->List().Add(Video().path);
    videos->List().SetCurrent(0);
    started = Video().made && videos->StartCurrent();
    song = LyricsSong();
    player.OpenMemory(song.data(), song.size());
    flags.SongVisualShowing = true;
    flags.SongPlaying = true;
    flags.CdgMode = true;
  }
  // One timer tick: the song moves on 30 ms, the video loops when due.
  void Tick() {
    position += 300'000;
    player.AdvanceTo(position);
    videos->Loop();
  }

  AppSettings settings;
  SceneFlags flags;
  SceneBuffers buffers;
  PreviewSurface preview;
  VideoLayer backgroundLayer;
  CdgScreenSink sink;
  CdgPlayer player;
  std::unique_ptr<BackgroundVideos> videos;
  std::vector<uint8_t> song;
  int64_t position = 0;
  bool started = false;
};

void BM_BgVideoFrame(benchmark::State& state) {
  BackgroundShow show;
  if (!show.started) {
    state.SkipWithError("the background video does not play");
    return;
  }
  QOffscreenSurface surface;
  surface.create();
  QOpenGLContext context;
  context.create();
  context.makeCurrent(&surface);
  SceneRenderer renderer(show.buffers, show.flags, show.settings);
  renderer.Initialise();
  auto next = Clock::now();
  double uploadMs = 0, drawMs = 0;
  auto since = [](Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
  };
  for (auto _ : state) {
    next += kTick;
    std::this_thread::sleep_until(next);
    show.Tick();
    const auto start = Clock::now();
    show.player.PresentFrame(0);
    SceneBuffers::Handovers changes;
    if (show.buffers.TryTakeChanges(changes)) renderer.Upload(changes);
    const auto drawStart = Clock::now();
    uploadMs += since(start);
    renderer.DrawFrame();
    context.functions()->glFinish();
    drawMs += since(drawStart);
    Record("screen-bgvideo-frame", since(start));
  }
  // Where the time goes: the hand-over and upload, and the drawing.
  state.counters["upload_ms"] = uploadMs / static_cast<double>(state.iterations());
  state.counters["draw_ms"] = drawMs / static_cast<double>(state.iterations());
  state.counters["loops"] = show.videos->Loops();
  renderer.Release();
  context.doneCurrent();
}
// 100 ticks: the two-second video loops at least once.
BENCHMARK(BM_BgVideoFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

// CPU seconds of this process's threads whose names begin with one of
// `prefixes` (utime + stime of their /proc stat lines); negative when there
// is none.
// Every thread of the process, the ones that ended included.
double ProcessCpuSeconds() {
  timespec used{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

double ThreadCpuSeconds(const std::vector<std::string>& prefixes) {
  std::error_code error;
  double seconds = -1.0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    std::ifstream comm(task.path() / "comm");
    std::string taskName;
    std::getline(comm, taskName);
    if (std::none_of(prefixes.begin(), prefixes.end(),
                     [&](const std::string& prefix) { return taskName.rfind(prefix, 0) == 0; }))
      continue;
    std::ifstream statFile(task.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> values((std::istream_iterator<std::string>(fields)), {});
    if (values.size() < 13) continue;
    const double ticks = std::stod(values[11]) + std::stod(values[12]);
    seconds = std::max(seconds, 0.0) + ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  return seconds;
}

void BM_BgVideoCpu(benchmark::State& state) {
  for (auto _ : state) {
    BackgroundShow show;
    if (!show.started) {
      state.SkipWithError("the background video does not play");
      return;
    }
    QOffscreenSurface surface;
    surface.create();
    PresentTarget target;
    target.Surface = &surface;
    auto context = std::make_unique<QOpenGLContext>();
    context->create();
    RenderThread thread(std::move(context), target, show.buffers, show.flags, show.settings, nullptr,
                        false);
    thread.setObjectName("bgvideo-render");
    thread.Start();
    thread.WaitForSetup();
    // A second of show first, then three measured.
    auto next = Clock::now();
    auto runFor = [&](std::chrono::milliseconds length) {
      const auto end = Clock::now() + length;
      while (Clock::now() < end) {
        next += kTick;
        std::this_thread::sleep_until(next);
        show.Tick();
        show.player.PresentFrame(0);
      }
    };
    runFor(std::chrono::milliseconds(1000));
    // Mesa's llvmpipe rasterises a frame on threads of its own, working
    // for the render thread alone here: they count as its share.
    const std::vector<std::string> drawing = {"bgvideo-render", "llvmpipe-"};
    const double renderBefore = ThreadCpuSeconds({"bgvideo-render"});
    const double processBefore = ProcessCpuSeconds();
    const double cpuBefore = ThreadCpuSeconds(drawing);
    const uint64_t framesBefore = thread.FramesDrawn();
    const auto start = Clock::now();
    runFor(std::chrono::milliseconds(3000));
    const double cpu = ThreadCpuSeconds(drawing) - cpuBefore;
    const double renderOnly = ThreadCpuSeconds({"bgvideo-render"}) - renderBefore;
    const double process = ProcessCpuSeconds() - processBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["frames/s"] = static_cast<double>(thread.FramesDrawn() - framesBefore) / wall;
    thread.Stop();
    if (cpuBefore < 0) {
      state.SkipWithError("the render thread was not found in /proc");
      return;
    }
    Record("screen-bgvideo-cpu", cpu / wall * 100.0);
    Record("screen-bgvideo-cpu-render-thread", renderOnly / wall * 100.0);
    Record("screen-bgvideo-cpu-process", process / wall * 100.0);
  }
}
BENCHMARK(BM_BgVideoCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  lyricade::bench::RestartUnderXvfbIfNoDisplay(argc, argv);
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=false", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const std::pair<const char*, const char*> figures[] = {{"screen-bgvideo-frame", "ms"},
                                                         {"screen-bgvideo-cpu", "%"},
                                                         {"screen-bgvideo-cpu-render-thread", "%"},
                                                         {"screen-bgvideo-cpu-process", "%"}};
  for (const auto& [name, unit] : figures) {
    std::vector<double>& values = lyricade::Figures()[name];
    if (values.empty()) continue;
    std::sort(values.begin(), values.end());
    std::printf("%s: %.3f %s\n", name, values[values.size() / 2], unit);
  }
  return 0;
}
