#include "singers/singer_rotation.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <utility>

#include "common/text_file.h"

namespace lyricade {
namespace {

std::string FoldCase(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

// Reads the list file the way it was always read: numbers with "%d" that
// skip blank space before them and after their line end, text lines of at
// most 1023 characters whose line end is dropped.
class ListFileReader {
public:
  explicit ListFileReader(const std::string& text) : text_(text) {}

  bool AtEnd() const { return at_ >= text_.size(); }

  // "%d": optional blanks, a sign and digits. False (value 0) when no number
  // is there.
  bool Number(int& value) {
    value = 0;
    SkipSpace();
    size_t at = at_;
    bool negative = false;
    if (at < text_.size() && (text_[at] == '-' || text_[at] == '+')) negative = text_[at++] == '-';
    const size_t digits = at;
    long long parsed = 0;
    while (at < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at]))) {
      if (parsed < 1'000'000'000) parsed = parsed * 10 + (text_[at] - '0');
      ++at;
    }
    if (at == digits) return false;
    at_ = at;
    value = static_cast<int>(negative ? -parsed : parsed);
    return true;
  }
  // A literal character of the format.
  bool Literal(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  // The "\n" (or " ") of a format: any amount of blank space.
  void SkipSpace() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  // One text line of at most 1023 characters without its line end, then
  // without its first character (the "-"). False at the end of the file.
  bool Line(std::string& value) {
    if (AtEnd()) return false;
    size_t end = at_;
    while (end < text_.size() && end - at_ < 1023 && text_[end] != '\n') ++end;
    std::string line = text_.substr(at_, end - at_);
    at_ = (end < text_.size() && text_[end] == '\n') ? end + 1 : end;
    const size_t cut = line.find_first_of("\r\n");
    if (cut != std::string::npos) line.resize(cut);
    value = line.empty() ? std::string() : line.substr(1);
    return true;
  }

private:
  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

void SingerRotation::Changed(bool save) {
  if (listener_) listener_(save && !loading_);
}

int SingerRotation::AddSinger(const std::string& name) {
  singers_.push_back(Singer{SanitisedSingerName(name), {}});
  if (foldedIndexValid_) foldedIndex_.emplace(FoldCase(singers_.back().Name), Count() - 1);
  return Count() - 1;
}

int SingerRotation::AppendSinger(const std::string& name) {
  const int position = AddNewcomer(name);
  Changed(true);
  return position;
}

bool SingerRotation::RenameSinger(int position, const std::string& name) {
  if (!ValidSinger(position)) return false;
  singers_[position].Name = SanitisedSingerName(name);
  foldedIndexValid_ = false;
  Changed(true);
  return true;
}

void SingerRotation::EraseSinger(int position) {
  singers_[position].Playlist.clear();
  singers_.erase(singers_.begin() + position);
  foldedIndexValid_ = false;
}

bool SingerRotation::RemoveSelectedSinger() {
  if (!ValidSinger(selectedSinger_)) return false;
  const int removed = selectedSinger_;
  EraseSinger(removed);
  if (removed == currentSinger_) {
    ++currentSinger_;
    currentSong_ = -1;
    songsThisTurn_ = 0;
  }
  selectedSinger_ = -1;
  Changed(true);
  return true;
}

void SingerRotation::SwapSingers(int a, int b) {
  std::swap(singers_[a], singers_[b]);
  foldedIndexValid_ = false;
  if (currentSinger_ == a)
    currentSinger_ = b;
  else if (currentSinger_ == b)
    currentSinger_ = a;
}

void SingerRotation::MoveSingerDown() {
  if (Count() < 2 || !ValidSinger(selectedSinger_)) return;
  if (selectedSinger_ < Count() - 1) {
    SwapSingers(selectedSinger_, selectedSinger_ + 1);
    ++selectedSinger_;
  }
  Changed(true);
}

void SingerRotation::MoveSingerUp() {
  if (Count() < 2 || !ValidSinger(selectedSinger_)) return;
  if (selectedSinger_ > 0) {
    SwapSingers(selectedSinger_, selectedSinger_ - 1);
    --selectedSinger_;
  }
  Changed(true);
}

void SingerRotation::MoveSingerToBottom() {
  if (Count() < 2 || !ValidSinger(selectedSinger_)) return;
  for (; selectedSinger_ < Count() - 1; ++selectedSinger_) SwapSingers(selectedSinger_, selectedSinger_ + 1);
  Changed(true);
}

void SingerRotation::MoveSingerToTop() {
  if (Count() < 2 || !ValidSinger(selectedSinger_)) return;
  for (; selectedSinger_ > 0; --selectedSinger_) SwapSingers(selectedSinger_, selectedSinger_ - 1);
  Changed(true);
}

int SingerRotation::FindSingerExactly(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (singers_[i].Name == name) return i;
  return -1;
}

int SingerRotation::FindSingerIgnoringCase(const std::string& name) const {
  if (!foldedIndexValid_) {
    foldedIndex_.clear();
    for (int i = 0; i < Count(); ++i) foldedIndex_.emplace(FoldCase(singers_[i].Name), i);
    foldedIndexValid_ = true;
  }
  const auto found = foldedIndex_.find(FoldCase(name));
  return found == foldedIndex_.end() ? -1 : found->second;
}

bool SingerRotation::QueueSong(int singer, const QueuedSong& song) {
  if (!ValidSinger(singer)) return false;
  QueuedSong queued = SanitisedSong(song);
  int key = 0, multiplex = 0;
  if (options_.RememberKeys && keyMemory_ && queued.Key == 0 && queued.Multiplex == 0 &&
      keyMemory_(singers_[singer].Name, queued.Path, key, multiplex) && (key != 0 || multiplex != 0)) {
    queued.Key = std::clamp(key, -4, 4);
    queued.Multiplex = std::clamp(multiplex, 0, 2);
    queued.KeyRemembered = true;
  }
  singers_[singer].Playlist.push_back(std::move(queued));
  Changed(true);
  return true;
}

int SingerRotation::QueueSongsForName(const std::string& name, const std::vector<QueuedSong>& songs) {
  const std::string clean = SanitisedSingerName(name);
  int singer = FindSingerExactly(clean);
  if (singer < 0) singer = AddNewcomer(clean);
  for (const QueuedSong& song : songs) singers_[singer].Playlist.push_back(SanitisedSong(song));
  Changed(true);
  return singer;
}

int SingerRotation::QueueRequest(const std::string& name, const QueuedSong& song) {
  const std::string clean = SanitisedSingerName(name);
  int singer = FindSingerIgnoringCase(clean);
  if (singer < 0) singer = AddNewcomer(clean);
  QueueSong(singer, song);
  return singer;
}

bool SingerRotation::RemoveSelectedSong(bool removeEmptySingers) {
  if (!ValidSong(selectedSinger_, selectedSong_)) return false;
  std::vector<QueuedSong>& playlist = singers_[selectedSinger_].Playlist;
  playlist.erase(playlist.begin() + selectedSong_);
  if (selectedSinger_ == currentSinger_ && selectedSong_ == currentSong_) {
    ++currentSong_;
    if (currentSong_ > static_cast<int>(playlist.size()) - 1) currentSong_ = 0;
  }
  if (playlist.empty() && removeEmptySingers) {
    RemoveSelectedSinger();
    return true;
  }
  Changed(true);
  return true;
}

bool SingerRotation::EditSelectedSong(int key, int multiplex, int tempo) {
  if (!ValidSong(selectedSinger_, selectedSong_)) return false;
  QueuedSong& song = singers_[selectedSinger_].Playlist[selectedSong_];
  song.Key = std::clamp(key, -4, 4);
  song.Multiplex = std::clamp(multiplex, 0, 2);
  song.Tempo = std::clamp(tempo, -kTempoLimit, kTempoLimit);
  song.KeyRemembered = false;
  Changed(true);
  return true;
}

// The current song moves with the swapped song, whichever playlist it is.
void SingerRotation::SwapSongs(std::vector<QueuedSong>& playlist, int a, int b) {
  std::swap(playlist[a], playlist[b]);
  if (currentSong_ == a)
    currentSong_ = b;
  else if (currentSong_ == b)
    currentSong_ = a;
}

void SingerRotation::MoveSongDown() {
  if (!ValidSinger(selectedSinger_)) return;
  auto& playlist = singers_[selectedSinger_].Playlist;
  const int last = static_cast<int>(playlist.size()) - 1;
  if (playlist.size() >= 2 && selectedSong_ >= 0 && selectedSong_ < last) {
    SwapSongs(playlist, selectedSong_, selectedSong_ + 1);
    ++selectedSong_;
  }
  Changed(true);
}

void SingerRotation::MoveSongUp() {
  if (!ValidSinger(selectedSinger_)) return;
  auto& playlist = singers_[selectedSinger_].Playlist;
  if (playlist.size() >= 2 && selectedSong_ > 0 && selectedSong_ < static_cast<int>(playlist.size())) {
    SwapSongs(playlist, selectedSong_, selectedSong_ - 1);
    --selectedSong_;
  }
  Changed(true);
}

void SingerRotation::MoveSongToBottom() {
  if (!ValidSinger(selectedSinger_)) return;
  auto& playlist = singers_[selectedSinger_].Playlist;
  const int last = static_cast<int>(playlist.size()) - 1;
  if (playlist.size() >= 2 && selectedSong_ >= 0 && selectedSong_ < last)
    for (; selectedSong_ < last; ++selectedSong_) SwapSongs(playlist, selectedSong_, selectedSong_ + 1);
  Changed(true);
}

void SingerRotation::MoveSongToTop() {
  if (!ValidSinger(selectedSinger_)) return;
  auto& playlist = singers_[selectedSinger_].Playlist;
  if (playlist.size() >= 2 && selectedSong_ > 0 && selectedSong_ < static_cast<int>(playlist.size()))
    for (; selectedSong_ > 0; --selectedSong_) SwapSongs(playlist, selectedSong_, selectedSong_ - 1);
  Changed(true);
}

void SingerRotation::SelectSinger(int row) {
  selectedSinger_ = row;
  Changed(false);
}

void SingerRotation::SelectSong(int row) {
  selectedSong_ = row;
  Changed(false);
}

void SingerRotation::CueSinger(int row, bool songPlaying, bool proceedToNextSinger) {
  currentSinger_ = row;
  songsThisTurn_ = 0;
  currentSong_ = 0;
  ShowNowUp();
  if (songPlaying && proceedToNextSinger) hold_ = true;
  Changed(false);
}

void SingerRotation::CueSong(int row, bool songPlaying, bool proceedToNextSinger) {
  currentSinger_ = selectedSinger_;
  currentSong_ = row;
  songsThisTurn_ = 0;
  ShowNowUp();
  if (songPlaying && proceedToNextSinger) hold_ = true;
  Changed(false);
}

NowUp SingerRotation::NowUpDisplay() const {
  NowUp display;
  if (ValidSinger(currentSinger_) && currentSong_ == -1) {
    display.HasSinger = true;
    display.SingerName = singers_[currentSinger_].Name;
  } else if (HasCurrentSong()) {
    display.HasSinger = display.HasSong = true;
    display.SingerName = singers_[currentSinger_].Name;
    display.Title = singers_[currentSinger_].Playlist[currentSong_].Title;
  }
  return display;
}

NowUp SingerRotation::ShowNowUp() {
  if (HasCurrentSong()) {
    const QueuedSong& song = singers_[currentSinger_].Playlist[currentSong_];
    liveMultiplex_ = song.Multiplex;
    liveKeyTenths_ = song.Key * 10;
    liveTempo_ = song.Tempo;
  }
  return NowUpDisplay();
}

void SingerRotation::Advance() {
  if (Empty()) return;
  const int previous = currentSinger_;
  const int target = NextUpPosition();
  hold_ = false;
  currentSinger_ = target;
  currentSong_ = 0;
  if (target != previous) songsThisTurn_ = 0;
  ShowNowUp();
  Changed(false);
}

void SingerRotation::NextSingerCommand(bool proceedToNextSinger) {
  // The host moves on even when the turn has songs left.
  songsThisTurn_ = 0;
  if (proceedToNextSinger) {
    hold_ = false;
    Advance();
    hold_ = true;
  } else {
    Advance();
  }
}

bool SingerRotation::StartCurrentSong(PlayHost& host, bool autoManageAmbients,
                                      bool removeEmptySingers) {
  host.StopForNextSong();
  if (autoManageAmbients) host.FadeOutBreakMusic();

  // A current singer with songs queued but no current song (the singer
  // before was erased when their last song started, or this one came back
  // from the History): Play takes this singer's first song, as a cue would.
  // Replaying the last song would sing the wrong singer's song; that replay
  // stays for a rotation with nobody up or a singer with nothing queued.
  if (ValidSinger(currentSinger_) && !singers_[currentSinger_].Playlist.empty() &&
      !HasCurrentSong()) {
    currentSong_ = 0;
    ShowNowUp();
  }

  const bool valid = HasCurrentSong();
  int rememberedSinger = -1, rememberedSong = -1;
  std::string path;
  int multiplex, keyTenths, tempo;
  if (valid) {
    rememberedSinger = currentSinger_;
    rememberedSong = currentSong_;
    const QueuedSong song = singers_[currentSinger_].Playlist[currentSong_];
    lastSongPath_ = song.Path;
    path = song.Path;
    multiplex = song.Multiplex;
    keyTenths = song.Key * 10;
    tempo = song.Tempo;
    host.RecordStartedSong(song, singers_[currentSinger_].Name);
  } else {
    if (lastSongPath_.empty()) return false;
    path = lastSongPath_;
    multiplex = liveMultiplex_;
    keyTenths = liveKeyTenths_;
    tempo = liveTempo_;
  }

  const int currentAtOpen = currentSinger_;
  if (!host.OpenSong(path, multiplex, keyTenths, tempo)) return false;
  // A newcomer placed before the singer while the song opened moved them on.
  if (valid) rememberedSinger += currentSinger_ - currentAtOpen;

  // The opened song may have changed the rotation (a request arriving while
  // the graph was built): look the song up again before taking it out.
  if (valid && ValidSong(rememberedSinger, rememberedSong)) {
    ++singers_[rememberedSinger].SungTonight;
    ++songsThisTurn_;
    auto& playlist = singers_[rememberedSinger].Playlist;
    playlist.erase(playlist.begin() + rememberedSong);
    if (playlist.empty() && removeEmptySingers) {
      EraseSinger(rememberedSinger);
      ++rememberedSinger;
      if (rememberedSinger > Count() - 1) rememberedSinger = 0;
      if (Empty()) rememberedSinger = -1;
      selectedSinger_ = rememberedSinger;
      hold_ = true;
      songsThisTurn_ = 0;
    }
  }
  if (!Empty() && rememberedSinger == selectedSinger_) currentSong_ = -1;
  if (Empty()) selectedSinger_ = -1;
  Changed(true);
  return true;
}

std::vector<NextSinger> SingerRotation::NextSingers(int maximum, bool includeEmptySingers) const {
  std::vector<NextSinger> next;
  const int n = Count();
  if (n == 0 || !ValidSinger(currentSinger_)) return next;
  for (int step = 1; step <= n && static_cast<int>(next.size()) < maximum; ++step) {
    const int position = (currentSinger_ + step) % n;
    const Singer& singer = singers_[position];
    const int songs = static_cast<int>(singer.Playlist.size());
    if (position == currentSinger_) {
      // The list ends at the current singer, listed again only with a song
      // beyond the one now up.
      if (songs >= 2) next.push_back({static_cast<int>(next.size()) + 1, singer.Name, songs});
      break;
    }
    if (singer.SittingOut || (songs == 0 && !includeEmptySingers)) continue;
    next.push_back({static_cast<int>(next.size()) + 1, singer.Name, songs});
  }
  return next;
}

std::vector<std::string> SingerRotation::ListFileLines() const {
  std::vector<std::string> lines;
  if (singers_.empty()) return lines;
  lines.push_back(std::to_string(singers_.size()));
  for (const Singer& singer : singers_) {
    lines.push_back("-" + singer.Name);
    lines.push_back(std::to_string(singer.Playlist.size()));
    for (const QueuedSong& song : singer.Playlist) {
      lines.push_back(std::to_string(song.Key) + ", " + std::to_string(song.Multiplex) + ", " +
                      std::to_string(song.SourceRow));
      for (const std::string* text :
           {&song.Title, &song.Year, &song.Path, &song.Artist, &song.Id, &song.Comment})
        lines.push_back("-" + *text);
    }
  }
  return lines;
}

void SingerRotation::LoadListFileText(const std::string& text) {
  loading_ = true;
  ListFileReader reader(text);
  int singerCount = 0;
  reader.Number(singerCount);
  reader.SkipSpace();
  for (int s = 0; s < singerCount; ++s) {
    std::string name;
    if (!reader.Line(name)) break;
    const int singer = AddSinger(name);
    int songCount = 0;
    reader.Number(songCount);
    reader.SkipSpace();
    for (int k = 0; k < songCount; ++k) {
      QueuedSong song;
      // "%d, %d, %d\n": each number skips the blanks before it.
      const bool numbers = reader.Number(song.Key) && reader.Literal(',') &&
                           reader.Number(song.Multiplex) && reader.Literal(',') &&
                           reader.Number(song.SourceRow);
      reader.SkipSpace();
      if (!numbers) break;
      bool complete = true;
      for (std::string* field :
           {&song.Title, &song.Year, &song.Path, &song.Artist, &song.Id, &song.Comment})
        complete = reader.Line(*field) && complete;
      singers_[singer].Playlist.push_back(SanitisedSong(song));
      if (!complete) break;
    }
    if (reader.AtEnd()) break;
  }
  loading_ = false;
  Changed(false);
}

bool SingerRotation::Save(const std::string& path) const {
  if (loading_) return false;
  return WriteTextLinesAtomically(path, ListFileLines());
}

bool SingerRotation::SaveEmpty(const std::string& path) { return WriteTextLinesAtomically(path, {"0"}); }

bool SingerRotation::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream content;
  content << in.rdbuf();
  LoadListFileText(content.str());
  return true;
}

}  // namespace lyricade
