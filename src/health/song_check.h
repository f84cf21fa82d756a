#pragma once
// Opens a song as Play would, without playing it: the file is there, a ZIP
// holds readable audio and CD+G members, the audio decodes, a pair's
// graphics file is beside its audio. Each check is bounded (a member's
// size, the decode's seconds and wall time), so a corrupt or hostile file
// costs a moment and never halts a scan of the whole library.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace lyricade {

struct SongCheckOptions {
  // Audio decoded before the song counts as playing.
  std::chrono::milliseconds AudioToDecode{3000};
  // Longest one song's check may take.
  std::chrono::milliseconds Deadline{10000};
  uint64_t MaxMemberBytes = 256ull << 20;
  const std::atomic<bool>* Cancel = nullptr;
};

struct SongCheckResult {
  bool Plays = false;
  // Why not, for the host ("the file is missing").
  std::string Reason;
};

SongCheckResult CheckSongPlays(const std::string& path, const SongCheckOptions& options = {});

}  // namespace lyricade
