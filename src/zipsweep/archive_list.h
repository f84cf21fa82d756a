#pragma once
// The archives of a folder tree, as "Add Folder..." and the command line
// find them: every "*.zip" (any letter case) of the folder and the folders
// below it, folder by folder in walk order, names in name order.

#include <string>
#include <vector>

#include "common/folder_scanner.h"

namespace lyricade {

inline constexpr const char* kArchivePattern = "*.zip";

// Appends the archives below `root` to `archives`. `hooks` may watch the
// walk (FolderFound, Pump, Aborted, Unreadable); each archive found is also
// reported to its FileFound. False when the walk was aborted.
bool ScanForArchives(const std::string& root, FolderScanHooks hooks,
                     std::vector<std::string>& archives);

}  // namespace lyricade
