#pragma once
// Measures one song of the library: its audio decoded whole (a ZIP song
// from its member, in memory: nothing is written to disk), integrated
// loudness, sample peak, audible end and, when it has CD+G graphics, the
// CD+G end. A song that cannot be measured says why.

#include <atomic>
#include <cstdint>
#include <string>

namespace lyricade {

struct LoudnessFigures {
  // False: "cannot measure" (not decodable, no audio, too big, silent).
  bool Measured = false;
  double Lufs = 0.0;
  double PeakDb = 0.0;
  // Seconds from the start.
  double AudibleEnd = 0.0;
  // Seconds; below 0 when the song has no CD+G graphics.
  double CdgEnd = -1.0;
  std::string Reason;
  bool Cancelled = false;
};

struct MeasureOptions {
  bool LowPriority = false;
  // Largest ZIP member read into memory.
  uint64_t MaxMemberBytes = 256ull << 20;
  // Ends a measurement early (shutdown); the song then counts as not
  // measured and Cancelled is set in its figures.
  const std::atomic<bool>* Cancel = nullptr;
};

LoudnessFigures MeasureSong(const std::string& path, const MeasureOptions& options = {});

}  // namespace lyricade
