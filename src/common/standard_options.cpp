#include "common/standard_options.h"

#include "common/program_version.h"

namespace lyricade {

const char* ProgramVersion() { return LYRICADE_VERSION; }

std::optional<int> AnswerStandardOptions(const std::vector<std::string>& args,
                                         const ProgramDescription& program, std::ostream& out) {
  for (const std::string& arg : args) {
    if (arg == "--version") {
      out << program.Name << " " << LYRICADE_VERSION << "\n";
      return 0;
    }
    if (arg == "--help" || arg == "-h") {
      out << program.Summary << "\n\n" << program.Usage;
      if (!program.Options.empty()) out << "\nOptions:\n" << program.Options;
      out << "      --help      show this help and exit\n"
          << "      --version   show the version and exit\n";
      return 0;
    }
    // What follows "--" is the program's own input, never an option.
    if (arg == "--") break;
  }
  return std::nullopt;
}

}  // namespace lyricade
