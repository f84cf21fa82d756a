#pragma once
// Diagnostics of the music and effects between the songs and of the list
// column layout ("lyricade.between"). Warnings show by default.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcBetween)
