#include "playback/playback_log.h"

Q_LOGGING_CATEGORY(lcPlayback, "lyricade.playback", QtWarningMsg)
