#pragma once
// lyricade-library's "refresh [--no-check]": brings the library in step
// with its watched folders (new songs added, moved ones followed, vanished
// ones left in place as missing), then checks the new and changed songs
// before it exits, putting those that will not play on the Needs Attention
// list.

#include <atomic>
#include <ostream>

namespace lyricade {

class LibraryDatabase;

// Exit status as the tool's: 0 done (unreadable folders are reported, not
// failures), 1 no folders are watched, the library was busy or the work
// was interrupted.
int RunRefreshCommand(LibraryDatabase& database, bool check, bool showProgress, std::ostream& out,
                      std::ostream& err, const std::atomic<bool>& interrupted);

}  // namespace lyricade
