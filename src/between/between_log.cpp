#include "between/between_log.h"

Q_LOGGING_CATEGORY(lcBetween, "lyricade.between", QtWarningMsg)
