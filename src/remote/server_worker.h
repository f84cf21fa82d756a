#pragma once
// The request server's sockets, on the server's own thread: the TCP
// listener and its clients (hello, frames, limits and time-outs) and the
// UDP discovery answer. Each accepted song request leaves as a signal; the
// server hands it to the UI thread.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
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
  // One computer (one address) cannot take every slot.
  int MaximumClientsPerAddress = 8;
  int HelloTimeoutMs = 5000;
  int IdleTimeoutMs = 10 * 60 * 1000;
  // Song requests per budget window from one connection and from one
  // address; beyond them requests are dropped (logged once per client).
  int RequestsPerClient = 10;
  int RequestsPerAddress = 20;
  int BudgetWindowMs = 10 * 1000;
  // A longer run of empty or non-request frames is a protocol error.
  int MaximumIdleFrames = 64;
  // Discovery answers per second to one sender and in all.
  int AnswersPerSender = 3;
  int AnswersInAll = 30;
  // Requests handed to the UI thread and not yet taken there; beyond it
  // they are dropped, so a stalled UI thread cannot pile up a backlog.
  int PendingRequests = 256;
};

class ServerWorker : public QObject {
  Q_OBJECT

public:
  // `pending`: requests emitted and not yet taken by the owner, which
  // counts them down.
  ServerWorker(ServerLimits limits, ClientList& clients, std::atomic<int>& pending, QObject* ownerThreadObject);
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
    QString Address;
    int IdleFrames = 0;
    // The requests of the current budget window.
    QElapsedTimer BudgetStart;
    int Requests = 0;
    bool OverBudgetLogged = false;
  };

  // Per address: the budget window's start and the requests in it.
  struct AddressBudget {
    QElapsedTimer Start;
    int Requests = 0;
  };

  void Accept();
  void Read(QTcpSocket* socket);
  bool HandleHello(Connection& connection, const std::string& payload);
  void Drop(QTcpSocket* socket, const char* why);
  void Sweep();
  void AnswerEnquiries();
  bool WithinBudget(Connection& connection);
  int ConnectionsFrom(const QString& address) const;

  ServerLimits limits_;
  ClientList& clients_;
  std::atomic<int>& pending_;
  bool backlogLogged_ = false;
  QObject* ownerThreadObject_;
  std::string session_;
  int port_ = 0;
  QTcpServer* tcp_ = nullptr;
  QUdpSocket* udp_ = nullptr;
  QTimer* sweep_ = nullptr;
  std::unordered_map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
  // Only addresses with a connection, so bounded by the slots.
  std::unordered_map<QString, AddressBudget> addressBudgets_;
  // Discovery answers in the current second, per sender and in all.
  QElapsedTimer answerSecond_;
  std::unordered_map<QString, int> answersPerSender_;
  int answersInAll_ = 0;
};

}  // namespace lyricade
