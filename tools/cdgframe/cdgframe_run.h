#pragma once
// cdgframe FILE.cdg --at SECONDS [--at SECONDS ...] [--backgrounds] -o OUT.png
//
// Opens the file with the program's CD+G player, moves it through each time
// in order as the timer would (several times make a sequence, so backward
// moves are exercised), and writes the player's last frame as a 320x240 RGBA
// PNG with its alpha.

#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

// Runs the tool with the arguments after the program name; messages go to
// `out` and `err`. Returns the process exit status: 0 done, 1 a file could
// not be read or written, 2 bad arguments.
int RunCdgFrame(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lyricade
