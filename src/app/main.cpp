// Lyricade: the karaoke host program.
#include <QApplication>
#include <iostream>

#include "app/ui/application.h"
#include "common/standard_options.h"

namespace {

const lyricade::ProgramDescription kLyricade{
    "lyricade", "Lyricade: the karaoke host program (singer rotation, CD+G and video songs on "
                "the singers' screen, song library).",
    "Usage: lyricade [--data-dir DIR]\n",
    "      --data-dir DIR  the host's data folder (library, singer list, settings);\n"
    "                      default: $LYRICADE_DATA_DIR, else $XDG_DATA_HOME/lyricade\n"};

}  // namespace

int main(int argc, char** argv) {
  // Answered before any window system is touched, so they work anywhere.
  if (const auto answered = lyricade::AnswerStandardOptions(
          std::vector<std::string>(argv + 1, argv + argc), kLyricade, std::cout))
    return *answered;
  QApplication qt(argc, argv);
  QApplication::setApplicationName("Lyricade");
  QApplication::setOrganizationName("Quillon");
  lyricade::Application application(std::vector<std::string>(argv + 1, argv + argc));
  return application.Run();
}
