// The song manager's catalogue list on a generated catalogue of 300,000
// songs:
//   catalogue-load-300k       whole catalogue opened in title order, count
//                             known, first screen of cells (with colours and
//                             "Purchased") read (ms)
//   catalogue-search-300k     three-word search as the list builds it,
//                             opened, counted, first screen read (ms)
//   catalogue-rss-300k        resident memory of a process showing the whole
//                             catalogue (MB)
//   catalogue-purchased-check "Purchased" work per painted row over three
//                             paints of ten screens (checks per row; the
//                             output folder is listed once per load)

#include <benchmark/benchmark.h>

#include <sqlite3.h>
#include <unistd.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "catalogue/catalogue_list_model.h"
#include "catalogue/catalogue_statements.h"
#include "library/database_seed.h"
#include "library/list_loader.h"
#include "platform/db/db_connection.h"
#include "platform/db/db_result.h"

namespace fs = std::filesystem;

namespace lyricade::bench {
namespace {

constexpr long kSongs = 300000;
constexpr int kScreenRows = 40;
const char* const kSearchText = "love me baby";

const std::vector<std::string> kWords = {
    "Love",  "Me",     "Baby",   "Heart",  "Night", "Dance", "Girl",    "Boy",   "Time",
    "Life",  "Rain",   "Fire",   "Blue",   "Sweet", "Home",  "Dream",   "Crazy", "Little",
    "Summer", "Road",  "River",  "Angel",  "Star",  "Moon",  "Light",   "Rock",  "Roll",
    "Kiss",  "Soul",   "Wild",   "Lonely", "Stay",  "Hold",  "On",      "Walk",  "Free",
    "World", "City",   "Money",  "Gold",   "Train", "Ocean", "Don't",   "Can't", "Café",
    "Niño",  "Señorita", "Déjà", "Vu",     "Amour", "Corazón", "Forever", "Tonight", "Party"};
const std::vector<std::string> kNames = {"John",  "Dolly",   "Elvis", "Aretha", "Björk", "Zoë",
                                         "Smith", "Beyoncé", "Jones", "O'Brien", "Müller",
                                         "Núñez", "Parker",  "Lee",   "Brown",   "Martin"};
const std::vector<std::string> kGenres = {"Pop", "Rock", "Country", "Multiplex", "Soul", "Latin"};

std::string DataFolder() {
  const char* folder = std::getenv("LYRICADE_BENCH_DATA");
  return std::string(folder && *folder ? folder : fs::temp_directory_path().string()) +
         "/lyricade-bench-catalogue/";
}

std::string Pick(std::mt19937& random, const std::vector<std::string>& from) {
  return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
}

long CountSongs(const std::string& path) {
  DbResult rows;
  if (!rows.Open(path, "SELECT count(*) FROM Songs;")) return -1;
  return static_cast<long>(rows.Integer(0).value_or(-1));
}

// The catalogue of made-up songs, generated once and kept while it holds
// the expected number of rows.
std::string GeneratedCatalogue() {
  const std::string folder = DataFolder();
  const std::string path = folder + "songdb.mdb";
  if (fs::exists(path) && CountSongs(path) == kSongs) return path;
  fs::create_directories(folder);
  std::error_code ignored;
  fs::remove(path, ignored);
  if (!SeedDatabaseFiles(folder, LYRICADE_BENCH_RESOURCES)) return {};
  DbConnection db;
  if (!db.Open(path) || !db.BeginTransaction()) return {};
  sqlite3_stmt* insert = nullptr;
  if (sqlite3_prepare_v2(db.Handle(),
                         "INSERT INTO Songs (Trackname, Artist, Code, Comp, Price, Genre, "
                         "ActivateDate, Path) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                         -1, &insert, nullptr) != SQLITE_OK)
    return {};
  const std::vector<std::string> labels = DefaultStreamingLabels();
  std::mt19937 random(11);
  for (long i = 0; i < kSongs; ++i) {
    std::string title = Pick(random, kWords);
    for (int w = std::uniform_int_distribution<int>(0, 3)(random); w > 0; --w)
      title += " " + Pick(random, kWords);
    const std::string artist = Pick(random, kNames) + " " + Pick(random, kNames);
    char code[32];
    std::snprintf(code, sizeof code, "QK%06ld", i);
    const bool stream = i % 3 == 0;
    const std::string comp = stream ? labels[static_cast<size_t>(i % 4)] : "Quillon Downloads";
    char date[16];
    std::snprintf(date, sizeof date, "20%02ld-%02ld-%02ld", 10 + i % 15, 1 + i % 12, 1 + i % 28);
    const std::string genre = Pick(random, kGenres);
    const std::string file = std::string(code) + ".zip";
    const std::string* texts[] = {&title, &artist, nullptr, &comp};
    for (int t = 0; t < 4; ++t)
      if (texts[t]) sqlite3_bind_text(insert, t + 1, texts[t]->c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, code, -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(insert, 5, 0.99 + static_cast<double>(i % 300) / 100.0);
    sqlite3_bind_text(insert, 6, genre.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 7, date, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 8, file.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) {
      sqlite3_finalize(insert);
      return {};
    }
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  if (!db.CommitTransaction()) return {};
  return path;
}

// An output folder of a thousand ZIPs, a few of them catalogue songs.
std::string OutputFolder() {
  const std::string folder = DataFolder() + "out/";
  fs::create_directories(folder);
  for (int i = 0; i < 1000; ++i)
    std::ofstream(folder + "Someone - Something - X" + std::to_string(i) + ".zip") << "PK";
  return folder;
}

void PrepareModel(CatalogueListModel& model, const std::string& output) {
  model.SetTargetPath([output](const CatalogueSong& song) {
    return output + song.Artist + " - " + song.Title + " - " + song.Code + ".ZIP";
  });
}

// Paints a screen of rows from `top`: every cell's text and colours.
void PaintScreen(CatalogueListModel& model, long top) {
  const long end = std::min<long>(model.RowCount(), top + kScreenRows);
  for (long r = top; r < end; ++r)
    for (int c = 0; c < CatalogueListModel::kColumnCount; ++c) {
      const QModelIndex index = model.index(static_cast<int>(r), c);
      benchmark::DoNotOptimize(model.data(index, Qt::DisplayRole));
      benchmark::DoNotOptimize(model.data(index, Qt::BackgroundRole));
      benchmark::DoNotOptimize(model.data(index, Qt::ForegroundRole));
    }
}

long ShowFirstScreen(CatalogueListModel& model, const std::string& path, const std::string& sql) {
  model.SetResult(OpenListResult(path, sql));
  PaintScreen(model, 0);
  return model.RowCount();
}

void LoadWhole(benchmark::State& state, std::string path, std::string output) {
  for (auto _ : state) {
    CatalogueListModel model;
    PrepareModel(model, output);
    benchmark::DoNotOptimize(ShowFirstScreen(
        model, path, AllSongsStatement(CatalogueOrder{}, false, DefaultStreamingLabels())));
  }
}

void Search(benchmark::State& state, std::string path, std::string output) {
  long rows = 0;
  for (auto _ : state) {
    CatalogueListModel model;
    PrepareModel(model, output);
    rows = ShowFirstScreen(model, path,
                           CatalogueSearchStatement(kSearchText, CatalogueOrder{}, false,
                                                    DefaultStreamingLabels()));
  }
  state.counters["rows"] = static_cast<double>(rows);
}

int RssProbe(const std::string& path, const std::string& output) {
  CatalogueListModel model;
  PrepareModel(model, output);
  ShowFirstScreen(model, path, AllSongsStatement(CatalogueOrder{}, false, DefaultStreamingLabels()));
  std::printf("%ld\n", ResidentKilobytes());
  return 0;
}

double ProbeResidentMegabytes(const std::string& self, const std::string& path,
                              const std::string& output) {
  return MedianProbedMegabytes("'" + self + "' --rss-probe '" + path + "' '" + output + "'");
}

// "Purchased" work per painted row: ten screens at random places, each
// painted three times (scrolling back and forth repaints rows).
void PurchasedChecks(const std::string& path, const std::string& output) {
  CatalogueListModel model;
  PrepareModel(model, output);
  model.SetResult(
      OpenListResult(path, AllSongsStatement(CatalogueOrder{}, false, DefaultStreamingLabels())));
  std::mt19937 random(5);
  std::uniform_int_distribution<long> tops(0, model.RowCount() - kScreenRows);
  std::vector<long> screens;
  for (int s = 0; s < 10; ++s) screens.push_back(tops(random));
  for (int pass = 0; pass < 3; ++pass)
    for (long top : screens) PaintScreen(model, top);
  std::vector<long> rows;
  for (long top : screens)
    for (long r = top; r < top + kScreenRows; ++r) rows.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::printf("catalogue-purchased-check: %.2f checks/row (%ld checks for %zu painted rows, "
              "%d folder listings)\n",
              static_cast<double>(model.PurchasedChecks()) / static_cast<double>(rows.size()),
              model.PurchasedChecks(), rows.size(), model.Files().Listings());
}

}  // namespace
}  // namespace lyricade::bench

int main(int argc, char** argv) {
  using namespace lyricade::bench;
  if (argc >= 4 && std::string(argv[1]) == "--rss-probe") return RssProbe(argv[2], argv[3]);
  const std::string path = GeneratedCatalogue();
  if (path.empty()) {
    std::fprintf(stderr, "could not generate the catalogue\n");
    return 1;
  }
  const std::string output = OutputFolder();
  QCoreApplication app(argc, argv);
  benchmark::RegisterBenchmark("catalogue-load-300k", LoadWhole, path, output)
      ->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("catalogue-search-300k", Search, path, output)
      ->Unit(benchmark::kMillisecond)->Iterations(2);
  FigureReporter reporter;
  RunReported(argc, argv, reporter);

  char self[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  const double rss = length > 0 ? ProbeResidentMegabytes(self, path, output) : -1;
  for (const char* name : {"catalogue-load-300k", "catalogue-search-300k"})
    if (reporter.Seconds(name) >= 0) std::printf("%s: %.2f ms\n", name, reporter.Seconds(name) * 1e3);
  std::printf("catalogue-rss-300k: %.1f MB\n", rss);
  PurchasedChecks(path, output);
  return 0;
}
