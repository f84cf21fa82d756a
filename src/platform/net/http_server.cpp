#include "platform/net/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <QLoggingCategory>

namespace lyricade {

namespace {
Q_LOGGING_CATEGORY(lcHttpServer, "lyricade.platform.net", QtWarningMsg)
}

struct HttpServer::Shared {
  using Clock = std::chrono::steady_clock;
  // A connection waiting for its request: since when, and its socket, so
  // the watchdog can cut it. Entries leave when the daemon reports the
  // connection closed, which it does before it closes the socket, so a cut
  // never reaches a socket number already given to another connection.
  struct Waiting {
    int Socket = -1;
    Clock::time_point Since;
    bool Answering = false;  // the request is in; the handler runs
    bool Cut = false;
  };

  Handler handler;
  HttpServerLimits limits;
  std::mutex lock;
  std::condition_variable wake;
  bool stopping = false;
  std::unordered_map<MHD_Connection*, Waiting> connections;

  void SetAnswering(MHD_Connection* connection, bool answering) {
    std::lock_guard guard(lock);
    const auto found = connections.find(connection);
    if (found == connections.end()) return;
    found->second.Answering = answering;
    found->second.Since = Clock::now();
  }
};

namespace {

// What one request collects while its body arrives.
struct PendingRequest {
  std::string body;
  bool tooLarge = false;
};

std::string AddressText(const sockaddr* address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (!address) return {};
  if (address->sa_family == AF_INET)
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  else if (address->sa_family == AF_INET6)
    ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
  return text;
}

MHD_Result CollectArgument(void* map, MHD_ValueKind, const char* key, const char* value) {
  if (key) (*static_cast<std::map<std::string, std::string>*>(map))[key] = value ? value : "";
  return MHD_YES;
}

MHD_Result CollectHeader(void* map, MHD_ValueKind, const char* key, const char* value) {
  if (!key) return MHD_YES;
  std::string name = key;
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  (*static_cast<std::map<std::string, std::string>*>(map))[name] = value ? value : "";
  return MHD_YES;
}

MHD_Result Answer(MHD_Connection* connection, const HttpResponse& answer) {
  MHD_Response* response = MHD_create_response_from_buffer(
      answer.Body.size(), const_cast<char*>(answer.Body.data()), MHD_RESPMEM_MUST_COPY);
  if (!response) return MHD_NO;
  MHD_add_response_header(response, "Content-Type", answer.ContentType.c_str());
  // Pages and answers are never stored by the phone's browser or a proxy,
  // and never framed by another site.
  MHD_add_response_header(response, "Cache-Control", "no-store");
  MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
  MHD_add_response_header(response, "X-Frame-Options", "DENY");
  for (const auto& [name, value] : answer.Headers)
    MHD_add_response_header(response, name.c_str(), value.c_str());
  const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(answer.Status), response);
  MHD_destroy_response(response);
  return queued;
}

HttpResponse Refusal(int status, const char* text) {
  HttpResponse response;
  response.Status = status;
  response.Body = text;
  return response;
}

MHD_Result OnRequest(void* context, MHD_Connection* connection, const char* url, const char* method,
                     const char*, const char* upload, size_t* uploadSize, void** requestState) {
  auto* shared = static_cast<HttpServer::Shared*>(context);
  auto* pending = static_cast<PendingRequest*>(*requestState);
  if (!pending) {
    // First call: only the headers are in. A declared body over the limit
    // is refused before any of it is read.
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
    if (length && std::strtoull(length, nullptr, 10) > shared->limits.Body)
      return Answer(connection, Refusal(413, "request body too large"));
    auto state = std::make_unique<PendingRequest>();
    *requestState = state.release();  // taken back in OnCompleted
    return MHD_YES;
  }
  if (*uploadSize > 0) {
    if (!pending->tooLarge && pending->body.size() + *uploadSize <= shared->limits.Body)
      pending->body.append(upload, *uploadSize);
    else
      pending->tooLarge = true;
    *uploadSize = 0;
    return MHD_YES;
  }
  if (pending->tooLarge) return Answer(connection, Refusal(413, "request body too large"));

  shared->SetAnswering(connection, true);
  HttpRequest request;
  request.Method = method ? method : "";
  request.Path = url ? url : "";
  request.Body = std::move(pending->body);
  MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, CollectArgument, &request.Query);
  MHD_get_connection_values(connection, MHD_HEADER_KIND, CollectHeader, &request.Headers);
  if (const MHD_ConnectionInfo* info =
          MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS))
    request.ClientAddress = AddressText(info->client_addr);
  return Answer(connection, shared->handler(request));
}

void OnCompleted(void* context, MHD_Connection* connection, void** requestState, MHD_RequestTerminationCode) {
  std::unique_ptr<PendingRequest> done(static_cast<PendingRequest*>(*requestState));
  *requestState = nullptr;
  // A kept-alive connection's next request has its own deadline.
  static_cast<HttpServer::Shared*>(context)->SetAnswering(connection, false);
}

void OnConnection(void* context, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code) {
  auto* shared = static_cast<HttpServer::Shared*>(context);
  std::lock_guard guard(shared->lock);
  if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
    shared->connections.erase(connection);
    return;
  }
  const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  if (info) shared->connections[connection] = {info->connect_fd, HttpServer::Shared::Clock::now(), false, false};
}

}  // namespace

void HttpServer::DaemonDeleter::operator()(MHD_Daemon* daemon) const { MHD_stop_daemon(daemon); }

HttpServer::HttpServer() = default;

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Start(uint16_t port, const HttpServerLimits& limits, Handler handler,
                       std::string* error) {
  Stop();
  shared_ = std::make_unique<Shared>();
  shared_->handler = std::move(handler);
  shared_->limits = limits;
  const unsigned flags =
      MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_AUTO | MHD_USE_DUAL_STACK;
  daemon_.reset(MHD_start_daemon(
      flags, port, nullptr, nullptr, &OnRequest, shared_.get(),
      MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(limits.Connections),
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<unsigned>(limits.ConnectionsPerAddress),
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<size_t>(limits.ConnectionMemory),
      MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(limits.IdleSeconds),
      MHD_OPTION_NOTIFY_COMPLETED, &OnCompleted, shared_.get(),
      MHD_OPTION_NOTIFY_CONNECTION, &OnConnection, shared_.get(), MHD_OPTION_END));
  if (!daemon_) {
    const std::string reason = "cannot listen on port " + std::to_string(port);
    qCWarning(lcHttpServer, "the HTTP server %s", reason.c_str());
    if (error) *error = reason;
    shared_.reset();
    return false;
  }
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_.get(), MHD_DAEMON_INFO_BIND_PORT);
  port_ = info ? info->port : port;
  watchdog_ = std::thread([this] { WatchDeadlines(); });
  return true;
}

void HttpServer::WatchDeadlines() {
  Shared& shared = *shared_;
  const auto deadline = std::chrono::seconds(shared.limits.RequestSeconds);
  std::unique_lock guard(shared.lock);
  while (!shared.stopping) {
    shared.wake.wait_for(guard, std::chrono::milliseconds(250));
    const Shared::Clock::time_point now = Shared::Clock::now();
    for (auto& [connection, waiting] : shared.connections) {
      if (waiting.Answering || waiting.Cut || now - waiting.Since < deadline) continue;
      // The daemon's own thread sees the socket end and closes the
      // connection as if the client had gone.
      ::shutdown(waiting.Socket, SHUT_RDWR);
      waiting.Cut = true;
    }
  }
}

void HttpServer::Stop() {
  if (watchdog_.joinable()) {
    {
      std::lock_guard guard(shared_->lock);
      shared_->stopping = true;
    }
    shared_->wake.notify_all();
    watchdog_.join();
  }
  daemon_.reset();
  shared_.reset();
  port_ = 0;
}

}  // namespace lyricade
