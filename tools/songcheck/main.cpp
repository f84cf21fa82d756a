#include <QCoreApplication>
#include <iostream>

#include "common/standard_options.h"
#include "songcheck_run.h"

int main(int argc, char** argv) {
  const lyricade::ProgramDescription description{
      "songcheck", "songcheck: plays a karaoke song as the host would, without a sound card, and "
                   "reports its graphics and timing.",
      "Usage: songcheck PATH [--key N] [--channel 0|1|2] [--tempo PERCENT] [--seek SECONDS] [--to-end]\n"
      "                      [--frame-at SECONDS -o OUT.png]\n",
      "      --key N             key change in half steps (-4 to 4)\n"
      "      --channel 0|1|2     both channels, left or right\n"
      "      --tempo PERCENT     faster or slower (-20 to 20), the key unchanged\n"
      "      --seek SECONDS      jump there once the song plays and report that it goes on\n"
      "      --to-end            play the whole song\n"
      "      --frame-at SECONDS  write the lyrics frame at that time to OUT.png (with -o)\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(
          std::vector<std::string>(argv + 1, argv + argc), description, std::cout))
    return *answered;
  QCoreApplication app(argc, argv);
  return lyricade::RunSongCheck(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
