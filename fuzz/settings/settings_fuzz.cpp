// Arbitrary bytes as the data folder's settings files: "lyr2prefs.cfg" lines,
// "lastlist.lst" text and "venuelist.cfg". Reading them must never crash,
// and what is read must keep to its ranges.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/preferences_file.h"
#include "common/app_settings.h"
#include "singers/singer_rotation.h"
#include "singers/venue_list.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void WriteSeed(const std::string& folder, const std::string& name, const std::string& text) {
  std::ofstream(folder + "/" + name, std::ios::binary) << text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* folder = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!folder || !*folder) return 0;
  lyricade::AppSettings settings;
  std::string prefs;
  for (const std::string& line : lyricade::PreferenceLines(settings)) prefs += line + "\r\n";
  WriteSeed(folder, "prefs", prefs);
  WriteSeed(folder, "prefs-short", "80\r\n0\r\n3\r\n");
  WriteSeed(folder, "list",
            "2\r\n-Ana\r\n1\r\n-2, 1, 17\r\n-Title, with comma\r\n-1994\r\n-/songs/a.zip\r\n"
            "-Artist\r\n-ID-1\r\n-\r\n-Ben\r\n0\r\n");
  WriteSeed(folder, "venues", "2\r\nRusty Anchor\r\n3\r\nBlue Room\r\n7\r\n");
  WriteSeed(folder, "damaged", "9\n-x\nlots\n1, 2\n\xff\xfe");
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  lyricade::AppSettings settings;
  lyricade::ApplyPreferenceLines(Lines(text), settings);
  if (settings.SongVolume < 0 || settings.SongVolume > 100 || settings.TickerLoops < 1 ||
      settings.TickerLoops > 5 || settings.CountdownSeconds < 5 || settings.CountdownSeconds > 45)
    std::abort();

  lyricade::SingerRotation rotation;
  rotation.LoadListFileText(text);
  for (const lyricade::Singer& singer : rotation.Singers())
    for (const lyricade::QueuedSong& song : singer.Playlist)
      if (song.Key < -4 || song.Key > 4 || song.Multiplex < 0 || song.Multiplex > 2) std::abort();
  rotation.Advance();
  rotation.NextSingers(15, true);

  char path[] = "/tmp/lyricade-fuzz-venues-XXXXXX";
  const int fd = mkstemp(path);
  if (fd >= 0) {
    if (write(fd, data, size) < 0) {
    }
    close(fd);
    lyricade::VenueList::Read(path);
    unlink(path);
  }
  return 0;
}
