#include "platform/platform_log.h"

Q_LOGGING_CATEGORY(lcPlatform, "lyricade.platform", QtWarningMsg)
