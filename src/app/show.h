#pragma once
// The host controller: the owner of the program's state during a show. It
// holds the playback (song graph, CD+G player, song opening) and receives the
// song graph's events on the UI thread, turning them into exactly one
// end-of-song call per graph. tick() runs the 30 ms timer's steps. Windows
// route their controls here; tests drive it directly, without a screen.

#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

#include <memory>
#include <string>
#include <vector>

#include "app/background_videos.h"
#include "app/song_leveling.h"
#include "between/ambient_list.h"
#include "between/break_music.h"
#include "between/effect_slots.h"
#include "between/media_audio_player.h"
#include "between/quick_effects.h"
#include "cdg/cdg_frame_sink.h"
#include "cdg/cdg_player.h"
#include "playback/background_video_control.h"
#include "playback/playback_hooks.h"
#include "playback/song_opening.h"
#include "playback/song_transport.h"
#include "playback/streamed_song.h"
#include "platform/net/http_client.h"
#include "playback/zip_song_extractor.h"
#include "common/scene_flags.h"
#include "screen/screen_announcements.h"
#include "singers/history_recorder.h"
#include "singers/rotation_file_writer.h"
#include "singers/singer_rotation.h"
#include "singers/song_lengths.h"
#include "singers/rotation_host.h"
#include "singers/wait_estimate.h"

namespace lyricade {

class AppSettings;
class Prompts;

// Where the show keeps its files.
struct ShowFolders {
  std::string Data;        // the data folder, ending with "/"
  std::string Scratch;     // the scratch root ("Zipped/" and "Stream/" go inside)
  std::string ModuleFolder;  // where the fallback unzip module is looked for
};

class Show : public RotationHost,
             private PlaybackHooks,
             private BackgroundVideoControl,
             private PlayHost {
  Q_OBJECT

public:
  // `scene`: the singers' screen's flags (what shows: song visual, CD+G
  // mode); without a screen the show keeps flags of its own.
  Show(AppSettings& settings, Prompts& prompts, ShowFolders folders, SceneFlags* scene = nullptr,
       QObject* parent = nullptr);
  ~Show() override;

  AppSettings& Settings() { return settings_; }
  SceneFlags& Scene() { return scene_; }
  CdgPlayer& Cdg() { return cdg_; }
  SongTransport& Transport() { return transport_; }
  // Song leveling and early ends (the figures come from the library).
  SongLeveling& Leveling() { return leveling_; }
  SongOpener& Opener() { return opener_; }
  ZipSongExtractor& Extractor() { return extractor_; }

  // Puts the preview's idle picture back when a song stops (the karaoke
  // screen's preview; none without a screen).
  void SetIdlePreview(std::function<void()> showIdle) { showIdlePreview_ = std::move(showIdle); }
  // The karaoke screen's CD+G sink and song video layer.
  void SetCdgSink(CdgFrameSink* sink) { cdg_.SetSink(sink); }
  void SetLyricDisplay(LyricDisplay* display) { transport_.SetLyricDisplay(display); }
  void SetSongVideoTarget(VideoFrameTarget* target) { transport_.SetVideoTarget(target); }
  // The background video and its list; its frames go to the screen's
  // background layer.
  BackgroundVideos& Backgrounds() { return backgrounds_; }
  void SetBackgroundVideoTarget(VideoFrameTarget* target) { backgrounds_.SetTarget(target); }
  // The singers' screen's announce card, ticker and countdown; without one
  // the show keeps the same rules and only records what it would show.
  void SetAnnouncements(ScreenAnnouncements* announcements) { announcements_ = announcements; }

  // Plays a song at once, outside the rotation: stops what plays, tears
  // down, opens the song.
  bool PlaySong(const std::string& location, int channel, int keyTenths, int tempoPercent = 0);

  // The rotation and its commands. Every change the views must show is
  // signalled with rotationChanged(); saved changes rewrite "lastlist.lst".
  SingerRotation& Rotation() override { return rotation_; }
  const SingerRotation& Rotation() const override { return rotation_; }
  // Also where "Remember singers' keys" looks up the last time.
  void SetHistory(HistoryRecorder* history);
  // Where the wait estimates find each song's length; a song opened with a
  // fixed duration is recorded there.
  void SetSongLengths(SongLengths* lengths) { lengths_ = lengths; }
  std::string RotationFile() const { return folders_.Data + "lastlist.lst"; }
  // The steering kept beside it (sit-outs, options, lock), which older
  // readers of the list never see.
  std::string RotationStateFile() const { return folders_.Data + "lastlist-state.cfg"; }
  // Reads the saved rotation (start-up); appends to what is there.
  void LoadRotation();
  // Play: starts the current singer's song (or replays the last one). A song
  // that plays nothing (missing, not unpacked, not playable) leaves a note
  // for the host; with "Keep Playing (Non-stop)" the show goes on to the
  // next song as the end of a song would.
  bool Play();
  // The host's note in the main window ("Skipped: TITLE: REASON"); empty
  // when none. The next song that plays clears it.
  const std::string& HostNote() const { return hostNote_; }
  // A song requested from the floor: queued for the singer found by name
  // without regard to letter case (appended when missing), then, with "Play
  // on Request" on and the show idle, the next singer with songs is up and
  // their song is announced ("Next Start Timer") or started. The list file is
  // written off the UI thread, at most one write for a burst of requests.
  int QueueRequestedSong(const std::string& singer, const QueuedSong& song);
  // Waits until every change so far is in the list file.
  void FlushRotationFile() {
    FlushRequestChanges();
    rotationWriter_.Flush();
  }
  // "Next Singer".
  void NextSinger();
  // Double clicks on the singer list and the playlist.
  void CueSinger(int row) override;
  void CueSong(int row) override;
  // "Announce Singer": the card naming who is up (and the countdown when
  // "Next Start Timer" is on), then the next singers.
  void Announce();
  // The next-singers ticker, when it is enabled, two or more singers are in
  // the rotation and no line shows already.
  void ShowNextSingers();
  // The start countdown: running since CountdownStartMs(). The timer ends it
  // once "Timer Interval" whole seconds have passed: the song stops (the
  // card goes with it) and the delayed start is armed.
  bool CountdownActive() const { return countdownStartMs_ >= 0; }
  int64_t CountdownStartMs() const { return countdownStartMs_; }
  // Removal commands with their question ("Are you sure?", caption "Remove").
  bool RemoveSelectedSinger() override;
  bool RemoveSelectedSong() override;
  // Every singer's estimated start. Songs whose length is not known yet
  // (not measured, or no length table) count as kAssumedSongSeconds.
  static constexpr int kAssumedSongSeconds = 210;
  std::vector<SingerWait> SingerWaits() const override;
  ChangeoverClock& Changeovers() { return changeovers_; }
  // The end of the next-start countdown arms the delayed start; the timer
  // starts the current song once more than three whole seconds have passed.
  void ArmDelayedStart();
  bool DelayedStartArmed() const { return delayedStartArmedMs_ >= 0; }
  // The clock the delayed start reads, in milliseconds (a steady clock by
  // default; tests set their own).
  void SetClock(std::function<int64_t()> nowMs) { nowMs_ = std::move(nowMs); }
  // Closing the program: the two exit questions. False keeps it running.
  bool ConfirmExit();
  // Transport commands.
  void Stop() { transport_.StopPlayback(false); }
  bool SongPlaying() const { return transport_.State().Playing; }
  bool SongPaused() const { return transport_.State().Playing && transport_.State().Paused; }
  // Shutdown: the song stops and nothing of it survives.
  void StopAndTearDown() {
    transport_.StopPlayback(false);
    transport_.Teardown();
  }
  void TogglePause();
  void Seek(int64_t position) { transport_.SeekSong(position); }

  // The break music: its list, the player with its fades, and the main
  // window's "Next Track" and "Fade Out".
  AmbientList& Ambients() { return ambients_; }
  BreakMusic& Music() { return breakMusic_; }
  void StartNextBreakTrack() { StartBreakMusic(); }
  void FadeOutBreakTrack() { FadeBreakMusicNow(); }
  // The effect pads and the effect that plays.
  EffectSlots& EffectPads() { return effectSlots_; }
  QuickEffects& Effects() { return effects_; }
  // The players of the break music and of the effects (benchmarks ask
  // whether their graphs run).
  const MediaAudioPlayer& BreakPlayer() const { return breakPlayer_; }
  const MediaAudioPlayer& EffectPlayer() const { return effectPlayer_; }
  // Shutdown: the break music and the effect end with the song.
  void StopBetweenSongs() {
    breakMusic_.Stop();
    effects_.Stop();
  }

  // One step of the 30 ms timer.
  void tick();
  // The 30 ms timer that calls tick() (the program starts it; tests call
  // tick() themselves).
  void StartTimer();
  void StopTimer();

  // The transport as the main window shows it, refreshed by tick().
  const std::string& TimeText() const { return timeText_; }
  int ProgressBarValue() const { return progressValue_; }
  // While the host drags the progress bar the timer leaves its value alone;
  // a drag's value seeks when the duration is known.
  void SetProgressDragging(bool dragging) { progressDragging_ = dragging; }
  void DragProgressTo(int value);
  // Volume: "+" and "-" in steps of 5, the volume bar, applied to the song.
  void VolumeUp();
  void VolumeDown();
  void SetVolumeFromBar(int value);
  int Volume() const;
  // Key buttons "-4".."4" and "Left" / "Center" / "Right": the live
  // settings, the labels, and the song's filter at its next buffer.
  void SetKey(int halfSteps);
  void SetChannel(int channel);
  std::string KeyText() const;
  std::string ChannelText() const;
  // The tempo buttons: one percent slower or faster, within -20 to 20 %.
  void SetTempo(int percent);
  void TempoDown() { SetTempo(rotation_.LiveTempo() - 1); }
  void TempoUp() { SetTempo(rotation_.LiveTempo() + 1); }
  std::string TempoText() const;
  // False while a song that has no channels to choose (MIDI) is loaded.
  bool ChannelsApply() const { return !transport_.MidiSongLoaded(); }
  // The now-up display: singer and title.
  NowUp NowUpDisplay() const { return rotation_.NowUpDisplay(); }

  // Removes the "Zipped/" and "Stream/" scratch folders (at exit).
  void RemoveScratchFolders();

  // How many songs ended (once per graph), and what the stops asked of the
  // rest of the program: for the parts that come later and for tests.
  int SongsEnded() const { return songsEnded_; }
  // Where the last song to end had got to in its own time (100 ns units, -1
  // before any): read at the end itself, so a graph that runs ahead of any
  // clock still reports how far it really played.
  int64_t LastEndPosition() const { return lastEndPosition_; }
  bool PlayEnabled() const { return playEnabled_; }
  int BreakMusicStarts() const { return breakMusicStarts_; }
  int BreakMusicFadeOuts() const { return breakMusicFadeOuts_; }
  // The last announcement handed to the screen: singer, title, artist.
  const std::vector<std::string>& LastAnnouncement() const { return lastAnnouncement_; }
  int TickerRebuilds() const { return tickerRebuilds_; }
  // The last line handed to the ticker.
  const std::string& LastTickerText() const { return lastTickerText_; }

  // A song graph's event, delivered on the UI thread. Events of a graph
  // already torn down are dropped; the end of a graph is handled once.
  void graphEvent(GraphId graph, GraphEvent event);

signals:
  // A song came to its end, was stopped and the end-of-song rules ran.
  void songEnded();
  // A timer step ran: the time text, progress and labels may have changed.
  void ticked();
  // The live key, channel or volume changed.
  void transportChanged();
  // HostNote() changed.
  void hostNoteChanged();

private:
  // PlaybackHooks: a manual stop starts the next break track ("Auto Manage
  // Ambients"); the Play button and progress are state the window shows. A
  // stop takes the card down and ends the countdown.
  void HideAnnounceCard() override;
  void DisarmDelayedStart() override { delayedStartArmedMs_ = -1; }
  void ShowIdlePreview() override {
    if (showIdlePreview_) showIdlePreview_();
  }
  void SetPlayEnabled(bool enabled) override { playEnabled_ = enabled; }
  void StartBreakMusic() override {
    ++breakMusicStarts_;
    breakMusic_.NextTrack();
  }
  void ResetProgress() override;

  // PlayHost: what the rotation's Play asks. Play's fade-out waits for the
  // song to open: a Play that plays nothing (nobody up, a ZIP that does not
  // unpack, a graph that cannot be built) leaves the break music playing.
  void StopForNextSong() override;
  void FadeOutBreakMusic() override { fadeOutWhenOpened_ = true; }
  void FadeBreakMusicNow() {
    ++breakMusicFadeOuts_;
    breakMusic_.FadeOut();
  }
  void RecordStartedSong(const QueuedSong& song, const std::string& singer) override;
  bool OpenSong(const std::string& path, int multiplex, int keyTenths, int tempo) override;
  void RecordOpenedLength(const std::string& path);

  void EndOfSong();
  bool PlayOnce();
  bool SkipToAPlayingSong(bool started);
  void SetHostNote(std::string note);
  void EndCountdown();
  void RunCountdown();
  int64_t NowMs() const;

  // BackgroundVideoControl: song opening's way to the background video.
  void StopBackgroundVideo() override { backgrounds_.Stop(); }
  bool StartBackgroundVideo(const std::string& path) override { return backgrounds_.Start(path); }
  bool HasBackgroundList() const override { return !backgrounds_.List().Empty(); }
  void StartNextBackground() override { backgrounds_.StartNext(); }

  AppSettings& settings_;
  Prompts& prompts_;
  ShowFolders folders_;
  // The singers' screen's flags when there is a screen, else our own.
  std::unique_ptr<SceneFlags> ownScene_;
  SceneFlags& scene_;
  CdgPlayer cdg_;
  BackgroundVideos backgrounds_;
  ZipSongExtractor extractor_;
  SongTransport transport_;
  SongLeveling leveling_{settings_, transport_};
  SongOpener opener_;
  HttpClient http_;
  StreamedSongs streamed_;
  // The break music and the effects, each on a graph of its own whose end
  // events come to a handler of their own.
  AmbientList ambients_;
  EffectSlots effectSlots_;
  MediaAudioPlayer breakPlayer_;
  MediaAudioPlayer effectPlayer_;
  BreakMusic breakMusic_;
  QuickEffects effects_;
  void ApplyLiveSettings();
  void TakeOpenedSettings();

  SingerRotation rotation_;
  ChangeoverClock changeovers_;
  QTimer* timer_ = nullptr;
  std::string timeText_ = "00:00 | 00:00";
  int progressValue_ = 0;
  bool progressDragging_ = false;
  HistoryRecorder* history_ = nullptr;
  SongLengths* lengths_ = nullptr;
  std::function<int64_t()> nowMs_;
  int64_t delayedStartArmedMs_ = -1;
  int64_t countdownStartMs_ = -1;
  ScreenAnnouncements* announcements_ = nullptr;
  std::string lastTickerText_;
  int breakMusicFadeOuts_ = 0;
  bool fadeOutWhenOpened_ = false;
  // The song Play is opening, and why it played nothing (empty when it
  // plays).
  std::string openingTitle_;
  std::string skipReason_;
  bool skipping_ = false;
  std::string skippedNow_;
  std::string hostNote_;
  int tickerRebuilds_ = 0;
  std::vector<std::string> lastAnnouncement_;
  // The graph whose end was already handled.
  GraphId endedGraph_ = 0;
  int songsEnded_ = 0;
  int64_t lastEndPosition_ = -1;
  bool playEnabled_ = true;
  int breakMusicStarts_ = 0;
  std::function<void()> showIdlePreview_;
  // A rotation file that cannot be written is reported once, not at every
  // change, until a save succeeds again.
  std::atomic<bool> rotationSaveFailed_{false};
  bool SaveRotation();
  std::vector<FileText> RotationFiles() const;
  void ReportRotationSave(bool ok);
  void StartOnRequest();
  // Saves asked for while this is set go to the writer thread.
  bool deferSaves_ = false;
  // Requests arrive in bursts: their list-file save, page publish and view
  // refresh run once per event-loop turn, not once per request.
  void FlushRequestChanges();
  bool batchingRequests_ = false;
  bool requestFlushPending_ = false;
  bool requestSavePending_ = false;
  RotationFileWriter rotationWriter_{[this](bool ok) { ReportRotationSave(ok); }};
};

}  // namespace lyricade
