#pragma once
// What the show does with a song's loudness figures: the fixed leveling
// gain set before the song's graph is built, its label beside the key and
// channel, and the early end of a song whose last line is over ("End Songs
// After the Last Line"): a 2-second fade once the position passes the later
// of the audible and CD+G ends by the margin, then one end of song. A song
// without figures plays at its plain level and ends at its real end.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "leveling/song_measure.h"
#include "platform/media/media_graph.h"

namespace lyricade {

class AppSettings;
class SongTransport;

class SongLeveling {
public:
  using Lookup = std::function<std::optional<LoudnessFigures>(const std::string& path)>;

  SongLeveling(AppSettings& settings, SongTransport& transport)
      : settings_(settings), transport_(transport) {}

  // Where figures come from (the library's Loudness table); none: nothing.
  void SetLookup(Lookup lookup) { lookup_ = std::move(lookup); }
  // Before a song opens: its figures, and the gain its graph starts with.
  void PrepareSong(const std::string& path);
  // "Level −3.5 dB" while a levelled song plays; empty otherwise.
  std::string LevelText() const;
  // One timer step with the song's position (100 ns units): runs the fade;
  // true once per graph when the early end is due.
  bool Tick(int64_t position, int64_t duration, GraphId graph);
  // The song being prepared has figures.
  bool HasFigures() const { return figures_.has_value(); }

private:
  AppSettings& settings_;
  SongTransport& transport_;
  Lookup lookup_;
  std::optional<LoudnessFigures> figures_;
  double gainDb_ = 0.0;
  long fade_ = 0;
  GraphId endedGraph_ = 0;
};

}  // namespace lyricade
