// lyricade-library: search, list and maintain a Lyricade library from the
// command line.
#include <QCoreApplication>
#include <iostream>

#include "common/standard_options.h"
#include "library_tool.h"

int main(int argc, char** argv) {
  const lyricade::ProgramDescription description{
      "lyricade-library", "lyricade-library: imports into, searches, lists and maintains a Lyricade "
                          "song library from the command line.",
      "Usage: lyricade-library [--data-dir DIR] COMMAND\n"
      "  import [--format 0|1|2|3] [--ignore-tags] PATH...\n"
      "  search [--on all|title|artist|id|year|comment|location] [--any] WORDS...\n"
      "  list [--sort title|artist|id|year|comment|location] [--desc]\n"
      "  remove-bad\n"
      "  compact\n",
      "      --data-dir DIR  the host's data folder holding the library\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(
          std::vector<std::string>(argv + 1, argv + argc), description, std::cout))
    return *answered;
  QCoreApplication app(argc, argv);
  return lyricade::RunLibraryTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                  std::cerr);
}
