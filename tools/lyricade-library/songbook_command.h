#pragma once
// lyricade-library's "songbook (--pdf FILE | --html FOLDER)... [--header
// TEXT] [--paper a4|letter]": the singers' songbook from the library.

#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

// Exit status as the tool's: 0 written, 1 the library could not be read or
// a file not written, 2 bad arguments (with the reason on `err`).
int RunSongbookCommand(const std::string& libraryPath, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err);

}  // namespace lyricade
