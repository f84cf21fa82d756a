// A busy venue: 30 request clients each send a request every 10 s for a
// minute, then 20 clients send a burst of 200 requests within a second,
// then one client floods 3,000 requests while 30 others send one each,
// while a song plays. Figures: requests sent but not queued, the 99th
// percentile from send to the song standing in the singer's list, the
// longest UI timer step in the UI thread's CPU time (the host controller's
// tick and the events it handles, request queueing and list saving among
// them; its wall time is printed too), and how long after
// the last request the list file held it.
//
// LYRICADE_REMOTE_BENCH_SECONDS shortens the steady phase (default 60).
#include <QCoreApplication>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "app/show.h"
#include "app/song_requests.h"
#include "bench_figures.h"
#include "common/app_settings.h"
#include "common/unique_fd.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/search_index.h"
#include "platform/prompts/scripted_prompts.h"
#include "remote/request_server.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kSongs = 20;

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// The CPU time of the calling thread in milliseconds: the work a step does,
// whatever else the shared machine runs.
double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// One request client on a plain socket, as another machine would be.
class BenchClient {
public:
  BenchClient(int port, int number) {
    fd_ = UniqueFd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Each client is its own computer of the venue (127.0.0.0/8 is all
    // this machine), as the server's per-address limits expect.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(0x7F000002u + static_cast<uint32_t>(number));
    if (!fd_.Valid() || ::bind(fd_.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return;
    if (::connect(fd_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      return;
    const int one = 1;
    ::setsockopt(fd_.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (!Write(Frame(EncodeHello({std::string(kRequestAppGuid), "RequestTool",
                                  "bench " + std::to_string(number)}))))
      return;
    char answer[8];
    size_t got = 0;
    while (got < sizeof answer) {
      const ssize_t n = ::read(fd_.Get(), answer + got, sizeof answer - got);
      if (n <= 0) return;
      got += static_cast<size_t>(n);
    }
    greeted_ = ParseHelloAnswer(std::string_view(answer + 4, 4)) == HelloAnswer::Accepted;
  }
  bool Ready() const { return greeted_; }
  bool Send(const std::string& path, const std::string& singer) {
    return Write(Frame(EncodeSongRequest(path, singer, 0)));
  }

private:
  bool Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_.Get(), bytes.data() + done, bytes.size() - done);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  UniqueFd fd_;
  bool greeted_ = false;
};

struct Ledger {
  std::mutex lock;
  std::map<std::string, Clock::time_point> sent;
  std::atomic<int> sentCount{0};
  std::atomic<int> failed{0};
  void Sent(const std::string& singer) {
    std::lock_guard<std::mutex> guard(lock);
    sent[singer] = Clock::now();
    ++sentCount;
  }
};

void BM_BusyVenue(benchmark::State& state) {
  const char* configured = std::getenv("LYRICADE_REMOTE_BENCH_SECONDS");
  const int steadySeconds = configured ? std::max(10, std::atoi(configured)) : 60;
  const std::string data = (fs::temp_directory_path() / "lyricade-bench-remote").string() + "/";
  for (auto _ : state) {
    fs::remove_all(data);
    fs::create_directories(data + "songs");
    SeedDatabaseFiles(data, LYRICADE_BENCH_RESOURCES);
    ScriptedPrompts prompts;
    LibraryDatabase library(prompts);
    library.SetDataFolder(data);
    library.OpenLibrary();
    std::vector<std::string> paths;
    for (int i = 0; i < kSongs; ++i) {
      paths.push_back(data + "songs/Song " + std::to_string(i) + ".mp3");
      library.Execute("INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1, BPM,"
                      " Comments1, CollectionNum) VALUES ('Song " + std::to_string(i) +
                      "', 'Band', 'B-" + std::to_string(i) + "', '2000', '', '" + paths.back() +
                      "', 2, 0.0, '', 1);");
    }
    const std::string playing = data + "songs/playing.mp3";
    testing::MakeMp3(playing, steadySeconds + 30);

    AppSettings settings;
    Show show(settings, prompts, ShowFolders{data, data + "scratch/", ""});
    if (!show.PlaySong(playing, 0, 0)) {
      state.SkipWithError("the song did not play");
      break;
    }
    // As in the program once the library's index is built.
    const std::unique_ptr<SearchIndex> index = SearchIndex::Build(library.LibraryPath());
    RequestServer server;
    Ledger ledger;
    std::vector<double> latencies;
    std::vector<double> floodOthers;
    Clock::time_point lastQueued;
    std::string lastSinger;
    QObject::connect(&server, &RequestServer::songRequested, [&](const SongRequest& request) {
      if (!QueueSongRequest(show, library, index.get(), request)) return;
      const auto now = Clock::now();
      std::lock_guard<std::mutex> guard(ledger.lock);
      const auto found = ledger.sent.find(request.Singer);
      if (found != ledger.sent.end()) latencies.push_back(Ms(now - found->second));
      // "c5NN-r0": an ordinary client of the flood phase.
      if (found != ledger.sent.end() && request.Singer.size() == 7 && request.Singer.rfind("c5", 0) == 0)
        floodOthers.push_back(Ms(now - found->second));
      lastQueued = now;
      lastSinger = request.Singer;
    });
    server.Start("RequestTool", 0);
    const int port = server.Port();

    std::atomic<bool> clientsDone{false};
    std::atomic<bool> flooding{false};
    std::thread load([&] {
      auto client = [&](int number, int requests, Clock::duration offset, Clock::duration every,
                        Clock::time_point start) {
        BenchClient connection(port, number);
        if (!connection.Ready()) {
          ledger.failed += requests;
          return;
        }
        for (int r = 0; r < requests; ++r) {
          std::this_thread::sleep_until(start + offset + r * every);
          const std::string singer = "c" + std::to_string(number) + "-r" + std::to_string(r);
          ledger.Sent(singer);
          if (!connection.Send(paths[(number + r) % kSongs], singer)) ++ledger.failed;
        }
      };
      std::vector<std::thread> clients;
      const auto steady = Clock::now() + std::chrono::milliseconds(500);
      for (int c = 0; c < 30; ++c)
        clients.emplace_back(client, c, steadySeconds / 10, std::chrono::milliseconds(c * 10000 / 30),
                             std::chrono::seconds(10), steady);
      for (auto& thread : clients) thread.join();
      clients.clear();
      // The burst: 20 clients, 10 requests each, 200 within one second.
      const auto burst = Clock::now() + std::chrono::milliseconds(500);
      for (int c = 0; c < 20; ++c)
        clients.emplace_back(client, 100 + c, 10, std::chrono::milliseconds(c * 5),
                             std::chrono::milliseconds(95), burst);
      for (auto& thread : clients) thread.join();
      clients.clear();
      // The flood: one client sends 3,000 requests as fast as it can while
      // 30 ordinary clients send one each; the flood's own are not counted.
      flooding = true;
      std::thread flood([&] {
        BenchClient connection(port, 150);
        for (int r = 0; r < 3000 && connection.Ready(); ++r)
          connection.Send(paths[r % kSongs], "flood-" + std::to_string(r));
      });
      const auto others = Clock::now() + std::chrono::milliseconds(20);
      for (int c = 0; c < 30; ++c)
        clients.emplace_back(client, 500 + c, 1, std::chrono::milliseconds(c * 3), std::chrono::milliseconds(0),
                             others);
      for (auto& thread : clients) thread.join();
      flood.join();
      flooding = false;
      clientsDone = true;
    });

    double tickMax = 0;
    double tickMaxWall = 0;
    double floodTickMax = 0;
    auto drainDeadline = Clock::time_point::max();
    for (;;) {
      const auto start = Clock::now();
      const double cpuStart = ThreadMs();
      show.tick();
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      tickMax = std::max(tickMax, ThreadMs() - cpuStart);
      tickMaxWall = std::max(tickMaxWall, Ms(Clock::now() - start));
      if (flooding) floodTickMax = std::max(floodTickMax, Ms(Clock::now() - start));
      if (clientsDone && drainDeadline == Clock::time_point::max())
        drainDeadline = Clock::now() + std::chrono::seconds(5);
      if (clientsDone && (static_cast<int>(latencies.size()) >= ledger.sentCount.load() ||
                          Clock::now() > drainDeadline))
        break;
      std::this_thread::sleep_until(start + std::chrono::milliseconds(30));
    }
    load.join();

    // How long after the last queued request the list file held it.
    double saveLag = -1;
    while (Ms(Clock::now() - lastQueued) < 5000) {
      std::ifstream in(show.RotationFile(), std::ios::binary);
      const std::string text{std::istreambuf_iterator<char>(in), {}};
      if (text.find("-" + lastSinger + "\r\n") != std::string::npos) {
        saveLag = Ms(Clock::now() - lastQueued);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    server.Stop();
    std::sort(latencies.begin(), latencies.end());
    const double p99 =
        latencies.empty() ? -1 : latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    state.counters["lost"] = ledger.sentCount.load() + ledger.failed.load() - static_cast<double>(latencies.size());
    state.counters["sent"] = ledger.sentCount.load();
    state.counters["p99_ms"] = p99;
    state.counters["tick_max_ms"] = tickMax;
    state.counters["tick_max_wall_ms"] = tickMaxWall;
    state.counters["save_lag_ms"] = saveLag;
    std::sort(floodOthers.begin(), floodOthers.end());
    state.counters["flood_tick_max_ms"] = floodTickMax;
    state.counters["flood_others_p99_ms"] =
        floodOthers.empty() ? -1 : floodOthers[std::min(floodOthers.size() - 1, floodOthers.size() * 99 / 100)];
    state.counters["flood_others_lost"] = 30 - static_cast<double>(floodOthers.size());
    state.SetIterationTime(1);
  }
}
BENCHMARK(BM_BusyVenue)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=true", 1);
  QCoreApplication app(argc, argv);
  lyricade::bench::FigureReporter reporter;
  lyricade::bench::RunReported(argc, argv, reporter);
  const char* run = "BM_BusyVenue";
  std::printf("remote-lost: %.0f requests (of %.0f sent)\n", reporter.Counter(run, "lost"),
              reporter.Counter(run, "sent"));
  std::printf("remote-queue-latency-p99: %.3f ms\n", reporter.Counter(run, "p99_ms"));
  std::printf("remote-tick-max: %.3f ms\n", reporter.Counter(run, "tick_max_ms"));
  // The same steps in wall time, waits for a core included.
  std::printf("remote-tick-max-wall: %.3f ms\n", reporter.Counter(run, "tick_max_wall_ms"));
  std::printf("remote-save-lag: %.3f ms\n", reporter.Counter(run, "save_lag_ms"));
  // One client floods 3,000 requests while 30 others send theirs (wall time
  // of the UI thread's steps, from the others' send to the rotation).
  std::printf("remote-flood-tick-max: %.3f ms\n", reporter.Counter(run, "flood_tick_max_ms"));
  std::printf("remote-flood-others-p99: %.3f ms (%.0f lost)\n", reporter.Counter(run, "flood_others_p99_ms"),
              reporter.Counter(run, "flood_others_lost"));
  return 0;
}
