#include "health/song_batch_check.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace lyricade {

std::vector<CheckedSong> CheckSongs(const std::vector<std::string>& paths, const SongCheckOptions& options,
                                    size_t threads, const std::function<void(size_t done)>& progress) {
  // Decoding waits on the disk as much as on the processor: a few songs at
  // once.
  const size_t workers = std::clamp<size_t>(std::min<size_t>(threads, paths.size()), 1, 16);
  const auto cancelled = [&options] { return options.Cancel && options.Cancel->load(); };
  std::mutex lock;
  size_t next = 0, done = 0;
  std::vector<CheckedSong> results;
  results.reserve(paths.size());
  std::vector<std::thread> running;
  for (size_t w = 0; w < workers; ++w) {
    running.emplace_back([&] {
      for (;;) {
        size_t mine;
        {
          std::lock_guard guard(lock);
          if (next >= paths.size() || cancelled()) return;
          mine = next++;
        }
        SongCheckResult result = CheckSongPlays(paths[mine], options);
        if (cancelled()) return;
        size_t count;
        {
          std::lock_guard guard(lock);
          results.push_back({mine, std::move(result)});
          count = ++done;
        }
        if (progress) progress(count);
      }
    });
  }
  for (std::thread& thread : running) thread.join();
  std::sort(results.begin(), results.end(),
            [](const CheckedSong& a, const CheckedSong& b) { return a.Index < b.Index; });
  return results;
}

}  // namespace lyricade
