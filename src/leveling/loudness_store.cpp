#include "leveling/loudness_store.h"

#include <sys/stat.h>

#include <cmath>

#include "library/sql_quoting.h"
#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

int64_t Thousandths(double value) { return std::llround(value * 1000.0); }
int64_t Milliseconds(double seconds) { return seconds < 0 ? -1 : std::llround(seconds * 1000.0); }

constexpr const char* kColumns =
    "FileSize, Modified, Measured, LoudnessMilli, PeakMilli, AudibleEndMs, CdgEndMs, Reason";

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.Size = static_cast<int64_t>(info.st_size);
  stamp.Modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return stamp;
}

bool LoudnessStore::EnsureTable() {
  return db_.Execute(
      "CREATE TABLE IF NOT EXISTS Loudness (Path TEXT PRIMARY KEY, FileSize INTEGER, "
      "Modified INTEGER, Measured INTEGER, LoudnessMilli INTEGER, PeakMilli INTEGER, "
      "AudibleEndMs INTEGER, CdgEndMs INTEGER, Reason TEXT)");
}

std::optional<StoredLoudness> LoudnessStore::Find(const std::string& path) {
  std::optional<StoredLoudness> found;
  db_.Query(std::string("SELECT ") + kColumns + " FROM Loudness WHERE Path = " + QuotedPath(path),
            [&](const DbRow& row) {
              StoredLoudness stored;
              stored.Stamp = FileStamp{row.Integer(0), row.Integer(1)};
              LoudnessFigures& f = stored.Figures;
              f.Measured = row.Integer(2) != 0;
              f.Lufs = static_cast<double>(row.Integer(3)) / 1000.0;
              f.PeakDb = static_cast<double>(row.Integer(4)) / 1000.0;
              f.AudibleEnd = static_cast<double>(row.Integer(5)) / 1000.0;
              const int64_t cdgEnd = row.Integer(6);
              f.CdgEnd = cdgEnd < 0 ? -1.0 : static_cast<double>(cdgEnd) / 1000.0;
              f.Reason = std::string(row.Text(7).value_or(""));
              found = std::move(stored);
              return false;
            });
  return found;
}

std::optional<LoudnessFigures> LoudnessStore::FindCurrent(const std::string& path) {
  std::optional<StoredLoudness> stored = Find(path);
  if (!stored) return std::nullopt;
  const std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp || !(*stamp == stored->Stamp)) return std::nullopt;
  return stored->Figures;
}

bool LoudnessStore::Record(const std::string& path, const FileStamp& stamp,
                           const LoudnessFigures& f) {
  const bool measured = f.Measured;
  const std::string sql =
      std::string("INSERT OR REPLACE INTO Loudness (Path, ") + kColumns + ") VALUES (" +
      QuotedPath(path) + ", " + std::to_string(stamp.Size) + ", " + std::to_string(stamp.Modified) +
      ", " + (measured ? "1" : "0") + ", " + std::to_string(measured ? Thousandths(f.Lufs) : 0) +
      ", " + std::to_string(measured ? Thousandths(f.PeakDb) : 0) + ", " +
      std::to_string(measured ? Milliseconds(f.AudibleEnd) : 0) + ", " +
      std::to_string(measured ? Milliseconds(f.CdgEnd) : -1) + ", " +
      QuotedPath(f.Reason.substr(0, 200)) + ")";
  return db_.Execute(sql);
}

std::vector<std::string> LoudnessStore::Unmeasured(int limit) {
  std::vector<std::string> paths;
  db_.Query("SELECT SongPath FROM Items WHERE SongPath IS NOT NULL AND SongPath <> '' "
            "AND SongPath NOT IN (SELECT Path FROM Loudness) GROUP BY SongPath ORDER BY MIN(ItemNum) LIMIT " +
                std::to_string(limit),
            [&](const DbRow& row) {
              if (auto text = row.Text(0)) paths.emplace_back(*text);
              return true;
            });
  return paths;
}

int64_t LoudnessStore::UnmeasuredCount() {
  int64_t count = 0;
  db_.Query("SELECT COUNT(DISTINCT SongPath) FROM Items WHERE SongPath IS NOT NULL AND "
            "SongPath <> '' AND SongPath NOT IN (SELECT Path FROM Loudness)",
            [&](const DbRow& row) {
              count = row.Integer(0);
              return false;
            });
  return count;
}

}  // namespace lyricade
