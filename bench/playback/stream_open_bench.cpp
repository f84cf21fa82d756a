// How long the UI thread is held while a streamed song and a song manager
// preview open against a service that never sends the audio: the longest
// gap between the ticks of a 5 ms timer, from the request through the
// graph's wait to the stop that follows it. The figure is the longest over
// every open of a repetition (the median of the repetitions is printed,
// the worst of all beside it); the very first open of the process, which
// loads the media framework's plugins, is measured apart.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/show.h"
#include "bench_figures.h"
#include "catalogue/catalogue_preview.h"
#include "common/app_settings.h"
#include "platform/prompts/scripted_prompts.h"
#include "store/vendor_service.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

// How long the graphs wait for the silent audio, in seconds.
constexpr const char* kServiceWait = "2";

struct Service {
  std::string folder;
  std::unique_ptr<testing::VendorService> vendor;
  Service() {
    folder = (fs::temp_directory_path() / ("lyricade-bench-stream-" + std::to_string(getpid()))).string() + "/";
    fs::create_directories(folder + "service");
    vendor = std::make_unique<testing::VendorService>(folder + "service/", testing::VendorFiles{});
    vendor->Set("checksub", "--:STREAM:--Silent.mp3");
    vendor->Set("getfilesub1", "!hang");
    vendor->Set("preview", "!hang");
    setenv("LYRICADE_SERVICE_URL", vendor->HttpBase().c_str(), 1);
    setenv("LYRICADE_SERVICE_TIMEOUT", kServiceWait, 1);
  }
  ~Service() {
    vendor.reset();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
};

// The longest block of every measured open: streamed song, preview.
double longestStream = 0;
double longestPreview = 0;

Service& TheService() {
  static Service service;
  return service;
}

// The longest gap between the ticks of a 5 ms timer while `open` runs and
// then until `done`, in milliseconds.
double LongestBlock(const std::function<void()>& open, const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  qint64 last = 0;
  qint64 longest = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last);
    last = clock.elapsed();
  });
  ticker.start(5);
  last = clock.elapsed();
  open();
  longest = std::max(longest, clock.elapsed() - last);
  last = clock.elapsed();
  while (!done() && clock.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  // The stop's aftermath too.
  const qint64 end = clock.elapsed() + 100;
  while (clock.elapsed() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return static_cast<double>(longest);
}

double OpenStream(Show& show) {
  return LongestBlock([&] { show.PlaySong("http://AccountID=A1&SongID=S1", 0, 0); },
                      [&] { return !show.Transport().State().Opening; });
}

// The first open of the process, plugins loaded and all.
double ColdOpen() {
  Service& service = TheService();
  AppSettings settings;
  ScriptedPrompts prompts;
  Show show(settings, prompts, ShowFolders{service.folder + "data/", service.folder + "scratch/", ""});
  return OpenStream(show);
}

void BM_SilentStream(benchmark::State& state) {
  Service& service = TheService();
  AppSettings settings;
  ScriptedPrompts prompts;
  Show show(settings, prompts, ShowFolders{service.folder + "data/", service.folder + "scratch/", ""});
  double worst = 0;
  for (auto _ : state) {
    worst = std::max(worst, OpenStream(show));
    if (show.Transport().State().Playing) state.SkipWithError("the silent stream plays");
  }
  longestStream = std::max(longestStream, worst);
  state.counters["block-max-ms"] = worst;
}
BENCHMARK(BM_SilentStream)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SilentPreview(benchmark::State& state) {
  Service& service = TheService();
  CataloguePreview preview;
  preview.SetRenderTimeoutMs(std::atoi(kServiceWait) * 1000);
  const std::string url =
      service.vendor->HttpBase() + "/cgi-bin/vudazazareziraro/LYRSubs/downloadpreviewMP3.aspx?SongCode=QS-4";
  double worst = 0;
  for (auto _ : state) {
    worst = std::max(worst, LongestBlock([&] { preview.Start(url, 50); }, [&] { return !preview.Playing(); }));
  }
  longestPreview = std::max(longestPreview, worst);
  state.counters["block-max-ms"] = worst;
}
BENCHMARK(BM_SilentPreview)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=true", 1);
  QCoreApplication app(argc, argv);
  const double cold = lyricade::ColdOpen();
  lyricade::bench::FigureReporter reporter;
  lyricade::bench::RunReported(argc, argv, reporter);
  using lyricade::longestPreview;
  using lyricade::longestStream;
  // As every figure, the median of the repetitions (each repetition's
  // longest block); the worst of all runs beside it, as the machine is
  // shared and one late wake-up of the thread shows there.
  const double stream = reporter.Counter("BM_SilentStream/iterations:2", "block-max-ms");
  const double preview = reporter.Counter("BM_SilentPreview/iterations:2", "block-max-ms");
  std::printf("stream-open-ui-block-max: %.0f ms (streamed song %.0f ms, preview %.0f ms; worst of all runs %.0f ms)\n",
              std::max(stream, preview), stream, preview, std::max(longestStream, longestPreview));
  std::printf("stream-open-ui-block-first: %.0f ms (the process's first open, plugins loaded)\n", cold);
  return 0;
}
