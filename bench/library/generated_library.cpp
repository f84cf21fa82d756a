#include "generated_library.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "library/database_seed.h"
#include "library/sql_quoting.h"
#include "platform/db/db_result.h"
#include "platform/db/sqlite_handles.h"

namespace fs = std::filesystem;

namespace lyricade::bench {
namespace {

const std::vector<std::string> kTitleWords = {
    "Love",   "Me",     "Baby",    "Heart",  "Night",   "Dance",  "Girl",   "Boy",    "Time",
    "Life",   "Rain",   "Fire",    "Blue",   "Sweet",   "Home",   "Dream",  "Tonight", "Forever",
    "Crazy",  "Little", "Summer",  "Road",   "River",   "Angel",  "Star",   "Moon",   "Light",
    "Rock",   "Roll",   "Country", "Kiss",   "Rhythm",  "Soul",   "Wild",   "Lonely", "Together",
    "Always", "Never",  "Again",   "Stay",   "Hold",    "On",     "Walk",   "Run",    "Fly",
    "Free",   "World",  "City",    "Lights", "Money",   "Gold",   "Silver", "Window", "Door",
    "Train",  "Highway", "Ocean",  "Island", "Memory",  "Story",  "Song",   "Music",  "Party",
    "Friend", "Woman",  "Man",     "Shadow", "Thunder", "Storm",  "Honey",  "Sugar",  "Candy",
    "Cherry", "Rose",   "Garden",  "Paradise", "Heaven", "Hell",  "Devil",  "Jolene", "Hey",
    "Yesterday", "Tomorrow", "Morning", "Evening", "Midnight", "Again", "Every", "Breath",
    "Smile",  "Tears",  "Cry",     "Laugh",  "Alone",   "Feeling", "Good",  "Bad",    "Right",
    "Wrong",  "Wonderful", "Beautiful", "Perfect", "Simple", "Man´s", "Don´t", "Can´t", "I´m",
    "Café",   "Niño",   "Über",    "Señorita", "Déjà", "Vu",      "Noël",   "Amour",  "Corazón",
};
const std::vector<std::string> kFirstNames = {
    "John",  "Paul",   "George", "Ringo",  "Elvis",   "Dolly",  "Johnny", "Patsy",  "Willie",
    "Aretha", "Whitney", "Mariah", "Celine", "Shania", "Garth",  "Reba",   "Kenny",  "Tina",
    "Bruce", "Billy",  "Elton",  "David",  "Freddie", "Stevie", "Diana",  "Cher",   "Adele",
    "Taylor", "Katy",  "Lady",   "Bruno",  "Ed",      "Miley",  "Justin", "Alicia", "Norah",
    "Amy",   "Robbie", "Gloria", "Shakira", "Björk",  "Zoë",    "André",  "Renée",  "José",
};
const std::vector<std::string> kLastNames = {
    "Smith",  "Jones",   "Brown",   "Taylor", "Wilson", "Davies", "Evans",   "Thomas", "Johnson",
    "Roberts", "Walker", "Wright",  "Robinson", "Thompson", "White", "Hughes", "Edwards", "Green",
    "Hall",   "Wood",    "Harris",  "Lewis",  "Martin", "Jackson", "Clarke", "Clark",  "Turner",
    "Hill",   "Scott",   "Cooper",  "Morris", "Ward",   "Moore",  "King",    "Watson", "Baker",
    "Harrison", "Morgan", "Patel",  "Young",  "Allen",  "Mitchell", "James", "Anderson", "Phillips",
    "Lee",    "Bell",    "Parker",  "Davis",  "O´Brien", "Beyoncé", "Müller", "Núñez", "Ångström",
};
const std::vector<std::string> kDiscPrefixes = {"SC", "SF", "DK", "CB", "PHM", "SGB", "ZM", "AH"};
const std::vector<std::string> kComments = {"duet", "live", "multiplex", "with backing vocals",
                                            "clean", "male", "female"};

std::string Pick(std::mt19937& random, const std::vector<std::string>& from) {
  return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
}

long CountRows(const std::string& path) {
  DbResult rows;
  if (!rows.Open(path, "SELECT count(*) FROM Items;")) return -1;
  return static_cast<long>(rows.Integer(0).value_or(-1));
}

bool Generate(const std::string& path, long songs, const std::string& resourceFolder) {
  const std::string scratch = path + ".seed/";
  std::error_code error;
  fs::remove_all(scratch, error);
  fs::create_directories(scratch, error);
  if (!SeedDatabaseFiles(scratch, resourceFolder)) return false;
  sqlite3* raw = nullptr;
  if (sqlite3_open((scratch + "collections.mdb").c_str(), &raw) != SQLITE_OK) return false;
  SqliteHandle db(raw);
  sqlite3_exec(raw, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;", nullptr,
               nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(raw,
                     "INSERT INTO Items (Title, Artist, ID, Year1, SongLen, SongPath, Type1, BPM,"
                     " Comments1, CollectionNum) VALUES (?, ?, ?, ?, '', ?, 2, 0.0, ?, 1);",
                     -1, &insert, nullptr);
  StatementHandle statement(insert);
  std::mt19937 random(20261207);
  // Artists come from a fixed pool so each has many songs, as in a real
  // collection.
  std::vector<std::string> artists;
  for (int i = 0; i < 6000; ++i)
    artists.push_back(i % 7 == 0 ? "The " + Pick(random, kTitleWords) + "s"
                                 : Pick(random, kFirstNames) + " " + Pick(random, kLastNames));
  for (long n = 0; n < songs; ++n) {
    const int words = std::uniform_int_distribution<int>(1, 5)(random);
    std::string title;
    for (int w = 0; w < words; ++w) title += (w ? " " : "") + Pick(random, kTitleWords);
    const std::string artist = artists[std::uniform_int_distribution<size_t>(0, 5999)(random)];
    char id[32];
    std::snprintf(id, sizeof id, "%s%04d-%02d", Pick(random, kDiscPrefixes).c_str(),
                  std::uniform_int_distribution<int>(1, 9999)(random),
                  std::uniform_int_distribution<int>(1, 20)(random));
    const int yearNumber = std::uniform_int_distribution<int>(1940, 2026)(random);
    const std::string year = yearNumber < 1950 ? "" : std::to_string(yearNumber);
    std::string comment = std::uniform_int_distribution<int>(0, 9)(random) == 0
                              ? Pick(random, kComments)
                              : std::string();
    // Paths keep apostrophes; stored texts have them as accents.
    std::string pathTitle = title;
    for (size_t at; (at = pathTitle.find("\xC2\xB4")) != std::string::npos;)
      pathTitle.replace(at, 2, "'");
    const std::string songPath = "/home/kj/Karaoke/" + artist.substr(0, 1) + "/" + artist + "/" +
                                 id + " - " + artist + " - " + pathTitle + ".zip";
    auto bind = [&](int index, const std::string& text) {
      sqlite3_bind_text(insert, index, text.c_str(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
    };
    bind(1, title);
    bind(2, artist);
    bind(3, id);
    bind(4, year);
    bind(5, songPath);
    bind(6, comment);
    if (sqlite3_step(insert) != SQLITE_DONE) return false;
    sqlite3_reset(insert);
  }
  statement.reset();
  if (sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  db.reset();
  fs::rename(scratch + "collections.mdb", path, error);
  fs::remove_all(scratch, error);
  return !error;
}

}  // namespace

std::string BenchDataFolder() {
  const char* configured = std::getenv("LYRICADE_BENCH_DATA");
  if (configured && *configured) return std::string(configured) + "/";
  return (fs::temp_directory_path() / "lyricade-bench-library").string() + "/";
}

std::string GeneratedLibrary(long songs, const std::string& resourceFolder) {
  const std::string folder = BenchDataFolder();
  std::error_code error;
  fs::create_directories(folder, error);
  const std::string path = folder + "library-" + std::to_string(songs) + ".mdb";
  if (CountRows(path) == songs) return path;
  fs::remove(path, error);
  std::fprintf(stderr, "generating %ld songs into %s\n", songs, path.c_str());
  return Generate(path, songs, resourceFolder) ? path : std::string();
}

}  // namespace lyricade::bench
