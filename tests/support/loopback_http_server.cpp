#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace lyricade::testing {
namespace {

bool SendAll(int socket, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(socket, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    default: return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) return;
  int yes = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener_);
    listener_ = -1;
    return;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  if (listener_ >= 0) ::close(listener_);
  std::vector<std::thread> connections;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    connections.swap(connections_);
  }
  for (std::thread& connection : connections) connection.join();
}

std::string LoopbackHttpServer::BaseUrl() const {
  return port_ ? "http://127.0.0.1:" + std::to_string(port_) : std::string();
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 50) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back([this, connection] { Serve(connection); });
  }
}

void LoopbackHttpServer::Serve(int connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    pollfd waiting{connection, POLLIN, 0};
    if (::poll(&waiting, 1, 5000) <= 0) break;
    const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  // "GET /path?query HTTP/1.1"
  const size_t firstSpace = request.find(' ');
  const size_t secondSpace = request.find(' ', firstSpace + 1);
  if (firstSpace != std::string::npos && secondSpace != std::string::npos) {
    const std::string method = request.substr(0, firstSpace);
    const std::string target = request.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(target);
    }
    const HttpAnswer answer = handler_(target);
    std::string head = "HTTP/1.1 " + std::to_string(answer.Status) + " " + Reason(answer.Status) +
                       "\r\nContent-Type: " + answer.ContentType +
                       "\r\nContent-Length: " + std::to_string(answer.Body.size()) +
                       "\r\nConnection: close\r\n\r\n";
    if (SendAll(connection, head) && method != "HEAD") SendAll(connection, answer.Body);
  }
  ::shutdown(connection, SHUT_WR);
  ::close(connection);
}

}  // namespace lyricade::testing
