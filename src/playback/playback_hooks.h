#pragma once
// What stopping and starting a song asks of the rest of the program: the
// announce card, the delayed start, the preview, the Play button, the break
// music and the progress bar. The host controller implements it; until the
// parts behind a call exist, it records the call.

namespace lyricade {

class PlaybackHooks {
public:
  virtual ~PlaybackHooks() = default;
  virtual void HideAnnounceCard() = 0;
  virtual void DisarmDelayedStart() = 0;
  // Puts the preview's idle picture back.
  virtual void ShowIdlePreview() = 0;
  virtual void SetPlayEnabled(bool enabled) = 0;
  virtual void StartBreakMusic() = 0;
  virtual void ResetProgress() = 0;
};

}  // namespace lyricade
