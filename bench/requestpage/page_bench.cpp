// The request page as a busy venue uses it, through the real HTTP server on
// loopback. Each phone connects from an address of its own (127.0.0.N), as
// phones on the venue's network do, so the per-phone limits apply per
// phone.
//   page-search-p99: 30 phones each searching 20 times at once over a
//     100,000-song library; the 99th percentile of the answer time.
//   page-request-lost: 20 phones sending 10 requests each within about a
//     second; requests answered or not that never reached the hand-off.
//   page-wildcard-search-max: the slowest answer (or refusal) to the worst
//     wildcard searches a phone can send.
//   page-slow-clients-search: a phone's search while 64 connections from 4
//     addresses send one header line every 2 s.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "common/unique_fd.h"
#include "generated_library.h"
#include "platform/db/db_result.h"
#include "library/search_index.h"
#include "requestpage/request_page_service.h"

using namespace lyricade;
using Clock = std::chrono::steady_clock;

namespace {

// One HTTP exchange from 127.0.0.`phone`; the status, or 0 on failure.
int Exchange(uint16_t port, int phone, const std::string& method, const std::string& path,
             const std::string& body = {}) {
  UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(0x7F000000u + static_cast<uint32_t>(phone));
  if (::bind(socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return 0;
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(port);
  server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(socket.Get(), reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) return 0;
  // A Host the server answers to, as a phone that scanned the code sends.
  const std::string text = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                           "\r\nConnection: close\r\n" +
                           (method == "POST" ? "Content-Type: application/json\r\n" : "") +
                           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  ::send(socket.Get(), text.data(), text.size(), MSG_NOSIGNAL);
  std::string answer;
  char buffer[8192];
  for (ssize_t got; (got = ::recv(socket.Get(), buffer, sizeof buffer, 0)) > 0;)
    answer.append(buffer, static_cast<size_t>(got));
  return answer.size() > 12 ? std::atoi(answer.c_str() + 9) : 0;
}

std::string Encode(const std::string& text) {
  std::string out;
  char hex[4];
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string library = bench::GeneratedLibrary(100000, LYRICADE_BENCH_RESOURCES "/");
  if (library.empty()) {
    std::fprintf(stderr, "bench-remote-page: no generated library\n");
    return 1;
  }
  // Search words as singers type them: one to three words of real titles.
  std::vector<std::string> searches;
  {
    DbResult titles;
    titles.Open(library, "SELECT Title FROM Items WHERE ItemNum % 487 = 0;");
    std::mt19937 random(7);
    for (bool row = titles.MoveFirst(); row; row = titles.MoveNext()) {
      std::string title = titles.Text(0).value_or("");
      const size_t cut = title.find(' ', std::uniform_int_distribution<size_t>(1, title.size())(random));
      searches.push_back(title.substr(0, cut));
    }
  }
  std::atomic<int> handed{0};
  RequestPageService service(library, "", [&](const PageSongRequest&) { ++handed; });
  // As in the program once the library's index is built.
  service.PublishIndex(SearchIndex::Build(library));
  HttpServer server;
  std::string error;
  // The limits the program serves the page with.
  HttpServerLimits limits;
  limits.ConnectionsPerAddress = 8;
  if (!server.Start(0, limits, [&](const HttpRequest& r) { return service.Handle(r); }, &error)) {
    std::fprintf(stderr, "bench-remote-page: %s\n", error.c_str());
    return 1;
  }
  const uint16_t port = server.Port();

  std::mutex timesLock;
  std::vector<double> times;
  std::atomic<int> failed{0};
  std::vector<std::thread> phones;
  for (int phone = 0; phone < 30; ++phone) {
    phones.emplace_back([&, phone] {
      for (int i = 0; i < 20; ++i) {
        const std::string& words = searches[static_cast<size_t>(phone * 20 + i) % searches.size()];
        const auto start = Clock::now();
        if (Exchange(port, 10 + phone, "GET", "/api/search?q=" + Encode(words)) != 200) ++failed;
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::lock_guard lock(timesLock);
        times.push_back(ms);
      }
    });
  }
  for (std::thread& phone : phones) phone.join();
  std::sort(times.begin(), times.end());
  const double p50 = times[times.size() / 2];
  const double p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)];

  // The burst: 20 phones, ten requests each, as fast as they go.
  phones.clear();
  std::atomic<int> accepted{0};
  const auto burstStart = Clock::now();
  for (int phone = 0; phone < 20; ++phone) {
    phones.emplace_back([&, phone] {
      for (int i = 0; i < 10; ++i) {
        const std::string body = "{\"name\":\"phone " + std::to_string(phone) + "\",\"item\":" +
                                 std::to_string(1 + phone * 10 + i) + ",\"key\":0}";
        if (Exchange(port, 100 + phone, "POST", "/api/request", body) == 200) ++accepted;
      }
    });
  }
  for (std::thread& phone : phones) phone.join();
  const double burstMs = std::chrono::duration<double, std::milli>(Clock::now() - burstStart).count();

  // The worst searches: as many words and wildcards as the page takes, the
  // wildcards where they cost most, and the first ones it refuses.
  const std::vector<std::string> worst = {
      "_%_%", "%_%_ _%_% %_%_ _%_% %_%_ _%_% %_%_ _%_%", "E%_% A%_% O%_% I%_% U%_% R%_% S%_% T%_%",
      "%E%E %A%A %O%O %I%I %E%E %A%A %O%O %I%I", "____ ____ ____ ____ ____ ____ ____ ____",
      "%%%% %%%% %%%% %%%% %%%% %%%% %%%% %%%%", "_%_%_", "a b c d e f g h i"};
  double wildcardMax = 0;
  int wildcardPhone = 200;
  for (int round = 0; round < 3; ++round) {
    for (const std::string& words : worst) {
      const auto start = Clock::now();
      Exchange(port, wildcardPhone++, "GET", "/api/search?q=" + Encode(words));
      wildcardMax = std::max(wildcardMax, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
  }

  // Slow headers: 16 connections from each of 4 addresses, each sending a
  // header line every 2 s; the page lets 8 of each in and cuts those at its
  // deadline. Meanwhile a phone searches.
  std::atomic<bool> dribbling{true};
  std::vector<std::thread> slow;
  for (int address = 0; address < 4; ++address) {
    slow.emplace_back([&, address] {
      std::vector<UniqueFd> sockets;
      for (int i = 0; i < 16; ++i) {
        UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(0x7F000000u + 240u + static_cast<uint32_t>(address));
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(port);
        server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
            ::connect(socket.Get(), reinterpret_cast<sockaddr*>(&server), sizeof server) == 0)
          sockets.push_back(std::move(socket));
      }
      const std::string first = "GET /api/search?q=a HTTP/1.1\r\n";
      for (UniqueFd& socket : sockets) ::send(socket.Get(), first.data(), first.size(), MSG_NOSIGNAL);
      for (int tick = 0; dribbling && tick < 10; ++tick) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        for (UniqueFd& socket : sockets) ::send(socket.Get(), "X-Slow: 1\r\n", 11, MSG_NOSIGNAL);
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  double slowClientsMax = 0;
  int slowClientsFailed = 0;
  for (int i = 0; i < 10; ++i) {
    const auto start = Clock::now();
    if (Exchange(port, 20 + i, "GET", "/api/search?q=" + Encode(searches[static_cast<size_t>(i)])) != 200)
      ++slowClientsFailed;
    slowClientsMax = std::max(slowClientsMax, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  dribbling = false;
  for (std::thread& thread : slow) thread.join();
  server.Stop();

  std::printf("page-searches: %zu (%d failed)\n", times.size(), failed.load());
  std::printf("page-search-p50: %.1f ms\n", p50);
  std::printf("page-search-p99: %.1f ms\n", p99);
  std::printf("page-burst: 200 requests in %.0f ms, %d accepted\n", burstMs, accepted.load());
  std::printf("page-request-lost: %d\n", 200 - handed.load());
  std::printf("page-wildcard-search-max: %.1f ms\n", wildcardMax);
  std::printf("page-slow-clients-search: %.1f ms (%d failed)\n", slowClientsMax, slowClientsFailed);
  return failed.load() == 0 ? 0 : 1;
}
