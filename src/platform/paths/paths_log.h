#pragma once
// The program folders' diagnostics (data, scratch and program folder, the
// first-run seeding): warnings by default; QT_LOGGING_RULES turns
// "lyricade.platform.paths" up.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatformPaths)
