#include "platform/paths/paths_log.h"

Q_LOGGING_CATEGORY(lcPlatformPaths, "lyricade.platform.paths", QtWarningMsg)
