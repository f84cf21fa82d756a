#pragma once
// Keeps a SearchIndex of the library and says when it may answer. The index
// is built on a background thread (at low priority) from its own read-only
// connection; it answers only while the file is as it was when the build
// began: no statement that writes Items has been prepared on the library
// connection since (LibraryDatabase::ItemsGeneration, which a commit bumps
// again), and no other connection or program has committed to the file
// (the library connection's data version). Otherwise searches run the
// statement and a new build starts. Every call here is the UI thread's.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "library/search_index.h"

namespace lyricade {

class LibraryDatabase;

class IndexedSearch {
public:
  explicit IndexedSearch(LibraryDatabase& database) : database_(database) {}
  IndexedSearch(const IndexedSearch&) = delete;
  IndexedSearch& operator=(const IndexedSearch&) = delete;
  // Stops a running build and waits for it.
  ~IndexedSearch();

  // Starts a build when there is no current index and none is running.
  void Refresh();
  // The index when it still describes the file; otherwise nullptr (and a
  // build starts).
  std::shared_ptr<const SearchIndex> Current();
  // Waits for a running build to end (tools and checks).
  void WaitForBuild();
  bool Building() const { return building_.load(); }

private:
  struct Stamp {
    uint64_t Generation = 0;
    int64_t Version = -1;
    bool operator==(const Stamp&) const = default;
  };
  Stamp Now() const;
  void JoinBuilder();

  LibraryDatabase& database_;
  std::mutex mutex_;  // guards index_ and stamp_ against the builder
  std::shared_ptr<const SearchIndex> index_;
  Stamp stamp_;
  std::thread builder_;
  std::atomic<bool> building_{false};
  std::atomic<bool> abort_{false};
};

}  // namespace lyricade
