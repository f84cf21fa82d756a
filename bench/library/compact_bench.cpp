// "lyricade-library compact" on a 100,000-song library while another
// connection (Lyricade's) has it open:
//   compact-while-open  1 when the compaction succeeded and a write and a
//                       read on the other connection then succeed and see
//                       every song, else 0
//   compact-100k        the compaction's time from a shell (s)
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "generated_library.h"
#include "platform/db/db_connection.h"

using namespace lyricade;

int main() {
  const std::string generated = bench::GeneratedLibrary(100000, LYRICADE_BENCH_RESOURCES "/");
  QTemporaryDir folder;
  if (generated.empty() || !folder.isValid()) {
    std::fprintf(stderr, "bench-library-compact: no generated library\n");
    return 1;
  }
  const std::string data = folder.path().toStdString() + "/";
  const std::string library = data + "collections.mdb";
  std::error_code error;
  std::filesystem::copy_file(generated, library, error);
  DbConnection lyricade;
  long before = 0, after = 0;
  const auto count = [&](long& into) {
    return lyricade.Query("SELECT count(*) FROM Items;", [&](const DbRow& row) {
      into = static_cast<long>(row.Integer(0));
      return true;
    });
  };
  if (error || !lyricade.Open(library) || !lyricade.Execute("CREATE TABLE BenchProbe (Written INTEGER);") ||
      !count(before)) {
    std::fprintf(stderr, "bench-library-compact: the library cannot be opened\n");
    return 1;
  }
  // Rows removed first, so the compaction has pages to give back.
  lyricade.Execute("DELETE FROM Items WHERE ItemNum % 10 = 0;");
  count(before);
  const std::string command =
      "'" LYRICADE_LIBRARY_TOOL "' --data-dir '" + data + "' compact >/dev/null 2>&1";
  QElapsedTimer clock;
  clock.start();
  const int status = std::system(command.c_str());
  const double seconds = clock.elapsed() / 1000.0;
  const bool wrote = lyricade.Execute("INSERT INTO BenchProbe VALUES (1);");
  const bool read = count(after);
  const bool ok = status == 0 && wrote && read && after == before;
  std::printf("compact-100k: %.2f s\n", seconds);
  std::printf("compact-while-open: %d (compaction %s, write %s, %ld of %ld songs seen)\n", ok ? 1 : 0,
              status == 0 ? "done" : "failed", wrote ? "done" : "failed", after, before);
  return ok ? 0 : 1;
}
