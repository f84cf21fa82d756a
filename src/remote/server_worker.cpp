#include "remote/server_worker.h"

#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include "remote/remote_log.h"

namespace lyricade {
namespace {

// Enough for one whole frame: a client cannot make the socket hold more.
constexpr qint64 kSocketBuffer = static_cast<qint64>(kMaximumFrameLength) + 4096;
constexpr int kSweepMs = 250;

}  // namespace

ServerWorker::ServerWorker(ServerLimits limits, ClientList& clients, std::atomic<int>& pending,
                           QObject* ownerThreadObject)
    : limits_(limits), clients_(clients), pending_(pending), ownerThreadObject_(ownerThreadObject) {}

ServerWorker::~ServerWorker() = default;

int ServerWorker::Listen(const QString& session, int port) {
  session_ = session.toStdString();
  tcp_ = new QTcpServer(this);
  // Connections beyond the limit are answered and closed at once; the
  // backlog only queues them until then.
  tcp_->setMaxPendingConnections(limits_.MaximumClients);
  if (!tcp_->listen(QHostAddress::Any, static_cast<quint16>(port))) {
    qCWarning(lcRemote) << "the request server could not listen on port" << port << ":"
                        << tcp_->errorString();
    return 0;
  }
  port_ = tcp_->serverPort();
  connect(tcp_, &QTcpServer::newConnection, this, &ServerWorker::Accept);

  udp_ = new QUdpSocket(this);
  if (udp_->bind(QHostAddress::AnyIPv4, static_cast<quint16>(port_),
                 QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
    connect(udp_, &QUdpSocket::readyRead, this, &ServerWorker::AnswerEnquiries);
  else
    qCWarning(lcRemote) << "the request server cannot be found on the network: UDP port" << port_
                        << "is taken:" << udp_->errorString();

  sweep_ = new QTimer(this);
  connect(sweep_, &QTimer::timeout, this, &ServerWorker::Sweep);
  sweep_->start(kSweepMs);
  return port_;
}

void ServerWorker::Close() {
  for (auto& [socket, connection] : connections_) {
    socket->disconnect(this);
    socket->abort();
    delete socket;
  }
  connections_.clear();
  clients_.Clear();
  delete sweep_;
  delete udp_;
  delete tcp_;
  sweep_ = nullptr;
  udp_ = nullptr;
  tcp_ = nullptr;
  moveToThread(ownerThreadObject_->thread());
}

void ServerWorker::Accept() {
  while (QTcpSocket* socket = tcp_->nextPendingConnection()) {
    const QString address = socket->peerAddress().toString();
    if (static_cast<int>(connections_.size()) >= limits_.MaximumClients ||
        ConnectionsFrom(address) >= limits_.MaximumClientsPerAddress) {
      qCInfo(lcRemote) << "a request client from" << address << "was turned away: the server is full";
      socket->write(QByteArray::fromStdString(Frame(EncodeHelloAnswer(HelloAnswer::ServerFull))));
      socket->flush();
      socket->abort();
      socket->deleteLater();
      continue;
    }
    socket->setReadBufferSize(kSocketBuffer);
    auto connection = std::make_unique<Connection>();
    connection->Socket = socket;
    connection->Connected.start();
    connection->LastHeard.start();
    connection->Address = address;
    connection->BudgetStart.start();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      // What arrived before the close still counts.
      Read(socket);
      Drop(socket, nullptr);
    });
    connections_.emplace(socket, std::move(connection));
  }
}

void ServerWorker::Read(QTcpSocket* socket) {
  const auto found = connections_.find(socket);
  if (found == connections_.end()) return;
  Connection& connection = *found->second;
  const QByteArray bytes = socket->readAll();
  if (bytes.isEmpty()) return;
  connection.LastHeard.restart();
  if (!connection.Reader.Append(std::string_view(bytes.constData(), bytes.size()))) {
    Drop(socket, "declared a message longer than 64 KiB");
    return;
  }
  while (std::optional<std::string> payload = connection.Reader.Next()) {
    if (!connection.Greeted) {
      if (!HandleHello(connection, *payload)) return;
      continue;
    }
    std::optional<SongRequest> request = ParseSongRequest(*payload);
    if (!request) {
      if (++connection.IdleFrames > limits_.MaximumIdleFrames) {
        Drop(socket, "sent too many messages that are no song requests");
        return;
      }
      continue;
    }
    connection.IdleFrames = 0;
    if (!WithinBudget(connection)) continue;
    if (pending_.fetch_add(1) >= limits_.PendingRequests) {
      pending_.fetch_sub(1);
      if (!backlogLogged_) qCWarning(lcRemote) << "requests arrive faster than the show takes them; some are dropped";
      backlogLogged_ = true;
      continue;
    }
    backlogLogged_ = false;
    emit songRequested(*request);
  }
  if (connection.Reader.Failed()) Drop(socket, "declared a message longer than 64 KiB");
}

bool ServerWorker::HandleHello(Connection& connection, const std::string& payload) {
  QTcpSocket* socket = connection.Socket;
  const std::optional<Hello> hello = ParseHello(payload);
  HelloAnswer answer = HelloAnswer::Accepted;
  if (!hello || hello->Guid != kRequestAppGuid)
    answer = HelloAnswer::WrongApplication;
  else if (hello->Session != session_)
    answer = HelloAnswer::WrongSession;
  socket->write(QByteArray::fromStdString(Frame(EncodeHelloAnswer(answer))));
  if (answer != HelloAnswer::Accepted) {
    socket->flush();
    Drop(socket, answer == HelloAnswer::WrongSession ? "named another session" : "is no request client");
    return false;
  }
  connection.Greeted = true;
  connection.PlayerId = clients_.Add(hello->Player)->PlayerId;
  emit clientsChanged();
  return true;
}

int ServerWorker::ConnectionsFrom(const QString& address) const {
  int count = 0;
  for (const auto& [socket, connection] : connections_)
    if (connection->Address == address) ++count;
  return count;
}

// A flood from one client or one computer costs the show a handful of
// requests, never thousands.
bool ServerWorker::WithinBudget(Connection& connection) {
  if (connection.BudgetStart.elapsed() >= limits_.BudgetWindowMs) {
    connection.BudgetStart.restart();
    connection.Requests = 0;
  }
  AddressBudget& address = addressBudgets_[connection.Address];
  if (!address.Start.isValid() || address.Start.elapsed() >= limits_.BudgetWindowMs) {
    address.Start.start();
    address.Requests = 0;
  }
  if (connection.Requests >= limits_.RequestsPerClient || address.Requests >= limits_.RequestsPerAddress) {
    if (!connection.OverBudgetLogged)
      qCWarning(lcRemote) << "the request client at" << connection.Address
                          << "sends too many requests; the rest of its burst is dropped";
    connection.OverBudgetLogged = true;
    return false;
  }
  ++connection.Requests;
  ++address.Requests;
  return true;
}

void ServerWorker::Drop(QTcpSocket* socket, const char* why) {
  const auto found = connections_.find(socket);
  if (found == connections_.end()) return;
  if (why)
    qCWarning(lcRemote) << "closed the request client at" << socket->peerAddress().toString() << ": it"
                        << why;
  const bool counted = found->second->Greeted;
  if (counted) clients_.Remove(found->second->PlayerId);
  const QString address = found->second->Address;
  connections_.erase(found);
  if (ConnectionsFrom(address) == 0) addressBudgets_.erase(address);
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  if (counted) emit clientsChanged();
}

void ServerWorker::Sweep() {
  std::vector<std::pair<QTcpSocket*, const char*>> expired;
  for (const auto& [socket, connection] : connections_) {
    if (!connection->Greeted && connection->Connected.elapsed() > limits_.HelloTimeoutMs)
      expired.emplace_back(socket, "sent no hello in time");
    else if (connection->LastHeard.elapsed() > limits_.IdleTimeoutMs)
      expired.emplace_back(socket, "sent nothing for too long");
  }
  for (const auto& [socket, why] : expired) Drop(socket, why);
}

void ServerWorker::AnswerEnquiries() {
  while (udp_->hasPendingDatagrams()) {
    const QNetworkDatagram datagram = udp_->receiveDatagram(2048);
    const QByteArray data = datagram.data();
    if (!IsDiscoveryEnquiry(std::string_view(data.constData(), data.size()))) continue;
    // Each answer is larger than the enquiry: answers are rationed, so the
    // server cannot be used to flood a forged sender.
    if (!answerSecond_.isValid() || answerSecond_.elapsed() >= 1000) {
      answerSecond_.start();
      answersPerSender_.clear();
      answersInAll_ = 0;
    }
    const QString sender = datagram.senderAddress().toString();
    if (answersInAll_ >= limits_.AnswersInAll) continue;
    int& toSender = answersPerSender_[sender];
    if (toSender >= limits_.AnswersPerSender) continue;
    ++toSender;
    ++answersInAll_;
    const std::string answer = EncodeDiscoveryAnswer({session_, port_});
    udp_->writeDatagram(QByteArray::fromStdString(answer), datagram.senderAddress(),
                        static_cast<quint16>(datagram.senderPort()));
  }
}

}  // namespace lyricade
