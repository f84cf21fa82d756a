// The request server with real sockets on loopback: hellos accepted and
// refused, the client count through start and stop, requests reaching the
// UI thread, hostile clients, discovery, and the request client program.
// Every server listens on a port the system picks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QTcpSocket>
#include <QThread>

#include <memory>
#include <vector>

#include "remote/request_server.h"
#include "remote/server_settings.h"

namespace lyricade {
namespace {

bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (done()) return true;
    QThread::msleep(5);
  }
  return done();
}

// A request client written against the bytes alone.
class RawClient {
public:
  explicit RawClient(int port, const char* from = "127.0.0.1") {
    // Every 127.0.0.0/8 address is this machine: "other computers" for the
    // per-address limits.
    socket.bind(QHostAddress(QString(from)));
    socket.connectToHost("127.0.0.1", static_cast<quint16>(port));
    connected = socket.waitForConnected(5000);
  }
  void Send(const std::string& bytes) {
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket.waitForBytesWritten(5000);
  }
  // Sends the hello; the server's answer, or nothing when it closed.
  std::optional<HelloAnswer> Greet(const std::string& session = "RequestTool",
                                   const std::string& guid = std::string(kRequestAppGuid)) {
    Send(Frame(EncodeHello({guid, session, "Table 7 by the bar"})));
    FrameReader reader;
    while (socket.waitForReadyRead(5000) || socket.bytesAvailable() > 0) {
      const QByteArray bytes = socket.readAll();
      reader.Append(std::string_view(bytes.constData(), bytes.size()));
      if (auto payload = reader.Next()) return ParseHelloAnswer(*payload);
    }
    return std::nullopt;
  }
  // True once the server closed the connection.
  bool Closed(int timeoutMs = 10000) {
    if (socket.state() == QAbstractSocket::UnconnectedState) return true;
    socket.readAll();
    return socket.waitForDisconnected(timeoutMs) || socket.state() == QAbstractSocket::UnconnectedState;
  }
  QTcpSocket socket;
  bool connected = false;
};

class RequestServerTest : public ::testing::Test {
protected:
  void Start(ServerLimits limits = {}) {
    server = std::make_unique<RequestServer>(limits);
    QObject::connect(server.get(), &RequestServer::songRequested,
                     [this](const SongRequest& request) { received.push_back(request); });
    ASSERT_TRUE(server->Start("RequestTool", 0));
    ASSERT_GT(server->Port(), 0);
  }
  std::unique_ptr<RequestServer> server;
  std::vector<SongRequest> received;
};

TEST_F(RequestServerTest, ClientsAreCountedUntilTheyLeaveOrTheServerStops) {
  Start();
  EXPECT_EQ(server->State(), ServerState::Hosting);
  std::vector<std::unique_ptr<RawClient>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(std::make_unique<RawClient>(server->Port()));
    ASSERT_EQ(clients.back()->Greet(), HelloAnswer::Accepted);
  }
  ASSERT_TRUE(RunUntil([&] { return server->ClientCount() == 3; }));
  EXPECT_EQ(server->ClientNames().at(0), "Table 7 by the") << "display names keep 14 characters";
  clients.pop_back();
  ASSERT_TRUE(RunUntil([&] { return server->ClientCount() == 2; }));

  server->Stop();
  EXPECT_EQ(server->State(), ServerState::Stopped);
  EXPECT_EQ(server->ClientCount(), 0);
  for (auto& client : clients) EXPECT_TRUE(client->Closed());
  // Hosting again on a fresh port works.
  ASSERT_TRUE(server->Start("RequestTool", 0));
  RawClient again(server->Port());
  EXPECT_EQ(again.Greet(), HelloAnswer::Accepted);
}

TEST_F(RequestServerTest, OtherApplicationsAndSessionsAreRefusedAndNotCounted) {
  Start();
  RawClient wrongGuid(server->Port());
  EXPECT_EQ(wrongGuid.Greet("RequestTool", "{00000000-0000-0000-0000-000000000000}"),
            HelloAnswer::WrongApplication);
  EXPECT_TRUE(wrongGuid.Closed());
  RawClient wrongSession(server->Port());
  EXPECT_EQ(wrongSession.Greet("requesttool"), HelloAnswer::WrongSession);
  EXPECT_TRUE(wrongSession.Closed());
  // A request before any hello is no hello.
  RawClient rude(server->Port());
  rude.Send(Frame(EncodeSongRequest("/a.mp3", "Ana", 0)));
  EXPECT_TRUE(rude.Closed());
  RunUntil([] { return false; }, 100);
  EXPECT_EQ(server->ClientCount(), 0);
  EXPECT_TRUE(received.empty());
}

TEST_F(RequestServerTest, RequestsReachTheUiThreadAndOthersAreIgnored) {
  Start();
  RawClient client(server->Port());
  ASSERT_EQ(client.Greet(), HelloAnswer::Accepted);
  std::string tooLong = EncodeSongRequest("/b.mp3", "Bo", 0) + "x";
  std::string shortest = EncodeSongRequest("/c.mp3", "Cy", 0).substr(0, RequestLayout::MinimumSize);
  client.Send(Frame(EncodeSongRequest("/a.mp3", "Ana", 2)) + Frame(tooLong) + Frame("junk") +
              Frame(shortest));
  ASSERT_TRUE(RunUntil([&] { return received.size() == 2; }));
  EXPECT_EQ(received[0].Path, "/a.mp3");
  EXPECT_EQ(received[0].Key, 2);
  EXPECT_EQ(received[1].Singer, "Cy");
  // What is sent just before the client hangs up still arrives.
  client.Send(Frame(EncodeSongRequest("/d.mp3", "Dee", 0)));
  client.socket.disconnectFromHost();
  ASSERT_TRUE(RunUntil([&] { return received.size() == 3; }));
  EXPECT_TRUE(RunUntil([&] { return server->ClientCount() == 0; }));
}

TEST_F(RequestServerTest, HostileClientsAreClosedAndCannotCrowdTheServer) {
  ServerLimits limits;
  limits.HelloTimeoutMs = 300;
  limits.IdleTimeoutMs = 1500;
  Start(limits);
  RawClient huge(server->Port());
  ASSERT_EQ(huge.Greet(), HelloAnswer::Accepted);
  huge.Send(std::string("\xff\xff\xff\x7f", 4) + std::string(1000, 'a'));
  EXPECT_TRUE(huge.Closed());

  RawClient silent(server->Port());
  EXPECT_TRUE(silent.Closed()) << "no hello in time";
  RawClient idle(server->Port());
  ASSERT_EQ(idle.Greet(), HelloAnswer::Accepted);
  EXPECT_TRUE(idle.Closed()) << "nothing heard for too long";
  ASSERT_TRUE(RunUntil([&] { return server->ClientCount() == 0; }));

  // Connections beyond the limit, in all or from one address, are turned
  // away at once.
  std::vector<std::unique_ptr<RawClient>> crowd;
  for (int i = 0; i < limits.MaximumClients; ++i) {
    const std::string from = "127.0.0." + std::to_string(1 + i / limits.MaximumClientsPerAddress);
    crowd.push_back(std::make_unique<RawClient>(server->Port(), from.c_str()));
    ASSERT_EQ(crowd.back()->Greet(), HelloAnswer::Accepted) << i;
    if (i + 1 == limits.MaximumClientsPerAddress) {
      RawClient sameAddress(server->Port());
      EXPECT_EQ(sameAddress.Greet(), HelloAnswer::ServerFull);
    }
  }
  RawClient oneTooMany(server->Port(), "127.0.0.250");
  EXPECT_EQ(oneTooMany.Greet(), HelloAnswer::ServerFull);
  EXPECT_TRUE(oneTooMany.Closed());
  EXPECT_TRUE(RunUntil([&] { return server->ClientCount() == limits.MaximumClients; }));
  crowd.clear();
  ASSERT_TRUE(RunUntil([&] { return server->ClientCount() == 0; }));
  RawClient welcome(server->Port());
  EXPECT_EQ(welcome.Greet(), HelloAnswer::Accepted) << "room again once they left";
}

TEST_F(RequestServerTest, AFloodOfRequestsOrEmptyFramesCostsTheShowLittle) {
  Start();
  RawClient flood(server->Port());
  ASSERT_EQ(flood.Greet(), HelloAnswer::Accepted);
  std::string burst;
  for (int i = 0; i < 3000; ++i) burst += Frame(EncodeSongRequest("/a.mp3", "Singer " + std::to_string(i), 0));
  flood.Send(burst);
  RawClient neighbour(server->Port());
  ASSERT_EQ(neighbour.Greet(), HelloAnswer::Accepted);
  neighbour.Send(Frame(EncodeSongRequest("/b.mp3", "Phone", 0)));
  ASSERT_TRUE(RunUntil([&] { return !received.empty() && received.back().Singer == "Phone"; }));
  RunUntil([] { return false; }, 300);
  // The flood keeps to its client's budget; the phone's request gets in.
  EXPECT_EQ(received.size(), 11u);

  // A run of empty frames is a protocol error; another client's hello is
  // still answered.
  RawClient empty(server->Port(), "127.0.0.2");
  ASSERT_EQ(empty.Greet(), HelloAnswer::Accepted);
  std::string frames;
  for (int i = 0; i < 17000; ++i) frames += Frame("");
  empty.Send(frames);
  RawClient other(server->Port(), "127.0.0.3");
  EXPECT_EQ(other.Greet(), HelloAnswer::Accepted);
  EXPECT_TRUE(empty.Closed());
}

TEST_F(RequestServerTest, RequestsWaitingForABusyShowAreBounded) {
  ServerLimits limits;
  limits.PendingRequests = 4;
  Start(limits);
  RawClient client(server->Port());
  ASSERT_EQ(client.Greet(), HelloAnswer::Accepted);
  std::string burst;
  for (int i = 0; i < 10; ++i) burst += Frame(EncodeSongRequest("/a.mp3", "Singer " + std::to_string(i), 0));
  client.Send(burst);
  // The UI thread is busy (no events run) while the burst arrives.
  QThread::msleep(800);
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(received.size(), 4u);
  // Once the show has taken them, requests get through again.
  RawClient later(server->Port(), "127.0.0.2");
  ASSERT_EQ(later.Greet(), HelloAnswer::Accepted);
  later.Send(Frame(EncodeSongRequest("/b.mp3", "Later", 0)));
  EXPECT_TRUE(RunUntil([&] { return !received.empty() && received.back().Singer == "Later"; }));
}

QString Tool() { return QString(LYRICADE_BIN) + "lyricade-request"; }

// Runs the request client; its exit code and output.
std::pair<int, QString> RunTool(const QStringList& args) {
  QProcess tool;
  tool.start(Tool(), args);
  // The server answers on this thread's behalf from its own.
  EXPECT_TRUE(tool.waitForFinished(20000));
  return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
}

TEST_F(RequestServerTest, TheRequestClientFindsTheServerAndSendsRequests) {
  Start();
  const QString port = QString::number(server->Port());
  auto [found, list] = RunTool({"--find", "--host", "127.0.0.1", "--port", port, "--wait", "500"});
  EXPECT_EQ(found, 0) << list.toStdString();
  EXPECT_TRUE(list.contains("127.0.0.1:" + port + " RequestTool")) << list.toStdString();

  auto [sent, output] = RunTool({"--host", "127.0.0.1", "--port", port, "--name", "Bar", "--singer",
                                 "Ana", "--path", "/songs/it's.mp3", "--key", "-3"});
  EXPECT_EQ(sent, 0) << output.toStdString();
  ASSERT_TRUE(RunUntil([&] { return received.size() == 1; }));
  EXPECT_EQ(received[0].Path, "/songs/it's.mp3");
  EXPECT_EQ(received[0].Key, -3);
  auto [refused, why] = RunTool({"--host", "127.0.0.1", "--port", port, "--session", "Other",
                                 "--singer", "Ana", "--path", "/a.mp3"});
  EXPECT_EQ(refused, 1);
  EXPECT_TRUE(why.contains("another session")) << why.toStdString();
}

TEST(RequestServerOptions, TheCommandLineOptionAndThePortFieldRead) {
  EXPECT_FALSE(RequestServerOption({"--data-dir", "/x"}));
  EXPECT_EQ(RequestServerOption({"--request-server"}), 2507);
  EXPECT_EQ(RequestServerOption({"--request-server=0"}), 0);
  EXPECT_EQ(RequestServerOption({"--request-server=4000"}), 4000);
  EXPECT_FALSE(RequestServerOption({"--request-server=70000"}));
  EXPECT_FALSE(RequestServerOption({"--request-server=abc"}));
  EXPECT_EQ(PortFromText("2507"), 2507);
  EXPECT_EQ(PortFromText(""), 0);
  EXPECT_EQ(PortFromText("port"), 0);
}

}  // namespace
}  // namespace lyricade
