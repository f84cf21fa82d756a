#include "platform/db/db_log.h"

Q_LOGGING_CATEGORY(lcPlatformDb, "lyricade.platform.db", QtWarningMsg)
