#include "catalogue/catalogue_log.h"

Q_LOGGING_CATEGORY(lcCatalogue, "lyricade.catalogue", QtWarningMsg)
