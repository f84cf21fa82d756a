#include "app/request_desk.h"

#include <chrono>

#include "app/app_log.h"
#include "app/show.h"
#include "app/song_requests.h"
#include "library/library_database.h"
#include "library/search_index.h"

namespace lyricade {

RequestDesk::RequestDesk(Show& show, LibraryDatabase& library, std::string dataFolder, QObject* parent)
    : QObject(parent),
      show_(show),
      library_(library),
      file_(std::move(dataFolder) + kFileName),
      now_([] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
      }) {}

bool RequestDesk::Approving() const { return show_.Rotation().Options().ApproveRequests; }

bool RequestDesk::Receive(const SongRequest& request, const std::string& from) {
  if (!Approving()) return Queue(request);
  // The same lookup the queueing does, so the host sees the title and a
  // song the library does not hold never reaches the list.
  const long item = library_.FindItemByPath(request.Path);
  if (item == 0) {
    qCInfo(lcApp) << "a request for a song the library does not hold was dropped:" << request.Path.c_str();
    return false;
  }
  library_.LoadCurrentItem(item);
  const CurrentItem& found = library_.Current();
  if (!approvals_.Add({0, request.Singer, request.Path, found.Title, found.Artist, request.Key, from, now_()})) {
    qCWarning(lcApp) << "the requests list is full; a request was dropped";
    return false;
  }
  Save();
  return true;
}

bool RequestDesk::Accept(uint64_t id) {
  const std::optional<PendingRequest> request = approvals_.Accept(id);
  if (!request) return false;
  Save();
  Queue(SongRequest{request->Path, request->Singer, request->Key});
  return true;
}

bool RequestDesk::Reject(uint64_t id) {
  if (!approvals_.Reject(id)) return false;
  Save();
  return true;
}

int RequestDesk::AcceptAll() {
  const std::vector<PendingRequest> accepted = approvals_.AcceptAll();
  Save();
  for (const PendingRequest& request : accepted)
    Queue(SongRequest{request.Path, request.Singer, request.Key});
  return static_cast<int>(accepted.size());
}

void RequestDesk::Load() {
  approvals_.Load(file_);
  emit changed();
}

void RequestDesk::Save() {
  // Written before the request reaches the rotation: a crash may repeat an
  // accepted request's question, never lose a waiting one.
  if (!approvals_.Save(file_)) qCWarning(lcApp) << "the requests list could not be saved:" << file_.c_str();
  emit changed();
}

bool RequestDesk::Queue(const SongRequest& request) {
  const std::shared_ptr<const SearchIndex> index = index_ ? index_() : nullptr;
  return QueueSongRequest(show_, library_, index.get(), request);
}

}  // namespace lyricade
