#pragma once
// What song opening asks of the background videos: stop the running one,
// start a companion video found beside the song, or move on to the next entry
// of the background list.

#include <string>

namespace lyricade {

class BackgroundVideoControl {
public:
  virtual ~BackgroundVideoControl() = default;
  virtual void StopBackgroundVideo() = 0;
  // Starts `path` as the background video; false when it cannot play.
  virtual bool StartBackgroundVideo(const std::string& path) = 0;
  // True when the background list has entries.
  virtual bool HasBackgroundList() const = 0;
  // Advances the list's current entry by one (wrapping) and starts it.
  virtual void StartNextBackground() = 0;
};

}  // namespace lyricade
