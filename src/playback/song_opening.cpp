#include "playback/song_opening.h"
#include "common/path_pieces.h"

#include <filesystem>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "platform/prompts/prompts.h"
#include "playback/background_video_control.h"
#include "playback/song_location.h"
#include "playback/song_transport.h"
#include "playback/zip_song_extractor.h"
#include "common/scene_flags.h"

namespace lyricade {
SongOpener::SongOpener(AppSettings& settings, Prompts& prompts, SongTransport& transport,
                       CdgPlayer& cdg, ZipSongExtractor& extractor,
                       BackgroundVideoControl& backgrounds, SceneFlags& scene)
    : settings_(settings),
      prompts_(prompts),
      transport_(transport),
      cdg_(cdg),
      extractor_(extractor),
      backgrounds_(backgrounds),
      scene_(scene) {}

void SongOpener::StartBackgrounds(const std::string& location) {
  backgrounds_.StopBackgroundVideo();
  bool companion = false;
  for (const std::string& candidate : CompanionVideoCandidates(location)) {
    if (IsRegularFile(candidate)) {
      companion = backgrounds_.StartBackgroundVideo(candidate);
      break;
    }
  }
  if (!companion && backgrounds_.HasBackgroundList()) backgrounds_.StartNextBackground();
}

void SongOpener::StoreKeyAndChannel(int channel, int keyTenths) {
  PlaybackState& state = transport_.State();
  state.KeyTenths = keyTenths;
  state.Channel = channel;
  state.KeyText = KeyLabel(keyTenths);
  state.ChannelText = ChannelLabel(channel);
}

bool SongOpener::OpenSong(const std::string& location, int channel, int keyTenths) {
  PlaybackState& state = transport_.State();
  state.LiveDuration = false;
  if (settings_.BackgroundsEnabled.load()) StartBackgrounds(location);

  current_ = SongFile{};
  current_.Location = location;
  current_.Key = keyTenths / 10;
  current_.Channel = channel;
  current_.Kind = KindOfLocation(location);

  if (current_.Kind == SongKind::Streamed) {
    StoreKeyAndChannel(channel, keyTenths);
    if (streamed_) streamed_->OpenStreamedSong(location, channel, keyTenths);
    return true;
  }
  if (!IsRegularFile(location)) {
    transport_.StopPlayback(false);
    return true;
  }
  StoreKeyAndChannel(channel, keyTenths);
  state.Playing = true;

  current_.Media = location;
  if (current_.Kind == SongKind::Zipped) {
    std::string audio;
    if (!extractor_.ExtractZipSong(location, audio)) {
      state.Playing = false;
      return false;
    }
    if (!audio.empty()) StripId3Tags(audio);
    if (!IsRegularFile(audio)) {
      state.Playing = false;
      prompts_.Message("UnZIP", kMissingAudioText, PromptButtons::Ok, PromptIcon::Warning);
      return false;
    }
    current_.Media = audio;
    current_.ScratchFolder = audio.substr(0, audio.rfind('/') + 1);
  }

  if (!transport_.BuildSongGraph(current_)) return false;

  const std::string graphics = GraphicsPathFor(current_.Media);
  if (IsRegularFile(graphics)) {
    current_.Graphics = graphics;
    // The song counts as having graphics even when the file then fails to
    // open: every tick finds the player closed and shows nothing new.
    cdg_.Open(graphics);
    current_.HasGraphics = true;
    state.HasGraphics = true;
    scene_.SongVisualShowing = true;
    scene_.CdgMode = true;
  }
  scene_.SongPlaying = true;

  transport_.WriteGraphLog();
  transport_.ApplyVolume();
  transport_.RunGraph();
  return true;
}

}  // namespace lyricade
