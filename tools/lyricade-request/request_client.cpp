#include "request_client.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>

#include <algorithm>

#include "remote/request_message.h"

namespace lyricade {
namespace {

constexpr int kTimeoutMs = 5000;

bool WriteAll(QTcpSocket& socket, const std::string& bytes) {
  if (socket.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
    return false;
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(kTimeoutMs)) return false;
  return true;
}

const char* AnswerText(HelloAnswer answer) {
  switch (answer) {
    case HelloAnswer::Accepted: return "accepted";
    case HelloAnswer::WrongApplication: return "the server refused the application identity";
    case HelloAnswer::WrongSession: return "the server hosts another session";
    case HelloAnswer::ServerFull: return "the server has all the request clients it takes";
  }
  return "unknown answer";
}

}  // namespace

bool SendSongRequest(const RequestTarget& target, const std::string& singer, const std::string& path,
                     int key, std::string& error) {
  QTcpSocket socket;
  socket.connectToHost(QString::fromStdString(target.Host), static_cast<quint16>(target.Port));
  if (!socket.waitForConnected(kTimeoutMs)) {
    error = "cannot connect: " + socket.errorString().toStdString();
    return false;
  }
  const Hello hello{std::string(kRequestAppGuid), target.Session, target.Player};
  if (!WriteAll(socket, Frame(EncodeHello(hello)))) {
    error = "the hello could not be sent: " + socket.errorString().toStdString();
    return false;
  }
  FrameReader reader(64);
  std::optional<std::string> answer;
  QElapsedTimer waited;
  waited.start();
  while (!(answer = reader.Next())) {
    if (reader.Failed() || waited.elapsed() > kTimeoutMs || !socket.waitForReadyRead(kTimeoutMs)) {
      error = "the server did not answer the hello";
      return false;
    }
    const QByteArray bytes = socket.readAll();
    reader.Append(std::string_view(bytes.constData(), bytes.size()));
  }
  const std::optional<HelloAnswer> code = ParseHelloAnswer(*answer);
  if (!code || *code != HelloAnswer::Accepted) {
    error = code ? AnswerText(*code) : "the server's answer is not understood";
    return false;
  }
  if (!WriteAll(socket, Frame(EncodeSongRequest(path, singer, key)))) {
    error = "the request could not be sent: " + socket.errorString().toStdString();
    return false;
  }
  socket.disconnectFromHost();
  if (socket.state() != QAbstractSocket::UnconnectedState) socket.waitForDisconnected(kTimeoutMs);
  return true;
}

std::vector<FoundServer> FindServers(const std::string& host, int port, int waitMs) {
  std::vector<FoundServer> found;
  QUdpSocket socket;
  if (!socket.bind(QHostAddress::AnyIPv4, 0)) return found;
  const QHostAddress address =
      host.empty() ? QHostAddress(QHostAddress::Broadcast) : QHostAddress(QString::fromStdString(host));
  const std::string enquiry = EncodeDiscoveryEnquiry();
  if (socket.writeDatagram(enquiry.data(), static_cast<qint64>(enquiry.size()), address,
                           static_cast<quint16>(port)) < 0)
    return found;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < waitMs) {
    if (!socket.hasPendingDatagrams() &&
        !socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, waitMs - waited.elapsed()))))
      continue;
    while (socket.hasPendingDatagrams()) {
      const QNetworkDatagram datagram = socket.receiveDatagram(2048);
      const QByteArray data = datagram.data();
      const auto answer = ParseDiscoveryAnswer(std::string_view(data.constData(), data.size()));
      if (!answer) continue;
      FoundServer server{datagram.senderAddress().toString().toStdString(), answer->Port, answer->Session};
      const bool known = std::any_of(found.begin(), found.end(), [&](const FoundServer& other) {
        return other.Address == server.Address && other.Port == server.Port;
      });
      if (!known) found.push_back(std::move(server));
    }
  }
  return found;
}

}  // namespace lyricade
