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
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
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
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_import.h"
#include "platform/db/db_connection.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kBranches = 20;
constexpr int kDepth = 10;
constexpr int kPairsPerFolder = 100;  // 20 x 10 x 100 = 20,000 pairs

void WriteFile(const fs::path& path, const char* data, size_t size) {
  std::ofstream(path, std::ios::binary).write(data, static_cast<std::streamsize>(size));
}

// Two MPEG audio frames behind an ID3v2.4 tag with this song's texts.
TagLib::ByteVector TaggedMp3(int number) {
  TagLib::ByteVector audio;
  for (int frame = 0; frame < 2; ++frame) {
    audio.append(TagLib::ByteVector("\xFF\xFB\x90\x64", 4));
    audio.append(TagLib::ByteVector(413, static_cast<char>(number & 0x3F)));
  }
  TagLib::ByteVectorStream stream(audio);
  {
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setTitle(TagLib::String("Song Number " + std::to_string(number) + " (Caf\xC3\xA9 Mix)",
                                 TagLib::String::UTF8));
    tag->setArtist(TagLib::String("Artist " + std::to_string(number % 997), TagLib::String::UTF8));
    tag->setAlbum(TagLib::String("SC" + std::to_string(8000 + number / 15), TagLib::String::UTF8));
    tag->setYear(1960 + static_cast<unsigned>(number % 60));
    tag->setComment("generated");
    file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers);
  }
  return *stream.data();
}

// The song tree: `branches` chains of `depth` nested folders, each folder
// holding `pairs` ".mp3" + ".cdg" pairs.
bool GenerateTree(const fs::path& root, int branches = kBranches, int depth = kDepth,
                  int pairs = kPairsPerFolder) {
  std::error_code error;
  const std::string cdg(24 * 10, '\x09');
  int number = 0;
  for (int branch = 0; branch < branches; ++branch) {
    fs::path folder = root / ("Disc Set " + std::to_string(branch));
    for (int level = 0; level < depth; ++level) {
      if (level > 0) folder /= "Volume " + std::to_string(level);
      if (!fs::create_directories(folder, error) && error) return false;
      for (int pair = 0; pair < pairs; ++pair, ++number) {
        const std::string base = "SC" + std::to_string(8000 + number / 15) + "-" + std::to_string(number) +
                                 " - Artist " + std::to_string(number % 997) + " - Song " +
                                 std::to_string(number);
        const TagLib::ByteVector mp3 = TaggedMp3(number);
        WriteFile(folder / (base + ".mp3"), mp3.data(), mp3.size());
        WriteFile(folder / (base + ".cdg"), cdg.data(), cdg.size());
      }
    }
  }
  return true;
}

struct Tree {
  Tree(int branches = kBranches, int depth = kDepth, int pairs = kPairsPerFolder) {
    std::string pattern = (fs::temp_directory_path() / "lyricade-import-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return;
    folder = pattern;
    ready = GenerateTree(folder / "Songs", branches, depth, pairs);
  }
  ~Tree() {
    std::error_code ignored;
    if (!folder.empty()) fs::remove_all(folder, ignored);
  }
  fs::path folder;
  bool ready = false;
};

Tree& TheTree() {
  static Tree tree;
  return tree;
}

void Import20k(benchmark::State& state) {
  Tree& tree = TheTree();
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
  static Tree tree(40, 1, 2500);
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
