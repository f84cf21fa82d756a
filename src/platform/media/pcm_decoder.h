#pragma once
// A song's whole audio decoded to 32-bit float interleaved samples at the
// media's own rate and channel count, as fast as the decoder goes (no
// clock): filesrc or appsrc ! decodebin ! audioconvert ! appsink. The
// loudness measurer uses it; other streams of the media (video) are
// decoded into nothing.
//
// The blocks reach the caller's callback on the decoder's streaming thread,
// one at a time, while the calling thread waits for the end. Decoding is
// bounded: by the caller's deadline and by the frames it accepts. With
// `LowPriority` every thread the graph starts runs at the lowest scheduling
// priority (nice 19) and ends with the decode, so a background pass never
// takes time from the playing song.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lyricade {

struct PcmBlock {
  const float* Samples = nullptr;  // Frames x Channels, interleaved
  size_t Frames = 0;
  int Channels = 0;
  int Rate = 0;
};

struct PcmDecodeOptions {
  // Longest a decode may take, start to end.
  std::chrono::milliseconds Deadline{std::chrono::minutes(5)};
  // Most frames a decode delivers (about 3 hours at 48 kHz); more fails.
  uint64_t MaxFrames = 3ull * 3600 * 48000;
  bool LowPriority = false;
  // Set from another thread to end the decode early (a failure).
  const std::atomic<bool>* Cancel = nullptr;
};

struct PcmDecodeResult {
  bool Ok = false;
  int Rate = 0;
  int Channels = 0;
  uint64_t Frames = 0;
  // Why the decode failed, in the media framework's words when it said.
  std::string Error;
};

// Called for each decoded block; false stops the decode (a failure).
using PcmBlockSink = std::function<bool(const PcmBlock&)>;

PcmDecodeResult DecodePcmFile(const std::string& path, const PcmBlockSink& sink,
                              const PcmDecodeOptions& options = {});
// `data` must stay alive until the call returns.
PcmDecodeResult DecodePcmMemory(std::string_view data, const PcmBlockSink& sink,
                                const PcmDecodeOptions& options = {});

}  // namespace lyricade
