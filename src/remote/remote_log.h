#pragma once
// The remote request server's diagnostics ("lyricade.remote").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcRemote)
