#pragma once
// The catalogue list's diagnostics category, "lyricade.catalogue".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCatalogue)
