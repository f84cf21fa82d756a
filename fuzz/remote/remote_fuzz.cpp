// Any bytes a client sends must be cut into frames, read as a hello, a song
// request or a discovery datagram, without reading out of bounds, and what
// comes out must be safe text. Input: a chunk size byte, then the stream.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "remote/request_message.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* seeds = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!seeds) return 0;
  using namespace lyricade;
  const std::string folder = seeds;
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
  };
  write("session", std::string("\x07") + Frame(EncodeHello({std::string(kRequestAppGuid), "RequestTool", "Bar"})) +
                       Frame(EncodeSongRequest("/songs/a.mp3", "Ana", 2)));
  write("huge", std::string("\x03") + Frame("x") + std::string("\xff\xff\xff\xff", 4));
  write("discovery", std::string("\x40") + EncodeDiscoveryAnswer({"RequestTool", 2507}));
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  using namespace lyricade;
  const size_t chunk = data[0] % 64 + 1;
  const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
  (void)ParseDiscoveryAnswer(stream);
  (void)IsDiscoveryEnquiry(stream);
  FrameReader reader;
  for (size_t offset = 0; offset < stream.size(); offset += chunk) {
    if (!reader.Append(stream.substr(offset, chunk))) break;
    while (std::optional<std::string> payload = reader.Next()) {
      (void)ParseHello(*payload);
      (void)ParseHelloAnswer(*payload);
      if (std::optional<SongRequest> request = ParseSongRequest(*payload)) {
        if (request->Singer.size() > 99 || request->Key < -4 || request->Key > 4) std::abort();
        for (char c : request->Singer)
          if (static_cast<unsigned char>(c) < 32 || c == 127) std::abort();
      }
    }
  }
  if (reader.Buffered() > kMaximumFrameLength + 4 + 64) std::abort();
  return 0;
}
