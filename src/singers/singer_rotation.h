#pragma once
// The rotation of singers for the evening: who is up, which song Play
// starts, what happens to the singer and the song when it starts and ends,
// and the list file that survives restarts. Plain state and rules, no
// widgets; the host controller calls these operations and the views read
// them. Positions are -1 when nobody / nothing is meant; every operation
// checks them against the current sizes and does nothing when out of range.

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "singers/queued_song.h"

namespace lyricade {

// What Play needs from the rest of the program.
class PlayHost {
public:
  virtual ~PlayHost() = default;
  // Stops the song that plays, if any (a song follows).
  virtual void StopForNextSong() = 0;
  // Starts fading out the break music (only asked when it is managed).
  virtual void FadeOutBreakMusic() = 0;
  // Records the started song in the singer's History.
  virtual void RecordStartedSong(const QueuedSong& song, const std::string& singer) = 0;
  // Opens and plays the song; false when it could not (the song stays queued).
  virtual bool OpenSong(const std::string& path, int multiplex, int keyTenths, int tempo) = 0;
};

// The now-up display: who is up and with what.
struct NowUp {
  bool HasSinger = false;
  bool HasSong = false;
  std::string SingerName;
  std::string Title;
};

// One line of the next-singers ticker.
struct NextSinger {
  int Number = 0;  // from 1
  std::string Name;
  int Songs = 0;
};

// Where a singer the rotation has not seen goes.
enum class NewcomerPlacement {
  AtEnd,   // appended, as always
  Fairly,  // before the first singer who has already sung tonight, but never
           // before the singer who is up next
};

// The host's steering of the rotation; the defaults give the plain rotation.
struct RotationOptions {
  NewcomerPlacement Join = NewcomerPlacement::AtEnd;
  // How many queued songs one turn plays (1 to 3) before the rotation moves.
  int SongsPerTurn = 1;
  // The next-singers ticker adds each singer's estimated wait.
  bool TickerWaits = false;
  // A song a singer has sung before is queued with the key and channel of
  // the last time (unless it comes with a key or channel of its own).
  bool RememberKeys = false;
  // Requests from the floor wait for the host's "Accept" before they reach
  // the rotation (RequestApprovals).
  bool ApproveRequests = false;
};

class SingerRotation {
public:
  // Called after every change the views must show, and after every change
  // that is saved (with `save` true).
  using ChangeListener = std::function<void(bool save)>;
  void SetChangeListener(ChangeListener listener) { listener_ = std::move(listener); }
  // The key and channel `singer` last sang `path` with; false when they
  // never sang it (History).
  using KeyMemory =
      std::function<bool(const std::string& singer, const std::string& path, int& key, int& multiplex)>;
  void SetKeyMemory(KeyMemory memory) { keyMemory_ = std::move(memory); }

  const std::vector<Singer>& Singers() const { return singers_; }
  int Count() const { return static_cast<int>(singers_.size()); }
  bool Empty() const { return singers_.empty(); }

  int CurrentSinger() const { return currentSinger_; }
  int CurrentSong() const { return currentSong_; }
  int SelectedSinger() const { return selectedSinger_; }
  int SelectedSong() const { return selectedSong_; }
  bool Hold() const { return hold_; }
  const std::string& LastSongPath() const { return lastSongPath_; }

  // The live song settings the key, channel and tempo buttons act on.
  int LiveMultiplex() const { return liveMultiplex_; }
  int LiveKeyTenths() const { return liveKeyTenths_; }
  int LiveTempo() const { return liveTempo_; }
  void SetLiveMultiplex(int multiplex) { liveMultiplex_ = multiplex; }
  void SetLiveKeyTenths(int keyTenths) { liveKeyTenths_ = keyTenths; }
  void SetLiveTempo(int percent) { liveTempo_ = percent; }

  bool ValidSinger(int position) const { return position >= 0 && position < Count(); }
  bool ValidSong(int singer, int song) const {
    return ValidSinger(singer) && song >= 0 && song < static_cast<int>(singers_[singer].Playlist.size());
  }
  bool HasCurrentSong() const { return ValidSong(currentSinger_, currentSong_); }

  // Singers. AddSinger appends without telling anyone (the queue operations
  // and the list file build on it); AppendSinger is the host's "add singer
  // only" command: the views refresh and the rotation is saved.
  int AddSinger(const std::string& name);
  int AppendSinger(const std::string& name);
  bool RenameSinger(int position, const std::string& name);
  bool RemoveSelectedSinger();
  void MoveSingerDown();
  void MoveSingerUp();
  void MoveSingerToBottom();
  void MoveSingerToTop();
  int FindSingerExactly(const std::string& name) const;
  int FindSingerIgnoringCase(const std::string& name) const;

  // Steering. The options and the lock are kept in the extra state file.
  const RotationOptions& Options() const { return options_; }
  void SetOptions(const RotationOptions& options);
  bool SetSittingOut(int position, bool sittingOut);
  // Locks the singer who is up next: newcomers are never placed before them.
  bool NextUpLocked() const { return lockNextUp_; }
  void SetNextUpLocked(bool locked);
  // Where the next advance lands (the current position while held); -1 with
  // nobody to land on.
  int NextUpPosition() const;
  // Songs the current singer has started in this turn.
  int SongsThisTurn() const { return songsThisTurn_; }
  // Whether a singer is one the advance may land on.
  bool CanSing(int position) const {
    return ValidSinger(position) && !singers_[position].Playlist.empty() &&
           !singers_[position].SittingOut;
  }
  // Adds a singer where the newcomer rule puts them (requests and the Add
  // Song dialog's typed names); returns the position.
  int AddNewcomer(const std::string& name);

  // Songs.
  bool QueueSong(int singer, const QueuedSong& song);
  // History rows for a singer found by exact name, appended when missing.
  int QueueSongsForName(const std::string& name, const std::vector<QueuedSong>& songs);
  // A remote request: the singer found without regard to letter case.
  int QueueRequest(const std::string& name, const QueuedSong& song);
  bool RemoveSelectedSong(bool removeEmptySingers);
  bool EditSelectedSong(int key, int multiplex, int tempo);
  void MoveSongDown();
  void MoveSongUp();
  void MoveSongToBottom();
  void MoveSongToTop();

  // Clicks.
  void SelectSinger(int row);
  void SelectSong(int row);
  // Double clicks: make the singer (song) current. With a song playing and
  // "Proceed to Next Singer" on, the end of that song keeps the cue.
  void CueSinger(int row, bool songPlaying, bool proceedToNextSinger);
  void CueSong(int row, bool songPlaying, bool proceedToNextSinger);

  // The display after a change of the current position; with a valid song it
  // also takes the song's settings as the live ones.
  NowUp ShowNowUp();
  NowUp NowUpDisplay() const;

  void Advance();
  // The "Next Singer" command: with "Proceed to Next Singer" on it advances
  // and then holds, so the end of the next song does not move again.
  void NextSingerCommand(bool proceedToNextSinger);

  // Play. Returns true when a song was opened (Play is then disabled).
  bool StartCurrentSong(PlayHost& host, bool autoManageAmbients, bool removeEmptySingers);

  // The singers after the current one for the ticker (see NextSinger).
  std::vector<NextSinger> NextSingers(int maximum, bool includeEmptySingers) const;

  // The list file: text lines (without line ends) and its reading. Loading
  // appends to the rotation that exists.
  std::vector<std::string> ListFileLines() const;
  void LoadListFileText(const std::string& text);
  bool Save(const std::string& path) const;
  // Writes the file of an empty rotation that the next start reads as empty
  // ("0").
  static bool SaveEmpty(const std::string& path);
  bool Load(const std::string& path);

  // The extra state beside the list file (options, lock, sit-outs, songs
  // sung tonight, queued songs' tempos). Lines that name a singer the list does not hold at that
  // place are ignored, so a stale or foreign file changes nothing.
  std::vector<std::string> ExtraStateLines() const;
  // `firstSinger`: where the list file's singers begin (loading appends).
  void LoadExtraStateLines(const std::vector<std::string>& lines, int firstSinger = 0);

private:
  void SwapSingers(int a, int b);
  void SwapSongs(std::vector<QueuedSong>& playlist, int a, int b);
  void EraseSinger(int position);
  void Changed(bool save);
  int PlaceForNewcomer() const;
  // Where the advance lands once the current turn is over.
  int NextTurnPosition() const;
  void InsertSinger(int position, Singer singer);

  std::vector<Singer> singers_;
  // Each folded name's first position, so a request finds its singer
  // without folding every name; rebuilt after a change that moves singers,
  // kept up by the appends a burst of requests makes.
  mutable std::unordered_map<std::string, int> foldedIndex_;
  mutable bool foldedIndexValid_ = false;
  int currentSinger_ = -1;
  int currentSong_ = -1;
  int selectedSinger_ = 0;
  int selectedSong_ = 0;
  bool hold_ = false;
  bool loading_ = false;
  std::string lastSongPath_;
  int liveMultiplex_ = 0;
  int liveKeyTenths_ = 0;
  int liveTempo_ = 0;
  RotationOptions options_;
  bool lockNextUp_ = false;
  int songsThisTurn_ = 0;
  ChangeListener listener_;
  KeyMemory keyMemory_;
};

}  // namespace lyricade
