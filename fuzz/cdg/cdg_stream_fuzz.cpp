// Arbitrary bytes as a ".cdg" stream, decoded through the player at arbitrary
// times (forward, back, negative, far past the end) with backgrounds switched
// on and off between moves. The first 17 bytes choose the moves; the rest is
// the stream.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "cdg/cdg_player.h"
#include "cdg/cdg_sample_songs.h"
#include "common/app_settings.h"

namespace {

constexpr size_t kMoves = 4;
constexpr size_t kHeader = 1 + kMoves * 4;

void WriteSeed(const std::string& folder, const std::string& name, const std::vector<uint8_t>& moves,
               const std::vector<uint8_t>& stream) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(moves.data()), static_cast<std::streamsize>(moves.size()));
  out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* folder = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!folder || !*folder) return 0;
  // Moves: flags, then four times in 1/100 s (little-endian int32).
  auto moves = [](uint8_t flags, std::initializer_list<int32_t> times) {
    std::vector<uint8_t> bytes{flags};
    for (int32_t t : times)
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(uint32_t(t) >> (8 * i)));
    return bytes;
  };
  std::vector<uint8_t> demo = lyricade::MakeDemoSong();
  WriteSeed(folder, "demo", moves(0, {1000, 2500, 500, 3700}), demo);
  WriteSeed(folder, "demo-backgrounds", moves(0x0F, {3000, 100, -5, 99999}), demo);
  WriteSeed(folder, "rip-like", moves(0x05, {900, 300, 1000, 0}), lyricade::MakeRipLikeStream(3000));
  WriteSeed(folder, "dense", moves(0x0A, {500, 1000, 200, 1000}), lyricade::MakeDenseStream(3000));
  std::vector<uint8_t> odd = lyricade::MakeDenseStream(50);
  odd.resize(odd.size() - 13);
  WriteSeed(folder, "odd-length", moves(0x01, {100, 50, 100, 20}), odd);
  WriteSeed(folder, "empty", moves(0, {100, 0, 100, -1}), {});
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  const uint8_t flags = data[0];
  lyricade::AppSettings settings;
  lyricade::LastFrameSink sink;
  lyricade::CdgPlayer player(settings, &sink);
  player.OpenMemory(data + kHeader, size - kHeader);
  for (size_t move = 0; move < kMoves; ++move) {
    int32_t hundredths;
    std::memcpy(&hundredths, data + 1 + move * 4, 4);
    settings.BackgroundsEnabled = (flags >> move) & 1;
    player.AdvanceTo(int64_t{hundredths} * 100'000);
    player.PresentFrame(0);
  }
  player.Close();
  return 0;
}
