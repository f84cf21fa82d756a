#pragma once
// The singers' request page: a small page and its JSON interface, served to
// phones on the venue's network. Singers search the host's library (all
// fields, "Match All", the host's own search statement), send a request for
// a library item by its number (never a path: the page reveals none of the
// host's folders) and see their own queued songs.
//
// Requests are handed over exactly as the remote request server's are: a
// singer name, the item's stored path and a key, through `handOff`, which
// posts them to the UI thread. Answers run on the HTTP server's threads: the
// library is read through read-only results of their own, and the queues
// from a copy the UI thread publishes whenever the rotation changes.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "library/search_index.h"
#include "library/song_versions.h"
#include "platform/net/http_server.h"
#include "requestpage/page_song_reader.h"
#include "requestpage/turn_queue.h"

namespace lyricade {

// One singer's queue as the page shows it.
struct SingerQueueView {
  std::string Name;
  std::vector<std::string> Titles;
  // How many singers sing before this one (0 while singing) and the
  // estimated wait; -1 for a singer the rotation will not reach.
  int Position = -1;
  int WaitSeconds = -1;
  // The sentence the page shows ("You're up next!").
  std::string WaitText;
};

// A song request from the page, cleaned as network requests are.
struct PageSongRequest {
  std::string Singer;
  std::string Path;
  std::string Title;
  int Key = 0;
  std::string ClientAddress;  // the phone's
};

// A request the KJ approves, as the singer's page reports it.
struct RequestStateView {
  std::string Name;
  std::string Title;
  enum class State { Waiting, Accepted, Rejected } Status = State::Waiting;
};

class RequestPageService {
public:
  using HandOff = std::function<void(const PageSongRequest&)>;
  using Clock = std::chrono::steady_clock;

  // Song requests a phone may send in a minute before it is answered 429.
  static constexpr int kRequestsPerMinute = 10;
  // Searches a phone may send in a minute (typing sends several).
  static constexpr int kSearchesPerMinute = 120;
  static constexpr int kMaxRows = 100;
  // Versions of one song a search row lists (the song may have more).
  static constexpr size_t kMaxVersionsShown = 10;
  // Queue views a phone may ask for in a minute (the page asks every 15 s).
  static constexpr int kQueuesPerMinute = 30;
  // A search of more words, or a word with more wildcards, is refused: a
  // handful of them already finds any song.
  static constexpr size_t kMaxSearchWords = 8;
  static constexpr size_t kMaxWildcardsPerWord = 4;
  // How long one search may scan the library before it answers with what
  // it has found ("more": true).
  static constexpr std::chrono::milliseconds kSearchBudget{50};

  // `libraryPath`: the library database file; `pageFolder`: the folder of
  // the page's files ("index.html", "style.css", "app.js").
  RequestPageService(std::string libraryPath, std::string pageFolder, HandOff handOff);

  HttpResponse Handle(const HttpRequest& request);

  // The rotation's queues, from the UI thread.
  void PublishQueues(std::vector<SingerQueueView> queues);
  // The requests waiting for the KJ and what became of recent ones, with
  // whether requests wait for the KJ at all and whether their list is full
  // (then the page refuses new ones).
  void PublishRequests(std::vector<RequestStateView> requests, bool approving, bool full);
  // Requests of one singer the queue answer lists at most.
  static constexpr size_t kMaxRequestStates = 20;
  // The library's search index while it describes the file (the UI thread
  // knows), else null: searches then run the statement.
  void PublishIndex(std::shared_ptr<const SearchIndex> index);
  // The host's order of makers: a search shows each song once, its
  // preferred version first, and a request for a song without a version
  // gets that one.
  void PublishMakerPreference(MakerPreference preference);

  // The names this server answers to besides "localhost" and loopback (its
  // addresses): a page of another site, reached through a name that points
  // here, is refused.
  void SetHostNames(std::vector<std::string> names);

  // For tests: the clock the per-phone limits count with.
  void SetClock(std::function<Clock::time_point()> now) { now_ = std::move(now); }

private:
  bool NamesThisServer(const HttpRequest& request) const;
  HttpResponse File(const std::string& name, const char* type) const;
  HttpResponse Search(const HttpRequest& request);
  HttpResponse Request(const HttpRequest& request);
  HttpResponse Queue(const HttpRequest& request);
  // The preferred version of the song `item` is a version of; 0 when the
  // library has no such item or cannot be read.
  int64_t PreferredVersion(int64_t item);
  std::shared_ptr<const SearchIndex> CurrentIndex();
  MakerPreference CurrentPreference();
  // False when the phone at `address` used up its `limit` for this minute.
  bool Admit(const std::string& address, const std::string& kind, int limit);

  const std::string libraryPath_;
  PageSongReader songReader_;
  const std::string pageFolder_;
  const HandOff handOff_;
  std::function<Clock::time_point()> now_;

  std::mutex indexLock_;
  std::shared_ptr<const SearchIndex> index_;
  MakerPreference preference_;

  mutable std::mutex hostNamesLock_;
  std::vector<std::string> hostNames_;

  mutable std::mutex queuesLock_;
  std::vector<SingerQueueView> queues_;
  std::vector<RequestStateView> requests_;
  bool approving_ = false;
  bool requestsFull_ = false;

  // The phones (by LimitKey) whose search runs now: one at a time each,
  // so one phone cannot hold several of the library turns below.
  std::mutex searchingLock_;
  std::set<std::string> searching_;
  // Searches and requests read the library in turns, as many at once as
  // the processor has cores.
  TurnQueue libraryTurns_;

  // Per address and kind: the start of the current minute and the count in it.
  std::mutex limitsLock_;
  static constexpr size_t kMaxLimitEntries = 4096;
  std::map<std::string, std::pair<Clock::time_point, int>> counts_;
  Clock::time_point lastSweep_{};
};

// A singer name as the request server cleans one: control characters become
// blanks, at most 99 bytes at a character boundary; blanks at the ends go.
std::string CleanRequestSingerName(const std::string& name);

}  // namespace lyricade
