#pragma once
// The remote request server as the program sees it: start and stop (the
// states stopped, starting, hosting, stopping), the session name and port,
// the connected request clients, and each accepted song request handed to
// the UI thread as songRequested(). The sockets live on a thread of their
// own, so a busy network never holds up the show's timer.

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "remote/client_list.h"
#include "remote/request_message.h"
#include "remote/server_worker.h"

namespace lyricade {

enum class ServerState { Stopped, Starting, Hosting, Stopping };

class RequestServer : public QObject {
  Q_OBJECT

public:
  explicit RequestServer(ServerLimits limits = {}, QObject* parent = nullptr);
  ~RequestServer() override;

  // Hosts the session on the port (0: the system picks one). False, with
  // the server stopped, when it could not listen.
  bool Start(const std::string& session, int port);
  void Stop();

  ServerState State() const { return state_; }
  bool Hosting() const { return state_ == ServerState::Hosting; }
  // The port listened on while hosting.
  int Port() const { return port_; }
  const std::string& Session() const { return session_; }
  int ClientCount() const { return clients_.Count(); }
  std::vector<std::string> ClientNames() const { return clients_.Names(); }

signals:
  // On the UI thread, only while hosting.
  void songRequested(const lyricade::SongRequest& request);
  // A request client came or went.
  void clientsChanged();
  void stateChanged(lyricade::ServerState state);

private:
  void SetState(ServerState state);

  ServerLimits limits_;
  ClientList clients_;
  // Requests on their way from the server thread to this one.
  std::atomic<int> pending_{0};
  QThread thread_;
  std::unique_ptr<ServerWorker> worker_;
  ServerState state_ = ServerState::Stopped;
  std::string session_;
  int port_ = 0;
};

}  // namespace lyricade

Q_DECLARE_METATYPE(lyricade::SongRequest)
Q_DECLARE_METATYPE(lyricade::ServerState)
