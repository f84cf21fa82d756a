// The songbook of a 100,000-song library: reading the songs, both orders
// and the PDF booklet, as "lyricade-library songbook --pdf" makes it.
//   songbook-100k: the whole run, seconds (target under 30 s).
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

#include "generated_library.h"
#include "library/songbook.h"
#include "library/songbook_pdf.h"

using namespace lyricade;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string library = bench::GeneratedLibrary(100000, LYRICADE_BENCH_RESOURCES "/");
  if (library.empty()) {
    std::fprintf(stderr, "bench-library-songbook: no generated library\n");
    return 1;
  }
  QTemporaryDir folder;
  const std::string pdf = QDir(folder.path()).filePath("songbook.pdf").toStdString();
  QElapsedTimer clock;
  clock.start();
  std::optional<std::vector<SongbookSong>> songs = ReadSongbookSongs(library);
  if (!songs) return 1;
  std::vector<SongbookSong> byArtist = *songs, byTitle = std::move(*songs);
  SortSongbookByArtist(byArtist);
  SortSongbookByTitle(byTitle);
  std::string error;
  if (!WriteSongbookPdf(pdf, byArtist, byTitle, SongbookOptions{}, &error)) {
    std::fprintf(stderr, "bench-library-songbook: %s\n", error.c_str());
    return 1;
  }
  const double seconds = clock.elapsed() / 1000.0;
  std::printf("songbook-songs: %zu\n", byArtist.size());
  std::printf("songbook-pdf-size: %.1f MB\n", QFileInfo(QString::fromStdString(pdf)).size() / 1e6);
  std::printf("songbook-100k: %.1f s\n", seconds);
  return 0;
}
