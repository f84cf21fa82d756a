#pragma once
// Requests the KJ approves: with "Approve requests" on, a request from the
// floor waits here until the host accepts or rejects it. The waiting list
// survives a restart in a file of its own; what became of recent requests
// is kept for the singers' page. Requests are hostile input: every field is
// cut to its field's size and blanked of control characters, and the
// waiting list holds at most kMaxPending of them (a full list refuses).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lyricade {

struct PendingRequest {
  uint64_t Id = 0;  // given by the list, unique while the program runs
  std::string Singer;
  std::string Path;  // the song's SongPath, as stored in the library
  std::string Title;
  std::string Artist;
  int Key = 0;  // half steps, -4 to 4
  // Where it came from ("Request page 10.0.0.7", "Request client").
  std::string From;
  int64_t ReceivedAt = 0;  // seconds since the epoch
};

enum class RequestVerdict { Waiting, Accepted, Rejected };

// One request as the singer's page reports it.
struct RequestStatus {
  std::string Singer;
  std::string Title;
  RequestVerdict Verdict = RequestVerdict::Waiting;
};

class RequestApprovals {
public:
  static constexpr size_t kMaxPending = 200;
  // Decisions remembered for the page (newest kept).
  static constexpr size_t kMaxDecided = 200;
  // A list file larger than this is not read (it cannot be one of ours).
  static constexpr size_t kMaxFileBytes = 1 << 20;

  // Cleans and keeps the request; false (nothing kept) when the list is full.
  bool Add(PendingRequest request);
  const std::vector<PendingRequest>& Pending() const { return pending_; }
  bool Full() const { return pending_.size() >= kMaxPending; }

  // Takes the request out of the list; nothing for an unknown id.
  std::optional<PendingRequest> Accept(uint64_t id);
  bool Reject(uint64_t id);
  // Every waiting request, oldest first.
  std::vector<PendingRequest> AcceptAll();

  // Waiting requests first (oldest first), then decisions (newest first).
  std::vector<RequestStatus> Statuses() const;

  // The list file: one tab-separated line per waiting request after a
  // header line. Loading replaces the waiting list; lines that are not ours
  // are passed over, and at most kMaxPending are taken.
  std::vector<std::string> FileLines() const;
  void LoadFileLines(const std::vector<std::string>& lines);
  bool Save(const std::string& path) const;
  // False when the file is missing or too large (the list stays empty).
  bool Load(const std::string& path);

private:
  void Decide(const PendingRequest& request, RequestVerdict verdict);

  std::vector<PendingRequest> pending_;
  std::vector<RequestStatus> decided_;  // oldest first
  uint64_t nextId_ = 1;
};

}  // namespace lyricade
