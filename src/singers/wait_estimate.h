#pragma once
// When each singer of the rotation is likely to start: the songs that play
// before theirs, turn by turn as the advance would take them, plus one
// changeover per turn. The changeover is the median gap between songs
// tonight, 45 seconds until three gaps are known. Plain logic over the
// rotation; song lengths come from the caller.

#include <functional>
#include <string>
#include <vector>

#include "singers/singer_rotation.h"

namespace lyricade {

// The gaps between one song's end and the next one's start, tonight.
class ChangeoverClock {
public:
  static constexpr int kDefaultSeconds = 45;
  // Kept bounded: the median of the newest gaps is all the estimate needs.
  static constexpr size_t kMaximumGaps = 64;
  void SongEnded(double atSeconds);
  void SongStarted(double atSeconds);
  int ChangeoverSeconds() const;
  void Clear();

private:
  std::vector<double> gaps_;
  double lastEnd_ = -1;
};

// One singer's estimate: -1 seconds for a singer the rotation will not reach
// (sitting out, nothing queued).
struct SingerWait {
  int Seconds = -1;
  int SingersBefore = 0;  // how many singers sing before this one; 0 while up
  bool Now = false;       // the current singer
  bool Next = false;      // the singer the advance lands on
};

// The length of a queued song in seconds; a song whose length is not known
// counts as `unknownSongSeconds`.
using SongSeconds = std::function<int(const QueuedSong&)>;

// One entry per singer, in rotation order. `songPlaying`: the current
// singer's song is on, its `remainingSeconds` still to go.
std::vector<SingerWait> EstimateWaits(const SingerRotation& rotation, const SongSeconds& length,
                                      int changeoverSeconds, bool songPlaying,
                                      int remainingSeconds);

// The "Wait" column: "now", "next", "~12 min", or empty.
std::string WaitText(const SingerWait& wait);
// The estimate alone, as the ticker shows it: "~4 min" (whole minutes
// rounded up), empty for a singer the rotation will not reach.
std::string WaitMinutesText(const SingerWait& wait);
// What a singer's phone says: "You're up now!", "You're up next!", "You're
// up in about 12 minutes, 3 singers before you", or empty.
std::string PageWaitText(const SingerWait& wait);

}  // namespace lyricade
