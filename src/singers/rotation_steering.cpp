// The host's steering of the rotation: sit-outs, where newcomers go, songs
// per turn, the lock on the singer up next, and the extra state file that
// keeps them (and the queued songs' tempos) beside the list file, which
// stays exactly as it always was.

#include <algorithm>
#include <charconv>

#include "common/field_text.h"
#include "singers/singer_rotation.h"

namespace lyricade {
namespace {

constexpr const char* kOptionsTag = "options";
constexpr const char* kSingerTag = "singer";
constexpr const char* kTickerWaitsTag = "ticker-waits";
constexpr const char* kRememberKeysTag = "remember-keys";
constexpr const char* kApproveRequestsTag = "approve-requests";
constexpr const char* kTempoTag = "tempo";
// The option lines a file may hold besides one line per singer and song.
constexpr size_t kOptionLines = 8;

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

void SingerRotation::SetOptions(const RotationOptions& options) {
  options_ = options;
  options_.SongsPerTurn = std::clamp(options.SongsPerTurn, 1, 3);
  Changed(true);
}

bool SingerRotation::SetSittingOut(int position, bool sittingOut) {
  if (!ValidSinger(position)) return false;
  singers_[position].SittingOut = sittingOut;
  Changed(true);
  return true;
}

void SingerRotation::SetNextUpLocked(bool locked) {
  lockNextUp_ = locked;
  Changed(true);
}

int SingerRotation::NextUpPosition() const {
  // A turn of several songs goes on while the singer has songs left.
  if (!hold_ && songsThisTurn_ > 0 && songsThisTurn_ < options_.SongsPerTurn && CanSing(currentSinger_))
    return currentSinger_;
  return NextTurnPosition();
}

int SingerRotation::NextTurnPosition() const {
  const int n = Count();
  if (n == 0) return -1;
  int position = hold_ ? currentSinger_ : currentSinger_ + 1;
  if (position > n - 1) position = 0;
  if (ValidSinger(position) && !CanSing(position) && n >= 2) {
    int found = -1;
    for (int i = position + 1; i < n && found < 0; ++i)
      if (CanSing(i)) found = i;
    if (found < 0 && position > 0)
      for (int i = 0; i < position && found < 0; ++i)
        if (CanSing(i)) found = i;
    if (found >= 0)
      position = found;
    else if (position == 1)
      position = 0;
  }
  return position;
}

// The insertion slot (0..n) for a newcomer. Slot n is after the last singer.
int SingerRotation::PlaceForNewcomer() const {
  const int n = Count();
  // While a turn of several songs goes on, the singer up next is the one
  // after that turn: a lock must keep newcomers behind them too.
  const int nextUp = NextTurnPosition();
  if (n == 0 || !ValidSinger(nextUp)) return n;
  const bool protectNextUp = lockNextUp_ || options_.Join == NewcomerPlacement::Fairly;
  int slot = n;
  if (options_.Join == NewcomerPlacement::Fairly) {
    // Before the first singer after the one up next who has sung tonight:
    // the newcomer will have sung nothing when their turn comes.
    for (int step = 1; step < n; ++step) {
      const int k = (nextUp + step) % n;
      if (singers_[k].SungTonight > 0) {
        slot = k == 0 ? n : k;
        break;
      }
    }
  }
  if (!protectNextUp || nextUp == currentSinger_) return slot;
  // Whether the slot comes before the singer up next, counting from the
  // singer after the current one (from the first singer with nobody up).
  bool inFront;
  if (ValidSinger(currentSinger_)) {
    const auto distance = [&](int position) { return (position - currentSinger_ - 1 + 2 * n) % n; };
    inFront = distance(slot % n) <= distance(nextUp);
  } else {
    inFront = slot <= nextUp;
  }
  return inFront ? nextUp + 1 : slot;
}

void SingerRotation::InsertSinger(int position, Singer singer) {
  singers_.insert(singers_.begin() + position, std::move(singer));
  foldedIndexValid_ = false;
  if (currentSinger_ >= position) ++currentSinger_;
  if (selectedSinger_ >= position && selectedSinger_ < Count() - 1) ++selectedSinger_;
}

int SingerRotation::AddNewcomer(const std::string& name) {
  const int slot = PlaceForNewcomer();
  if (slot >= Count()) return AddSinger(name);
  InsertSinger(slot, Singer{SanitisedSingerName(name), {}});
  return slot;
}

std::vector<std::string> SingerRotation::ExtraStateLines() const {
  std::vector<std::string> lines;
  lines.push_back(std::string(kOptionsTag) + "\t" +
                  (options_.Join == NewcomerPlacement::Fairly ? "fairly" : "end") + "\t" +
                  std::to_string(options_.SongsPerTurn) + "\t" + (lockNextUp_ ? "1" : "0"));
  // Options added later each take a line of their own ("name", tab, value),
  // so a reader that does not know one passes over it.
  lines.push_back(std::string(kTickerWaitsTag) + "\t" + (options_.TickerWaits ? "1" : "0"));
  lines.push_back(std::string(kRememberKeysTag) + "\t" + (options_.RememberKeys ? "1" : "0"));
  lines.push_back(std::string(kApproveRequestsTag) + "\t" + (options_.ApproveRequests ? "1" : "0"));
  for (int i = 0; i < Count(); ++i) {
    const Singer& singer = singers_[i];
    if (!singer.SittingOut && singer.SungTonight == 0) continue;
    lines.push_back(std::string(kSingerTag) + "\t" + std::to_string(i) + "\t" +
                    (singer.SittingOut ? "1" : "0") + "\t" + std::to_string(singer.SungTonight) +
                    "\t" + singer.Name);
  }
  // Only songs off their own tempo; the singer's name and the song's path
  // tie a line to its song, so a list changed by an older program does not
  // give a tempo to the wrong song.
  for (int i = 0; i < Count(); ++i) {
    const Singer& singer = singers_[i];
    for (size_t k = 0; k < singer.Playlist.size(); ++k) {
      const QueuedSong& song = singer.Playlist[k];
      if (song.Tempo == 0) continue;
      lines.push_back(std::string(kTempoTag) + "\t" + std::to_string(i) + "\t" + std::to_string(k) +
                      "\t" + std::to_string(song.Tempo) + "\t" + singer.Name + "\t" + song.Path);
    }
  }
  return lines;
}

void SingerRotation::LoadExtraStateLines(const std::vector<std::string>& lines, int firstSinger) {
  // Bounded like the list file: a line per singer and song the list holds.
  size_t limit = static_cast<size_t>(Count()) + kOptionLines;
  for (const Singer& singer : singers_) limit += singer.Playlist.size();
  size_t used = 0;
  for (const std::string& line : lines) {
    if (++used > limit) break;
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() == 4 && fields[0] == kOptionsTag) {
      int songs = 1;
      if (!ParseInt(fields[2], songs)) songs = 1;
      options_.Join = fields[1] == "fairly" ? NewcomerPlacement::Fairly : NewcomerPlacement::AtEnd;
      options_.SongsPerTurn = std::clamp(songs, 1, 3);
      lockNextUp_ = fields[3] == "1";
    } else if (fields.size() == 2 && fields[0] == kTickerWaitsTag) {
      options_.TickerWaits = fields[1] == "1";
    } else if (fields.size() == 2 && fields[0] == kRememberKeysTag) {
      options_.RememberKeys = fields[1] == "1";
    } else if (fields.size() == 2 && fields[0] == kApproveRequestsTag) {
      options_.ApproveRequests = fields[1] == "1";
    } else if (fields.size() == 5 && fields[0] == kSingerTag) {
      // Names carry no control characters, so a tab never splits one.
      int index = -1, sung = 0;
      if (!ParseInt(fields[1], index) || !ParseInt(fields[3], sung) || index < 0) continue;
      const int position = firstSinger + index;
      if (!ValidSinger(position) || singers_[position].Name != fields[4]) continue;
      singers_[position].SittingOut = fields[2] == "1";
      singers_[position].SungTonight = std::max(0, sung);
    } else if (fields.size() == 6 && fields[0] == kTempoTag) {
      int index = -1, song = -1, tempo = 0;
      if (!ParseInt(fields[1], index) || !ParseInt(fields[2], song) || !ParseInt(fields[3], tempo) ||
          index < 0)
        continue;
      const int position = firstSinger + index;
      if (!ValidSong(position, song) || singers_[position].Name != fields[4]) continue;
      QueuedSong& queued = singers_[position].Playlist[static_cast<size_t>(song)];
      if (queued.Path == fields[5]) queued.Tempo = std::clamp(tempo, -kTempoLimit, kTempoLimit);
    }
  }
  Changed(false);
}

}  // namespace lyricade
