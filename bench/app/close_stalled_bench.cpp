// The real lyricade binary closed while the service holds a transfer: from
// the close request on the main window to the process's end, the exit
// questions (and a failure box that comes first) answered as they come. Two stalls: the stream check of a
// streamed song that the service never answers, and a streamed song whose
// audio never comes (the song graph waiting for it).
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "app/lyricade_program.h"
#include "bench_figures.h"
#include "store/vendor_service.h"

namespace lyricade {
namespace {

using namespace lyricade::testing;
using Clock = std::chrono::steady_clock;

// A data folder that has been through a first start, with Ana waiting in
// the saved rotation with a streamed song.
struct Seeded {
  TestFolder folder;
  std::unique_ptr<VendorService> service;
  bool ready = false;
  explicit Seeded(const X11Session& x11) {
    std::filesystem::create_directories(folder.File("service"));
    service = std::make_unique<VendorService>(folder.File("service/"), VendorFiles{});
    if (!service->Ready()) return;
    setenv("LYRICADE_SERVICE_URL", service->HttpBase().c_str(), 1);
    auto first = StartLyricade(folder);
    if (!x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000)) return;
    x11.RequestClose(x11.WaitForWindow(kMainCaption, 30000));
    if (!x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000), XK_Return, 20000))
      return;
    ready = first->WaitForExit(15000) == 0;
  }
  void QueueStream() const {
    std::ofstream(folder.File("data/lastlist.lst"), std::ios::binary)
        << "1\r\n-Ana\r\n1\r\n0, 0, 0\r\n-Streamed\r\n-\r\n-http://AccountID=ACC-1001&SongID=ST-1\r\n-Pip\r\n-\r\n-\r\n";
  }
};

// Starts the program, plays Ana's stream with the service stalled at
// `operation`, asks the main window to close and answers the questions;
// the milliseconds from the close request to the end, -1 when it did not end
// within a minute.
double CloseDuringStall(const X11Session& x11, const Seeded& seeded, const std::string& operation) {
  seeded.service->Set("checksub", "--:STREAM:--Streamed.mp3");
  seeded.service->Set("getfilesub1", "");
  seeded.service->Set(operation, "!hang");
  seeded.QueueStream();
  const size_t before = seeded.service->RequestsFor(operation == "checksub" ? "checksub" : "Type=1").size();
  auto program = StartLyricade(seeded.folder, "fakesink sync=true");
  if (!x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000)) return -1;
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  const Window screen = x11.WaitForWindow("Lyricade Screen", 10000);
  if (!main || !screen) return -1;
  x11.PressKey(screen, XK_s, true);  // next singer: Ana is up
  x11.PressKey(screen, XK_z, true);  // play
  // The stall has begun once the service has the request.
  const auto asked = Clock::now();
  while (seeded.service->RequestsFor(operation == "checksub" ? "checksub" : "Type=1").size() == before) {
    if (Clock::now() - asked > std::chrono::seconds(10)) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto start = Clock::now();
  x11.RequestClose(main);
  // WaitForExit says -1 while the process runs on.
  for (int status = -1; status == -1;) {
    for (const char* caption : {"Exit Program", "Save Singer List Before You Exit", "Streaming Failure"})
      if (const Window question = x11.FindWindow(caption)) x11.PressKey(question, XK_Return);
    if (Clock::now() - start > std::chrono::seconds(60)) {
      std::fprintf(stderr, "lyricade runs on after the close:\n%s\n",
                   ReadWholeFile(seeded.folder.File("lyricade.log")).c_str());
      return -1;
    }
    status = program->WaitForExit(50);
    if (status != -1 && status != 0) {
      std::fprintf(stderr, "lyricade ended with status %d:\n%s\n", status,
                   ReadWholeFile(seeded.folder.File("lyricade.log")).c_str());
      return -1;
    }
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Seeded& Data(const X11Session& x11) {
  static Seeded seeded(x11);
  return seeded;
}

void Run(benchmark::State& state, const std::string& operation) {
  X11Session x11;
  if (!x11.Connected()) return state.SkipWithError("no X display");
  Seeded& seeded = Data(x11);
  if (!seeded.ready) return state.SkipWithError("the program did not come up");
  for (auto _ : state) {
    const double ms = CloseDuringStall(x11, seeded, operation);
    if (ms < 0) return state.SkipWithError("the program did not end after the close");
    state.SetIterationTime(ms / 1000.0);
  }
}

void BM_CloseDuringStalledCheck(benchmark::State& state) { Run(state, "checksub"); }
BENCHMARK(BM_CloseDuringStalledCheck)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_CloseDuringSilentAudio(benchmark::State& state) { Run(state, "getfilesub1"); }
BENCHMARK(BM_CloseDuringSilentAudio)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  lyricade::bench::RestartUnderXvfbIfNoDisplay(argc, argv);
  return lyricade::bench::RunWithFigures(
      argc, argv,
      {{"BM_CloseDuringStalledCheck/iterations:1/manual_time", "close-during-stalled-transfer", "ms"},
       {"BM_CloseDuringSilentAudio/iterations:1/manual_time", "close-during-silent-stream", "ms"}});
}
