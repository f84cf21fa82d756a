#include "singers/request_approvals.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include "common/field_text.h"
#include "common/text_file.h"
#include "singers/queued_song.h"

namespace lyricade {
namespace {

constexpr const char* kHeader = "lyricade-pending-requests\t1";
constexpr size_t kFromCapacity = 64;
constexpr size_t kFields = 8;

template <typename Number>
bool Parse(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

// Cleaned fields carry no control characters, so a tab never splits one.
PendingRequest Cleaned(PendingRequest request) {
  request.Singer = SanitisedSingerName(request.Singer);
  request.Path = FieldText(request.Path, QueuedSongCapacity::Path);
  request.Title = FieldText(request.Title, QueuedSongCapacity::Title);
  request.Artist = FieldText(request.Artist, QueuedSongCapacity::Artist);
  request.From = FieldText(request.From, kFromCapacity);
  request.Key = ClampTo(request.Key, -4, 4);
  return request;
}

}  // namespace

bool RequestApprovals::Add(PendingRequest request) {
  if (Full()) return false;
  request = Cleaned(std::move(request));
  request.Id = nextId_++;
  pending_.push_back(std::move(request));
  return true;
}

void RequestApprovals::Decide(const PendingRequest& request, RequestVerdict verdict) {
  decided_.push_back({request.Singer, request.Title, verdict});
  if (decided_.size() > kMaxDecided) decided_.erase(decided_.begin());
}

std::optional<PendingRequest> RequestApprovals::Accept(uint64_t id) {
  const auto found = std::find_if(pending_.begin(), pending_.end(), [id](const auto& r) { return r.Id == id; });
  if (found == pending_.end()) return std::nullopt;
  PendingRequest request = std::move(*found);
  pending_.erase(found);
  Decide(request, RequestVerdict::Accepted);
  return request;
}

bool RequestApprovals::Reject(uint64_t id) {
  const auto found = std::find_if(pending_.begin(), pending_.end(), [id](const auto& r) { return r.Id == id; });
  if (found == pending_.end()) return false;
  Decide(*found, RequestVerdict::Rejected);
  pending_.erase(found);
  return true;
}

std::vector<PendingRequest> RequestApprovals::AcceptAll() {
  std::vector<PendingRequest> accepted = std::move(pending_);
  pending_.clear();
  for (const PendingRequest& request : accepted) Decide(request, RequestVerdict::Accepted);
  return accepted;
}

std::vector<RequestStatus> RequestApprovals::Statuses() const {
  std::vector<RequestStatus> statuses;
  statuses.reserve(pending_.size() + decided_.size());
  for (const PendingRequest& request : pending_) statuses.push_back({request.Singer, request.Title});
  statuses.insert(statuses.end(), decided_.rbegin(), decided_.rend());
  return statuses;
}

std::vector<std::string> RequestApprovals::FileLines() const {
  std::vector<std::string> lines{kHeader};
  for (const PendingRequest& r : pending_)
    lines.push_back(std::to_string(r.ReceivedAt) + "\t" + std::to_string(r.Key) + "\t" + r.From + "\t" +
                    r.Singer + "\t" + r.Title + "\t" + r.Artist + "\t" + r.Path);
  return lines;
}

void RequestApprovals::LoadFileLines(const std::vector<std::string>& lines) {
  pending_.clear();
  if (lines.empty() || lines.front() != kHeader) return;
  for (size_t i = 1; i < lines.size() && !Full(); ++i) {
    const std::vector<std::string> fields = SplitTabs(lines[i], kFields);
    if (fields.size() != 7) continue;
    PendingRequest request;
    if (!Parse(fields[0], request.ReceivedAt) || !Parse(fields[1], request.Key)) continue;
    request.From = fields[2];
    request.Singer = fields[3];
    request.Title = fields[4];
    request.Artist = fields[5];
    request.Path = fields[6];
    if (request.Singer.empty() || request.Path.empty()) continue;
    Add(std::move(request));
  }
}

bool RequestApprovals::Save(const std::string& path) const { return WriteTextLinesAtomically(path, FileLines()); }

bool RequestApprovals::Load(const std::string& path) {
  pending_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string content;
  content.resize(kMaxFileBytes + 1);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (static_cast<size_t>(in.gcount()) > kMaxFileBytes) return false;
  content.resize(static_cast<size_t>(in.gcount()));
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < content.size()) {
    size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  LoadFileLines(lines);
  return true;
}

}  // namespace lyricade
