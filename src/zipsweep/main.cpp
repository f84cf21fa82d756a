// zipsweep: the window "Quillon Mass Unzip and Test", or, with --test or
// --unzip, the same runs from a terminal without a window.

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <iostream>
#include <string>
#include <vector>

#include "common/standard_options.h"
#include "platform/paths/paths.h"
#include "platform/prompts/qt_prompts.h"
#include "platform/unzip/unzip_module.h"
#include "zipsweep/archive_trial.h"
#include "zipsweep/command_line.h"
#include "zipsweep/ui/sweep_window.h"
#include "zipsweep/zip_log.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const lyricade::ProgramDescription description{
      "zipsweep", "zipsweep: tests and unpacks karaoke song ZIP files (MP3+G) in bulk, in a window "
                  "or from a terminal.",
      "Usage: zipsweep                                   (the window)\n"
      "       zipsweep --test [--jobs N] PATH...\n"
      "       zipsweep --unzip [--delete] [--jobs N] PATH...\n",
      "      --test          test each ZIP (files, or folders scanned for them)\n"
      "      --unzip         unpack each ZIP that passes beside it\n"
      "      --delete        with --unzip: delete the ZIPs that were unpacked\n"
      "      --jobs N        test N archives at once (default: the number of cores)\n"
      "Exit status: 0 all passed, 1 some failed, 2 bad arguments.\n"
      "The log is ziplog.txt in $XDG_DATA_HOME/zipsweep.\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(args, description, std::cout))
    return *answered;
  if (lyricade::WantsCommandLine(args)) {
    std::ios::sync_with_stdio(false);
    return lyricade::RunCommandLine(args, std::cout, std::cerr);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("zipsweep");
  lyricade::QtPrompts prompts;
  lyricade::UnzipModule module(lyricade::UnzipModuleFolder(), prompts);
  lyricade::ArchiveTester tester(module, lyricade::ResolveScratchRoot("zipsweep"));
  lyricade::SweepWindow window(prompts, tester, lyricade::ZipLogPath(), [](const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  });
  prompts.SetParent(&window);
  window.show();
  return app.exec();
}
