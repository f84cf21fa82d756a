#pragma once
// lyricade-library's loudness figures: "loudness [--all|--missing]
// [PATH...]" measures songs from a shell with progress and a summary, and
// the columns "list --loudness" adds.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

class DbConnection;

// Measures the library's songs that have no current figures (--missing, the
// default), all of them (--all), or the given files. Exit status as the
// tool's: 0 done (songs that cannot be measured are recorded and counted,
// not failures), 1 the library cannot be written, 2 bad arguments.
int RunLoudnessCommand(DbConnection& library, const std::vector<std::string>& args,
                       std::ostream& out, std::ostream& err);

// Tab-separated: integrated loudness ("-14.2 LUFS"), peak ("-0.9 dBFS") and
// audible end ("3:05"); "cannot measure" or "not measured" in the first
// column otherwise.
std::function<std::string(const std::string& path)> LoudnessColumns(DbConnection& library);

}  // namespace lyricade
