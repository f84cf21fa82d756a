#pragma once
// The demo library of a new data folder. The seed copied into a new data
// folder holds "Demo Songs/" (made at build time); on that first run the
// start-up adds those songs to the library, so a newcomer sees songs in the
// list, queues one for a singer and plays it with its lyrics.

#include <string>

namespace lyricade {

class LibraryDatabase;

// The folder inside the data folder that holds the demo songs.
inline constexpr const char* kDemoSongsFolder = "Demo Songs/";

// Adds one Items row per song file of `dataFolder` + "Demo Songs/" (an
// ".mp3" of an MP3+G pair, or a ".zip"), in file-name order, inside one
// transaction on the library connection. Titles and artists come from the
// "Artist - Title" file names; the IDs are "DEMO-01", "DEMO-02", ... in that
// order; the other columns hold what an import writes. Songs whose path is
// already in the library are skipped, so a second call adds nothing.
// Returns whether every demo song is listed afterwards: false with no
// library open or when a row could not be written (the start-up reports
// that as a library failure); a data folder without demo songs has nothing
// to list and succeeds.
//
// Call it once, on the first run only (PrepareDataFolder reported Created),
// after SeedDatabaseFiles and the library's open.
bool SeedDemoLibrary(const std::string& dataFolder, LibraryDatabase& database);

}  // namespace lyricade
