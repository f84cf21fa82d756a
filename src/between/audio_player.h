#pragma once
// One audio-only graph at a time, as the effect pads and the break music use
// it: started from a file without waiting for the media, its volume in
// hundredths of a decibel, paused, run, stopped and released. The graph's
// end (complete or abort) reaches the owner's handler with the graph's id,
// so an event of a graph already released can be told apart.

#include <cstdint>
#include <string>

namespace lyricade {

// 0 dB at 100 %, -75 dB at 0 %: (100 - percent) x -75 hundredths of a decibel.
inline long PercentToHundredthsOfDb(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  return static_cast<long>(100 - percent) * -75;
}

enum class TrackEnd { Complete, Aborted };

class AudioPlayer {
public:
  virtual ~AudioPlayer() = default;
  // Releases what played, then builds a graph for `path` at `volume` and
  // sets it running. False (nothing playing) when no graph could be made or
  // the file was refused at once; a file that turns out not to play later
  // ends as an abort.
  virtual bool Start(const std::string& path, long volume) = 0;
  virtual void SetVolume(long volume) = 0;
  virtual bool Pause() = 0;
  virtual bool Run() = 0;
  // Stops and releases the graph; nothing when none exists.
  virtual void Stop() = 0;
  // The graph now held (0 when none).
  virtual uint64_t CurrentGraph() const = 0;
};

}  // namespace lyricade
