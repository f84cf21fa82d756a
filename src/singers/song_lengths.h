#pragma once
// How long each queued song plays, for the singers' wait estimates. A song's
// length comes from the library's `SongLen` text when its row has one, else
// from the file itself, measured once on a worker thread and kept in a table
// of its own in the data folder ("song-lengths.cfg": seconds, a tab, the
// path, one song a line), so a restart measures nothing twice. The UI thread
// only looks up and collects; it never opens a song file or the database.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace lyricade {

// A `SongLen` text in seconds: "HH:MM:SS", "MM:SS" or whole seconds, blanks
// around it allowed. -1 for an empty, zero ("00:00:00", the loader's
// default) or malformed text, or one past a day.
int SongLenSeconds(std::string_view text);

// The library's `SongLen` for the row holding `path`, in seconds; -1 when
// there is no such row, its text says nothing, or the database cannot be read.
int LibrarySongSeconds(const std::string& databasePath, const std::string& path);

// Files past this size are not measured: the tag library's offsets end there.
inline constexpr long long kMaximumMeasuredBytes = 2'000'000'000LL;

// The playing time of an audio file, read from its headers by the tag
// library (MP3, Ogg, FLAC, WAV and the other formats it knows); -1 for a
// streamed address, a ZIP (its song is measured when it plays), a file that
// is missing, unreadable or past kMaximumMeasuredBytes.
int MeasureSongSeconds(const std::string& path);

class SongLengths {
public:
  // Bounds: the table a data folder keeps, the songs waiting for the worker.
  static constexpr size_t kMaximumEntries = 100'000;
  static constexpr size_t kMaximumPending = 1'000;
  static constexpr int kMaximumSeconds = 24 * 3600;
  // Finds a song's length off the UI thread: -1 when it cannot be known.
  using Measure = std::function<int(const std::string& path)>;

  // `tableFile`: the kept table, read now. `measure`: by default the
  // library's row in `libraryDatabase`, else the file.
  SongLengths(std::string tableFile, std::string libraryDatabase, Measure measure = {});
  ~SongLengths();
  SongLengths(const SongLengths&) = delete;
  SongLengths& operator=(const SongLengths&) = delete;

  // The song's length in seconds, -1 while not known; an unknown song is
  // handed to the worker once (a song that cannot be measured is not asked
  // about again until the program restarts).
  int Seconds(const std::string& path);
  // A length learned elsewhere (the song graph's duration when it plays).
  void Record(const std::string& path, int seconds);
  // Takes in what the worker has measured. True when a length was added, so
  // the estimates are worth recomputing.
  bool Collect();
  // Writes the table when it changed (atomically). False when it cannot be
  // written.
  bool Save();
  // For tests: waits until the worker has nothing left to do.
  void WaitIdle();

private:
  void Load();
  void Run();

  std::string tableFile_;
  Measure measure_;
  std::unordered_map<std::string, int> seconds_;
  // Paths handed to the worker, and paths it could not measure.
  std::unordered_set<std::string> asked_;
  bool changed_ = false;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::string> pending_;
  std::vector<std::pair<std::string, int>> measured_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace lyricade
