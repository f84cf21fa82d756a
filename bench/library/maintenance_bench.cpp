// Library maintenance on a generated library of 100,000 songs:
//   maintenance-100k  "Remove Bad Song(s)" with every row selected, 1,000 of
//                     the songs missing: rows read, every file looked for,
//                     the missing rows removed in one transaction (s)
// The songs are real (empty) files in a folder tree like a host's, made once
// beside the generated library and kept; each repetition starts from a fresh
// copy of the library file.

#include <benchmark/benchmark.h>

#include "bench_figures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "generated_library.h"
#include "library/library_database.h"
#include "library/library_maintenance.h"
#include "platform/db/db_connection.h"
#include "platform/db/db_result.h"
#include "platform/prompts/scripted_prompts.h"

namespace fs = std::filesystem;

namespace lyricade::bench {
namespace {

constexpr long kSongs = 100000;
// Every this many rows one song has no file: 1,000 of 100,000.
constexpr long kMissingEvery = 100;

struct Prepared {
  std::string Library;  // the library with paths into the song tree
  std::string RunFolder;
  std::vector<long> Selection;  // every row, in the list's title order
};

// The generated library with its paths moved into a song tree under
// `folder`, and the tree made with every file but the missing ones. Each
// path gets its row number so no two rows share a file.
bool Prepare(const std::string& generated, const std::string& folder, Prepared& out) {
  out.Library = folder + "library.mdb";
  out.RunFolder = folder + "run/";
  const std::string songs = folder + "songs/";
  const std::string done = folder + "ready";
  std::error_code error;
  fs::create_directories(out.RunFolder, error);
  if (!fs::exists(done)) {
    std::fprintf(stderr, "making %ld song files under %s\n", kSongs, songs.c_str());
    fs::remove_all(songs, error);
    fs::remove(out.Library, error);
    if (!fs::copy_file(generated, out.Library, error)) return false;
    DbConnection library;
    if (!library.Open(out.Library) ||
        !library.Execute("UPDATE Items SET SongPath = '" + songs +
                         "' || substr(SongPath, 18, length(SongPath) - 21) || ' #' || ItemNum ||"
                         " '.zip';"))
      return false;
    library.Close();
    DbResult rows;
    if (!rows.Open(out.Library, "SELECT ItemNum, SongPath FROM Items;")) return false;
    for (long r = 0; rows.MoveTo(r); ++r) {
      if (rows.Integer(0).value_or(0) % kMissingEvery == 0) continue;
      const fs::path path = rows.Text(1).value_or("");
      fs::create_directories(path.parent_path(), error);
      std::ofstream file(path);
      if (!file) return false;
    }
    std::ofstream(done) << "ok\n";
  }
  DbResult order;
  if (!order.Open(out.Library, "SELECT ItemNum, Title, Artist FROM Items ORDER BY TITLE, ARTIST;"))
    return false;
  for (long r = 0; order.MoveTo(r); ++r)
    out.Selection.push_back(static_cast<long>(order.Integer(0).value_or(0)));
  return static_cast<long>(out.Selection.size()) == kSongs;
}

long CountRows(const std::string& path) {
  DbResult rows;
  if (!rows.Open(path, "SELECT count(*) FROM Items;")) return -1;
  return static_cast<long>(rows.Integer(0).value_or(-1));
}

void RemoveBadSongs(benchmark::State& state, const Prepared* prepared) {
  long removed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string library = prepared->RunFolder + LibraryDatabase::kLibraryFile;
    std::error_code error;
    fs::copy_file(prepared->Library, library, fs::copy_options::overwrite_existing, error);
    ScriptedPrompts prompts;
    LibraryDatabase database(prompts);
    database.SetDataFolder(prepared->RunFolder);
    if (error || !database.OpenLibrary()) {
      state.SkipWithError("cannot open the copied library");
      break;
    }
    LibraryMaintenance maintenance(database, prompts, {});
    prompts.QueueAnswer(PromptAnswer::Yes);
    state.ResumeTiming();

    maintenance.RemoveBadSongs(prepared->Selection);

    state.PauseTiming();
    database.Close();
    removed = kSongs - CountRows(library);
    state.ResumeTiming();
  }
  state.counters["removed"] = static_cast<double>(removed);
}

}  // namespace
}  // namespace lyricade::bench

int main(int argc, char** argv) {
  using namespace lyricade::bench;
  const std::string generated = GeneratedLibrary(kSongs, LYRICADE_BENCH_RESOURCES);
  Prepared prepared;
  if (generated.empty() ||
      !Prepare(generated, BenchDataFolder() + "maintenance-100k/", prepared)) {
    std::fprintf(stderr, "could not prepare the library and its song files\n");
    return 1;
  }
  benchmark::RegisterBenchmark("maintenance-100k", RemoveBadSongs, &prepared)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
  benchmark::Initialize(&argc, argv);
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double seconds = reporter.Seconds("maintenance-100k");
  if (seconds >= 0) std::printf("maintenance-100k: %.2f s\n", seconds);
  return 0;
}
