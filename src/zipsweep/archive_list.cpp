#include "zipsweep/archive_list.h"

namespace lyricade {

bool ScanForArchives(const std::string& root, FolderScanHooks hooks,
                     std::vector<std::string>& archives) {
  auto watcher = std::move(hooks.FileFound);
  hooks.FileFound = [&archives, watcher](const std::string& folder, const std::string& name) {
    archives.push_back(JoinPath(folder, name));
    if (watcher) watcher(folder, name);
  };
  FolderScanner scanner(std::move(hooks));
  return scanner.Scan(root, kArchivePattern);
}

}  // namespace lyricade
