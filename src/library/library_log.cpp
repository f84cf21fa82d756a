#include "library/library_log.h"

Q_LOGGING_CATEGORY(lcLibrary, "lyricade.library", QtWarningMsg)
