#include "library/list_loader.h"

#include <sys/resource.h>
#include <unistd.h>

namespace lyricade {
namespace {

// Background priority: the UI thread stays responsive while a large result
// opens. Linux gives each thread its own nice value.
void LowerThisThreadsPriority() { setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10); }

}  // namespace

std::shared_ptr<DbResult> OpenListResult(const std::string& databasePath,
                                         const std::string& statement) {
  auto result = std::make_shared<DbResult>();
  if (!databasePath.empty()) result->Open(databasePath, statement);
  return result;
}

ListLoader::~ListLoader() { WaitAll(); }

void ListLoader::Start(const std::string& databasePath, const std::string& statement,
                       Finished finished) {
  Start([databasePath, statement] { return OpenListResult(databasePath, statement); },
        std::move(finished));
}

void ListLoader::Start(std::function<std::shared_ptr<DbResult>()> open, Finished finished) {
  JoinFinished();
  auto done = std::make_shared<std::atomic<bool>>(false);
  ++running_;
  std::thread thread([this, open = std::move(open), finished = std::move(finished), done] {
    LowerThisThreadsPriority();
    std::shared_ptr<DbResult> result = open();
    finished(std::move(result));
    --running_;
    done->store(true);
  });
  std::lock_guard lock(mutex_);
  workers_.push_back(Worker{std::move(thread), std::move(done)});
}

void ListLoader::WaitAll() {
  std::vector<Worker> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (Worker& worker : workers)
    if (worker.Thread.joinable()) worker.Thread.join();
}

void ListLoader::JoinFinished() {
  std::lock_guard lock(mutex_);
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->Done->load()) {
      it->Thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace lyricade
