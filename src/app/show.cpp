#include "app/show.h"

#include <algorithm>
#include <chrono>

#include "app/app_log.h"
#include "app/transport_display.h"
#include "common/app_settings.h"
#include "common/text_file.h"
#include "playback/song_location.h"
#include "platform/prompts/prompts.h"
#include "screen/ticker_text.h"

namespace lyricade {

Show::Show(AppSettings& settings, Prompts& prompts, ShowFolders folders, SceneFlags* scene,
           QObject* parent)
    : RotationHost(parent),
      settings_(settings),
      prompts_(prompts),
      folders_(std::move(folders)),
      ownScene_(scene ? nullptr : std::make_unique<SceneFlags>()),
      scene_(scene ? *scene : *ownScene_),
      cdg_(settings),
      backgrounds_(settings),
      extractor_(folders_.Scratch + "Zipped/", prompts, folders_.ModuleFolder),
      transport_(settings, cdg_, *this, scene_),
      opener_(settings, prompts, transport_, cdg_, extractor_, *this, scene_,
              folders_.Data.empty() ? std::string() : folders_.Data + "QuillonLog.log"),
      streamed_(http_, prompts, transport_, cdg_, scene_, folders_.Scratch + "Stream/",
                ServiceBaseUrl()),
      breakPlayer_(this, [this](uint64_t graph, TrackEnd end) { breakMusic_.TrackEnded(graph, end); },
                   "break track"),
      effectPlayer_(this, [this](uint64_t graph, TrackEnd end) { effects_.EffectEnded(graph, end); },
                    "effect"),
      breakMusic_(settings, breakPlayer_, ambients_),
      effects_(settings, effectPlayer_, effectSlots_) {
  opener_.SetStreamedSongOpener(&streamed_);
  breakMusic_.SetSongPlaying([this] { return transport_.State().Playing; });
  transport_.SetEventReceiver(this, [this](GraphId graph, GraphEvent event) {
    graphEvent(graph, event);
  });
  transport_.SetExtractionCleanup([this] { extractor_.DeleteExtractedFiles(); });
  rotation_.SetChangeListener([this](bool save) {
    if (batchingRequests_) {
      requestSavePending_ = requestSavePending_ || save;
      if (!requestFlushPending_) {
        requestFlushPending_ = true;
        QMetaObject::invokeMethod(this, [this] { FlushRequestChanges(); }, Qt::QueuedConnection);
      }
      return;
    }
    if (save && !folders_.Data.empty()) {
      if (deferSaves_)
        rotationWriter_.Post(RotationFiles());
      else
        SaveRotation();
    }
    emit rotationChanged();
    // Cueing and advancing set the live key and channel to the song that is
    // up: the labels show them at once.
    emit transportChanged();
  });
}

Show::~Show() { transport_.Teardown(); }

bool Show::PlaySong(const std::string& location, int channel, int keyTenths, int tempoPercent) {
  transport_.StopPlayback(true);
  transport_.Teardown();
  leveling_.PrepareSong(location);
  const bool started = opener_.OpenSong(location, channel, keyTenths, tempoPercent);
  TakeOpenedSettings();
  if (started) RecordOpenedLength(location);
  if (started) playEnabled_ = false;
  return started;
}

void Show::graphEvent(GraphId graph, GraphEvent event) {
  if (graph == 0 || graph != transport_.CurrentGraphId()) return;
  if (event == GraphEvent::DurationChanged) {
    transport_.RefreshDuration();
    return;
  }
  if (graph == endedGraph_) return;
  endedGraph_ = graph;
  EndOfSong();
}

void Show::EndOfSong() {
  changeovers_.SongEnded(NowMs() / 1000.0);
  lastEndPosition_ = transport_.CurrentPosition();
  transport_.StopPlayback(true);
  ++songsEnded_;
  if (settings_.ProceedToNextSinger.load()) rotation_.Advance();
  if (settings_.KeepPlayingNonStop.load()) {
    const int current = rotation_.CurrentSinger();
    if (rotation_.ValidSinger(current) && !rotation_.Singers()[current].Playlist.empty()) {
      Play();
      ShowNextSingers();
    }
  } else {
    if (settings_.AutoAnnounceSinger.load()) Announce();
    if (settings_.AutoManageAmbients.load()) StartBreakMusic();
  }
  emit songEnded();
}

void Show::LoadRotation() {
  if (folders_.Data.empty()) return;
  const int firstSinger = rotation_.Count();
  if (!rotation_.Load(RotationFile())) return;
  if (const auto state = ReadTextLines(RotationStateFile()))
    rotation_.LoadExtraStateLines(*state, firstSinger);
}

// The extra state goes first, so the list on disk is never newer than its
// state; state lines that no longer match the list's singers are ignored.
std::vector<FileText> Show::RotationFiles() const {
  return {FileText{RotationStateFile(), rotation_.ExtraStateLines()},
          FileText{RotationFile(), rotation_.ListFileLines()}};
}

void Show::StopForNextSong() {
  transport_.StopPlayback(true);
  // Nothing of the last song survives, playing or not.
  transport_.Teardown();
}

void Show::RecordStartedSong(const QueuedSong& song, const std::string& singer) {
  openingTitle_ = song.Title;
  if (history_) history_->RecordStartedSong(song, singer);
}

void Show::SetHistory(HistoryRecorder* history) {
  history_ = history;
  if (!history) {
    rotation_.SetKeyMemory({});
    return;
  }
  rotation_.SetKeyMemory([history](const std::string& singer, const std::string& path, int& key,
                                   int& multiplex) { return history->LastSettings(singer, path, key, multiplex); });
}

void Show::RecordOpenedLength(const std::string& path) {
  // The graph knows the length of what it opened (a ZIP's song too); a
  // stream's grows while it arrives and is not kept.
  const PlaybackState& opened = transport_.State();
  if (lengths_ && opened.Playing && !opened.LiveDuration && opened.Duration > 0)
    lengths_->Record(path, static_cast<int>(opened.Duration / 10'000'000));
}

bool Show::OpenSong(const std::string& path, int multiplex, int keyTenths, int tempo) {
  leveling_.PrepareSong(path);
  const bool opened = opener_.OpenSong(path, multiplex, keyTenths, tempo);
  TakeOpenedSettings();
  if (opened) RecordOpenedLength(path);
  // A missing file "opens" without playing: the music stays for the room. A
  // streamed song starts later and fades the music as it is asked for.
  if (fadeOutWhenOpened_ && opened &&
      (transport_.State().Playing || opener_.Current().Kind == SongKind::Streamed))
    FadeBreakMusicNow();
  fadeOutWhenOpened_ = false;
  if (openingTitle_.empty()) openingTitle_ = path;
  const bool streamed = opener_.Current().Kind == SongKind::Streamed;
  if (!opened)
    skipReason_ = KindOfLocation(path) == SongKind::Zipped ? "the archive does not unpack"
                                                           : "the file does not play";
  else if (!streamed && !transport_.State().Playing)
    skipReason_ = "the file is missing";
  return opened;
}

// Song opening stored the song's key, channel and tempo as the current ones:
// the live settings (and the labels) follow.
void Show::TakeOpenedSettings() {
  const PlaybackState& state = transport_.State();
  rotation_.SetLiveKeyTenths(state.KeyTenths);
  rotation_.SetLiveMultiplex(state.Channel);
  rotation_.SetLiveTempo(state.TempoPercent);
  emit transportChanged();
}

bool Show::Play() {
  if (skipping_) return PlayOnce();
  skippedNow_.clear();
  bool started = PlayOnce();
  if (settings_.KeepPlayingNonStop.load()) started = SkipToAPlayingSong(started);
  // The note stays while the song after the skipped ones plays.
  if (!skippedNow_.empty())
    SetHostNote(skippedNow_);
  else if (transport_.State().Playing)
    SetHostNote({});
  return started;
}

bool Show::SkipToAPlayingSong(bool started) {
  // Non-stop: a skipped song ends as a song would and the next one starts.
  // A song that failed and stays queued is not tried again in the same run,
  // and the run is bounded by the songs queued.
  skipping_ = true;
  int songsLeft = 0;
  for (const Singer& singer : rotation_.Singers())
    songsLeft += static_cast<int>(singer.Playlist.size());
  std::vector<std::pair<std::string, std::string>> failed;
  while (!skipReason_.empty() && songsLeft-- > 0) {
    if (settings_.ProceedToNextSinger.load()) rotation_.Advance();
    const int current = rotation_.CurrentSinger();
    if (!rotation_.ValidSinger(current) || rotation_.Singers()[current].Playlist.empty()) break;
    const Singer& singer = rotation_.Singers()[current];
    const std::pair<std::string, std::string> next{singer.Name, singer.Playlist.front().Path};
    if (std::find(failed.begin(), failed.end(), next) != failed.end()) break;
    failed.push_back(next);
    started = PlayOnce();
  }
  skipping_ = false;
  return started;
}

bool Show::PlayOnce() {
  openingTitle_.clear();
  skipReason_.clear();
  const bool started = rotation_.StartCurrentSong(*this, settings_.AutoManageAmbients.load(),
                                                  settings_.RemoveEmptySingers.load());
  fadeOutWhenOpened_ = false;
  if (started) {
    playEnabled_ = false;
    changeovers_.SongStarted(NowMs() / 1000.0);
  }
  // A long run of skips keeps its first lines; the note stays readable.
  if (!skipReason_.empty() && skippedNow_.size() < 2000)
    skippedNow_ += (skippedNow_.empty() ? "" : "\n") + ("Skipped: " + openingTitle_ + ": " + skipReason_);
  ShowNextSingers();
  return started;
}

void Show::SetHostNote(std::string note) {
  if (note == hostNote_) return;
  hostNote_ = std::move(note);
  emit hostNoteChanged();
}

void Show::NextSinger() {
  rotation_.NextSingerCommand(settings_.ProceedToNextSinger.load());
  if (rotation_.HasCurrentSong()) playEnabled_ = true;
}

void Show::CueSinger(int row) {
  rotation_.CueSinger(row, transport_.State().Playing, settings_.ProceedToNextSinger.load());
  playEnabled_ = true;
}

void Show::CueSong(int row) {
  rotation_.CueSong(row, transport_.State().Playing, settings_.ProceedToNextSinger.load());
  playEnabled_ = true;
}

void Show::Announce() {
  if (rotation_.Empty()) return;
  // The card would cover the lyrics and the countdown would cut the song:
  // the host decides.
  if (transport_.State().Playing) {
    if (prompts_.Message("Announce Singer", "A song is playing. Stop it and announce the next singer?",
                         PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes)
      return;
    transport_.StopPlayback(false);
  }
  // A singer sitting out (cued by hand) is not called to the stage.
  if (rotation_.HasCurrentSong() && !rotation_.Singers()[rotation_.CurrentSinger()].SittingOut) {
    const Singer& singer = rotation_.Singers()[rotation_.CurrentSinger()];
    const QueuedSong& song = singer.Playlist[rotation_.CurrentSong()];
    lastAnnouncement_ = {singer.Name, song.Title, song.Artist};
    if (announcements_) announcements_->DrawAnnounceCard(singer.Name, song.Title, song.Artist);
    if (settings_.NextStartTimer.load()) {
      countdownStartMs_ = NowMs();
      if (announcements_) announcements_->ShowCountdown(true, countdownStartMs_);
    }
    // From the next frame the screen shows the card instead of the
    // background.
    scene_.AnnounceCardShowing = true;
  }
  ShowNextSingers();
}

void Show::ShowNextSingers() {
  ++tickerRebuilds_;
  if (!settings_.AutoNextSingerTicker.load() || rotation_.Count() < 2) return;
  std::vector<TickerSinger> singers;
  for (const Singer& singer : rotation_.Singers())
    singers.push_back({singer.Name, static_cast<int>(singer.Playlist.size()), singer.SittingOut, {}});
  const bool withWaits = rotation_.Options().TickerWaits;
  if (withWaits) {
    const std::vector<SingerWait> waits = SingerWaits();
    for (size_t i = 0; i < waits.size() && i < singers.size(); ++i)
      singers[i].Wait = WaitMinutesText(waits[i]);
  }
  const std::string text =
      NextSingersText(singers, rotation_.CurrentSinger(), settings_.TickerSingersMinus3.load() + 3,
                      settings_.EmptySingersInTicker.load(), withWaits);
  if (!TickerTextNamesSingers(text)) return;
  // The line that shows already needs no second start; a changed one
  // replaces it at its next pass.
  if (announcements_ && announcements_->TickerShowing() && text == lastTickerText_) return;
  lastTickerText_ = text;
  if (announcements_) announcements_->StartTicker(text);
}

void Show::HideAnnounceCard() {
  scene_.AnnounceCardShowing = false;
  EndCountdown();
}

void Show::EndCountdown() {
  if (countdownStartMs_ < 0) return;
  countdownStartMs_ = -1;
  if (announcements_) announcements_->ShowCountdown(false, 0);
}

// The countdown's end, from the timer: whether or not the screen draws, the
// show goes on. In order: the countdown ends, whatever plays stops (and the
// card goes down), and the delayed start is armed after the stop, which
// would otherwise disarm it.
void Show::RunCountdown() {
  if (countdownStartMs_ < 0) return;
  if ((NowMs() - countdownStartMs_) / 1000 < settings_.CountdownSeconds.load()) return;
  EndCountdown();
  transport_.StopPlayback(false);
  ArmDelayedStart();
}

bool Show::RemoveSelectedSinger() {
  // Nothing selected: nothing to ask about.
  if (!rotation_.ValidSinger(rotation_.SelectedSinger())) return false;
  if (prompts_.Message("Remove", "Are you sure?", PromptButtons::YesNo, PromptIcon::Question) !=
      PromptAnswer::Yes)
    return false;
  return rotation_.RemoveSelectedSinger();
}

bool Show::RemoveSelectedSong() {
  if (!rotation_.ValidSong(rotation_.SelectedSinger(), rotation_.SelectedSong())) return false;
  if (prompts_.Message("Remove", "Are you sure?", PromptButtons::YesNo, PromptIcon::Question) !=
      PromptAnswer::Yes)
    return false;
  return rotation_.RemoveSelectedSong(settings_.RemoveEmptySingers.load());
}

std::vector<SingerWait> Show::SingerWaits() const {
  const PlaybackState& state = transport_.State();
  int remaining = 0;
  const int64_t position = transport_.CurrentPosition();
  if (state.Playing && state.Duration > 0 && position >= 0)
    remaining = static_cast<int>(
        std::max<int64_t>(0, state.Duration - position) / 10'000'000);
  const auto length = [this](const QueuedSong& song) {
    const int seconds = lengths_ ? lengths_->Seconds(song.Path) : -1;
    return seconds > 0 ? seconds : kAssumedSongSeconds;
  };
  return EstimateWaits(rotation_, length,
                       changeovers_.ChangeoverSeconds(), state.Playing, remaining);
}

int64_t Show::NowMs() const {
  if (nowMs_) return nowMs_();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Show::ArmDelayedStart() { delayedStartArmedMs_ = NowMs(); }

bool Show::ConfirmExit() {
  if (transport_.State().Playing &&
      prompts_.Message("Exit Program", "A Song is Still Playing, Do You Still Wish To Exit?",
                       PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes)
    return false;
  switch (prompts_.Message("Save Singer List Before You Exit", "Save Singer List Before You Exit?",
                           PromptButtons::YesNoCancel, PromptIcon::Question)) {
    case PromptAnswer::Yes: SaveRotation(); return true;
    case PromptAnswer::No:
      // No singer means no state: the old state file goes empty first.
      WriteTextLinesAtomically(RotationStateFile(), {});
      if (!SingerRotation::SaveEmpty(RotationFile()))
        qCWarning(lcApp) << "the empty singer list could not be written to" << RotationFile().c_str();
      return true;
    default: return false;
  }
}

bool Show::SaveRotation() {
  const bool ok = rotationWriter_.WriteNow(RotationFiles());
  ReportRotationSave(ok);
  return ok;
}

// Runs on the UI thread or the writer thread.
void Show::ReportRotationSave(bool ok) {
  if (ok) {
    rotationSaveFailed_ = false;
    return;
  }
  if (!rotationSaveFailed_.exchange(true))
    qCWarning(lcApp) << "the singer list could not be written to" << RotationFile().c_str()
                     << "(further failures are not reported until a save succeeds)";
}

int Show::QueueRequestedSong(const std::string& singer, const QueuedSong& song) {
  batchingRequests_ = true;
  const int position = rotation_.QueueRequest(singer, song);
  batchingRequests_ = false;
  StartOnRequest();
  return position;
}

void Show::FlushRequestChanges() {
  if (!requestFlushPending_) return;
  requestFlushPending_ = false;
  if (requestSavePending_ && !folders_.Data.empty()) rotationWriter_.Post(RotationFile(), rotation_.ListFileLines());
  requestSavePending_ = false;
  emit rotationChanged();
  emit transportChanged();
}

void Show::StartOnRequest() {
  if (!settings_.PlayOnRequest.load()) return;
  // Something is loaded, playing, announced or about to start.
  if (transport_.State().Playing || transport_.CurrentGraphId() != 0 || scene_.AnnounceCardShowing ||
      CountdownActive() || DelayedStartArmed())
    return;
  deferSaves_ = true;
  rotation_.Advance();
  if (rotation_.HasCurrentSong()) playEnabled_ = true;
  if (settings_.NextStartTimer.load())
    Announce();
  else
    Play();
  deferSaves_ = false;
}

void Show::TogglePause() {
  const bool wasPaused = transport_.State().Paused;
  if (!transport_.TogglePause() && transport_.State().Playing)
    qCWarning(lcApp) << "the song graph refused to" << (wasPaused ? "run again" : "pause");
}

void Show::ResetProgress() {
  progressValue_ = 0;
  timeText_ = "00:00 | 00:00";
  emit ticked();
}

void Show::StartTimer() {
  if (!timer_) {
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &Show::tick);
  }
  timer_->start(30);
}

void Show::StopTimer() {
  if (timer_) timer_->stop();
}

void Show::tick() {
  // The break music's fades first, then the song.
  breakMusic_.Tick();
  transport_.Tick();
  const PlaybackState& state = transport_.State();
  if (state.Playing) {
    const int64_t position = transport_.CurrentPosition();
    if (!progressDragging_ && state.Duration > 0)
      progressValue_ = ProgressValue(position, state.Duration);
    timeText_ = FormatTimeText(position, state.Duration);
    // A silent tail ends through the same end of song as the real end.
    const GraphId graph = transport_.CurrentGraphId();
    if (leveling_.Tick(position, state.Duration, graph)) graphEvent(graph, GraphEvent::Complete);
  }
  RunCountdown();
  // The delayed start, only while no song plays.
  if (!transport_.State().Playing && delayedStartArmedMs_ >= 0 &&
      (NowMs() - delayedStartArmedMs_) / 1000 > 3) {
    delayedStartArmedMs_ = -1;
    const int current = rotation_.CurrentSinger();
    if (!rotation_.Empty() && rotation_.ValidSinger(current) &&
        !rotation_.Singers()[current].Playlist.empty()) {
      Play();
      ShowNextSingers();
    }
  }
  backgrounds_.Loop();
  if (lengths_) lengths_->Collect();
  emit ticked();
}

void Show::DragProgressTo(int value) {
  const int64_t duration = transport_.State().Duration;
  progressValue_ = std::clamp(value, 0, kProgressRange);
  if (duration > 0 && transport_.State().Playing)
    transport_.SeekSong(ProgressPosition(progressValue_, duration));
}

int Show::Volume() const { return settings_.SongVolume.load(); }

void Show::VolumeUp() {
  settings_.SongVolume = std::min(100, Volume() + 5);
  transport_.ApplyVolume();
  emit transportChanged();
}

void Show::VolumeDown() {
  settings_.SongVolume = std::max(0, Volume() - 5);
  transport_.ApplyVolume();
  emit transportChanged();
}

void Show::SetVolumeFromBar(int value) {
  settings_.SongVolume = VolumeFromBar(value);
  transport_.ApplyVolume();
  emit transportChanged();
}

void Show::ApplyLiveSettings() {
  transport_.SetKeyAndChannel(rotation_.LiveKeyTenths(), rotation_.LiveMultiplex());
  if (rotation_.LiveTempo() != transport_.State().TempoPercent)
    transport_.SetTempoPercent(rotation_.LiveTempo());
  emit transportChanged();
}

void Show::SetKey(int halfSteps) {
  rotation_.SetLiveKeyTenths(std::clamp(halfSteps, -4, 4) * 10);
  ApplyLiveSettings();
}

void Show::SetChannel(int channel) {
  rotation_.SetLiveMultiplex(std::clamp(channel, 0, 2));
  ApplyLiveSettings();
}

std::string Show::KeyText() const { return KeyLabel(rotation_.LiveKeyTenths()); }

std::string Show::ChannelText() const { return ChannelLabel(rotation_.LiveMultiplex()); }

void Show::SetTempo(int percent) {
  rotation_.SetLiveTempo(std::clamp(percent, -kTempoLimit, kTempoLimit));
  ApplyLiveSettings();
}

std::string Show::TempoText() const { return TempoLabel(rotation_.LiveTempo()); }

void Show::RemoveScratchFolders() {
  transport_.StopPlayback(true);
  transport_.Teardown();
  RemoveScratchTree(folders_.Scratch + "Zipped/");
  RemoveScratchTree(folders_.Scratch + "Stream/");
}

}  // namespace lyricade
