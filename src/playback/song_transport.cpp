#include "playback/song_transport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "playback/dsp_element.h"
#include "playback/dsp_settings.h"
#include "playback/lyric_display.h"
#include "playback/song_location.h"
#include "common/scene_flags.h"
#include "playback/playback_hooks.h"
#include "playback/playback_log.h"

namespace lyricade {

SongTransport::SongTransport(AppSettings& settings, CdgPlayer& cdg, PlaybackHooks& hooks,
                             SceneFlags& scene)
    : settings_(settings), cdg_(cdg), hooks_(hooks), scene_(scene) {}

SongTransport::~SongTransport() { graph_.reset(); }

void SongTransport::SetEventReceiver(QObject* receiver,
                                     std::function<void(GraphId, GraphEvent)> onEvent) {
  receiver_ = receiver;
  onEvent_ = std::move(onEvent);
}

bool SongTransport::MakeSongGraph(const SongFile& song, int timeoutMs) {
  InitialiseMedia();
  RegisterDspElement();
  GraphOptions options;
  options.MakeAudioFilter = [] { return MakeDspElement().release(); };
  options.AudioFilterName = kDspFilterName;
  if (song.Kind != SongKind::Streamed) {
    options.Video = video_;
    options.VideoRendererName = kSongVideoRendererName;
  }
  options.EventReceiver = receiver_;
  options.OnEvent = onEvent_;
  options.SoundFont = song.SoundFont;
  if (timeoutMs > 0) options.RenderTimeoutMs = timeoutMs;
  midiSong_ = !song.SoundFont.empty();

  graph_.reset();
  lastError_.clear();
  std::unique_ptr<MediaGraph> graph = MediaGraph::Create(std::move(options));
  if (!graph) {
    qCWarning(lcPlayback, "the song graph for %s cannot be built", LoggableMedia(song.Media).c_str());
    StopPlayback(false);
    return false;
  }
  state_.HasGraphics = false;
  fade_ = 0;
  graph_ = std::move(graph);
  SetChannel(state_.Channel);
  SetKey(state_.KeyTenths);
  SetTempo(state_.TempoPercent);
  if (DspFilter* filter = DspFilterOf(graph_->FindFilter(kDspFilterName))) {
    filter->FollowAutoGain(settings_.AutoGainControl);
    filter->FollowLeveling(settings_.LevelSongs);
    filter->SetLevelGain(levelGain_);
  } else {
    qCWarning(lcPlayback, "the song graph for %s has no \"%s\"", LoggableMedia(song.Media).c_str(),
              kDspFilterName);
  }
  return true;
}

void SongTransport::TakeRenderedSong(const SongFile& song) {
  state_.LiveDuration = song.Kind == SongKind::Streamed;
  state_.Duration = graph_->Duration();
}

void SongTransport::FailRender(const SongFile& song) {
  KeepGraphError();
  qCWarning(lcPlayback, "the song graph cannot render %s: %s", LoggableMedia(song.Media).c_str(),
            lastError_.empty() ? "no reason given" : lastError_.c_str());
  StopPlayback(false);
}

bool SongTransport::BuildSongGraph(const SongFile& song) {
  if (!MakeSongGraph(song, 0)) return false;
  if (!graph_->Render(song.Media)) {
    FailRender(song);
    return false;
  }
  TakeRenderedSong(song);
  return true;
}

bool SongTransport::StartSongGraph(const SongFile& song, int timeoutMs,
                                   std::function<void(bool)> ready) {
  if (!MakeSongGraph(song, timeoutMs)) return false;
  state_.Opening = true;
  // The answer comes through the graph, which a stop or the next song
  // destroys first: then it never comes, and `this` is not reached.
  const bool started = graph_->RenderAsync(song.Media, [this, song, ready = std::move(ready)](bool rendered) {
    if (!rendered) {
      state_.Opening = false;
      FailRender(song);
      ready(false);
      return;
    }
    TakeRenderedSong(song);
    ready(true);
    state_.Opening = false;
  });
  if (!started) {
    state_.Opening = false;
    FailRender(song);
    return false;
  }
  return true;
}

void SongTransport::BeginSong() {
  state_.Playing = true;
  state_.Paused = false;
}

void SongTransport::AbandonSong() {
  state_.Playing = false;
  state_.Paused = false;
}

void SongTransport::MarkGraphics() { state_.HasGraphics = true; }

bool SongTransport::OpenLyrics(const TimedLyrics& lyrics) {
  if (!lyricDisplay_ || !graph_) return false;
  lyricDisplay_->OpenLyrics(lyrics);
  lyricsOpen_ = true;
  scene_.SongVisualShowing = true;
  scene_.CdgMode = true;
  return true;
}

bool SongTransport::SongHasVideo() const { return graph_ && graph_->HasVideo(); }

void SongTransport::SetKeyAndChannel(int keyTenths, int channel) {
  state_.KeyTenths = keyTenths;
  state_.Channel = channel;
  state_.KeyText = KeyLabel(keyTenths);
  state_.ChannelText = ChannelLabel(channel);
  SetChannel(channel);
  SetKey(keyTenths);
}

bool SongTransport::SetChannel(int channel) {
  DspFilter* filter = graph_ ? DspFilterOf(graph_->FindFilter(kDspFilterName)) : nullptr;
  if (!filter) return false;
  // A synthesized song has no vocal channel to leave out.
  filter->SetChannel(midiSong_ ? 0 : channel);
  return true;
}

bool SongTransport::SetKey(int keyTenths) {
  DspFilter* filter = graph_ ? DspFilterOf(graph_->FindFilter(kDspFilterName)) : nullptr;
  if (!filter) return false;
  if (midiSong_) {
    // The notes move, not the rendered sound.
    graph_->SetMidiTranspose(keyTenths / 10);
    filter->SetPitch(0.0f);
    return true;
  }
  filter->SetPitch(static_cast<float>(keyTenths));
  return true;
}

void SongTransport::SetTempoPercent(int percent) {
  const int previous = state_.TempoPercent;
  state_.TempoPercent = percent;
  state_.TempoText = TempoLabel(percent);
  if (!SetTempo(percent) || percent == previous || !(midiSong_ || graph_->HasVideo())) return;
  // The synthesizer and the video renderer take a tempo at the start of a
  // segment: a seek to where the song is makes one.
  const int64_t position = graph_->Position();
  if (state_.Playing && position >= 0) graph_->SetPosition(position);
}

bool SongTransport::SetTempo(int percent) {
  DspFilter* filter = graph_ ? DspFilterOf(graph_->FindFilter(kDspFilterName)) : nullptr;
  if (!filter) return false;
  // MIDI notes and video frames come sooner; a MIDI song's sound is made at
  // its tempo, not stretched afterwards.
  graph_->SetRenderedTempo(DspFilter::TempoFactor(static_cast<float>(percent)));
  filter->SetTempo(midiSong_ ? 50.0f : 50.0f + static_cast<float>(percent));
  return true;
}

void SongTransport::SetLevelGain(float factor) {
  levelGain_ = factor;
  if (DspFilter* filter = graph_ ? DspFilterOf(graph_->FindFilter(kDspFilterName)) : nullptr)
    filter->SetLevelGain(factor);
}

void SongTransport::SetFadeHundredthsOfDb(long fade) {
  fade_ = std::min(0L, fade);
  ApplyVolume();
}

void SongTransport::ApplyVolume() {
  if (!state_.Playing || !graph_) return;
  graph_->SetVolume(std::max(-10000L, VolumeToHundredthsOfDb(settings_.SongVolume.load()) + fade_));
}

bool SongTransport::RunGraph() {
  // The media layer says why a graph does not run.
  return graph_ && graph_->Run();
}

void SongTransport::WriteGraphLog(const std::string& path) const {
  if (!graph_) return;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(std::fopen(path.c_str(), "a"), std::fclose);
  if (!log) {
    qCWarning(lcPlayback, "the graph log %s cannot be opened: %s", path.c_str(),
              std::strerror(errno));
    return;
  }
  std::fputs("\n\nFilter Graph\n", log.get());
  if (auto names = graph_->FilterNames()) {
    for (const std::string& name : *names) {
      if (name.empty())
        std::fputs("Medium: Query Filter Failed!", log.get());
      else
        std::fprintf(log.get(), "%s\n", name.c_str());
    }
  } else {
    std::fputs("Medium: Enumerating Filter Graph Filters Failed!", log.get());
  }
}

void SongTransport::KeepGraphError() {
  if (!graph_) return;
  const MediaError error = graph_->LastError();
  if (!error.Text.empty()) lastError_ = error.Text;
}

bool SongTransport::TogglePause() {
  if (!state_.Playing || !graph_) return false;
  // The state follows the graph: a graph that refused keeps the old state.
  const bool changed = state_.Paused ? graph_->Run() : graph_->Pause();
  if (changed) state_.Paused = !state_.Paused;
  return changed;
}

void SongTransport::SeekSong(int64_t position) {
  if (state_.Playing && graph_) graph_->SetPosition(position);
}

int64_t SongTransport::CurrentPosition() const { return graph_ ? graph_->Position() : -1; }

int64_t SongTransport::Duration() const { return graph_ ? graph_->Duration() : -1; }

void SongTransport::RefreshDuration() {
  if (graph_) state_.Duration = graph_->Duration();
}

void SongTransport::StopPlayback(bool songFollows) {
  hooks_.HideAnnounceCard();
  hooks_.DisarmDelayedStart();
  hooks_.ShowIdlePreview();
  if (!state_.Playing) return;
  state_.Playing = false;
  state_.Paused = false;
  state_.LiveDuration = false;
  Teardown();

  if (cleanup_) cleanup_();

  hooks_.ShowIdlePreview();
  hooks_.SetPlayEnabled(true);
  if (!songFollows && settings_.AutoManageAmbients.load()) hooks_.StartBreakMusic();
  hooks_.ResetProgress();
}

void SongTransport::Teardown() {
  state_.Opening = false;
  cdg_.Close();
  if (lyricsOpen_ && lyricDisplay_) lyricDisplay_->CloseLyrics();
  lyricsOpen_ = false;
  state_.HasGraphics = false;
  KeepGraphError();
  // Destroying the graph stops it and its streaming threads; events it had
  // already posted carry its id and are dropped by the receiver.
  graph_.reset();
  scene_.SongVisualShowing = false;
  scene_.SongPlaying = false;
  scene_.CdgMode = false;
}

void SongTransport::Tick() {
  if (!state_.Playing || !graph_) return;
  if (state_.LiveDuration) state_.Duration = graph_->Duration();
  if (state_.HasGraphics) {
    cdg_.AdvanceTo(graph_->Position());
    cdg_.PresentFrame(0);
  }
  // Lyrics follow the song's own position (100 ns units), as CD+G does.
  if (lyricsOpen_ && lyricDisplay_) {
    const int64_t position = graph_->Position();
    if (position >= 0) lyricDisplay_->LyricsAt(position / 10000);
  }
}

}  // namespace lyricade
