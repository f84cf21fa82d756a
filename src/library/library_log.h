#pragma once
// The song library's diagnostics (databases, seeding, look-ups, compaction):
// warnings by default; QT_LOGGING_RULES turns "lyricade.library" up.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLibrary)
