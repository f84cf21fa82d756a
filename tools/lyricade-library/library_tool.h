#pragma once
// lyricade-library: the library of a Lyricade data folder from the command
// line, for KJs who script their library. Works on the same data folder as
// the program (same default, --data-dir, LYRICADE_DATA_DIR), also while the
// program has it open (a busy database is waited for, then reported).
//
// Exit status: 0 done, 1 the library cannot be opened or the work failed,
// 2 bad arguments (with the usage line).

#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

int RunLibraryTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lyricade
