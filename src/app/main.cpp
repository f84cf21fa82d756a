// Lyricade: the karaoke host program.
#include <QApplication>

#include "app/ui/application.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName("Lyricade");
  QApplication::setOrganizationName("Quillon");
  lyricade::Application application(std::vector<std::string>(argv + 1, argv + argc));
  return application.Run();
}
