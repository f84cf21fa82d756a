#pragma once
// lyricade-library's "check [PATH...]": opens every song of the library (or
// the named files) as Play would and prints each one that will not play,
// with the reason, so a KJ finds the broken files of a big collection
// before a singer does.

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

// Exit status as the tool's: 0 checked (songs that fail are reported, not
// failures of the command), 1 the library could not be read or the check
// was interrupted.
int RunCheckCommand(const std::string& libraryPath, const std::vector<std::string>& paths, std::ostream& out,
                    std::ostream& err, const std::atomic<bool>& interrupted);

}  // namespace lyricade
