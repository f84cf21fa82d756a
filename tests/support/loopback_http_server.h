#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: every GET is answered by a
// handler from its path and query; requests are recorded. Each connection is
// served on a thread of its own and closed after the answer.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lyricade::testing {

struct HttpAnswer {
  int Status = 200;
  std::string Body;
  std::string ContentType = "text/plain";
};

class LoopbackHttpServer {
public:
  using Handler = std::function<HttpAnswer(const std::string& target)>;

  explicit LoopbackHttpServer(Handler handler);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // "http://127.0.0.1:PORT"; empty when the server could not start.
  std::string BaseUrl() const;
  // The request targets (path and query) received so far.
  std::vector<std::string> Requests() const;

private:
  void AcceptLoop();
  void Serve(int connection);

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<std::thread> connections_;
};

}  // namespace lyricade::testing
