// cdgdemo [--rip-like SECONDS | --dense SECONDS] OUT.cdg
//
// Writes the demo song's graphics, made with the CD+G writer; with an option,
// a generated stream of that length instead (the benchmarks' rip-like stream
// or their dense worst case).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "cdg/cdg_sample_songs.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<uint8_t> song;
  if (args.size() == 1 && args[0] != "--help") {
    song = lyricade::MakeDemoSong();
  } else if (args.size() == 3 && (args[0] == "--rip-like" || args[0] == "--dense")) {
    const long seconds = std::strtol(args[1].c_str(), nullptr, 10);
    if (seconds <= 0 || seconds > 3600) {
      std::cerr << "cdgdemo: the length must be 1 to 3600 seconds\n";
      return 2;
    }
    const size_t packets = static_cast<size_t>(seconds) * 300;
    song = args[0] == "--dense" ? lyricade::MakeDenseStream(packets)
                                : lyricade::MakeRipLikeStream(packets);
  } else {
    std::cerr << "usage: cdgdemo [--rip-like SECONDS | --dense SECONDS] OUT.cdg\n";
    return 2;
  }
  const std::string& path = args.back();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
  if (!out.flush()) {
    std::cerr << "cdgdemo: cannot write " << path << "\n";
    return 1;
  }
  std::cout << path << ": " << song.size() / 24 / 300.0 << " seconds\n";
  return 0;
}
