#pragma once
// The songs' loudness figures in the library database, in a table of their
// own ("Loudness"), keyed by the song's path with the file's size and
// modification time: a changed file no longer matches its row and is
// measured again. A song that cannot be measured keeps a row saying so, so
// the background pass never tries it again in a loop.
//
// Numbers are stored as integers (thousandths of a LU or dB, milliseconds),
// so no locale ever changes their SQL text. One store per connection; the
// connection's thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "leveling/song_measure.h"

namespace lyricade {

class DbConnection;

struct FileStamp {
  int64_t Size = -1;
  int64_t Modified = -1;  // nanoseconds since the epoch
  bool operator==(const FileStamp&) const = default;
};
// The file's size and modification time; nothing when it is missing.
std::optional<FileStamp> StampOf(const std::string& path);

struct StoredLoudness {
  FileStamp Stamp;
  LoudnessFigures Figures;
};

class LoudnessStore {
public:
  explicit LoudnessStore(DbConnection& db) : db_(db) {}

  // Makes the table when the database has none; false when it cannot.
  bool EnsureTable();
  // The row of the path, whatever its stamp.
  std::optional<StoredLoudness> Find(const std::string& path);
  // The figures of the path when its row matches the file as it is now.
  std::optional<LoudnessFigures> FindCurrent(const std::string& path);
  bool Record(const std::string& path, const FileStamp& stamp, const LoudnessFigures& figures);
  // Library songs (Items.SongPath) that have no row yet, at most `limit`,
  // in the library's order.
  std::vector<std::string> Unmeasured(int limit);
  // How many library songs have no row yet.
  int64_t UnmeasuredCount();

private:
  DbConnection& db_;
};

}  // namespace lyricade
