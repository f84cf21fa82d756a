#pragma once
// What the karaoke screen shows, as flags other parts of the program set and
// every frame reads. Each is an atomic written by one thread and read by the
// render thread; a frame may see a change one frame late. "Enable
// Backgrounds" and the background choice live in AppSettings, the one place
// the preferences keep them.

#include <atomic>

namespace lyricade {

struct SceneFlags {
  // The song's picture (CD+G frames or the song video) is on screen.
  std::atomic<bool> SongVisualShowing{false};
  std::atomic<bool> SongPlaying{false};
  // The song carries CD+G graphics: their transparent colour lets the
  // background video show through.
  std::atomic<bool> CdgMode{false};
  // The background video has delivered its first frame and not stopped.
  std::atomic<bool> BackgroundVideoRunning{false};
  // The announce card is shown in place of the background picture.
  std::atomic<bool> AnnounceCardShowing{false};
  // A custom logo is loaded for background choices 2 and up.
  std::atomic<bool> CustomLogoLoaded{false};
};

}  // namespace lyricade
