#pragma once
// The store's diagnostics ("lyricade.store"): service answers that fail,
// details and gift-pack files that do not write, downloads that fail.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcStore)
