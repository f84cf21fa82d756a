#include "remote/remote_log.h"

Q_LOGGING_CATEGORY(lcRemote, "lyricade.remote", QtWarningMsg)
