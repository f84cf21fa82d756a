#pragma once
// A small HTTP server for pages and JSON on the local network, on
// libmicrohttpd. Everything a client can make it hold is bounded: the number
// of connections (in all and per address), the memory of one connection
// (which bounds the request line and headers), the body, the time a
// connection may stay idle, and the time a whole request may take to arrive
// (a client that sends one header line every few seconds is never idle, so
// the idle limit alone would let it hold its slot for ever). Each
// connection is answered on a thread of its own (so at most `Connections`
// of them): one slow answer never holds up another connection's, and the
// system shares the cores among them. The handler must be safe to call from
// several threads at once, and rations heavy work itself.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct MHD_Daemon;

namespace lyricade {

struct HttpRequest {
  std::string Method;                         // "GET", "POST", ...
  std::string Path;                           // "/api/search", decoded, without the query
  std::map<std::string, std::string> Query;   // decoded query arguments
  std::map<std::string, std::string> Headers; // names in lower case
  std::string Body;                           // at most the body limit
  std::string ClientAddress;                  // "192.168.1.20" or "::1"
};

struct HttpResponse {
  int Status = 200;
  std::string ContentType = "text/plain; charset=utf-8";
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;
};

struct HttpServerLimits {
  unsigned Connections = 64;
  unsigned ConnectionsPerAddress = 16;
  size_t ConnectionMemory = 16 * 1024;  // request line, headers and buffers
  size_t Body = 4 * 1024;               // larger bodies are answered 413
  unsigned IdleSeconds = 10;
  // From a connection's start (or its previous answer) to the end of the
  // next request's body.
  unsigned RequestSeconds = 5;
};

class HttpServer {
public:
  using Handler = std::function<HttpResponse(const HttpRequest&)>;

  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Listens on `port` of every address (0: the system chooses). False, with
  // the reason in `error`, when the port cannot be taken.
  bool Start(uint16_t port, const HttpServerLimits& limits, Handler handler, std::string* error);
  // Stops listening and closes every connection; waits for answers in
  // progress.
  void Stop();
  bool Running() const { return daemon_ != nullptr; }
  // The port listened on (the chosen one for port 0); 0 when stopped.
  uint16_t Port() const { return port_; }

  // Implementation detail shared with the C callbacks.
  struct Shared;

private:
  struct DaemonDeleter {
    void operator()(MHD_Daemon* daemon) const;
  };
  // Cuts connections whose request is late; runs while the daemon does.
  void WatchDeadlines();

  std::unique_ptr<Shared> shared_;
  std::unique_ptr<MHD_Daemon, DaemonDeleter> daemon_;
  std::thread watchdog_;
  uint16_t port_ = 0;
};

}  // namespace lyricade
