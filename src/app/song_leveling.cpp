#include "app/song_leveling.h"

#include <algorithm>
#include <cmath>

#include "common/app_settings.h"
#include "leveling/level_rules.h"
#include "playback/song_transport.h"

namespace lyricade {

void SongLeveling::PrepareSong(const std::string& path) {
  figures_.reset();
  if (lookup_) figures_ = lookup_(path);
  if (figures_ && !figures_->Measured) figures_.reset();
  gainDb_ = figures_ ? LevelGainDb(*figures_, settings_.LevelTargetLufs.load()) : 0.0;
  fade_ = 0;
  transport_.SetFadeHundredthsOfDb(0);
  transport_.SetLevelGain(GainFactor(gainDb_));
}

std::string SongLeveling::LevelText() const {
  if (!figures_ || !settings_.LevelSongs.load() || !transport_.State().Playing) return {};
  return LevelLabel(gainDb_);
}

bool SongLeveling::Tick(int64_t position, int64_t duration, GraphId graph) {
  const int64_t endMs = figures_ && settings_.EndAfterLastLine.load()
                            ? EarlyEndMs(*figures_, settings_.EndMarginSeconds.load())
                            : -1;
  const int64_t positionMs = position / 10'000;
  const int64_t durationMs = duration > 0 ? duration / 10'000 : -1;
  // Nothing to cut when the real end comes first: the song ends by itself.
  const bool due = graph != 0 && endMs >= 0 && positionMs >= endMs &&
                   (durationMs < 0 || endMs + kEarlyEndFadeMs < durationMs);
  if (!due) {
    // Switched off, or sought back before the end: the volume comes back.
    if (fade_ != 0) {
      fade_ = 0;
      transport_.SetFadeHundredthsOfDb(0);
    }
    return false;
  }
  if (graph == endedGraph_) return false;
  const double progress = static_cast<double>(positionMs - endMs) / kEarlyEndFadeMs;
  if (progress >= 1.0) {
    endedGraph_ = graph;
    return true;
  }
  // An even fade to the ear: the amplitude falls linearly to nothing.
  const double factor = std::max(1e-5, 1.0 - progress);
  fade_ = std::lround(2000.0 * std::log10(factor));
  transport_.SetFadeHundredthsOfDb(fade_);
  return false;
}

}  // namespace lyricade
