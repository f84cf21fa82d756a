#pragma once
// The platform layers' diagnostics ("lyricade.platform"): media graphs, the
// unzip module loader and the web transfers. Warnings by default; QT_LOGGING_RULES turns up the
// rest.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
