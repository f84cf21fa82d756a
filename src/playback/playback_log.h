#pragma once
// The playback subsystem's diagnostics ("lyricade.playback"): song opening,
// ZIP extraction, the song graph and the audio filter. Warnings by default;
// QT_LOGGING_RULES="lyricade.playback.debug=true" turns up the rest.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlayback)
