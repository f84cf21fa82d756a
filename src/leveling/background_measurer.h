#pragma once
// The background pass that measures the library's songs: one thread at the
// lowest priority with a connection of its own to the library database.
// Songs the host queued in the rotation come first (so the next songs are
// measured before their turn), then every library song that has no row
// yet, in the library's order, so the pass picks up where it left off after
// a restart. A song that cannot be measured gets its row all the same and is
// never tried again in a loop. The host never waits for it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lyricade {

struct MeasurerProgress {
  int64_t Measured = 0;  // songs measured (or found unmeasurable) this run
  int64_t Left = -1;     // library songs without figures; -1 until counted
  bool Busy = false;
};

class BackgroundMeasurer {
public:
  // `libraryPath`: the library database file. `onMeasured` runs on the
  // measurer's thread after each row is written, with the song's path.
  explicit BackgroundMeasurer(std::string libraryPath,
                              std::function<void(const std::string&)> onMeasured = {});
  ~BackgroundMeasurer();
  BackgroundMeasurer(const BackgroundMeasurer&) = delete;
  BackgroundMeasurer& operator=(const BackgroundMeasurer&) = delete;

  void Start();
  // Ends the song being measured and joins the thread.
  void Stop();
  // The rotation's queued songs, next first; replaces the earlier list.
  void SetQueued(std::vector<std::string> paths);
  // New songs may be in the library (an import committed).
  void Wake();
  MeasurerProgress Progress() const;

private:
  void Run();
  // The next song due, or empty when there is none.
  std::string NextSong(class LoudnessStore& store, std::vector<std::string>& batch);

  std::string libraryPath_;
  std::function<void(const std::string&)> onMeasured_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::string> queued_;
  bool woken_ = true;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> measured_{0};
  std::atomic<int64_t> left_{-1};
  std::atomic<bool> busy_{false};
  std::thread thread_;
};

}  // namespace lyricade
