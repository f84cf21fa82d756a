#pragma once
// lyricade-library's "folders add [--format 0|1|2|3] [--ignore-tags] DIR",
// "folders remove DIR" and "folders list": the watched folders a refresh
// keeps the library in step with, each with the layout its file names are
// read in (import's layouts, 0 unless given).

#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

class LibraryDatabase;

// Exit status as the tool's; 2 with `why` set for bad arguments (the tool
// prints the usage).
int RunFoldersCommand(LibraryDatabase& database, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err, std::string& why);

}  // namespace lyricade
