#include <iostream>

#include "cdgframe_run.h"
#include "common/standard_options.h"

int main(int argc, char** argv) {
  const lyricade::ProgramDescription description{
      "cdgframe", "cdgframe: draws the lyrics frames of a CD+G file at given times as PNG pictures.",
      "Usage: cdgframe FILE.cdg --at SECONDS [--at SECONDS ...] [--backgrounds] -o OUT.png\n",
      "      --at SECONDS   a time to draw (repeatable)\n"
      "      --backgrounds  draw the background colour as transparent, as over a background\n"
      "      -o OUT.png     the picture to write\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(
          std::vector<std::string>(argv + 1, argv + argc), description, std::cout))
    return *answered;
  return lyricade::RunCdgFrame(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
