#pragma once
// The database layer's diagnostics (files that do not open, statements that
// fail, with SQLite's text): warnings by default; QT_LOGGING_RULES turns
// "lyricade.platform.db" up.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatformDb)
