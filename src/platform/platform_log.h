#pragma once
// The platform layers' diagnostics ("lyricade.platform"): media graphs and
// the unzip module loader. Warnings by default; QT_LOGGING_RULES turns up the
// rest.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
