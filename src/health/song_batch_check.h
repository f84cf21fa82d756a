#pragma once
// Checks many songs at once (CheckSongPlays on a few threads, each song
// bounded by its own deadline) and hands every result back in the order of
// the list, so one corrupt file costs its few seconds and nothing more.

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "health/song_check.h"

namespace lyricade {

struct CheckedSong {
  size_t Index = 0;  // in the list given
  SongCheckResult Result;
};

// Every song of `paths` checked; the results in list order. Stops early
// (fewer results) when `options.Cancel` is raised. `progress` is called
// from the checking threads with the count done so far.
std::vector<CheckedSong> CheckSongs(const std::vector<std::string>& paths, const SongCheckOptions& options,
                                    size_t threads = 4,
                                    const std::function<void(size_t done)>& progress = {});

}  // namespace lyricade
