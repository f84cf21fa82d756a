// Feeds the audio filter arbitrary audio with arbitrary settings: any format
// it accepts, any key, tempo and channel values (finite or not), auto gain on
// or off, odd buffer sizes and output buffers from tiny to four times the
// input. Nothing may crash, read or write out of bounds, or exceed the output
// buffer.
//
// Input: 16 setting bytes, then audio cut into buffers by the settings.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "playback/dsp_filter.h"

namespace {

constexpr size_t kHeader = 16;

float FloatAt(const uint8_t* p) {
  float v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void WriteSeed(const char* folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = std::string(folder) + "/" + name;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

std::vector<uint8_t> Seed(uint8_t channels, uint8_t rate, uint8_t channel, uint8_t agc, float tenths,
                          float tempo, uint8_t capacity, uint8_t split, size_t audioBytes) {
  std::vector<uint8_t> bytes(kHeader + audioBytes);
  bytes[0] = channels;
  bytes[1] = rate;
  bytes[2] = channel;
  bytes[3] = agc;
  std::memcpy(&bytes[4], &tenths, 4);
  std::memcpy(&bytes[8], &tempo, 4);
  bytes[12] = capacity;
  bytes[13] = split;
  for (size_t i = 0; i < audioBytes; ++i) bytes[kHeader + i] = static_cast<uint8_t>((i * 37) ^ (i >> 3));
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("LYRICADE_FUZZ_SEEDS")) {
    WriteSeed(folder, "copy-stereo", Seed(2, 0, 0, 0, 0.0f, 50.0f, 4, 40, 8000));
    WriteSeed(folder, "left-agc", Seed(2, 1, 1, 1, 0.0f, 50.0f, 4, 17, 6000));
    WriteSeed(folder, "key-up-mono", Seed(1, 2, 2, 1, 35.0f, 50.0f, 4, 90, 20000));
    WriteSeed(folder, "key-down-small-out", Seed(2, 3, 0, 0, -40.0f, 50.0f, 1, 3, 20000));
    WriteSeed(folder, "tempo-extreme", Seed(2, 0, 7, 1, 1e9f, -1e30f, 2, 200, 12000));
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  static const int kRates[] = {44100, 48000, 22050, 11025};
  lyricade::DspFilter filter;
  if (!filter.SetInputFormat({1 + (data[0] & 1), kRates[data[1] & 3], 16})) std::abort();
  filter.PrepareShifter();
  filter.SetChannel(static_cast<int8_t>(data[2]));
  filter.SetAutoGain(data[3] & 1);
  filter.SetPitch(FloatAt(data + 4));
  filter.SetTempo(FloatAt(data + 8));
  const size_t capacityQuarters = 1 + (data[12] & 15);  // 1/4 to 4 times the input
  const size_t chunk = 1 + static_cast<size_t>(data[13]) * 16;

  const uint8_t* audio = data + kHeader;
  size_t left = size - kHeader;
  int index = 0;
  while (left > 0) {
    const size_t bytes = chunk < left ? chunk : left;
    const size_t capacity = bytes * capacityQuarters / 4;
    std::vector<uint8_t> out(capacity + 8, 0x5A);
    lyricade::DspOutput output;
    const lyricade::DspResult result = filter.Transform(audio, bytes, out.data(), capacity, &output);
    if (result == lyricade::DspResult::Ok && output.bytes > capacity) std::abort();
    for (size_t i = capacity; i < out.size(); ++i) {
      if (out[i] != 0x5A) std::abort();
    }
    // Settings change between buffers, as the host presses buttons.
    if (bytes >= 2 && (audio[0] & 7) == 0) filter.SetPitch(static_cast<float>(static_cast<int8_t>(audio[1])));
    if (bytes >= 3 && (audio[0] & 7) == 1) filter.SetChannel(audio[2] % 3);
    if ((index++ & 3) == 3) filter.SetAutoGain(!filter.AutoGain());
    audio += bytes;
    left -= bytes;
  }
  return 0;
}
