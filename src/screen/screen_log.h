#pragma once
// The karaoke screen's diagnostics: "lyricade.screen". Warnings show by
// default; QT_LOGGING_RULES="lyricade.screen.debug=true" turns up the rest.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcScreen)
