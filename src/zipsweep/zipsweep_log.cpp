#include "zipsweep/zipsweep_log.h"

Q_LOGGING_CATEGORY(lcZipsweep, "lyricade.zipsweep", QtWarningMsg)
