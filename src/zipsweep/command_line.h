#pragma once
// zipsweep without a window:
//   zipsweep --test [--jobs N] PATH...
//   zipsweep --unzip [--delete] [--jobs N] PATH...
// Each PATH is an archive or a folder scanned as "Add Folder..." scans it.
// One line per archive on standard output, "path<TAB>status<TAB>engine or
// reason", in list order, then "%d passed, %d failed". With --unzip, an
// archive kept because a later one replaced its files gets a second line
// "path<TAB>ZIP Kept<TAB>reason". The log is written as by the window; the
// fallback module's messages go to standard error.

#include <iosfwd>
#include <string>
#include <vector>

namespace lyricade {

// True when the arguments ask for the command-line mode.
bool WantsCommandLine(const std::vector<std::string>& args);

// Runs it: 0 when every archive passed, 1 when any failed, 2 on bad
// arguments. `args` without the program's name.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lyricade
