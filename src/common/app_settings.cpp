#include "common/app_settings.h"

#include <cstdlib>

namespace lyricade {

AppSettings::AppSettings() : DownloadFolder(DefaultDownloadFolder()) {}

std::string AppSettings::DefaultDownloadFolder() {
  const char* home = std::getenv("HOME");
  std::string folder = (home && *home) ? home : "";
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + "Quillon Downloads/";
}

}  // namespace lyricade
