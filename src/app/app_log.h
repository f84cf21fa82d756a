#pragma once
// The host controller's and the main window's diagnostics ("lyricade.app").
// Warnings show by default; QT_LOGGING_RULES="lyricade.*.debug=true" turns
// the rest up.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
