#include "leveling/background_measurer.h"

#include <unordered_set>

#include "leveling/loudness_store.h"
#include "leveling/song_measure.h"
#include "platform/db/db_connection.h"
#include "platform/media/nice_task_pool.h"

namespace lyricade {
namespace {

constexpr int kBatch = 64;

}  // namespace

BackgroundMeasurer::BackgroundMeasurer(std::string libraryPath,
                                       std::function<void(const std::string&)> onMeasured)
    : libraryPath_(std::move(libraryPath)), onMeasured_(std::move(onMeasured)) {}

BackgroundMeasurer::~BackgroundMeasurer() { Stop(); }

void BackgroundMeasurer::Start() {
  if (thread_.joinable()) return;
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
}

void BackgroundMeasurer::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BackgroundMeasurer::SetQueued(std::vector<std::string> paths) {
  {
    std::lock_guard lock(mutex_);
    queued_ = std::move(paths);
    woken_ = true;
  }
  wake_.notify_all();
}

void BackgroundMeasurer::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

MeasurerProgress BackgroundMeasurer::Progress() const {
  return MeasurerProgress{measured_.load(), left_.load(), busy_.load()};
}

std::string BackgroundMeasurer::NextSong(LoudnessStore& store, std::vector<std::string>& batch) {
  std::vector<std::string> queued;
  {
    std::lock_guard lock(mutex_);
    queued = queued_;
  }
  // A queued song is due when it has no row or its file changed since.
  for (const std::string& path : queued) {
    if (store.FindCurrent(path)) continue;
    if (!StampOf(path) && store.Find(path)) continue;  // missing, and recorded so
    return path;
  }
  if (batch.empty()) {
    batch = store.Unmeasured(kBatch);
    left_ = store.UnmeasuredCount();
  }
  if (batch.empty()) return {};
  std::string next = std::move(batch.back());
  batch.pop_back();
  return next;
}

void BackgroundMeasurer::Run() {
  LowerThreadPriority();
  DbConnection db;
  if (!db.Open(libraryPath_)) return;  // logged by the connection
  LoudnessStore store(db);
  if (!store.EnsureTable()) return;
  std::vector<std::string> batch;
  // Songs whose row could not be written (a busy database): not tried again
  // this run, so a failing write never turns into a loop.
  std::unordered_set<std::string> failed;
  MeasureOptions options;
  options.LowPriority = true;
  options.Cancel = &stop_;
  while (!stop_) {
    std::string path = NextSong(store, batch);
    while (!path.empty() && failed.count(path)) path = NextSong(store, batch);
    if (path.empty()) {
      busy_ = false;
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || woken_; });
      woken_ = false;
      continue;
    }
    busy_ = true;
    const std::optional<FileStamp> stamp = StampOf(path);
    LoudnessFigures figures;
    if (stamp) {
      figures = MeasureSong(path, options);
      if (figures.Cancelled) break;
    } else {
      figures.Reason = "the file is missing";
    }
    if (!store.Record(path, stamp.value_or(FileStamp{}), figures)) {
      failed.insert(path);
      continue;
    }
    ++measured_;
    if (left_ > 0) --left_;
    if (onMeasured_) onMeasured_(path);
  }
  busy_ = false;
}

}  // namespace lyricade
