#pragma once
// "--help" and "--version", answered the same way by every program, so a
// user (and the manual-page generator) finds each one's usage and version.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lyricade {

struct ProgramDescription {
  std::string Name;      // the command, as typed
  std::string Summary;   // one line: what it is for
  std::string Usage;     // "Usage: ..." lines
  std::string Options;   // the options, one per line, indented
};

// The project's version, such as "2.08".
const char* ProgramVersion();

// When `args` (without the program's own name) ask for "--help" or
// "--version", writes the answer to `out` and returns the exit status 0;
// otherwise nothing.
std::optional<int> AnswerStandardOptions(const std::vector<std::string>& args,
                                         const ProgramDescription& program, std::ostream& out);

}  // namespace lyricade
