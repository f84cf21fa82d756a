#pragma once
// The song graph and the transport on it: building the graph for a song with
// the DSP filter and video renderer 0, volume, pause, seek, position and
// duration, and the stop that undoes everything a song set up. One song graph
// at a time. UI thread only.

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/media/media_graph.h"
#include "playback/song_file.h"

namespace lyricade {

class LyricDisplay;
struct TimedLyrics;

class AppSettings;
class CdgPlayer;
class PlaybackHooks;
struct SceneFlags;

// The names the song graph's filters are added and found under.
inline constexpr const char kSongVideoRendererName[] = "Texture Renderer 0";

struct PlaybackState {
  bool Playing = false;
  bool Paused = false;
  bool HasGraphics = false;
  // Streamed songs: the duration is read again on every tick.
  bool LiveDuration = false;
  // A song graph is on its way to its start (StartSongGraph has not
  // answered yet).
  bool Opening = false;
  // 100 ns units; -1 while the media cannot say.
  int64_t Duration = -1;
  // Key in tenths of a semitone (-40 to 40) and channel 0/1/2.
  int KeyTenths = 0;
  int Channel = 0;
  // Tempo change in percent (-20 to 20).
  int TempoPercent = 0;
  // The key, channel and tempo labels' texts.
  std::string KeyText = "Norm";
  std::string ChannelText = "Center";
  std::string TempoText = "Norm";
};

class SongTransport {
public:
  SongTransport(AppSettings& settings, CdgPlayer& cdg, PlaybackHooks& hooks, SceneFlags& scene);
  ~SongTransport();

  // Where the graph's end events go (the host controller, on the UI thread).
  void SetEventReceiver(QObject* receiver, std::function<void(GraphId, GraphEvent)> onEvent);
  // The karaoke screen's song layer; null plays no video.
  void SetVideoTarget(VideoFrameTarget* target) { video_ = target; }
  // Deletes the last zipped song's extracted files when playback stops.
  void SetExtractionCleanup(std::function<void()> cleanup) { cleanup_ = std::move(cleanup); }

  // The transport alone changes the state, through the transitions below.
  const PlaybackState& State() const { return state_; }

  // Song opening's transitions: a song is being opened (playing from now
  // on), its opening was abandoned before the graph ran (not playing, none
  // of the stop's follow-ups), its graphics were found.
  void BeginSong();
  void AbandonSong();
  void MarkGraphics();
  // Where timed lyrics are shown (none: songs play without them).
  void SetLyricDisplay(LyricDisplay* display) { lyricDisplay_ = display; }
  // The song just built shows these lyrics, moved by each tick to the
  // song's position, until it is torn down. False without a display.
  bool OpenLyrics(const TimedLyrics& lyrics);
  // The graph just rendered carries video.
  bool SongHasVideo() const;
  // A MIDI song is loaded: the synthesizer plays every part in both
  // channels, so channel select does not apply to it.
  bool MidiSongLoaded() const { return midiSong_ && graph_ != nullptr; }
  // The current key (tenths) and channel with their labels' texts; the
  // graph's filter follows at its next buffer when there is one.
  void SetKeyAndChannel(int keyTenths, int channel);
  // The current tempo change in percent and its label's text; the song
  // plays on in its own time (see the DSP element), so positions, lyrics and
  // CD+G need nothing else.
  void SetTempoPercent(int percent);
  // The id of the current song graph; 0 when there is none.
  GraphId CurrentGraphId() const { return graph_ ? graph_->Id() : 0; }
  MediaGraph* Graph() const { return graph_.get(); }

  // Builds the graph for the song: video renderer 0 (not for streamed songs),
  // the DSP filter set to the current channel, key and tempo, the
  // media rendered through them, the duration read. On failure playback is
  // stopped (song follows false) and false returned.
  bool BuildSongGraph(const SongFile& song);
  // The same for media that comes over the network, without waiting for it:
  // returns at once, false (playback stopped) when the graph cannot be
  // built. `ready` runs on the UI thread once the media is paused at its
  // start (true, duration read) or failed or was not there within
  // `timeoutMs` (false: playback is stopped already and the reason kept).
  // A stop or the next song meanwhile means it never runs.
  bool StartSongGraph(const SongFile& song, int timeoutMs, std::function<void(bool)> ready);
  // The next (or current) song's leveling gain as a factor; 1 leaves the
  // song at its plain level. Heard while "Level Songs" is on.
  void SetLevelGain(float factor);
  // Sets the graph's volume to (100 - volume) x -75 hundredths of a dB,
  // lowered by the early end's fade (hundredths of a dB, 0 or below).
  void ApplyVolume();
  void SetFadeHundredthsOfDb(long fade);
  static long VolumeToHundredthsOfDb(int volume) { return (100 - volume) * -75L; }
  // Runs the built graph.
  bool RunGraph();
  // Appends the graph's filter list to the graph log at `path` (the data
  // folder's "QuillonLog.log"); nothing when the file cannot be opened.
  void WriteGraphLog(const std::string& path) const;
  // What the media framework said about the last song graph that failed
  // (could not be rendered, or stopped on an error); empty when it said
  // nothing. Kept after the graph is gone, cleared by the next build.
  const std::string& LastGraphError() const { return lastError_; }

  // Pauses or runs the playing song again; false when there is no song or
  // the graph refused (the state is then unchanged).
  bool TogglePause();
  void SeekSong(int64_t position);
  // 100 ns units; -1 when there is no graph or it cannot say.
  int64_t CurrentPosition() const;
  int64_t Duration() const;
  // Re-reads the duration (the media announced a change).
  void RefreshDuration();

  void StopPlayback(bool songFollows);
  // Closes the CD+G player and destroys the graph, playing or not (Play runs
  // it before every new song so nothing of the last one survives).
  void Teardown();

  // The timer's playback step: the CD+G picture follows the audio position;
  // a live duration is read again.
  void Tick();

  // The DSP filter's settings in the current graph: channel and key in
  // tenths; false without a graph or filter.
  bool SetChannel(int channel);
  bool SetKey(int keyTenths);
  bool SetTempo(int percent);

private:
  // The current graph plays a MIDI song: key change moves its notes.
  bool midiSong_ = false;
  LyricDisplay* lyricDisplay_ = nullptr;
  bool lyricsOpen_ = false;
  // Keeps the graph's error text before the graph goes.
  void KeepGraphError();
  // Makes the song graph with its filters set, not yet rendered; false
  // (playback stopped) when it cannot be made.
  bool MakeSongGraph(const SongFile& song, int timeoutMs);
  // The rendered graph's duration; or, when it could not render, the stop.
  void TakeRenderedSong(const SongFile& song);
  void FailRender(const SongFile& song);

  AppSettings& settings_;
  CdgPlayer& cdg_;
  PlaybackHooks& hooks_;
  SceneFlags& scene_;
  std::function<void()> cleanup_;
  VideoFrameTarget* video_ = nullptr;
  QObject* receiver_ = nullptr;
  std::function<void(GraphId, GraphEvent)> onEvent_;
  PlaybackState state_;
  std::unique_ptr<MediaGraph> graph_;
  std::string lastError_;
  float levelGain_ = 1.0f;
  long fade_ = 0;
};

}  // namespace lyricade
