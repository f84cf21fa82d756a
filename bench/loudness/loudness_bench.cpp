// How fast song leveling measures a song, as the background pass does it:
//   loudness-scan-rate  seconds of audio measured per second of processor
//                       time (all the process's threads: the decoder's and
//                       the meter's), for 3-minute MP3+G songs, as a
//                       multiple of real time; the median of three songs
// The songs are made at run time in a temporary folder.
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "leveling/song_measure.h"
#include "support/test_media.h"

using namespace lyricade;

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

int main() {
  constexpr double kSeconds = 180;
  QTemporaryDir folder;
  if (!folder.isValid()) return 1;
  std::vector<double> rates;
  for (int song = 0; song < 3; ++song) {
    const std::string base = folder.path().toStdString() + "/song" + std::to_string(song);
    if (!testing::MakeNoiseMp3(base + ".mp3", kSeconds, 128 + 32 * song)) {
      std::fprintf(stderr, "bench-loudness: the song could not be made\n");
      return 1;
    }
    // The graphics a CD+G song carries: 300 packets a second.
    std::ofstream(base + ".cdg", std::ios::binary) << std::string(static_cast<size_t>(kSeconds * 300 * 24), '\0');
    const double start = ProcessCpuSeconds();
    const LoudnessFigures figures = MeasureSong(base + ".mp3");
    const double cpu = ProcessCpuSeconds() - start;
    if (!figures.Measured) {
      std::fprintf(stderr, "bench-loudness: %s\n", figures.Reason.c_str());
      return 1;
    }
    rates.push_back(kSeconds / cpu);
    std::printf("loudness-song-%d: %.1f LUFS, %.0fx real time\n", song, figures.Lufs, kSeconds / cpu);
  }
  std::sort(rates.begin(), rates.end());
  std::printf("loudness-scan-rate: %.0fx real time per core\n", rates[1]);
  return 0;
}
