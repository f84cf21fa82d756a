#include "requestpage/request_page_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "library/library_search.h"
#include "platform/db/db_connection.h"
#include "platform/db/db_result.h"
#include "requestpage/json_text.h"
#include "remote/request_message.h"

namespace lyricade {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

HttpResponse Json(int status, const QJsonObject& object) {
  HttpResponse response;
  response.Status = status;
  response.ContentType = "application/json; charset=utf-8";
  response.Body = QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
  return response;
}

HttpResponse Failure(int status, const char* message) {
  return Json(status, QJsonObject{{"error", message}});
}

std::string FoldAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

}  // namespace

std::string CleanRequestSingerName(const std::string& name) {
  // The request server's own rule for names from the wire, and the page's
  // blanks at the ends dropped (a phone's keyboard adds them).
  const std::string clean = WireText(name, kMaximumSingerNameBytes);
  const size_t first = clean.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
}

RequestPageService::RequestPageService(std::string libraryPath, std::string pageFolder, HandOff handOff)
    : libraryPath_(std::move(libraryPath)),
      songReader_(libraryPath_),
      pageFolder_(pageFolder.empty() || pageFolder.back() == '/' ? pageFolder : pageFolder + "/"),
      handOff_(std::move(handOff)),
      now_([] { return Clock::now(); }),
      libraryTurns_(std::thread::hardware_concurrency()) {}

void RequestPageService::PublishIndex(std::shared_ptr<const SearchIndex> index) {
  std::lock_guard lock(indexLock_);
  index_ = std::move(index);
}

void RequestPageService::PublishQueues(std::vector<SingerQueueView> queues) {
  std::lock_guard lock(queuesLock_);
  queues_ = std::move(queues);
}

void RequestPageService::PublishRequests(std::vector<RequestStateView> requests, bool approving, bool full) {
  std::lock_guard lock(queuesLock_);
  requests_ = std::move(requests);
  approving_ = approving;
  requestsFull_ = full;
}

namespace {

// A phone's IPv6 privacy addresses change often and all lie in its /64:
// limits count that network, not each address.
std::string LimitKey(const std::string& address) {
  in6_addr bytes{};
  if (address.find(':') == std::string::npos || ::inet_pton(AF_INET6, address.c_str(), &bytes) != 1)
    return address;
  if (IN6_IS_ADDR_V4MAPPED(&bytes)) return address;
  std::memset(bytes.s6_addr + 8, 0, 8);
  char text[INET6_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET6, &bytes, text, sizeof text);
  return std::string(text) + "/64";
}

}  // namespace

bool RequestPageService::Admit(const std::string& address, const std::string& kind, int limit) {
  std::lock_guard lock(limitsLock_);
  const Clock::time_point now = now_();
  const std::string key = kind + " " + LimitKey(address);
  // Old minutes are forgotten (at most once a second, not on every call);
  // while the table is full of this minute's addresses a new one waits.
  if (counts_.size() >= kMaxLimitEntries && now - lastSweep_ >= std::chrono::seconds(1)) {
    lastSweep_ = now;
    std::erase_if(counts_, [&](const auto& entry) { return now - entry.second.first >= std::chrono::minutes(1); });
  }
  if (counts_.size() >= kMaxLimitEntries && counts_.find(key) == counts_.end()) return false;
  auto& [start, count] = counts_[key];
  if (count == 0 || now - start >= std::chrono::minutes(1)) {
    start = now;
    count = 0;
  }
  if (count >= limit) return false;
  ++count;
  return true;
}

void RequestPageService::SetHostNames(std::vector<std::string> names) {
  for (std::string& name : names) name = FoldAscii(name);
  std::lock_guard lock(hostNamesLock_);
  hostNames_ = std::move(names);
}

// The Host header without its port: "[::1]:2508" is "::1", "venue:80" is
// "venue".
bool RequestPageService::NamesThisServer(const HttpRequest& request) const {
  const auto header = request.Headers.find("host");
  if (header == request.Headers.end()) return false;
  std::string host = FoldAscii(header->second);
  if (!host.empty() && host.front() == '[') {
    const size_t close = host.find(']');
    if (close == std::string::npos) return false;
    host = host.substr(1, close - 1);
  } else if (const size_t colon = host.find(':'); colon != std::string::npos &&
                                                  host.find(':', colon + 1) == std::string::npos) {
    host.resize(colon);
  }
  if (host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0) return true;
  std::lock_guard lock(hostNamesLock_);
  return std::find(hostNames_.begin(), hostNames_.end(), host) != hostNames_.end();
}

HttpResponse RequestPageService::Handle(const HttpRequest& request) {
  if (!NamesThisServer(request)) return Failure(421, "This server does not answer to that name.");
  // Only these names are ever read from disk: no path a client sends
  // reaches the file system.
  if (request.Path == "/" || request.Path == "/index.html")
    return File("index.html", "text/html; charset=utf-8");
  if (request.Path == "/style.css") return File("style.css", "text/css; charset=utf-8");
  if (request.Path == "/app.js") return File("app.js", "text/javascript; charset=utf-8");
  if (request.Path == "/api/search" || request.Path == "/api/queue") {
    if (request.Method != "GET") return Failure(405, "Use GET.");
    return request.Path == "/api/search" ? Search(request) : Queue(request);
  }
  if (request.Path == "/api/request") {
    if (request.Method != "POST") return Failure(405, "Use POST.");
    return Request(request);
  }
  return Failure(404, "Not found.");
}

HttpResponse RequestPageService::File(const std::string& name, const char* type) const {
  std::ifstream in(pageFolder_ + name, std::ios::binary);
  if (!in) return Failure(404, "Not found.");
  HttpResponse response;
  response.ContentType = type;
  response.Body.assign(std::istreambuf_iterator<char>(in), {});
  return response;
}

namespace {

// One song: its versions, the preferred first, and how many the library
// holds (more than are listed when it holds many).
struct PageSong {
  std::vector<PageVersion> Versions;
  size_t Count = 0;
};

PageVersion VersionOf(const DbResult& rows) {
  return {rows.Integer("ItemNum").value_or(0), rows.Text("Title").value_or(""), rows.Text("Artist").value_or(""),
          rows.Text("ID").value_or("")};
}

bool ReadIndexedSongs(PageSongReader& reader, const SearchIndex& index,
                      const std::vector<std::vector<int64_t>>& grouped, std::vector<PageSong>& songs) {
  std::vector<int64_t> keys;
  for (const std::vector<int64_t>& versions : grouped) keys.insert(keys.end(), versions.begin(), versions.end());
  std::vector<std::optional<PageVersion>> read;
  if (!reader.Read(keys, read)) return false;
  size_t at = 0;
  for (const std::vector<int64_t>& versions : grouped) {
    PageSong song;
    song.Count = index.VersionCount(versions.front());
    for (size_t v = 0; v < versions.size(); ++v, ++at)
      if (read[at]) song.Versions.push_back(std::move(*read[at]));
    if (!song.Versions.empty()) songs.push_back(std::move(song));
  }
  return true;
}

// Without an index: the statement's first rows, grouped among themselves.
bool ReadSearchedSongs(const std::string& libraryPath, const std::vector<std::string>& words,
                       const MakerPreference& preference, std::vector<PageSong>& songs, bool& more) {
  constexpr long kMaxRowsRead = 2000;
  DbResult rows;
  if (!rows.Open(libraryPath, BuildSearchStatement(words, SearchField::AllFields, MatchMode::All, SortOrder{})))
    return false;
  std::vector<PageVersion> read;
  std::vector<std::string> keys;
  for (bool row = rows.MoveFirst(); row && static_cast<long>(read.size()) < kMaxRowsRead; row = rows.MoveNext()) {
    read.push_back(VersionOf(rows));
    keys.push_back(SongKey(read.back().Title, read.back().Artist));
  }
  std::vector<std::vector<size_t>> grouped = GroupByKey(keys);
  more = rows.RecordCount() > kMaxRowsRead || grouped.size() > static_cast<size_t>(RequestPageService::kMaxRows);
  if (grouped.size() > static_cast<size_t>(RequestPageService::kMaxRows))
    grouped.resize(RequestPageService::kMaxRows);
  for (const std::vector<size_t>& members : grouped) {
    std::vector<std::string_view> ids;
    for (size_t member : members) ids.push_back(read[member].Id);
    PageSong song;
    song.Count = members.size();
    for (size_t at : PreferenceOrder(ids, preference)) {
      if (song.Versions.size() >= RequestPageService::kMaxVersionsShown) break;
      song.Versions.push_back(std::move(read[members[at]]));
    }
    songs.push_back(std::move(song));
  }
  return true;
}

// A row of the answer: the preferred version's fields, and every listed
// version with its maker so a singer may pick another. Written as text (a
// full answer is a hundred of these), keys in the order Qt's JSON writes
// them, so the answer reads the same as one Qt would make.
void AppendSongJson(std::string& out, const PageSong& song) {
  const PageVersion& first = song.Versions.front();
  out += "{\"artist\":";
  AppendJsonString(out, first.Artist);
  out += ",\"count\":" + std::to_string(song.Count) + ",\"id\":";
  AppendJsonString(out, first.Id);
  out += ",\"item\":" + std::to_string(first.Item) + ",\"title\":";
  AppendJsonString(out, first.Title);
  out += ",\"versions\":[";
  for (size_t v = 0; v < song.Versions.size(); ++v) {
    const PageVersion& version = song.Versions[v];
    out += v > 0 ? ",{\"id\":" : "{\"id\":";
    AppendJsonString(out, version.Id);
    out += ",\"item\":" + std::to_string(version.Item) + ",\"maker\":";
    AppendJsonString(out, MakerOf(version.Id));
    out += '}';
  }
  out += "]}";
}

}  // namespace

std::shared_ptr<const SearchIndex> RequestPageService::CurrentIndex() {
  std::lock_guard lock(indexLock_);
  return index_;
}

MakerPreference RequestPageService::CurrentPreference() {
  std::lock_guard lock(indexLock_);
  return preference_;
}

void RequestPageService::PublishMakerPreference(MakerPreference preference) {
  std::lock_guard lock(indexLock_);
  preference_ = std::move(preference);
}

int64_t RequestPageService::PreferredVersion(int64_t item) {
  const MakerPreference preference = CurrentPreference();
  if (std::shared_ptr<const SearchIndex> index = CurrentIndex()) return index->PreferredVersion(item, preference);
  // Without an index the song's versions are found by a pass over the
  // library's titles and artists (only while an index is being built).
  DbConnection connection;
  if (!connection.Open(libraryPath_, DbAccess::ReadOnly)) return 0;
  std::string key;
  connection.Query("SELECT Title, Artist FROM Items WHERE ItemNum = " + std::to_string(item) + ";",
                   [&](const DbRow& row) {
                     key = SongKey(row.Text(0).value_or(""), row.Text(1).value_or(""));
                     return false;
                   });
  if (key.empty()) return item;  // no such row (then 404 later), or a song of its own
  std::vector<int64_t> items;
  std::vector<std::string> ids;
  connection.Query("SELECT ItemNum, Title, Artist, ID FROM Items ORDER BY ItemNum;", [&](const DbRow& row) {
    if (SongKey(row.Text(1).value_or(""), row.Text(2).value_or("")) == key) {
      items.push_back(row.Integer(0));
      ids.emplace_back(row.Text(3).value_or(""));
    }
    return true;
  });
  if (items.empty()) return item;
  const std::vector<std::string_view> views(ids.begin(), ids.end());
  return items[PreferenceOrder(views, preference).front()];
}

HttpResponse RequestPageService::Search(const HttpRequest& request) {
  if (!Admit(request.ClientAddress, "search", kSearchesPerMinute))
    return Failure(429, "Too many searches; wait a moment.");
  const std::string phone = LimitKey(request.ClientAddress);
  {
    std::lock_guard lock(searchingLock_);
    if (!searching_.insert(phone).second) return Failure(429, "One search at a time, please.");
  }
  struct Done {
    RequestPageService& service;
    const std::string& phone;
    ~Done() {
      std::lock_guard lock(service.searchingLock_);
      service.searching_.erase(phone);
    }
  } done{*this, phone};
  const auto text = request.Query.find("q");
  std::vector<PageSong> foundSongs;
  bool more = false;
  const std::string sanitized = text == request.Query.end() ? std::string() : SanitizeSearchText(text->second);
  if (sanitized.find_first_not_of(' ') != std::string::npos) {
    const std::vector<std::string> words = SplitSearchWords(sanitized);
    if (words.size() > kMaxSearchWords) return Failure(400, "Use at most 8 words.");
    for (const std::string& word : words)
      if (static_cast<size_t>(std::count_if(word.begin(), word.end(), [](char c) { return c == '%' || c == '_'; })) >
          kMaxWildcardsPerWord)
        return Failure(400, "Use fewer wildcards.");
    // The search's time limit starts with its turn.
    const TurnQueue::Turn turn(libraryTurns_);
    std::shared_ptr<const SearchIndex> index = CurrentIndex();
    const MakerPreference preference = CurrentPreference();
    // The index gives the statement's rows in its order and each one's
    // song; only the versions the page shows are read from the file.
    std::optional<std::vector<int64_t>> found;
    SearchBudget budget{std::chrono::steady_clock::now() + kSearchBudget};
    if (index) found = index->Search(words, SearchField::AllFields, MatchMode::All, SortOrder{}, &budget);
    bool read = false;
    if (found) {
      std::vector<std::vector<int64_t>> grouped =
          index->Songs(*found, preference, static_cast<size_t>(kMaxRows) + 1, kMaxVersionsShown);
      more = grouped.size() > static_cast<size_t>(kMaxRows) || budget.CutShort;
      if (grouped.size() > static_cast<size_t>(kMaxRows)) grouped.resize(kMaxRows);
      read = ReadIndexedSongs(songReader_, *index, grouped, foundSongs);
    } else {
      read = ReadSearchedSongs(libraryPath_, words, preference, foundSongs, more);
    }
    if (!read) return Failure(503, "The song library cannot be read now.");
  }
  HttpResponse response;
  response.ContentType = "application/json; charset=utf-8";
  response.Body = more ? "{\"more\":true,\"songs\":[" : "{\"more\":false,\"songs\":[";
  for (size_t i = 0; i < foundSongs.size(); ++i) {
    if (i > 0) response.Body += ',';
    AppendSongJson(response.Body, foundSongs[i]);
  }
  response.Body += "]}";
  return response;
}

HttpResponse RequestPageService::Request(const HttpRequest& request) {
  // A form or a script of another site cannot queue songs: browsers send
  // JSON across sites only after asking, and always name their origin.
  const auto type = request.Headers.find("content-type");
  if (type == request.Headers.end() || FoldAscii(type->second).rfind("application/json", 0) != 0)
    return Failure(415, "Send the request as JSON.");
  if (const auto origin = request.Headers.find("origin"); origin != request.Headers.end()) {
    const auto host = request.Headers.find("host");
    if (host == request.Headers.end() || FoldAscii(origin->second) != "http://" + FoldAscii(host->second))
      return Failure(403, "Requests come from the request page only.");
  }
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(request.Body), &error);
  if (error.error != QJsonParseError::NoError || !document.isObject())
    return Failure(400, "The request was not understood.");
  const QJsonObject fields = document.object();
  const std::string singer = CleanRequestSingerName(fields.value("name").toString().toStdString());
  if (singer.empty()) return Failure(400, "Please enter your name.");
  // "item" names one version; "song" names any version of a song and asks
  // for the host's preferred one.
  const bool anyVersion = fields.contains("song");
  const double chosen = fields.value(anyVersion ? "song" : "item").toDouble(-1);
  if (chosen < 1 || chosen > 9e15 || chosen != static_cast<double>(static_cast<int64_t>(chosen)))
    return Failure(400, "Please choose a song.");
  // Any number is a key: 1e10 is as high as the key goes.
  const double wantedKey = fields.value("key").toDouble(0);
  const int key = std::isnan(wantedKey) ? 0 : static_cast<int>(std::clamp(wantedKey, -4.0, 4.0));
  // Well-formed requests count against the phone's minute; junk costs
  // nothing to refuse.
  if (!Admit(request.ClientAddress, "request", kRequestsPerMinute))
    return Failure(429, "Too many requests from this phone; try again in a minute.");
  bool approving = false;
  {
    std::lock_guard lock(queuesLock_);
    if (approving_ && requestsFull_) return Failure(503, "The KJ has too many requests waiting; try again later.");
    approving = approving_;
  }

  const TurnQueue::Turn turn(libraryTurns_);
  const int64_t item = anyVersion ? PreferredVersion(static_cast<int64_t>(chosen)) : static_cast<int64_t>(chosen);
  if (item < 1) return Failure(404, "That song is no longer in the library.");
  DbResult rows;
  if (!rows.Open(libraryPath_, "SELECT * FROM Items WHERE ItemNum = " +
                                   std::to_string(item) + ";"))
    return Failure(503, "The song library cannot be read now.");
  if (!rows.MoveFirst()) return Failure(404, "That song is no longer in the library.");
  PageSongRequest song{singer, rows.Text("SongPath").value_or(""), rows.Text("Title").value_or(""), key,
                       request.ClientAddress};
  if (song.Path.empty()) return Failure(404, "That song is no longer in the library.");
  handOff_(song);
  if (approving)
    return Json(200, QJsonObject{{"message", Q("Sent to the KJ for " + singer + ": " + song.Title)},
                                 {"status", "waiting"}});
  return Json(200, QJsonObject{{"message", Q("Queued for " + singer + ": " + song.Title)}, {"status", "queued"}});
}

HttpResponse RequestPageService::Queue(const HttpRequest& request) {
  if (!Admit(request.ClientAddress, "queue", kQueuesPerMinute))
    return Failure(429, "Too many questions; wait a moment.");
  const auto name = request.Query.find("name");
  const std::string singer = name == request.Query.end() ? std::string() : CleanRequestSingerName(name->second);
  QJsonArray titles;
  QJsonArray requests;
  int position = -1, waitSeconds = -1;
  std::string waitText;
  if (!singer.empty()) {
    const std::string folded = FoldAscii(singer);
    std::lock_guard lock(queuesLock_);
    for (const RequestStateView& state : requests_) {
      if (requests.size() >= static_cast<qsizetype>(kMaxRequestStates)) break;
      if (FoldAscii(state.Name) != folded) continue;
      using State = RequestStateView::State;
      const char* status = state.Status == State::Waiting    ? "waiting"
                           : state.Status == State::Accepted ? "accepted"
                                                             : "rejected";
      const char* text = state.Status == State::Waiting    ? "Waiting for the KJ"
                         : state.Status == State::Accepted ? "Accepted"
                                                           : "Not tonight";
      requests.append(QJsonObject{{"title", Q(state.Title)}, {"status", status}, {"text", text}});
    }
    for (const SingerQueueView& queue : queues_) {
      if (FoldAscii(queue.Name) != folded) continue;
      for (const std::string& title : queue.Titles) titles.append(Q(title));
      position = queue.Position;
      waitSeconds = queue.WaitSeconds;
      waitText = queue.WaitText;
      break;
    }
  }
  return Json(200, QJsonObject{{"name", Q(singer)},
                               {"songs", titles},
                               {"position", position},
                               {"waitSeconds", waitSeconds},
                               {"waitText", Q(waitText)},
                               {"requests", requests}});
}

}  // namespace lyricade
