// A folder import of a large song collection, as the host's "Add Folder"
// runs it:
//   import-20k            20,000 MP3+G pairs with ID3 tags in a tree ten
//                         folders deep, imported in one transaction (ms)
//   import-longest-stall  the longest time the window would go without its
//                         events running during that import: between the
//                         start, each pump callback and the end (ms)
// The tree is generated once per run in a temporary folder and removed
// afterwards; each repetition imports it into a new library.

#include <benchmark/benchmark.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_figures.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "library/library_import.h"
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

// The song tree: kBranches chains of kDepth nested folders, each folder
// holding kPairsPerFolder ".mp3" + ".cdg" pairs.
bool GenerateTree(const fs::path& root) {
  std::error_code error;
  const std::string cdg(24 * 10, '\x09');
  int number = 0;
  for (int branch = 0; branch < kBranches; ++branch) {
    fs::path folder = root / ("Disc Set " + std::to_string(branch));
    for (int level = 0; level < kDepth; ++level) {
      if (level > 0) folder /= "Volume " + std::to_string(level);
      if (!fs::create_directories(folder, error) && error) return false;
      for (int pair = 0; pair < kPairsPerFolder; ++pair, ++number) {
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
  Tree() {
    std::string pattern = (fs::temp_directory_path() / "lyricade-import-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return;
    folder = pattern;
    ready = GenerateTree(folder / "Songs");
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
  return 0;
}
