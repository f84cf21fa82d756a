#include "singers/wait_estimate.h"

#include <algorithm>

namespace lyricade {

void ChangeoverClock::SongEnded(double atSeconds) { lastEnd_ = atSeconds; }

void ChangeoverClock::SongStarted(double atSeconds) {
  if (lastEnd_ < 0 || atSeconds < lastEnd_) return;
  if (gaps_.size() == kMaximumGaps) gaps_.erase(gaps_.begin());
  gaps_.push_back(atSeconds - lastEnd_);
  lastEnd_ = -1;
}

int ChangeoverClock::ChangeoverSeconds() const {
  if (gaps_.size() < 3) return kDefaultSeconds;
  std::vector<double> sorted = gaps_;
  std::sort(sorted.begin(), sorted.end());
  const size_t mid = sorted.size() / 2;
  const double median = sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
  return static_cast<int>(median + 0.5);
}

void ChangeoverClock::Clear() {
  gaps_.clear();
  lastEnd_ = -1;
}

std::vector<SingerWait> EstimateWaits(const SingerRotation& rotation, const SongSeconds& length,
                                      int changeoverSeconds, bool songPlaying,
                                      int remainingSeconds) {
  const int n = rotation.Count();
  std::vector<SingerWait> waits(static_cast<size_t>(n));
  if (n == 0) return waits;
  const auto& singers = rotation.Singers();
  const int current = rotation.CurrentSinger();
  const int perTurn = rotation.Options().SongsPerTurn;
  long long clock = 0;
  int before = 0;
  int first = rotation.ValidSinger(current) ? current : rotation.NextUpPosition();
  if (!rotation.ValidSinger(first)) return waits;
  if (rotation.ValidSinger(current) && songPlaying) {
    waits[current].Seconds = 0;
    waits[current].Now = true;
    clock = std::max(0, remainingSeconds) + changeoverSeconds;
    // The rest of a turn of several songs (the playing one is no longer
    // queued).
    const auto& playlist = singers[current].Playlist;
    const int rest = std::min<int>(perTurn - rotation.SongsThisTurn(), static_cast<int>(playlist.size()));
    for (int s = 0; s < rest; ++s) clock += length(playlist[s]) + changeoverSeconds;
    before = 1;
    first = (current + 1) % n;
  }
  // One pass in rotation order from the next turn: every singer's first
  // turn after now. A current singer whose song has not started is "now".
  bool nextMarked = false;
  for (int step = 0; step < n; ++step) {
    const int position = (first + step) % n;
    if (position == current && songPlaying) break;
    if (!rotation.CanSing(position)) continue;
    SingerWait& wait = waits[position];
    wait.Seconds = static_cast<int>(std::min<long long>(clock, 1 << 30));
    wait.SingersBefore = before;
    if (position == current && !songPlaying) {
      wait.Now = true;
    } else if (!nextMarked) {
      wait.Next = true;
      nextMarked = true;
    }
    const auto& playlist = singers[position].Playlist;
    const int songs = std::min<int>(perTurn, static_cast<int>(playlist.size()));
    for (int s = 0; s < songs; ++s) clock += length(playlist[s]);
    clock += changeoverSeconds;
    ++before;
  }
  return waits;
}

std::string WaitText(const SingerWait& wait) {
  if (wait.Now) return "now";
  if (wait.Next) return "next";
  return WaitMinutesText(wait);
}

std::string WaitMinutesText(const SingerWait& wait) {
  if (wait.Seconds < 0) return std::string();
  return "~" + std::to_string((wait.Seconds + 59) / 60) + " min";
}

std::string PageWaitText(const SingerWait& wait) {
  if (wait.Now) return "You're up now!";
  if (wait.Next) return "You're up next!";
  if (wait.Seconds < 0) return std::string();
  const int minutes = std::max(1, (wait.Seconds + 59) / 60);
  return "You're up in about " + std::to_string(minutes) + (minutes == 1 ? " minute, " : " minutes, ") +
         std::to_string(wait.SingersBefore) + (wait.SingersBefore == 1 ? " singer" : " singers") +
         " before you";
}

}  // namespace lyricade
