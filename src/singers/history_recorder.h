#pragma once
// Where Play records each started song for the singer who sings it.

#include <string>

#include "singers/queued_song.h"

namespace lyricade {

class HistoryRecorder {
public:
  virtual ~HistoryRecorder() = default;
  // Errors are swallowed: playback goes on whatever the database says.
  virtual void RecordStartedSong(const QueuedSong& song, const std::string& singer) = 0;
};

}  // namespace lyricade
