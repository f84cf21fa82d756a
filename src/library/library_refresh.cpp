#include "library/library_refresh.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "common/folder_scanner.h"
#include "common/paired_audio.h"
#include "common/path_pieces.h"
#include "common/unique_fd.h"
#include "library/library_database.h"
#include "library/library_item_insert.h"
#include "library/library_log.h"
#include "library/needs_attention.h"
#include "library/sql_quoting.h"
#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

constexpr size_t kHeadBytes = 64 * 1024;
constexpr std::chrono::milliseconds kLongestBatch{20};
constexpr size_t kLookupsOneByOne = 5000;

struct DiskStamp {
  int64_t Size = -1;
  int64_t Modified = -1;  // nanoseconds since the epoch
  bool operator==(const DiskStamp&) const = default;
};

std::optional<DiskStamp> StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return DiskStamp{static_cast<int64_t>(info.st_size),
               static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

struct SeenFile {
  DiskStamp Stamp;
  int64_t Head = 0;  // 0: not taken
  bool Gone = false;
  bool Found = false;  // by this refresh
};

// A file that has no row of its own yet, or has one the refresh meets for
// the first time: either may be where a vanished song went.
struct Arrival {
  std::string Path;
  DiskStamp Stamp;
  bool HasRow = false;
  int64_t Head = 0;
};

bool Listable(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  return dir != nullptr;
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Below(const std::string& folder, const std::string& path) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '/';
}

std::string SeenRowStatement(const std::string& path, const DiskStamp& stamp, int64_t head) {
  return "INSERT OR REPLACE INTO SeenFiles (Path, FileSize, Modified, Head, Gone) VALUES (" + QuotedPath(path) +
         ", " + std::to_string(stamp.Size) + ", " + std::to_string(stamp.Modified) + ", " +
         std::to_string(head) + ", 0);";
}

}  // namespace

int64_t HeadHash(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return 0;
  std::string buffer(kHeadBytes, '\0');
  size_t filled = 0;
  while (filled < buffer.size()) {
    const ssize_t got = ::read(fd.Get(), buffer.data() + filled, buffer.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<size_t>(got);
  }
  // FNV-1a: quick, and two different song files share their first 64 KB
  // hash only by accident; 0 stays "not taken".
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < filled; ++i) {
    hash ^= static_cast<unsigned char>(buffer[i]);
    hash *= 1099511628211ull;
  }
  return hash == 0 ? 1 : static_cast<int64_t>(hash);
}

RefreshOutcome LibraryRefresh::RefreshAll(const RefreshHooks& hooks) {
  RefreshOutcome outcome;
  if (!database_.LibraryOpen() || !EnsureWatchedFolderTables(database_.Library()) ||
      !EnsureAttentionTable(database_.Library()))
    return outcome;
  for (const WatchedFolder& folder : ReadWatchedFolders(database_.Library())) {
    if (hooks.Abort && hooks.Abort->load()) {
      outcome.Aborted = true;
      break;
    }
    RefreshScope(folder, folder.Folder, hooks, outcome);
  }
  return outcome;
}

RefreshOutcome LibraryRefresh::RefreshFolder(const std::string& folder, const RefreshHooks& hooks) {
  RefreshOutcome outcome;
  if (!database_.LibraryOpen() || !EnsureWatchedFolderTables(database_.Library()) ||
      !EnsureAttentionTable(database_.Library()))
    return outcome;
  const std::string scope = WatchedFolderName(folder);
  if (const auto root = WatchedFolderOf(ReadWatchedFolders(database_.Library()), scope))
    RefreshScope(*root, scope, hooks, outcome);
  return outcome;
}

void LibraryRefresh::Write(const std::string& sql) {
  if (!database_.ExecuteInBatch(sql))
    qCWarning(lcLibrary, "a refresh could not write to %s: %s", database_.LibraryPath().c_str(),
              database_.Library().LastError().c_str());
  // Short batches: the program's own History write on Play waits for the
  // refresh's batch, and must not wait long enough to be felt.
  if (database_.BatchDue() || database_.BatchAge() >= kLongestBatch) database_.CommitBatch();
}

void LibraryRefresh::MoveSong(const std::string& from, const std::string& to, bool targetHasRow) {
  const std::string oldPath = QuotedPath(from), newPath = QuotedPath(to);
  // A row that names the new path already is the song's row from now on:
  // the old one goes, nothing else of the library is lost.
  if (targetHasRow)
    Write("DELETE FROM Items WHERE SongPath = " + oldPath + ";");
  else
    Write("UPDATE Items SET SongPath = " + newPath + " WHERE SongPath = " + oldPath + ";");
  // A singer with History rows at both paths keeps one, with the higher
  // count (kept as text).
  Write("UPDATE History SET Year1 = CAST(max(CAST(Year1 AS INTEGER), (SELECT CAST(o.Year1 AS INTEGER) "
        "FROM History AS o WHERE o.SongPath = " + oldPath + " AND o.Singer = History.Singer)) AS TEXT) "
        "WHERE SongPath = " + newPath + " AND Singer IN (SELECT Singer FROM History WHERE SongPath = " +
        oldPath + ");");
  Write("DELETE FROM History WHERE SongPath = " + oldPath +
        " AND Singer IN (SELECT Singer FROM History WHERE SongPath = " + newPath + ");");
  Write("UPDATE History SET SongPath = " + newPath + " WHERE SongPath = " + oldPath + ";");
  Write(MoveAttentionStatement(from, to));
  Write("DELETE FROM SeenFiles WHERE Path = " + oldPath + ";");
}

void LibraryRefresh::RefreshScope(const WatchedFolder& root, const std::string& scope,
                                  const RefreshHooks& hooks, RefreshOutcome& outcome) {
  const auto aborted = [&hooks] { return hooks.Abort && hooks.Abort->load(); };
  if (!Listable(scope)) {
    qCWarning(lcLibrary, "the watched folder %s cannot be read; its songs are left as they are",
              scope.c_str());
    outcome.Unavailable.push_back(scope);
    return;
  }
  DbConnection& library = database_.Library();
  database_.CommitBatch();

  std::unordered_map<std::string, SeenFile> seen;
  seen.reserve(1024);
  library.Query("SELECT Path, FileSize, Modified, Head, Gone FROM SeenFiles WHERE " +
                    BelowFolderCondition("Path", scope) + ";",
                [&](const DbRow& row) {
                  seen.emplace(std::string(row.Text(0).value_or("")),
                               SeenFile{{row.Integer(1), row.Integer(2)}, row.Integer(3), row.Integer(4) != 0});
                  return true;
                });
  // Only the folders are read here; each file is asked for its stamp.
  std::vector<std::pair<std::string, DiskStamp>> found;
  std::vector<std::string> unreadable;
  FolderScanHooks scan;
  scan.SkipHidden = true;
  scan.Aborted = aborted;
  outcome.Folders.push_back(scope);
  scan.FolderFound = [&outcome, &scope](const std::string& folder) {
    if (folder != scope) outcome.Folders.push_back(folder);
  };
  scan.FileFound = [&](const std::string& listed, const std::string& name) {
    std::string path = JoinPath(listed, name);
    if (const auto stamp = StampOf(path)) found.emplace_back(std::move(path), *stamp);
  };
  scan.Unreadable = [&](const std::string& folder, const std::string& error) {
    qCWarning(lcLibrary, "a refresh cannot list %s: %s", folder.c_str(), error.c_str());
    unreadable.push_back(folder);
  };
  if (!FolderScanner(std::move(scan)).Scan(scope, kImportPatterns)) {
    outcome.Aborted = true;
    return;
  }
  // An empty watched folder where files were is an unplugged drive's mount
  // point, not a collection deleted at a stroke.
  if (found.empty() && scope == root.Folder) {
    for (const auto& [path, file] : seen)
      if (!file.Gone) {
        qCWarning(lcLibrary, "the watched folder %s is empty; its songs are left as they are", scope.c_str());
        outcome.Unavailable.push_back(scope);
        return;
      }
  }

  std::vector<Arrival> arrivals;
  for (auto& [path, stamp] : found) {
    const auto known = seen.find(path);
    if (known == seen.end()) {
      arrivals.push_back({std::move(path), stamp, false, 0});
      continue;
    }
    SeenFile& file = known->second;
    file.Found = true;
    if (file.Stamp == stamp && !file.Gone) {
      ++outcome.Unchanged;
      continue;
    }
    if (file.Gone) ++outcome.Returned;
    if (!(file.Stamp == stamp)) {
      ++outcome.Changed;
      outcome.ToCheck.push_back(path);
    }
    Write(SeenRowStatement(path, stamp, file.Stamp == stamp ? file.Head : HeadHash(path)));
  }
  // Which of the files the refresh meets for the first time have a row
  // already (imported before the folder was watched): looked up one by one
  // when they are few, so an unchanged collection reads no Items at all.
  if (arrivals.size() <= kLookupsOneByOne) {
    for (Arrival& arrival : arrivals)
      library.Query("SELECT 1 FROM Items WHERE SongPath = " + QuotedPath(arrival.Path) + " LIMIT 1;",
                    [&arrival](const DbRow&) {
                      arrival.HasRow = true;
                      return false;
                    });
  } else {
    std::unordered_set<std::string> rows;
    library.Query("SELECT SongPath FROM Items WHERE " + BelowFolderCondition("SongPath", scope) + ";",
                  [&](const DbRow& row) {
                    if (const auto path = row.Text(0)) rows.emplace(*path);
                    return true;
                  });
    for (Arrival& arrival : arrivals) arrival.HasRow = rows.count(arrival.Path) > 0;
  }
  std::unordered_set<std::string> vanishedNow;
  for (const auto& [path, file] : seen) {
    if (file.Gone || file.Found) continue;
    bool listed = true;
    for (const std::string& folder : unreadable)
      if (Below(folder, path)) listed = false;
    if (!listed) continue;
    Write("UPDATE SeenFiles SET Gone = 1 WHERE Path = " + QuotedPath(path) + ";");
    vanishedNow.insert(path);
    ++outcome.Missing;
  }

  // Vanished songs of the whole watched folder that still have a row, by
  // name and size: the places a newly found file may have come from.
  std::map<std::pair<std::string, int64_t>, std::vector<std::pair<std::string, int64_t>>> vanished;
  if (!arrivals.empty())
    library.Query("SELECT Path, FileSize, Head FROM SeenFiles WHERE Gone = 1 AND " +
                      BelowFolderCondition("Path", root.Folder) +
                      " AND Path IN (SELECT SongPath FROM Items WHERE " +
                      BelowFolderCondition("SongPath", root.Folder) + ");",
                  [&](const DbRow& row) {
                    std::string path(row.Text(0).value_or(""));
                    vanished[{NameOf(path), row.Integer(1)}].emplace_back(path, row.Integer(2));
                    return true;
                  });
  std::map<std::pair<std::string, int64_t>, std::vector<Arrival*>> arrivalsByKey;
  for (Arrival& arrival : arrivals)
    if (vanished.count({NameOf(arrival.Path), arrival.Stamp.Size}))
      arrivalsByKey[{NameOf(arrival.Path), arrival.Stamp.Size}].push_back(&arrival);
  std::unordered_set<const Arrival*> moved;
  for (auto& [key, candidates] : arrivalsByKey) {
    std::vector<std::pair<std::string, int64_t>>& sources = vanished[key];
    const bool single = candidates.size() == 1 && sources.size() == 1;
    for (Arrival* arrival : candidates) {
      arrival->Head = HeadHash(arrival->Path);
      for (auto source = sources.begin(); source != sources.end(); ++source) {
        if (!single && (source->second == 0 || source->second != arrival->Head)) continue;
        MoveSong(source->first, arrival->Path, arrival->HasRow);
        moved.insert(arrival);
        ++outcome.Moved;
        if (vanishedNow.count(source->first)) --outcome.Missing;
        sources.erase(source);
        break;
      }
    }
  }

  for (const Arrival& arrival : arrivals) {
    if (aborted()) {
      outcome.Aborted = true;
      break;
    }
    if (arrival.HasRow || moved.count(&arrival)) {
      Write(SeenRowStatement(arrival.Path, arrival.Stamp, arrival.Head));
      continue;
    }
    // An Ogg, FLAC, M4A, Opus or WAV file is a song only beside its ".cdg".
    if (IsNewerPairedAudioExtension(FileExtension(arrival.Path)) && FindPairedGraphics(arrival.Path).empty())
      continue;
    if (hooks.File) hooks.File(arrival.Path);
    ImportedFields fields = ReadImportFields(arrival.Path, root.Settings.Format, !root.Settings.IgnoreTags);
    NewLibraryItem item;
    item.Title = std::move(fields.Title);
    item.Path = arrival.Path;
    item.Artist = std::move(fields.Artist);
    item.Id = std::move(fields.Id);
    item.Year = std::move(fields.Year);
    item.Comment = std::move(fields.Comment);
    Write(InsertItemStatement(item));
    Write(SeenRowStatement(arrival.Path, arrival.Stamp, arrival.Head ? arrival.Head : HeadHash(arrival.Path)));
    outcome.ToCheck.push_back(arrival.Path);
    ++outcome.Added;
  }
  if (!database_.CommitBatch())
    qCWarning(lcLibrary, "a refresh of %s could not commit its last changes", scope.c_str());
  // The log it wrote goes into the file now, on this thread, rather than in
  // the next commit of the other program (or the program's UI thread).
  if (outcome.Added + outcome.Moved > 0) library.Execute("PRAGMA wal_checkpoint(PASSIVE);", DbFailureLog::Quiet);
}

}  // namespace lyricade
