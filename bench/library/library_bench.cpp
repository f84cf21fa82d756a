// Library list speed and memory on generated libraries of 100,000, 500,000
// and 1,000,000 songs:
//   library-load-500k    whole library opened in title order, count known,
//                        first screen of cells read (ms)
//   library-search-100k  three-word all-fields "Match All" search as the list
//   library-search-500k  runs it with the search index ready: the index's
//                        rows opened as the list's result, counted, first
//                        screen of cells read (ms)
//   library-search-500k-statement  the same search by its statement (ms)
//   library-search-500k-p99  the 99th percentile of 200 varied searches
//                        (fields, modes, orders, one to three words) (ms)
//   library-index-build-500k  the search index built from the file (ms)
//   library-cell         one cell through the Qt model, painting a screen of
//                        40 rows at a random place in the list (us)
//   library-cell-scattered  every cell from another random row: worst case
//   library-rss-500k     resident memory of a process holding the search
//                        index and showing the whole 500,000-song library (MB)
//   library-index-build-1m, library-search-1m, library-search-1m-p99,
//   library-rss-1m       the same on 1,000,000 songs
//   library-group-1m     "Group Versions": the whole 1,000,000-song list laid
//                        out by songs with the index's help (ms)
// With --compare-sqlite3 it instead times each statement against the sqlite3
// shell running "SELECT ItemNum FROM (<statement>)" on the same file and
// prints library-vs-sqlite3 (our time / shell time, the worst statement).

#include <benchmark/benchmark.h>

#include "bench_figures.h"
#include <fcntl.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "generated_library.h"
#include "library/library_list_model.h"
#include "library/library_search.h"
#include "library/list_loader.h"
#include "library/search_index.h"
#include "library/version_layout.h"

namespace lyricade::bench {
namespace {

constexpr int kScreenRows = 40;
const char* const kSearchText = "love me baby";

std::string WholeLibrary() { return WholeLibraryStatement(SortOrder{}); }

std::string ThreeWordSearch() {
  return BuildSearchStatement(SplitSearchWords(SanitizeSearchText(kSearchText)),
                              SearchField::AllFields, MatchMode::All, SortOrder{});
}

// What the list does for one load: open, count, read the first screen.
long ShowFirstScreen(LibraryListModel& model, const std::string& path, const std::string& sql) {
  model.SetResult(OpenListResult(path, sql));
  const long rows = std::min<long>(model.RowCount(), kScreenRows);
  for (long r = 0; r < rows; ++r)
    for (int c = 0; c < LibraryListModel::kColumnCount; ++c)
      benchmark::DoNotOptimize(model.data(model.index(static_cast<int>(r), c)));
  return model.RowCount();
}

void LoadWholeLibrary(benchmark::State& state, std::string path) {
  for (auto _ : state) {
    LibraryListModel model;
    benchmark::DoNotOptimize(ShowFirstScreen(model, path, WholeLibrary()));
  }
}

void Search(benchmark::State& state, std::string path) {
  long rows = 0;
  for (auto _ : state) {
    LibraryListModel model;
    rows = ShowFirstScreen(model, path, ThreeWordSearch());
  }
  state.counters["rows"] = static_cast<double>(rows);
}

struct IndexedQuery {
  std::vector<std::string> Words;
  SearchField Field;
  MatchMode Mode;
  SortOrder Order;
};

// What the list does for a search the index answers: the rows found, opened
// as the list's result, counted, the first screen read.
long ShowIndexedSearch(LibraryListModel& model, const std::string& path, const SearchIndex& index,
                       const IndexedQuery& query) {
  auto result = std::make_shared<DbResult>();
  result->OpenKeys(path, "SELECT * FROM Items",
                   index.Search(query.Words, query.Field, query.Mode, query.Order).value_or(
                       std::vector<int64_t>{}));
  model.SetResult(std::move(result));
  const long rows = std::min<long>(model.RowCount(), kScreenRows);
  for (long r = 0; r < rows; ++r)
    for (int c = 0; c < LibraryListModel::kColumnCount; ++c)
      benchmark::DoNotOptimize(model.data(model.index(static_cast<int>(r), c)));
  return model.RowCount();
}

const SearchIndex& IndexOf(const std::string& path) {
  static std::map<std::string, std::unique_ptr<SearchIndex>> built;
  std::unique_ptr<SearchIndex>& index = built[path];
  if (!index) index = SearchIndex::Build(path);
  if (!index) {
    std::fprintf(stderr, "could not index %s\n", path.c_str());
    std::exit(1);
  }
  return *index;
}

void IndexedThreeWordSearch(benchmark::State& state, std::string path) {
  const SearchIndex& index = IndexOf(path);
  const IndexedQuery query{SplitSearchWords(SanitizeSearchText(kSearchText)),
                           SearchField::AllFields, MatchMode::All, SortOrder{}};
  long rows = 0;
  for (auto _ : state) {
    LibraryListModel model;
    rows = ShowIndexedSearch(model, path, index, query);
  }
  state.counters["rows"] = static_cast<double>(rows);
}

// Searches a KJ might type: words of the generated titles, names, IDs and
// comments, parts of words, one to three of them, over every field, mode
// and order.
std::vector<IndexedQuery> VariedQueries() {
  const std::vector<std::string> words = {
      "love",  "me",     "baby",  "heart", "night", "don't", "café",  "beyoncé", "BEYONCÉ",
      "o´brien", "john", "smith", "sc",    "sc1",   "phm",   "duet",  "live",    "19",
      "200",   "a",      "the",   "ing",   "on",    "rock",  "roll",  "müller",  "zoë",
      "[live]", "man's", "sweet home", "mp3", "songs", "x", "qu",   "ever",    "ström"};
  std::mt19937 random(21);
  std::vector<IndexedQuery> queries;
  for (int i = 0; i < 200; ++i) {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 3);
    for (int w = 0; w < count; ++w) text += (w ? " " : "") + words[random() % words.size()];
    SortOrder order;
    order.Key = static_cast<LibrarySortKey>(random() % 6);
    order.Descending = random() % 2;
    queries.push_back({SplitSearchWords(SanitizeSearchText(text)),
                       SearchFieldForChoice(kSearchFieldChoices[random() % 7]),
                       random() % 2 ? MatchMode::All : MatchMode::AtleastOne, order});
  }
  return queries;
}

// The 99th percentile of the varied searches; each iteration runs them all.
void VariedSearches(benchmark::State& state, std::string path) {
  const SearchIndex& index = IndexOf(path);
  const std::vector<IndexedQuery> queries = VariedQueries();
  std::vector<double> times;
  for (auto _ : state) {
    times.clear();
    for (const IndexedQuery& query : queries) {
      const auto start = std::chrono::steady_clock::now();
      LibraryListModel model;
      ShowIndexedSearch(model, path, index, query);
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  std::sort(times.begin(), times.end());
  state.counters["p99-ms"] = times[times.size() * 99 / 100];
  state.counters["median-ms"] = times[times.size() / 2];
}

double ProcessCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Also the processor time of both building threads together: on a busy
// machine the wall time says more about the neighbours than about the build.
void BuildIndex(benchmark::State& state, std::string path) {
  size_t bytes = 0;
  double cpu = 0;
  for (auto _ : state) {
    const double start = ProcessCpuMilliseconds();
    std::unique_ptr<SearchIndex> index = SearchIndex::Build(path);
    cpu = ProcessCpuMilliseconds() - start;
    bytes = index ? index->MemoryBytes() : 0;
  }
  state.counters["index-MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
  state.counters["cpu-ms"] = cpu;
}

// The worker's extra step for a whole-library load with "Group Versions".
void GroupVersions(benchmark::State& state, std::string path) {
  const SearchIndex& index = IndexOf(path);
  std::shared_ptr<DbResult> result = OpenListResult(path, WholeLibrary());
  const MakerPreference preference = MakerPreference::Parse("SC, SF, ZM");
  size_t songs = 0;
  for (auto _ : state) songs = LayOutVersions(*result, &index, preference)->RowCount();
  state.counters["songs"] = static_cast<double>(songs);
}

// Painting: a screen of rows at a random place in the list, every column;
// the time is per cell.
void ReadScreenCells(benchmark::State& state, std::string path) {
  LibraryListModel model;
  ShowFirstScreen(model, path, WholeLibrary());
  std::mt19937 random(7);
  std::uniform_int_distribution<int> tops(0, static_cast<int>(model.RowCount()) - kScreenRows);
  for (auto _ : state) {
    const int top = tops(random);
    for (int r = top; r < top + kScreenRows; ++r)
      for (int c = 0; c < LibraryListModel::kColumnCount; ++c)
        benchmark::DoNotOptimize(model.data(model.index(r, c)));
  }
  state.SetItemsProcessed(state.iterations() * kScreenRows * LibraryListModel::kColumnCount);
}

// The worst case: every cell from a different random row.
void ReadScatteredCells(benchmark::State& state, std::string path) {
  LibraryListModel model;
  ShowFirstScreen(model, path, WholeLibrary());
  std::mt19937 random(7);
  std::uniform_int_distribution<int> rows(0, static_cast<int>(model.RowCount()) - 1);
  int column = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.data(model.index(rows(random), column)));
    column = (column + 1) % LibraryListModel::kColumnCount;
  }
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A fresh process that holds the search index, shows the whole library and
// reports its memory.
int RssProbe(const std::string& path) {
  const SearchIndex& index = IndexOf(path);
  benchmark::DoNotOptimize(index.RowCount());
  LibraryListModel model;
  ShowFirstScreen(model, path, WholeLibrary());
  std::printf("%ld\n", ResidentKilobytes());
  return 0;
}

double ProbeResidentMegabytes(const std::string& self, const std::string& path) {
  return MedianProbedMegabytes("'" + self + "' --rss-probe '" + path + "'");
}

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The shell's wall time for the statement, output thrown away.
double ShellMilliseconds(const std::string& path, const std::string& sql) {
  std::string inner = sql;
  while (!inner.empty() && (inner.back() == ';' || inner.back() == ' ')) inner.pop_back();
  const std::string query = "SELECT ItemNum FROM (" + inner + ");";
  // Nothing of ours may sit in the buffer the child inherits.
  std::fflush(stdout);
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0) _exit(127);
    execlp("sqlite3", "sqlite3", "-batch", path.c_str(), query.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return MillisecondsSince(start);
}

double OurMilliseconds(const std::string& path, const std::string& sql) {
  const Clock::time_point start = Clock::now();
  DbResult result;
  if (!result.Open(path, sql)) return -1;
  benchmark::DoNotOptimize(result.RecordCount());
  return MillisecondsSince(start);
}

int CompareWithShell(const std::string& path100k, const std::string& path500k) {
  if (system("command -v sqlite3 >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "the sqlite3 shell is not installed\n");
    return 1;
  }
  struct Case {
    const char* Name;
    std::string Path;
    std::string Sql;
  };
  const std::vector<Case> cases = {
      {"load-500k", path500k, WholeLibrary()},
      {"search-100k", path100k, ThreeWordSearch()},
      {"search-500k", path500k, ThreeWordSearch()},
      {"title-100k", path100k,
       BuildSearchStatement({"LOVE"}, SearchField::Title, MatchMode::All, SortOrder{})},
  };
  double worst = 0;
  for (const Case& c : cases) {
    std::vector<double> ours;
    std::vector<double> shell;
    for (int i = 0; i < 5; ++i) {
      ours.push_back(OurMilliseconds(c.Path, c.Sql));
      shell.push_back(ShellMilliseconds(c.Path, c.Sql));
    }
    const double ratio = Median(ours) / Median(shell);
    std::printf("%-12s ours %8.1f ms   sqlite3 %8.1f ms   ratio %.2f\n", c.Name, Median(ours),
                Median(shell), ratio);
    worst = std::max(worst, ratio);
  }
  std::printf("library-vs-sqlite3: %.2f x\n", worst);
  return 0;
}

}  // namespace
}  // namespace lyricade::bench

int main(int argc, char** argv) {
  using namespace lyricade::bench;
  if (argc >= 3 && std::string(argv[1]) == "--rss-probe") return RssProbe(argv[2]);

  const std::string path100k = GeneratedLibrary(100000, LYRICADE_BENCH_RESOURCES);
  const std::string path500k = GeneratedLibrary(500000, LYRICADE_BENCH_RESOURCES);
  const std::string path1m = GeneratedLibrary(1000000, LYRICADE_BENCH_RESOURCES);
  if (path100k.empty() || path500k.empty() || path1m.empty()) {
    std::fprintf(stderr, "could not generate the libraries\n");
    return 1;
  }
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--compare-sqlite3") return CompareWithShell(path100k, path500k);

  QCoreApplication app(argc, argv);
  benchmark::RegisterBenchmark("library-load-500k", LoadWholeLibrary, path500k)
      ->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
  benchmark::RegisterBenchmark("library-search-100k", Search, path100k)
      ->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(5);
  benchmark::RegisterBenchmark("library-search-500k-statement", Search, path500k)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
  benchmark::RegisterBenchmark("library-index-build-500k", BuildIndex, path500k)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
  benchmark::RegisterBenchmark("library-search-500k", IndexedThreeWordSearch, path500k)
      ->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
  benchmark::RegisterBenchmark("library-search-500k-p99", VariedSearches, path500k)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
  benchmark::RegisterBenchmark("library-index-build-1m", BuildIndex, path1m)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
  benchmark::RegisterBenchmark("library-search-1m", IndexedThreeWordSearch, path1m)
      ->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
  benchmark::RegisterBenchmark("library-search-1m-p99", VariedSearches, path1m)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
  benchmark::RegisterBenchmark("library-group-1m", GroupVersions, path1m)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
  benchmark::RegisterBenchmark("library-screen", ReadScreenCells, path500k)
      ->Unit(benchmark::kMicrosecond)->Repetitions(5);
  benchmark::RegisterBenchmark("library-cell-scattered", ReadScatteredCells, path500k)
      ->Unit(benchmark::kMicrosecond)->Repetitions(5);
  benchmark::Initialize(&argc, argv);
  lyricade::bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  char self[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  const double rss = length > 0 ? ProbeResidentMegabytes(self, path500k) : -1;
  const double rss1m = length > 0 ? ProbeResidentMegabytes(self, path1m) : -1;
  // The median time of a benchmark in the unit it was registered with.
  auto inUnit = [&](const char* name, double scale) { return reporter.Seconds(name) * scale; };
  auto figure = [&](const char* name, const char* unit) {
    const double scale = std::string(unit) == "us" ? 1e6 : 1e3;
    if (reporter.Seconds(name) >= 0) std::printf("%s: %.2f %s\n", name, inUnit(name, scale), unit);
  };
  figure("library-load-500k", "ms");
  figure("library-search-100k", "ms");
  figure("library-search-500k-statement", "ms");
  figure("library-index-build-500k", "ms");
  if (reporter.Seconds("library-index-build-500k") >= 0)
    std::printf("library-index-build-500k-cpu: %.2f ms\n",
                reporter.Counter("library-index-build-500k", "cpu-ms"));
  figure("library-search-500k", "ms");
  if (reporter.Seconds("library-search-500k-p99") >= 0)
    std::printf("library-search-500k-p99: %.2f ms\n",
                reporter.Counter("library-search-500k-p99", "p99-ms"));
  if (reporter.Seconds("library-screen") >= 0)
    std::printf("library-cell: %.2f us\n", inUnit("library-screen", 1e6) /
                                              (kScreenRows * lyricade::LibraryListModel::kColumnCount));
  figure("library-cell-scattered", "us");
  std::printf("library-rss-500k: %.1f MB\n", rss);
  figure("library-index-build-1m", "ms");
  figure("library-search-1m", "ms");
  if (reporter.Seconds("library-search-1m-p99") >= 0)
    std::printf("library-search-1m-p99: %.2f ms\n", reporter.Counter("library-search-1m-p99", "p99-ms"));
  figure("library-group-1m", "ms");
  std::printf("library-rss-1m: %.1f MB\n", rss1m);
  return 0;
}
