#include "playback/song_opening.h"

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "common/paired_audio.h"
#include "common/path_pieces.h"
#include "common/scene_flags.h"
#include "lyrics/lrc_lyrics.h"
#include "lyrics/midi_lyrics.h"
#include "platform/media/midi_synth.h"
#include "platform/prompts/prompts.h"
#include "playback/background_video_control.h"
#include "playback/playback_log.h"
#include "playback/song_location.h"
#include "playback/song_transport.h"
#include "playback/zip_song_extractor.h"

namespace lyricade {


SongOpener::SongOpener(AppSettings& settings, Prompts& prompts, SongTransport& transport,
                       CdgPlayer& cdg, ZipSongExtractor& extractor,
                       BackgroundVideoControl& backgrounds, SceneFlags& scene,
                       std::string graphLogPath)
    : settings_(settings),
      prompts_(prompts),
      transport_(transport),
      cdg_(cdg),
      extractor_(extractor),
      backgrounds_(backgrounds),
      scene_(scene),
      graphLogPath_(std::move(graphLogPath)) {}

void SongOpener::OpenTimedLyrics() {
  std::optional<TimedLyrics> lyrics;
  if (IsMidiSongPath(current_.Media)) {
    lyrics = ReadMidiLyricsFile(current_.Media);
  } else if (!transport_.SongHasVideo()) {
    // A timed lyric file of the audio's name (any letter case) beside it, or
    // unpacked from the same ZIP; a video song's own picture wins.
    const std::string extension = FileExtension(current_.Media);
    if (!extension.empty()) {
      const std::string lrc = FindFileIgnoringCase(
          current_.Media.substr(0, current_.Media.size() - extension.size()) + "lrc");
      if (!lrc.empty()) lyrics = ReadLrcLyricsFile(lrc);
    }
  }
  if (!lyrics || lyrics->Empty()) return;
  if (transport_.OpenLyrics(*lyrics)) current_.HasLyrics = true;
}

void SongOpener::StartBackgrounds(const std::string& location) {
  backgrounds_.StopBackgroundVideo();
  bool companion = false;
  // Ripped libraries name their videos in any case ("SONG.AVI").
  const std::string video = FindCompanionVideo(location);
  if (!video.empty()) {
    companion = backgrounds_.StartBackgroundVideo(video);
    if (!companion) qCWarning(lcPlayback, "the companion video %s does not play", video.c_str());
  }
  if (!companion && backgrounds_.HasBackgroundList()) backgrounds_.StartNextBackground();
}

bool SongOpener::OpenSong(const std::string& location, int channel, int keyTenths,
                          int tempoPercent) {
  if (settings_.BackgroundsEnabled.load()) StartBackgrounds(location);

  current_ = SongFile{};
  current_.Location = location;
  current_.Key = keyTenths / 10;
  current_.Channel = channel;
  current_.Kind = KindOfLocation(location);

  transport_.SetTempoPercent(tempoPercent);
  if (current_.Kind == SongKind::Streamed) {
    transport_.SetKeyAndChannel(keyTenths, channel);
    if (streamed_) streamed_->OpenStreamedSong(location, channel, keyTenths);
    return true;
  }
  if (!IsRegularFile(location)) {
    qCWarning(lcPlayback, "the song %s is not there", location.c_str());
    transport_.StopPlayback(false);
    return true;
  }
  transport_.SetKeyAndChannel(keyTenths, channel);
  transport_.BeginSong();

  current_.Media = location;
  if (current_.Kind == SongKind::Zipped) {
    std::string audio;
    if (!extractor_.ExtractZipSong(location, audio)) {
      transport_.AbandonSong();
      return false;
    }
    if (!IsRegularFile(audio)) {
      transport_.AbandonSong();
      prompts_.Message("UnZIP", kMissingAudioText, PromptButtons::Ok, PromptIcon::Warning);
      return false;
    }
    // The tags go before the graph reads the file; a file that keeps them
    // still plays.
    if (EqualsIgnoreCase(FileExtension(audio), "mp3") && !StripId3Tags(audio))
      qCWarning(lcPlayback, "the tags of %s could not be removed", audio.c_str());
    current_.Media = audio;
    current_.ScratchFolder = audio.substr(0, audio.rfind('/') + 1);
  }

  if (IsMidiSongPath(current_.Media)) {
    current_.SoundFont = FindSoundFont();
    if (current_.SoundFont.empty()) {
      qCWarning(lcPlayback, "no sound font for the MIDI song %s", current_.Media.c_str());
      transport_.AbandonSong();
      prompts_.Message("MIDI", kNoSoundFontText, PromptButtons::Ok, PromptIcon::Warning);
      return false;
    }
  }

  if (!transport_.BuildSongGraph(current_)) return false;

  // The graphics beside the audio (local or just extracted), whatever the
  // letter case of their name: "SONG.CDG" goes with "SONG.MP3".
  const std::string graphics = FindGraphicsFor(current_.Media);
  if (!graphics.empty()) {
    current_.Graphics = graphics;
    // The song counts as having graphics even when the file then fails to
    // open: every tick finds the player closed and shows nothing new.
    if (!cdg_.Open(graphics))
      qCWarning(lcPlayback, "the graphics %s do not open", graphics.c_str());
    current_.HasGraphics = true;
    transport_.MarkGraphics();
    scene_.SongVisualShowing = true;
    scene_.CdgMode = true;
  }
  if (!current_.HasGraphics) OpenTimedLyrics();
  scene_.SongPlaying = true;

  if (!graphLogPath_.empty()) transport_.WriteGraphLog(graphLogPath_);
  transport_.ApplyVolume();
  transport_.RunGraph();
  return true;
}

}  // namespace lyricade
