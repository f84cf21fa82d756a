#include "singers/ui/singers_log.h"

Q_LOGGING_CATEGORY(lcSingers, "lyricade.singers", QtWarningMsg)
