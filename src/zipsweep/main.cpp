// zipsweep: the window "Quillon Mass Unzip and Test", or, with --test or
// --unzip, the same runs from a terminal without a window.

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <iostream>
#include <string>
#include <vector>

#include "platform/paths/paths.h"
#include "platform/prompts/qt_prompts.h"
#include "platform/unzip/unzip_module.h"
#include "zipsweep/archive_trial.h"
#include "zipsweep/command_line.h"
#include "zipsweep/ui/sweep_window.h"
#include "zipsweep/zip_log.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (lyricade::WantsCommandLine(args)) {
    std::ios::sync_with_stdio(false);
    return lyricade::RunCommandLine(args, std::cout, std::cerr);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("zipsweep");
  lyricade::QtPrompts prompts;
  lyricade::UnzipModule module(lyricade::ProgramBinaryFolder(), prompts);
  lyricade::ArchiveTester tester(module, lyricade::ResolveScratchRoot("zipsweep"));
  lyricade::SweepWindow window(prompts, tester, lyricade::ZipLogPath(), [](const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  });
  prompts.SetParent(&window);
  window.show();
  return app.exec();
}
