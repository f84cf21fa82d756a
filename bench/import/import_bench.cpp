// A folder import of a large song collection, as the host's "Add Folder"
// runs it:
//   import-20k            20,000 MP3+G pairs with ID3 tags in a tree ten
//                         folders deep, imported in one transaction (ms)
//   import-longest-stall  the longest time the window would go without its
//                         events running during that import: between the
//                         start, each pump callback and the end (ms)
//   import-100k           100,000 MP3+G pairs in 40 folders imported by
//                         lyricade-library from a shell (s)
//   import-reader-wait-max  the longest a second connection (Lyricade's)
//                         waited for one read or write of the library
//                         during that import (ms)
// The trees are generated once per run in a temporary folder and removed
// afterwards; each repetition imports into a new library.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "bench_figures.h"
#include "import/song_tree.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "platform/db/db_connection.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

SongTree& TheTree() {
  static SongTree tree;
  return tree;
}

void Import20k(benchmark::State& state) {
  SongTree& tree = TheTree();
  if (!tree.ready) {
    state.SkipWithError("the song tree could not be made");
    return;
  }
  double longestStall = 0;
  long imported = 0;
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path data = tree.folder / ("data-" + std::to_string(run++));
    fs::create_directories(data);
    ScriptedPrompts prompts;
    LibraryDatabase database(prompts);
    const bool opened = SeedDatabaseFiles(data.string() + "/", LYRICADE_BENCH_RESOURCES "/") &&
                        (database.SetDataFolder(data.string() + "/"), database.OpenLibrary());
    if (!opened) {
      state.SkipWithError("no library");
      break;
    }
    LibraryImport import(database);
    Clock::time_point last;
    Clock::duration longest{};
    ImportProgress progress;
    progress.Pump = [&] {
      const Clock::time_point now = Clock::now();
      longest = std::max(longest, now - last);
      last = now;
    };
    state.ResumeTiming();

    last = Clock::now();
    imported = import.ImportFolder((tree.folder / "Songs").string(), progress);
    longest = std::max(longest, Clock::now() - last);

    state.PauseTiming();
    longestStall = std::chrono::duration<double, std::milli>(longest).count();
    database.Close();
    std::error_code ignored;
    fs::remove_all(data, ignored);
    state.ResumeTiming();
  }
  state.counters["songs"] = static_cast<double>(imported);
  state.counters["stall_ms"] = longestStall;
  if (imported != kBranches * kDepth * kPairsPerFolder) state.SkipWithError("not every song imported");
}
BENCHMARK(Import20k)->Name("import-20k")->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// lyricade-library importing 100,000 pairs while another connection, as
// Lyricade's, reads a row or writes one every 20 ms.
void Import100kFromShell(benchmark::State& state) {
  static SongTree tree(40, 1, 2500);
  if (!tree.ready) {
    state.SkipWithError("the song tree could not be made");
    return;
  }
  double longestWait = 0;
  long songs = 0;
  int run = 0, lastFailures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path data = tree.folder / ("tool-data-" + std::to_string(run++));
    fs::create_directories(data);
    if (!SeedDatabaseFiles(data.string() + "/", LYRICADE_BENCH_RESOURCES "/")) {
      state.SkipWithError("no library");
      break;
    }
    const std::string library = (data / "collections.mdb").string();
    DbConnection other;
    if (!other.Open(library) || !other.Execute("CREATE TABLE BenchProbe (Written INTEGER);")) {
      state.SkipWithError("no second connection");
      break;
    }
    std::atomic<bool> importing{true};
    Clock::duration longest{};
    int failures = 0;
    std::thread lyricade([&] {
      for (int i = 0; importing; ++i) {
        const Clock::time_point start = Clock::now();
        // A read of one row, as a lookup of Lyricade's, and a write, as its
        // History row on Play.
        const bool done =
            i % 2 == 0 ? other.Query("SELECT Title FROM Items ORDER BY ItemNum DESC LIMIT 1;",
                                     [](const DbRow&) { return true; })
                       : other.Execute("INSERT INTO BenchProbe VALUES (" + std::to_string(i) + ");");
        if (!done) ++failures;
        longest = std::max(longest, Clock::now() - start);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
    const std::string command = "'" LYRICADE_LIBRARY_TOOL "' --data-dir '" + data.string() + "' import '" +
                                (tree.folder / "Songs").string() + "' >/dev/null 2>&1";
    state.ResumeTiming();
    const int status = std::system(command.c_str());
    state.PauseTiming();
    importing = false;
    lyricade.join();
    other.Query("SELECT count(*) FROM Items;", [&](const DbRow& row) {
      songs = static_cast<long>(row.Integer(0));
      return true;
    });
    longestWait = std::chrono::duration<double, std::milli>(longest).count();
    lastFailures = failures;
    if (status != 0) state.SkipWithError("the import failed");
    std::error_code ignored;
    fs::remove_all(data, ignored);
    state.ResumeTiming();
  }
  state.counters["songs"] = static_cast<double>(songs);
  state.counters["wait_ms"] = longestWait;
  state.counters["failed"] = static_cast<double>(lastFailures);
  if (songs != 100000) state.SkipWithError("not every song imported");
}
BENCHMARK(Import100kFromShell)->Name("import-100k")->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lyricade::bench

int main(int argc, char** argv) {
  using namespace lyricade::bench;
  FigureReporter reporter;
  RunReported(argc, argv, reporter);
  const double seconds = reporter.Seconds("import-20k");
  if (seconds >= 0) {
    std::printf("import-20k: %.3f ms\n", seconds * 1e3);
    std::printf("import-longest-stall: %.3f ms\n", reporter.Counter("import-20k", "stall_ms"));
  }
  const double tool = reporter.Seconds("import-100k");
  if (tool >= 0) {
    std::printf("import-100k: %.2f s (%.0f songs)\n", tool, reporter.Counter("import-100k", "songs"));
    std::printf("import-reader-wait-max: %.1f ms (%.0f reads and writes failed)\n",
                reporter.Counter("import-100k", "wait_ms"), reporter.Counter("import-100k", "failed"));
  }
  return 0;
}
