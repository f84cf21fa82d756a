#pragma once
// Where requests from the floor arrive, from both doors (the request server
// and the singers' page), on the UI thread. With "Approve requests" off a
// request is queued at once, as always; on, it waits in the "Requests" list
// (kept in "pending-requests.txt" in the data folder) until the host accepts
// it, and only then takes the same way into the rotation.

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "remote/request_message.h"
#include "singers/request_approvals.h"

namespace lyricade {

class LibraryDatabase;
class SearchIndex;
class Show;

class RequestDesk : public QObject {
  Q_OBJECT
public:
  static constexpr const char* kFileName = "pending-requests.txt";

  RequestDesk(Show& show, LibraryDatabase& library, std::string dataFolder, QObject* parent = nullptr);

  // A request; `from` says where it came from. True when it was queued or
  // kept for the host; false when dropped (a song the library does not
  // hold, a full list).
  bool Receive(const SongRequest& request, const std::string& from);
  bool Approving() const;

  // The host's decisions: an accepted request is queued as it would have
  // been without approval. False for a request no longer waiting.
  bool Accept(uint64_t id);
  bool Reject(uint64_t id);
  int AcceptAll();

  const RequestApprovals& Approvals() const { return approvals_; }
  // Reads the waiting list the last run left (start-up).
  void Load();
  // The clock of the "when" column, in seconds since the epoch (tests).
  void SetClock(std::function<int64_t()> now) { now_ = std::move(now); }
  // The library's current search index (null while none): requests for
  // songs it does not hold are dropped without a query.
  void SetIndexSource(std::function<std::shared_ptr<const SearchIndex>()> source) { index_ = std::move(source); }

signals:
  // The waiting list or a decision changed.
  void changed();

private:
  void Save();
  bool Queue(const SongRequest& request);

  Show& show_;
  LibraryDatabase& library_;
  const std::string file_;
  RequestApprovals approvals_;
  std::function<int64_t()> now_;
  std::function<std::shared_ptr<const SearchIndex>()> index_;
};

}  // namespace lyricade
