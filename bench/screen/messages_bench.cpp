// What the screen messages cost a frame on this machine's OpenGL (Mesa
// llvmpipe without a GPU):
//   screen-ticker-frame   the time the scrolling ticker (band and a line of
//                         next singers) and the start countdown add to a
//                         1920x1080 frame over a background picture: the
//                         median frame with them minus the median without,
//                         frames alternating, the clock 10 ms a frame
//   screen-ticker-frame-cpu  the same in processor time of all the
//                         program's threads (Mesa draws on threads of its
//                         own), which other work on the machine does not
//                         inflate
// Needs a display; without one the program runs itself again under
// xvfb-run.

#include <benchmark/benchmark.h>

#include "bench_figures.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "common/app_settings.h"
#include "screen/render_thread.h"
#include "screen/scene_renderer.h"
#include "screen/screen_message_state.h"

namespace lyricade {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<double> with;
std::vector<double> without;
std::vector<double> withCpu;
std::vector<double> withoutCpu;

double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

PixelImage Gradient(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.Set(x, y, 0xFF000000u | uint32_t(x * 255 / width) << 16 | uint32_t(y * 255 / height) << 8);
  return image;
}

void BM_TickerFrame(benchmark::State& state) {
  QOffscreenSurface surface;
  surface.create();
  QOpenGLContext context;
  context.create();
  context.makeCurrent(&surface);
  AppSettings settings;
  SceneFlags flags;
  SceneBuffers buffers;
  SceneRenderer renderer(buffers, flags, settings);
  renderer.Initialise();
  buffers.Put(SceneTexture::Background, Gradient(640, 480));
  buffers.Put(SceneTexture::Black, PixelImage(64, 64, 0xFF000000u));
  int64_t now = 0;
  ScreenMessageState messages(buffers, settings);
  messages.SetClock([&] { return now; });
  messages.StartTicker(
      "Next Singer(s)...  1. Ana Maria   2. Benjamin   3. Christopher Robinson   ");
  settings.CountdownSeconds = 45;
  messages.SetCountdown(true, 0, Qt::white);
  auto frame = [&](bool withMessages) {
    renderer.SetMessages(withMessages ? &messages : nullptr);
    SceneBuffers::Handovers changes;
    buffers.TryTakeChanges(changes, [&] { messages.TakeSnapshot(); });
    renderer.Upload(changes);
    const double cpuStart = ProcessCpuMs();
    const auto start = Clock::now();
    renderer.DrawFrame();
    context.functions()->glFinish();
    (withMessages ? withCpu : withoutCpu).push_back(ProcessCpuMs() - cpuStart);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  // The first frames upload the pictures; they are not measured.
  for (int i = 0; i < 5; ++i) frame(true);
  withCpu.clear();
  for (auto _ : state) {
    now += 10;
    with.push_back(frame(true));
    without.push_back(frame(false));
  }
  renderer.Release();
  context.doneCurrent();
}
BENCHMARK(BM_TickerFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  lyricade::bench::RestartUnderXvfbIfNoDisplay(argc, argv);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("screen-frame-without-messages: %.3f ms\n", lyricade::Median(lyricade::without));
  std::printf("screen-ticker-frame: %.3f ms\n",
              lyricade::Median(lyricade::with) - lyricade::Median(lyricade::without));
  std::printf("screen-ticker-frame-cpu: %.3f ms\n",
              lyricade::Median(lyricade::withCpu) - lyricade::Median(lyricade::withoutCpu));
  return 0;
}
