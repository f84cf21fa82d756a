#include "library/indexed_search.h"

#include <sys/resource.h>
#include <unistd.h>

#include "library/library_database.h"
#include "library/library_log.h"

namespace lyricade {

IndexedSearch::~IndexedSearch() {
  abort_ = true;
  JoinBuilder();
}

IndexedSearch::Stamp IndexedSearch::Now() const {
  return Stamp{database_.ItemsGeneration(), database_.Library().DataVersion()};
}

void IndexedSearch::JoinBuilder() {
  if (builder_.joinable()) builder_.join();
}

void IndexedSearch::Refresh() {
  if (!database_.LibraryOpen() || building_.load()) return;
  const Stamp now = Now();
  {
    std::lock_guard lock(mutex_);
    if (index_ && stamp_ == now) return;
    index_.reset();  // a stale index is never used again: let its memory go
  }
  JoinBuilder();
  building_ = true;
  abort_ = false;
  builder_ = std::thread([this, now, path = database_.LibraryPath()] {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    std::shared_ptr<const SearchIndex> built = SearchIndex::Build(path, &abort_);
    if (built) {
      std::lock_guard lock(mutex_);
      index_ = std::move(built);
      stamp_ = now;
      qCInfo(lcLibrary, "the search index holds %zu songs", index_->RowCount());
    }
    building_ = false;
  });
}

std::shared_ptr<const SearchIndex> IndexedSearch::Current() {
  if (!database_.LibraryOpen()) return nullptr;
  const Stamp now = Now();
  {
    std::lock_guard lock(mutex_);
    if (index_ && stamp_ == now) return index_;
  }
  Refresh();
  return nullptr;
}

void IndexedSearch::WaitForBuild() {
  if (builder_.joinable()) builder_.join();
}

}  // namespace lyricade
