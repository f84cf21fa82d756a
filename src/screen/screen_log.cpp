#include "screen/screen_log.h"

Q_LOGGING_CATEGORY(lcScreen, "lyricade.screen", QtWarningMsg)
