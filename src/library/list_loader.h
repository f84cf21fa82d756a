#pragma once
// Opens library list statements off the UI thread. Each load runs on a
// worker thread of its own at background priority and opens its own
// DbResult; the finished result is handed to the caller's callback (on the
// worker thread), which passes it on to the UI thread. No result is ever
// shared between a worker and the UI thread while either may close it.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/db/db_result.h"

namespace lyricade {

// Opens the statement on the database file. A statement the store refuses,
// or a missing database, gives a closed result with no rows.
std::shared_ptr<DbResult> OpenListResult(const std::string& databasePath,
                                         const std::string& statement);

class ListLoader {
public:
  using Finished = std::function<void(std::shared_ptr<DbResult>)>;

  ListLoader() = default;
  ListLoader(const ListLoader&) = delete;
  ListLoader& operator=(const ListLoader&) = delete;
  // Waits for the loads still running; their callbacks still run.
  ~ListLoader();

  // Starts a worker that opens the statement and calls `finished` with the
  // result. An empty database path stands for "no database": no rows.
  void Start(const std::string& databasePath, const std::string& statement, Finished finished);
  // The same with any way of opening the result (a search answered by the
  // index opens a result of the keys it found).
  void Start(std::function<std::shared_ptr<DbResult>()> open, Finished finished);
  // Waits until every load started so far has called back.
  void WaitAll();
  int Running() const { return running_.load(); }

private:
  struct Worker {
    std::thread Thread;
    std::shared_ptr<std::atomic<bool>> Done;
  };
  void JoinFinished();

  std::mutex mutex_;
  std::vector<Worker> workers_;
  std::atomic<int> running_{0};
};

}  // namespace lyricade
