// Library list speed and memory on generated libraries of 100,000 and
// 500,000 songs:
//   library-load-500k    whole library opened in title order, count known,
//                        first screen of cells read (ms)
//   library-search-100k  three-word all-fields "Match All" search as the list
//   library-search-500k  builds it, opened and counted (ms)
//   library-cell         one cell through the Qt model, painting a screen of
//                        40 rows at a random place in the list (us)
//   library-cell-scattered  every cell from another random row: worst case
//   library-rss-500k     resident memory of a process showing the whole
//                        500,000-song library (MB)
// With --compare-sqlite3 it instead times each statement against the sqlite3
// shell running "SELECT ItemNum FROM (<statement>)" on the same file and
// prints library-vs-sqlite3 (our time / shell time, the worst statement).

#include <benchmark/benchmark.h>

#include "bench_figures.h"
#include <fcntl.h>
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

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// A fresh process that shows the whole library and reports its memory.
int RssProbe(const std::string& path) {
  LibraryListModel model;
  ShowFirstScreen(model, path, WholeLibrary());
  std::printf("%ld\n", ResidentKilobytes());
  return 0;
}

double ProbeResidentMegabytes(const std::string& self, const std::string& path) {
  std::vector<double> samples;
  for (int i = 0; i < 5; ++i) {
    const std::string command = "'" + self + "' --rss-probe '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    long kilobytes = -1;
    if (std::fscanf(pipe, "%ld", &kilobytes) != 1) kilobytes = -1;
    pclose(pipe);
    samples.push_back(kilobytes / 1024.0);
  }
  return Median(samples);
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
  if (path100k.empty() || path500k.empty()) {
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
  benchmark::RegisterBenchmark("library-search-500k", Search, path500k)
      ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
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
  // The median time of a benchmark in the unit it was registered with.
  auto inUnit = [&](const char* name, double scale) { return reporter.Seconds(name) * scale; };
  auto figure = [&](const char* name, const char* unit) {
    const double scale = std::string(unit) == "us" ? 1e6 : 1e3;
    if (reporter.Seconds(name) >= 0) std::printf("%s: %.2f %s\n", name, inUnit(name, scale), unit);
  };
  figure("library-load-500k", "ms");
  figure("library-search-100k", "ms");
  figure("library-search-500k", "ms");
  if (reporter.Seconds("library-screen") >= 0)
    std::printf("library-cell: %.2f us\n", inUnit("library-screen", 1e6) /
                                              (kScreenRows * lyricade::LibraryListModel::kColumnCount));
  figure("library-cell-scattered", "us");
  std::printf("library-rss-500k: %.1f MB\n", rss);
  return 0;
}
