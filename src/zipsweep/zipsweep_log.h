#pragma once
// zipsweep's diagnostics ("lyricade.zipsweep"): archives that cannot be
// placed, deleted or logged. Warnings by default; QT_LOGGING_RULES turns up
// the rest.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcZipsweep)
