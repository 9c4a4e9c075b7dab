#include "platform/guard.h"

Q_LOGGING_CATEGORY(lcHandlers, "orvanta.handlers")
