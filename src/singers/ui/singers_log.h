#pragma once
// The singers' windows' diagnostics ("lyricade.singers").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSingers)
