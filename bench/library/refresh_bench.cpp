// A refresh of a watched collection of 100,000 song files (1,000 folders of
// 100), as the program and lyricade-library run it:
//   refresh-100k-unchanged  nothing changed since the last refresh (s)
//   refresh-100k-1k-new     1,000 new songs in a new folder (s)
//   refresh-ui-gap-max      the longest the program's event loop went
//                           between two 5 ms ticks, each reading a row of
//                           the library (every tenth writing one, as History
//                           on Play), while its background upkeep refreshed
//                           and checked 1,000 new songs (ms)
//   refresh-ui-library-wait-max  the longest one of those reads and writes
//                           took (ms): the part of a gap the library's lock
//                           is to blame for, not a busy machine's scheduler
// The medians of three runs. The tree is made once in the bench data folder
// (empty files: a refresh of unchanged files reads none of them) and reused.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/library_upkeep.h"
#include "generated_library.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_refresh.h"
#include "platform/prompts/stream_prompts.h"

namespace fs = std::filesystem;
using namespace lyricade;

namespace {

constexpr int kFolders = 1000, kPerFolder = 100, kNew = 1000;

std::string SongName(int n) {
  return "SC" + std::to_string(10000 + n) + " - Song " + std::to_string(n) + " - Artist " +
         std::to_string(n % 997) + ".mp3";
}

bool MakeTree(const fs::path& root) {
  const fs::path done = root / ".complete";
  if (fs::exists(done)) return true;
  std::error_code error;
  fs::remove_all(root, error);
  for (int f = 0; f < kFolders; ++f) {
    const fs::path folder = root / ("Disc " + std::to_string(f));
    if (!fs::create_directories(folder, error)) return false;
    for (int s = 0; s < kPerFolder; ++s) std::ofstream(folder / SongName(f * kPerFolder + s));
  }
  std::ofstream(done) << "made\n";
  return true;
}

void AddNew(const fs::path& folder) {
  fs::create_directories(folder);
  for (int s = 0; s < kNew; ++s) std::ofstream(folder / SongName(500000 + s)) << "new";
}

// Takes the new songs away again, rows and all, so the next run starts
// from the same library.
void RemoveNew(LibraryDatabase& database, const fs::path& folder) {
  std::error_code error;
  fs::remove_all(folder, error);
  const std::string below = BelowFolderCondition("SongPath", folder.string());
  database.Execute("DELETE FROM Items WHERE " + below + ";");
  database.Execute("DELETE FROM SeenFiles WHERE " + BelowFolderCondition("Path", folder.string()) + ";");
  database.Execute("DELETE FROM NeedsAttention WHERE " + BelowFolderCondition("Path", folder.string()) + ";");
}

// The processor time of the whole program: on a shared, busy machine the
// wall clock also counts the time others had the processors.
double CpuSeconds() {
  timespec now {};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const fs::path tree = fs::path(bench::BenchDataFolder()) / "refresh-tree-100k";
  QTemporaryDir data;
  if (!MakeTree(tree) || !data.isValid()) {
    std::fprintf(stderr, "bench-library-refresh: the song tree could not be made\n");
    return 1;
  }
  const std::string dataFolder = data.path().toStdString() + "/";
  std::ostringstream quiet;
  StreamPrompts prompts(quiet, {"", true, false});
  LibraryDatabase database(prompts);
  database.SetDataFolder(dataFolder);
  if (!SeedDatabaseFiles(dataFolder, LYRICADE_BENCH_RESOURCES "/") || !database.OpenLibrary() ||
      !SaveWatchedFolder(database, {tree.string(), {}})) {
    std::fprintf(stderr, "bench-library-refresh: no library\n");
    return 1;
  }
  LibraryRefresh refresh(database);
  QElapsedTimer clock;
  clock.start();
  const RefreshOutcome first = refresh.RefreshAll();
  std::printf("(first refresh: %ld songs added in %.2f s)\n", first.Added, clock.elapsed() / 1000.0);

  std::vector<double> unchanged, withNew, gaps, calls, unchangedCpu, withNewCpu;
  long unchangedSeen = 0, added = 0;
  const fs::path fresh = tree / "New Songs";
  for (int run = 0; run < 3; ++run) {
    clock.restart();
    double cpu = CpuSeconds();
    unchangedSeen = refresh.RefreshAll().Unchanged;
    unchanged.push_back(clock.nsecsElapsed() / 1e9);
    unchangedCpu.push_back(CpuSeconds() - cpu);

    AddNew(fresh);
    clock.restart();
    cpu = CpuSeconds();
    added = refresh.RefreshAll().Added;
    withNew.push_back(clock.nsecsElapsed() / 1e9);
    withNewCpu.push_back(CpuSeconds() - cpu);
    RemoveNew(database, fresh);
  }

  // The program's side: its own connection reads and writes on the event
  // loop while the upkeep works on its thread.
  database.Execute("CREATE TABLE IF NOT EXISTS BenchProbe (Written INTEGER);");
  for (int run = 0; run < 3; ++run) {
    AddNew(fresh);
    LibraryUpkeep upkeep(dataFolder);
    QElapsedTimer since;
    qint64 longest = 0, longestCall = 0;
    int tick = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
      // From one tick's start to the next: the calls' own time counts.
      longest = std::max(longest, since.nsecsElapsed());
      since.restart();
      QElapsedTimer call;
      call.start();
      database.Library().Query("SELECT Title FROM Items ORDER BY ItemNum DESC LIMIT 1;",
                               [](const DbRow&) { return false; });
      if (++tick % 10 == 0) database.Execute("INSERT INTO BenchProbe VALUES (" + std::to_string(tick) + ");");
      longestCall = std::max(longestCall, call.nsecsElapsed());
    });
    QObject::connect(&upkeep, &LibraryUpkeep::finished, &app, [&] { app.quit(); });
    ticks.start(5);
    since.start();
    upkeep.RefreshAll();
    app.exec();
    ticks.stop();
    // The gap beyond the tick's own 5 ms.
    gaps.push_back(std::max(0.0, longest / 1e6 - 5.0));
    calls.push_back(longestCall / 1e6);
    RemoveNew(database, fresh);
  }

  std::printf("refresh-100k-unchanged: %.3f s (%ld files, %.3f s of processor time)\n", Median(unchanged),
              unchangedSeen, Median(unchangedCpu));
  std::printf("refresh-100k-1k-new: %.3f s (%ld added, %.3f s of processor time)\n", Median(withNew), added,
              Median(withNewCpu));
  std::printf("refresh-ui-gap-max: %.1f ms\n", *std::max_element(gaps.begin(), gaps.end()));
  std::printf("refresh-ui-library-wait-max: %.1f ms\n", *std::max_element(calls.begin(), calls.end()));
  return 0;
}
