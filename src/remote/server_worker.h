#pragma once
// The request server's sockets, on the server's own thread: the TCP
// listener and its clients (hello, frames, limits and time-outs) and the
// UDP discovery answer. Each accepted song request leaves as a signal; the
// server hands it to the UI thread.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>
#include <unordered_map>

#include "remote/client_list.h"
#include "remote/request_message.h"

class QTcpServer;
class QTcpSocket;
class QTimer;
class QUdpSocket;

namespace lyricade {

// What one client on the network may cost the program.
struct ServerLimits {
  int MaximumClients = 64;
  int HelloTimeoutMs = 5000;
  int IdleTimeoutMs = 10 * 60 * 1000;
};

class ServerWorker : public QObject {
  Q_OBJECT

public:
  ServerWorker(ServerLimits limits, ClientList& clients, QObject* ownerThreadObject);
  ~ServerWorker() override;

  // Run on the server thread (blocking calls from the UI thread). Listen
  // returns the port it listens on, 0 on failure.
  Q_INVOKABLE int Listen(const QString& session, int port);
  // Closes every socket and gives the worker back to the owner's thread.
  Q_INVOKABLE void Close();

signals:
  void songRequested(const lyricade::SongRequest& request);
  void clientsChanged();

private:
  struct Connection {
    QTcpSocket* Socket = nullptr;
    FrameReader Reader;
    bool Greeted = false;
    QElapsedTimer Connected;
    QElapsedTimer LastHeard;
    uint32_t PlayerId = 0;
  };

  void Accept();
  void Read(QTcpSocket* socket);
  bool HandleHello(Connection& connection, const std::string& payload);
  void Drop(QTcpSocket* socket, const char* why);
  void Sweep();
  void AnswerEnquiries();

  ServerLimits limits_;
  ClientList& clients_;
  QObject* ownerThreadObject_;
  std::string session_;
  int port_ = 0;
  QTcpServer* tcp_ = nullptr;
  QUdpSocket* udp_ = nullptr;
  QTimer* sweep_ = nullptr;
  std::unordered_map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
};

}  // namespace lyricade
