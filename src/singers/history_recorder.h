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
  // The key and channel `singer` last sang `path` with; false when there is
  // no such record.
  virtual bool LastSettings(const std::string& singer, const std::string& path, int& key,
                            int& multiplex) {
    (void)singer, (void)path, (void)key, (void)multiplex;
    return false;
  }
};

}  // namespace lyricade
