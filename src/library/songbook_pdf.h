#pragma once
// The songbook as a PDF booklet through Qt's PDF writer: a part by artist
// and a part by title, one line per song in three columns, the host's
// header and the page number on every page. Needs a QGuiApplication (for
// fonts); it may run on any thread.

#include <functional>
#include <string>
#include <vector>

#include "library/songbook.h"

namespace lyricade {

// `progress(done, total)` now and then; false from it stops the writing.
// The file appears only when it is complete (a stopped or failed run leaves
// nothing). False with the reason in `error` otherwise.
bool WriteSongbookPdf(const std::string& file, const std::vector<SongbookSong>& byArtist,
                      const std::vector<SongbookSong>& byTitle, const SongbookOptions& options,
                      std::string* error, const std::function<bool(size_t, size_t)>& progress = {});

}  // namespace lyricade
