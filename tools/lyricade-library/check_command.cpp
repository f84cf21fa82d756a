#include "check_command.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "health/song_check.h"
#include "platform/db/db_connection.h"
#include "terminal_progress.h"

namespace lyricade {

int RunCheckCommand(const std::string& libraryPath, const std::vector<std::string>& paths, std::ostream& out,
                    std::ostream& err, const std::atomic<bool>& interrupted) {
  std::vector<std::string> songs = paths;
  if (songs.empty()) {
    DbConnection library;
    if (!library.Open(libraryPath, DbAccess::ReadOnly) ||
        !library.Query("SELECT SongPath FROM Items ORDER BY ItemNum;", [&](const DbRow& row) {
          if (const auto path = row.Text(0)) songs.emplace_back(*path);
          return true;
        })) {
      err << "lyricade-library: the library could not be read\n";
      return 1;
    }
  }
  // Decoding waits on the disk as much as on the processor: a few songs at
  // once, each bounded by its own deadline.
  const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
  std::mutex lock;
  size_t next = 0, failed = 0;
  std::vector<std::pair<size_t, std::string>> failures;
  SongCheckOptions options;
  options.Cancel = &interrupted;
  std::vector<std::thread> threads;
  for (size_t w = 0; w < workers; ++w) {
    threads.emplace_back([&] {
      for (;;) {
        size_t mine;
        {
          std::lock_guard guard(lock);
          if (next >= songs.size() || interrupted) return;
          mine = next++;
        }
        const SongCheckResult result = CheckSongPlays(songs[mine], options);
        if (result.Plays || interrupted) continue;
        std::lock_guard guard(lock);
        ++failed;
        failures.emplace_back(mine, result.Reason);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  if (interrupted) {
    err << "lyricade-library: the check was interrupted\n";
    return 1;
  }
  // In the library's order, whichever thread found them.
  std::sort(failures.begin(), failures.end());
  for (const auto& [index, reason] : failures) out << EscapeControls(songs[index]) << "\t" << reason << "\n";
  out << "Checked " << songs.size() << " songs: " << failed << (failed == 1 ? " needs" : " need") << " attention.\n";
  return 0;
}

}  // namespace lyricade
