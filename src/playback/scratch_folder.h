#pragma once
// Scratch folders for unpacked and streamed songs. The naming and tree
// removal used by the extractor are declared with it (zip_song_extractor.h);
// these are the pieces it builds them from.

#include <string>

#include "playback/zip_song_extractor.h"

namespace lyricade {

// The current UTC hour, minute and millisecond.
ScratchClock UtcScratchClock();

// Makes `folder` (and its missing parents) and leaves it readable by its
// owner only (mode 0700). An existing folder is tightened to 0700; a symbolic
// link, a file, or a folder of another user in its place is refused.
bool MakePrivateFolder(const std::string& folder);

}  // namespace lyricade
