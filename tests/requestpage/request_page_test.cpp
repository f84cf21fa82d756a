// The request page's JSON interface through the real HTTP server on a
// loopback port, as a phone uses it, and the limits that keep one phone
// from tying up the host.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>

#include "../library/library_fixture.h"
#include "common/unique_fd.h"
#include "requestcode/qr_code.h"
#include "platform/db/db_connection.h"
#include "requestpage/page_song_reader.h"
#include "requestpage/request_page_service.h"
#include "requestpage/turn_queue.h"

namespace lyricade {
namespace {

using testing::LibraryFolder;
using testing::Song;

// From 127.0.0.1, or from another loopback address (`from`: its last byte)
// for a test that needs several computers.
UniqueFd Connect(uint16_t port, int from = 1) {
  UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in source{};
  source.sin_family = AF_INET;
  source.sin_addr.s_addr = htonl(INADDR_LOOPBACK - 1 + static_cast<uint32_t>(from));
  if (::bind(socket.Get(), reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) return {};
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return {};
  timeval wait{5, 0};
  ::setsockopt(socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  return socket;
}

std::string ReadAll(int socket) {
  std::string answer;
  char buffer[4096];
  for (ssize_t got; (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<size_t>(got));
  return answer;
}

struct Answer {
  int Status = 0;
  std::string Body;
  QJsonObject Json() const { return QJsonDocument::fromJson(QByteArray::fromStdString(Body)).object(); }
};

Answer Send(uint16_t port, const std::string& method, const std::string& path, const std::string& body = {},
            const std::string& extraHeaders = {}) {
  UniqueFd socket = Connect(port);
  const std::string type = method == "POST" && extraHeaders.find("Content-Type") == std::string::npos
                               ? "Content-Type: application/json\r\n"
                               : "";
  const std::string host = extraHeaders.find("Host:") == std::string::npos
                               ? "Host: 127.0.0.1:" + std::to_string(port) + "\r\n"
                               : "";
  const std::string text = method + " " + path + " HTTP/1.1\r\n" + host + "Connection: close\r\n" + type +
                           extraHeaders + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  ::send(socket.Get(), text.data(), text.size(), MSG_NOSIGNAL);
  const std::string raw = ReadAll(socket.Get());
  Answer answer;
  if (raw.size() > 12) answer.Status = std::atoi(raw.c_str() + 9);
  const size_t end = raw.find("\r\n\r\n");
  if (end != std::string::npos) answer.Body = raw.substr(end + 4);
  return answer;
}

class RequestPage : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(library.Open());
    ASSERT_TRUE(library.database.Execute("BEGIN;"));
    library.Add({"Waterloo", "The Quartet", "SC-1", "/songs/waterloo.zip", "", ""});
    library.Add({"Don't Stop", "Band ' Co", "SC-2", "/songs/dont stop.zip", "", ""});
    for (int i = 0; i < 150; ++i)
      library.Add({"Ballad " + std::to_string(i), "Crooner", "BL-" + std::to_string(i), "/b/" + std::to_string(i), "", ""});
    ASSERT_TRUE(library.database.Execute("COMMIT;"));
  }
  void Start(HttpServerLimits limits = {}) {
    std::string error;
    ASSERT_TRUE(server.Start(0, limits, [this](const HttpRequest& r) { return service.Handle(r); }, &error)) << error;
    ASSERT_NE(server.Port(), 0);
  }
  long ItemOf(const std::string& words) {
    const QJsonArray songs = Send(server.Port(), "GET", "/api/search?q=" + words).Json()["songs"].toArray();
    return songs.isEmpty() ? -1 : songs[0].toObject()["item"].toInteger();
  }

  LibraryFolder library;
  std::mutex handedLock;
  std::vector<PageSongRequest> handed;
  std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
  RequestPageService service{library.database.LibraryPath(), std::string(LYRICADE_TEST_RESOURCES) + "request-page",
                             [this](const PageSongRequest& song) {
                               std::lock_guard lock(handedLock);
                               handed.push_back(song);
                             }};
  HttpServer server;
};

TEST_F(RequestPage, SearchRequestAndQueueLikeAPhone) {
  service.SetClock([this] { return now; });
  Start();
  const uint16_t port = server.Port();
  Answer page = Send(port, "GET", "/");
  EXPECT_EQ(page.Status, 200);
  EXPECT_NE(page.Body.find("Request a Song"), std::string::npos);
  EXPECT_EQ(Send(port, "GET", "/../CMakeLists.txt").Status, 404);
  EXPECT_EQ(Send(port, "GET", "/%2e%2e/schema").Status, 404);

  // The host's search: all fields, every word in one field, apostrophes as
  // the list reads them.
  EXPECT_TRUE(Send(port, "GET", "/api/search?q=water%20quartet").Json()["songs"].toArray().isEmpty());
  QJsonObject found = Send(port, "GET", "/api/search?q=water%20loo").Json();
  ASSERT_EQ(found["songs"].toArray().size(), 1);
  const QJsonObject waterloo = found["songs"].toArray()[0].toObject();
  EXPECT_EQ(waterloo["title"].toString(), "Waterloo");
  EXPECT_EQ(waterloo["id"].toString(), "SC-1");
  EXPECT_FALSE(found.contains("path")) << "no folder of the host is shown";
  EXPECT_EQ(Send(port, "GET", "/api/search?q=don%27t").Json()["songs"].toArray().size(), 1);
  found = Send(port, "GET", "/api/search?q=ballad").Json();
  EXPECT_EQ(found["songs"].toArray().size(), 100);
  EXPECT_TRUE(found["more"].toBool());
  EXPECT_TRUE(Send(port, "GET", "/api/search?q=%20%20").Json()["songs"].toArray().isEmpty());
  // With the library's index the answers are the same.
  std::shared_ptr<const SearchIndex> index = SearchIndex::Build(library.database.LibraryPath());
  ASSERT_NE(index, nullptr);
  for (const std::string words : {"ballad", "water%20loo", "don%27t", "b_l-1"}) {
    const std::string statement = Send(port, "GET", "/api/search?q=" + words).Body;
    service.PublishIndex(index);
    EXPECT_EQ(Send(port, "GET", "/api/search?q=" + words).Body, statement) << words;
    service.PublishIndex(nullptr);
  }

  // A request names the item; the path, a cleaned name and a clamped key go on.
  const long item = waterloo["item"].toInteger();
  const std::string body = "{\"name\":\"  al\\u0007ice \",\"item\":" + std::to_string(item) + ",\"key\":9}";
  Answer queued = Send(port, "POST", "/api/request", body);
  EXPECT_EQ(queued.Status, 200) << queued.Body;
  EXPECT_EQ(queued.Json()["message"].toString(), "Queued for al ice: Waterloo");
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].Singer, "al ice");
  EXPECT_EQ(handed[0].Path, "/songs/waterloo.zip");
  EXPECT_EQ(handed[0].Key, 4);
  EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\"bob\",\"item\":999999}").Status, 404);
  EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\" \",\"item\":1}").Status, 400);
  EXPECT_EQ(Send(port, "GET", "/api/request").Status, 405);
  EXPECT_EQ(handed.size(), 1u);

  service.PublishQueues({{"Bob", {"Song A"}, 0, 0, "You're up now!"},
                         {"Alice", {"Waterloo", "Fernando"}, 3, 725, "You're up in about 13 minutes, 3 singers before you"}});
  const QJsonObject mine = Send(port, "GET", "/api/queue?name=ALICE").Json();
  EXPECT_EQ(mine["songs"].toArray(), (QJsonArray{"Waterloo", "Fernando"}));
  EXPECT_TRUE(mine["position"].isDouble());
  EXPECT_EQ(mine["position"].toInt(), 3);
  EXPECT_EQ(mine["waitSeconds"].toInt(), 725);
  EXPECT_EQ(mine["waitText"].toString(), "You're up in about 13 minutes, 3 singers before you");
  // Someone the rotation does not hold: no songs, no estimate.
  const QJsonObject stranger = Send(port, "GET", "/api/queue?name=carol").Json();
  EXPECT_EQ(stranger["position"].toInt(), -1);
  EXPECT_EQ(stranger["waitSeconds"].toInt(), -1);
}

TEST_F(RequestPage, ASongIsOneRowAndARequestWithoutAVersionGetsThePreferredOne) {
  ASSERT_TRUE(library.database.Execute("BEGIN;"));
  library.Add({"Dancing Queen", "The Quartet", "ZM-7", "/songs/dq-zm.zip", "", ""});
  library.Add({"DANCING QUEEN ", "the quartet", "SF-7", "/songs/dq-sf.zip", "", ""});
  library.Add({"Dancing Queen", "The Quartet", "SC-7", "/songs/dq-sc.zip", "", ""});
  ASSERT_TRUE(library.database.Execute("COMMIT;"));
  Start();
  const uint16_t port = server.Port();
  std::shared_ptr<const SearchIndex> index = SearchIndex::Build(library.database.LibraryPath());
  ASSERT_NE(index, nullptr);
  for (const std::string order : {"SF, SC", "SC"}) {
    service.PublishMakerPreference(MakerPreference::Parse(order));
    const std::string statement = Send(port, "GET", "/api/search?q=dancing").Body;
    service.PublishIndex(index);
    const QJsonObject found = Send(port, "GET", "/api/search?q=dancing").Json();
    EXPECT_EQ(QJsonDocument(found).toJson(QJsonDocument::Compact).toStdString(), statement) << order;
    ASSERT_EQ(found["songs"].toArray().size(), 1);
    const QJsonObject song = found["songs"].toArray()[0].toObject();
    const std::string preferred = order == "SC" ? "SC-7" : "SF-7";
    EXPECT_EQ(song["id"].toString().toStdString(), preferred);
    EXPECT_EQ(song["count"].toInt(), 3);
    const QJsonArray versions = song["versions"].toArray();
    ASSERT_EQ(versions.size(), 3);
    EXPECT_EQ(versions[0].toObject()["item"].toInteger(), song["item"].toInteger());
    EXPECT_EQ(versions[0].toObject()["maker"].toString().toStdString(), preferred.substr(0, 2));
    // Unlisted makers follow in the library's order.
    EXPECT_EQ(versions[order == "SC" ? 1 : 2].toObject()["maker"].toString(), "ZM");

    // "song" with any version's number: the preferred one is queued, with
    // and without the index; "item" still names the version itself.
    const std::string zm = std::to_string(versions[order == "SC" ? 1 : 2].toObject()["item"].toInteger());
    handed.clear();
    EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\"ann\",\"song\":" + zm + "}").Status, 200);
    service.PublishIndex(nullptr);
    EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\"ann\",\"song\":" + zm + "}").Status, 200);
    EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\"ann\",\"item\":" + zm + "}").Status, 200);
    ASSERT_EQ(handed.size(), 3u);
    const std::string preferredPath = order == "SC" ? "/songs/dq-sc.zip" : "/songs/dq-sf.zip";
    EXPECT_EQ(handed[0].Path, preferredPath);
    EXPECT_EQ(handed[1].Path, preferredPath);
    EXPECT_EQ(handed[2].Path, "/songs/dq-zm.zip");
  }
  EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\"ann\",\"song\":999999}").Status, 404);
}

TEST_F(RequestPage, AnswersStayValidJsonWhateverTheTagsHold) {
  // A tag from elsewhere: quotes, a backslash, control characters, a byte
  // that is not UTF-8 and an overlong form; accents pass as they are.
  library.Add({"Hostile \"q\" \\ \x01\t\xff\xC0\xAF end", "Caf\xC3\xA9 \xF0\x9F\x8E\xA4", "HX-1", "/h/1.zip", "", ""});
  Start();
  service.PublishIndex(SearchIndex::Build(library.database.LibraryPath()));
  const Answer answer = Send(server.Port(), "GET", "/api/search?q=hostile");
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(answer.Body), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << answer.Body;
  const QJsonObject song = document.object()["songs"].toArray()[0].toObject();
  EXPECT_EQ(song["title"].toString(), QString::fromUtf8("Hostile \"q\" \\ \x01\t\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD end"));
  EXPECT_EQ(song["artist"].toString(), QString::fromUtf8("Caf\xC3\xA9 \xF0\x9F\x8E\xA4"));
}

TEST_F(RequestPage, KeptConnectionsSeeNewRowsAndNeverHoldAWriterBack) {
  PageSongReader reader(library.database.LibraryPath());
  std::vector<std::optional<PageVersion>> read;
  ASSERT_TRUE(reader.Read({2, 999999, 1}, read));
  ASSERT_EQ(read.size(), 3u);
  ASSERT_TRUE(read[0] && read[2]);
  EXPECT_EQ(read[0]->Title, "Don\xC2\xB4t Stop");  // as the import accents it
  EXPECT_FALSE(read[1]) << "a number without a row";
  EXPECT_EQ(read[2]->Id, "SC-1");
  // With the reader's connection kept open, another program writes at once
  // (no busy wait) and the next answer sees its row.
  DbConnection writer;
  ASSERT_TRUE(writer.Open(library.database.LibraryPath()));
  writer.SetBusyWait(0);
  ASSERT_TRUE(writer.BeginTransaction());
  ASSERT_TRUE(writer.Execute("UPDATE Items SET Title = 'Renamed' WHERE ItemNum = 2;"));
  ASSERT_TRUE(writer.CommitTransaction());
  ASSERT_TRUE(reader.Read({2}, read));
  ASSERT_TRUE(read[0]);
  EXPECT_EQ(read[0]->Title, "Renamed");
  EXPECT_FALSE(PageSongReader(library.folder.Path() + "/no-such.mdb").Read({1}, read));
}

TEST_F(RequestPage, WithApprovalTheSingerSeesWhatTheKJDecided) {
  Start();
  const uint16_t port = server.Port();
  const std::string body = "{\"name\":\"Ana\",\"item\":" + std::to_string(ItemOf("waterloo")) + "}";
  service.PublishRequests({}, true, false);
  const Answer sent = Send(port, "POST", "/api/request", body);
  EXPECT_EQ(sent.Json()["status"].toString(), "waiting");
  EXPECT_EQ(sent.Json()["message"].toString(), "Sent to the KJ for Ana: Waterloo");
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_TRUE(QString::fromStdString(handed[0].ClientAddress).endsWith("127.0.0.1")) << handed[0].ClientAddress;

  using State = RequestStateView::State;
  std::vector<RequestStateView> states{{"ana", "Waterloo", State::Waiting},
                                       {"Bob", "Other", State::Waiting},
                                       {"ANA", "Fernando", State::Rejected},
                                       {"Ana", "Dancing", State::Accepted}};
  for (size_t i = 0; i < RequestPageService::kMaxRequestStates; ++i) states.push_back({"Ana", "More", State::Waiting});
  service.PublishRequests(states, true, false);
  const QJsonArray mine = Send(port, "GET", "/api/queue?name=Ana").Json()["requests"].toArray();
  ASSERT_EQ(mine.size(), static_cast<qsizetype>(RequestPageService::kMaxRequestStates));
  EXPECT_EQ(mine[0].toObject()["text"].toString(), "Waiting for the KJ");
  EXPECT_EQ(mine[1].toObject()["text"].toString(), "Not tonight");
  EXPECT_EQ(mine[1].toObject()["status"].toString(), "rejected");
  EXPECT_EQ(mine[2].toObject()["text"].toString(), "Accepted");
  // A full waiting list refuses at the door; without approval the old answer.
  service.PublishRequests({}, true, true);
  EXPECT_EQ(Send(port, "POST", "/api/request", body).Status, 503);
  service.PublishRequests({}, false, true);
  EXPECT_EQ(Send(port, "POST", "/api/request", body).Json()["status"].toString(), "queued");
  EXPECT_EQ(handed.size(), 2u);
}

TEST_F(RequestPage, OnePhoneCannotTieUpTheHost) {
  service.SetClock([this] { return now; });
  HttpServerLimits limits;
  limits.IdleSeconds = 1;
  limits.ConnectionsPerAddress = 8;
  Start(limits);
  const uint16_t port = server.Port();
  const long item = ItemOf("waterloo");
  ASSERT_GT(item, 0);

  // Bodies over 4 KiB, junk and wrong types are refused without effect.
  EXPECT_EQ(Send(port, "POST", "/api/request", std::string(5000, '{')).Status, 413);
  EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":").Status, 400);
  EXPECT_EQ(Send(port, "POST", "/api/request", "[1,2]").Status, 400);
  EXPECT_EQ(Send(port, "POST", "/api/request", "{\"name\":\"a\",\"item\":\"1 OR 1=1\"}").Status, 400);
  // Another site's page, or a name that only points here, is refused;
  // so are a wild key and searches that would cost the library dearly.
  const std::string carol = "{\"name\":\"carol\",\"item\":" + std::to_string(item) + ",\"key\":1e10}";
  EXPECT_EQ(Send(port, "GET", "/", {}, "Host: evil.example:2508\r\n").Status, 421);
  EXPECT_EQ(Send(port, "GET", "/api/search?q=x", {}, "Host: localhost\r\n").Status, 200);
  EXPECT_EQ(Send(port, "POST", "/api/request", carol, "Content-Type: text/plain\r\n").Status, 415);
  EXPECT_EQ(Send(port, "POST", "/api/request", carol, "Origin: http://evil.example\r\n").Status, 403);
  EXPECT_EQ(Send(port, "GET", "/api/search?q=ab%20cd%20ef%20gh%20ij%20kl%20mn%20op%20qr").Status, 400);
  EXPECT_EQ(Send(port, "GET", "/api/search?q=_%25_%25_%25_%25_").Status, 400);
  EXPECT_TRUE(handed.empty());
  EXPECT_EQ(Send(port, "POST", "/api/request", carol,
                 "Origin: http://127.0.0.1:" + std::to_string(port) + "\r\n").Status, 200);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].Key, 4);
  handed.clear();
  now += std::chrono::seconds(61);
  // Huge headers are refused, the server stays up.
  const Answer huge = Send(port, "GET", "/api/search?q=x", {}, "X-Junk: " + std::string(64 * 1024, 'a') + "\r\n");
  EXPECT_NE(huge.Status, 200);

  // Ten requests a minute from one phone (junk is not counted), then 429
  // until the minute is over.
  const std::string body = "{\"name\":\"carol\",\"item\":" + std::to_string(item) + "}";
  for (int i = 0; i < RequestPageService::kRequestsPerMinute; ++i)
    EXPECT_EQ(Send(port, "POST", "/api/request", body).Status, 200);
  EXPECT_EQ(Send(port, "POST", "/api/request", body).Status, 429);
  now += std::chrono::seconds(61);
  EXPECT_EQ(Send(port, "POST", "/api/request", body).Status, 200);
  EXPECT_EQ(handed.size(), static_cast<size_t>(RequestPageService::kRequestsPerMinute + 1));

  // Idle connections beyond the per-address limit are not served, and idle
  // ones are closed after the time-out; then the phone is served again.
  std::vector<UniqueFd> idle;
  for (int i = 0; i < 12; ++i) idle.push_back(Connect(port));
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  int closedByServer = 0;
  for (UniqueFd& socket : idle) {
    char byte;
    if (::recv(socket.Get(), &byte, 1, 0) <= 0) ++closedByServer;
  }
  EXPECT_EQ(closedByServer, 12);
  EXPECT_EQ(Send(port, "GET", "/api/queue?name=carol").Status, 200);
}

// Phones that send a header line every so often are never idle; each must
// still have its whole request in within the deadline, or lose its slot.
TEST_F(RequestPage, SlowHeadersLoseTheirSlotsAtTheDeadline) {
  HttpServerLimits limits;
  limits.Connections = 16;
  limits.ConnectionsPerAddress = 4;
  limits.RequestSeconds = 2;
  Start(limits);
  const uint16_t port = server.Port();
  std::vector<UniqueFd> slow;
  for (int from = 2; from <= 5; ++from)
    for (int i = 0; i < 4; ++i) slow.push_back(Connect(port, from));
  const std::string line = "GET /api/search?q=x HTTP/1.1\r\nHost: localhost\r\n";
  const auto start = std::chrono::steady_clock::now();
  for (UniqueFd& socket : slow) ASSERT_GT(::send(socket.Get(), line.data(), line.size(), MSG_NOSIGNAL), 0);
  // Every 600 ms one more header, well inside the idle limit.
  for (int tick = 0; tick < 6; ++tick) {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    for (UniqueFd& socket : slow) ::send(socket.Get(), "X-Slow: 1\r\n", 11, MSG_NOSIGNAL);
  }
  int cut = 0;
  for (UniqueFd& socket : slow) {
    char byte;
    const ssize_t got = ::recv(socket.Get(), &byte, 1, MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) ++cut;
  }
  EXPECT_EQ(cut, 16) << "after " << std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - start).count() << " ms";
  EXPECT_EQ(Send(port, "GET", "/api/search?q=waterloo").Status, 200);
}

// True once `holds` does, within a few seconds.
template <typename Condition>
bool Eventually(Condition holds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!holds())
    if (std::chrono::steady_clock::now() > deadline) return false;
    else std::this_thread::yield();
  return true;
}

TEST(TurnQueue, SoManyAtOnceAndTheRestInTheOrderTheyCame) {
  TurnQueue two(2);
  std::atomic<bool> thirdRan{false};
  std::thread third;
  {
    const TurnQueue::Turn first(two), second(two);
    third = std::thread([&] {
      const TurnQueue::Turn turn(two);
      thirdRan = true;
    });
    EXPECT_TRUE(Eventually([&] { return two.Waiting() == 1; }));
    EXPECT_FALSE(thirdRan) << "a third waits while two run";
  }
  third.join();
  EXPECT_TRUE(thirdRan);

  TurnQueue one(1);
  std::vector<int> order;
  std::mutex orderLock;
  std::vector<std::thread> waiters;
  {
    const TurnQueue::Turn held(one);
    for (int i = 0; i < 4; ++i) {
      waiters.emplace_back([&, i] {
        const TurnQueue::Turn turn(one);
        std::lock_guard lock(orderLock);
        order.push_back(i);
      });
      ASSERT_TRUE(Eventually([&] { return one.Waiting() == static_cast<size_t>(i + 1); }));
    }
  }
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
}

TEST(QrCodeOfTheAddress, EncodesAndRefusesTooLongTexts) {
  const QrCode code = EncodeQrCode("http://192.168.1.20:2508/");
  EXPECT_GE(code.Size, 21);
  EXPECT_EQ(code.Dark.size(), static_cast<size_t>(code.Size * code.Size));
  EXPECT_TRUE(code.IsDark(0, 0)) << "the finder pattern's corner";
  EXPECT_EQ(EncodeQrCode(std::string(8000, 'x')).Size, 0);
}

}  // namespace
}  // namespace lyricade
