#pragma once
// lyricade-library's "check [--listed] [PATH...]": opens every song of the
// library (or the named files, or with --listed only the songs on the Needs
// Attention list) as Play would and prints each one that will not play,
// with the reason, so a KJ finds the broken files of a big collection
// before a singer does. A check of library songs brings the Needs Attention
// list up to date: songs that play again leave it.

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

class LibraryDatabase;

// Exit status as the tool's: 0 checked (songs that fail are reported, not
// failures of the command), 1 the library could not be read or the check
// was interrupted, 2 bad arguments. `database` is open unless named paths
// alone are checked.
int RunCheckCommand(LibraryDatabase& database, const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err, const std::atomic<bool>& interrupted);

// Checks the songs, prints the failing ones ("PATH\treason") and the count
// line, and records every result on the Needs Attention list when
// `record` (replacing the whole list when `replaceList`). Used by check and
// by refresh for its new songs.
int CheckAndReport(LibraryDatabase* record, bool replaceList, const std::vector<std::string>& songs,
                   std::ostream& out, std::ostream& err, const std::atomic<bool>& interrupted);

}  // namespace lyricade
