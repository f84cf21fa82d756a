// Speed of the karaoke screen on this machine's OpenGL (Mesa llvmpipe without
// a GPU):
//   screen-frame-1080p      one frame of the 1920x1080 back buffer with two
//                           full-screen layers (a 1080p background video and
//                           a picture with alpha over it), drawn to the end
//   screen-cdg-frame        a CD+G frame from the player's sink through the
//                           scene lock, its upload, and a frame over the
//                           background video
//   screen-idle-cpu         the render thread's CPU use with nothing changing
//   screen-writer-lock-max  the longest a writer waits for the scene lock
//                           while the render thread draws flat out
// Needs a display; without one the program runs itself again under
// xvfb-run.

#include <benchmark/benchmark.h>

#include "screen/bench_lyrics.h"
#include "bench_figures.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cdg/cdg_player.h"
#include "cdg/cdg_writer.h"
#include "common/app_settings.h"
#include "screen/cdg_screen_sink.h"
#include "screen/preview_surface.h"
#include "screen/render_thread.h"
#include "screen/scene_renderer.h"

namespace lyricade {
namespace {

using Clock = std::chrono::steady_clock;

std::map<std::string, std::vector<double>>& Figures() {
  static std::map<std::string, std::vector<double>> figures;
  return figures;
}

void Record(const std::string& name, double value) { Figures()[name].push_back(value); }

PixelImage Gradient(int width, int height, uint8_t alpha) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.Set(x, y, uint32_t{alpha} << 24 | uint32_t(x * 255 / width) << 16 |
                          uint32_t(y * 255 / height) << 8 | 0x40);
  return image;
}

using bench::LyricsSong;

// A context current on an offscreen surface, and a scene to draw.
struct Scene {
  Scene() {
    surface.create();
    context.create();
    context.makeCurrent(&surface);
    renderer = std::make_unique<SceneRenderer>(buffers, flags, settings);
    renderer->Initialise();
    settings.BackgroundsEnabled = true;
    settings.SmoothOutputLyrics = true;
    buffers.Put(SceneTexture::BackgroundVideo, Gradient(1920, 1080, 255));
    buffers.Put(SceneTexture::Background, Gradient(640, 480, 160));
    flags.BackgroundVideoRunning = true;
    Take();
  }
  ~Scene() {
    renderer->Release();
    context.doneCurrent();
  }
  void Take() {
    SceneBuffers::Handovers changes;
    if (buffers.TryTakeChanges(changes)) renderer->Upload(changes);
  }
  void Finish() { context.functions()->glFinish(); }

  AppSettings settings;
  SceneFlags flags;
  SceneBuffers buffers;
  QOffscreenSurface surface;
  QOpenGLContext context;
  std::unique_ptr<SceneRenderer> renderer;
};

void BM_Frame1080p(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    const auto start = Clock::now();
    scene.renderer->DrawFrame();
    scene.Finish();
    Record("screen-frame-1080p",
           std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
}
BENCHMARK(BM_Frame1080p)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);

void BM_CdgFrame(benchmark::State& state) {
  Scene scene;
  PreviewSurface preview;
  CdgScreenSink sink(scene.buffers, preview);
  CdgPlayer player(scene.settings, &sink);
  const std::vector<uint8_t> song = LyricsSong();
  player.OpenMemory(song.data(), song.size());
  scene.flags.SongVisualShowing = true;
  scene.flags.SongPlaying = true;
  scene.flags.CdgMode = true;
  int64_t position = 0;
  for (auto _ : state) {
    position += 300'000;  // one 30 ms tick
    player.AdvanceTo(position);
    const auto start = Clock::now();
    player.PresentFrame(0);
    scene.Take();
    scene.renderer->DrawFrame();
    scene.Finish();
    Record("screen-cdg-frame",
           std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
}
BENCHMARK(BM_CdgFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct ThreadScene {
  ThreadScene() {
    surface.create();
    target.Surface = &surface;
    auto context = std::make_unique<QOpenGLContext>();
    context->create();
    settings.BackgroundsEnabled = true;
    buffers.Put(SceneTexture::BackgroundVideo, Gradient(1920, 1080, 255));
    buffers.Put(SceneTexture::Background, Gradient(640, 480, 160));
    flags.BackgroundVideoRunning = true;
    thread = std::make_unique<RenderThread>(std::move(context), target, buffers, flags, settings,
                                            nullptr, false);
  }
  AppSettings settings;
  SceneFlags flags;
  SceneBuffers buffers;
  QOffscreenSurface surface;
  PresentTarget target;
  std::unique_ptr<RenderThread> thread;
};

void BM_IdleCpu(benchmark::State& state) {
  for (auto _ : state) {
    ThreadScene scene;
    scene.thread->Start();
    // Let the first frames go, then measure a quiet stretch.
    while (scene.thread->FramesDrawn() < 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    scene.thread->Stop();
    Record("screen-idle-cpu", cpu / wall * 100.0);
  }
}
BENCHMARK(BM_IdleCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Messages that always move, so every turn draws a frame.
class Moving : public ScreenMessages {
public:
  void DrawTicker(SceneCanvas&) override {}
  void DrawCountdown(SceneCanvas&) override {}
  bool Animating() const override { return true; }
};

void BM_WriterLockMax(benchmark::State& state) {
  for (auto _ : state) {
    Moving moving;
    ThreadScene scene;
    scene.thread = std::make_unique<RenderThread>(
        [] {
          auto context = std::make_unique<QOpenGLContext>();
          context->create();
          return context;
        }(),
        scene.target, scene.buffers, scene.flags, scene.settings, &moving, false);
    scene.thread->SetSleepMilliseconds(0);
    scene.thread->Start();
    PreviewSurface preview;
    CdgScreenSink sink(scene.buffers, preview);
    std::vector<uint8_t> frame(kCdgFrameBytes, 0x7F);
    sink.frameOpened();
    double longest = 0.0;
    for (int i = 0; i < 1500; ++i) {
      const auto start = Clock::now();
      {
        std::lock_guard lock(scene.buffers.Lock());
        longest = std::max(
            longest, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      }
      // The writer's own work, as the CD+G sink does it every tick.
      sink.present(frame.data(), kCdgFramePitch, 0);
      std::this_thread::sleep_for(std::chrono::microseconds(700));
    }
    const uint64_t drawn = scene.thread->FramesDrawn();
    scene.thread->Stop();
    state.counters["frames"] = static_cast<double>(drawn);
    Record("screen-writer-lock-max", longest);
  }
}
BENCHMARK(BM_WriterLockMax)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  lyricade::bench::RestartUnderXvfbIfNoDisplay(argc, argv);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const char* units[] = {"ms", "ms", "%", "ms"};
  const char* names[] = {"screen-frame-1080p", "screen-cdg-frame", "screen-idle-cpu",
                         "screen-writer-lock-max"};
  for (int i = 0; i < 4; ++i) {
    std::vector<double>& values = lyricade::Figures()[names[i]];
    if (values.empty()) continue;
    double figure;
    if (std::string(names[i]) == "screen-writer-lock-max") {
      figure = *std::max_element(values.begin(), values.end());
    } else {
      std::sort(values.begin(), values.end());
      figure = values[values.size() / 2];  // the median
    }
    std::printf("%s: %.3f %s\n", names[i], figure, units[i]);
  }
  return 0;
}
