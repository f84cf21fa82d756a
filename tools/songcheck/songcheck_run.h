#pragma once
// songcheck PATH [--key N] [--channel 0|1|2] [--tempo PERCENT] [--seek SECONDS] [--to-end]
//                [--frame-at SECONDS -o OUT.png]
//
// Opens a song exactly as Play does (song opening, scratch folder, fallback
// unzip module, tag stripping, the song graph with the DSP filter) with a
// fake audio sink, and reports what it found, one "name: value" a line.
// Messages the program would show go to the error stream as "CAPTION: TEXT".

#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

// Needs a QCoreApplication. Returns 0 when the song opened (and, with
// --to-end, played to its end), 1 otherwise, 2 for bad arguments.
int RunSongCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lyricade
