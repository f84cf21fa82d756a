#include "between/break_music.h"

#include <algorithm>
#include <random>

#include "between/between_log.h"
#include "common/app_settings.h"
#include "common/path_pieces.h"

namespace lyricade {

BreakMusic::BreakMusic(AppSettings& settings, AudioPlayer& player, AmbientList& list)
    : settings_(settings), player_(player), list_(list) {
  randomStep_ = [] {
    static std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(1, 3)(generator);
  };
}

int BreakMusic::Volume() const { return std::clamp(settings_.BreakMusicVolume.load(), 0, 100); }

void BreakMusic::PlayIndex(int index) {
  if (!list_.Valid(index)) return;
  index_ = index;
  failuresInRow_ = 0;
  PlayCurrent();
}

void BreakMusic::PlayCurrent() {
  fadingIn_ = false;
  fadingOut_ = false;
  if (playing_) Stop();
  if (!list_.Valid(index_)) return;
  const std::string path = list_.At(index_).Path;
  if (!IsRegularFile(path)) {
    qCWarning(lcBetween) << "the break track" << path.c_str() << "is not there";
    return;
  }
  level_ = 0;
  if (!player_.Start(path, PercentToHundredthsOfDb(level_))) return;
  fadingIn_ = true;
  playing_ = true;
  playingPath_ = path;
}

void BreakMusic::Advance() {
  const int count = list_.Size();
  if (count == 0) return;
  if (count == 1) {
    index_ = 0;
  } else {
    const int step = settings_.RandomIncrement.load() ? std::clamp(randomStep_(), 1, 3) : 1;
    // From -1 (no track yet) a step of 1 lands on the first track.
    index_ = ((std::max(index_, -1) + step) % count + count) % count;
    // Tracks whose drive is not plugged in are passed over, one by one, so
    // the music goes on with what is there.
    for (int tried = 1; tried < count && !list_.Present(index_); ++tried) index_ = (index_ + 1) % count;
  }
  PlayCurrent();
}

void BreakMusic::NextTrack() {
  failuresInRow_ = 0;
  Advance();
}

void BreakMusic::FadeOut() {
  if (!playing_) return;
  fadingOut_ = true;
  fadingIn_ = false;
}

void BreakMusic::Stop() {
  player_.Stop();
  playing_ = false;
  fadingIn_ = false;
  fadingOut_ = false;
  playingPath_.clear();
}

void BreakMusic::Tick() {
  if (!playing_) return;
  if (fadingIn_) {
    const int target = Volume();
    if (level_ < target) {
      level_ = std::min(level_ + kFadeStep, target);
      player_.SetVolume(PercentToHundredthsOfDb(level_));
    }
    if (level_ >= target) fadingIn_ = false;
  }
  if (fadingOut_) {
    if (level_ < 1) {
      Stop();
      return;
    }
    level_ = std::max(level_ - kFadeStep, 0);
    player_.SetVolume(PercentToHundredthsOfDb(level_));
  }
}

void BreakMusic::SetVolume(int percent) {
  settings_.BreakMusicVolume = std::clamp(percent, 0, 100);
  if (playing_) player_.SetVolume(PercentToHundredthsOfDb(Volume()));
}

void BreakMusic::TrackEnded(uint64_t graph, TrackEnd end) {
  if (graph == 0 || graph != player_.CurrentGraph()) return;
  if (!settings_.AutoManageAmbients.load()) return;  // stays "playing" until the next play or stop
  // The host asked the music to go (Play faded it out) or a singer has the
  // room: the next track would fade in over the song.
  if (fadingOut_ || (songPlaying_ && songPlaying_())) {
    Stop();
    return;
  }
  if (end == TrackEnd::Complete) {
    failuresInRow_ = 0;
  } else if (++failuresInRow_ >= list_.Size()) {
    qCWarning(lcBetween) << "none of the" << list_.Size()
                         << "break tracks played; the break music waits for the next request";
    Stop();
    return;
  }
  Advance();
}

}  // namespace lyricade
