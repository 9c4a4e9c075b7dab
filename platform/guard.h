#pragma once
// Every handler runs inside one of these. An exception from the handler ends it;
// `guarded` shows the message in the standard error box, `guardedTick` drops
// it, so a timer tick that failed leaves its timer off.
#include "platform/dialogs.h"
#include "platform/errors.h"

#include <QLoggingCategory>
#include <exception>

Q_DECLARE_LOGGING_CATEGORY(lcHandlers)

namespace platform {

template <typename F> void guarded(F &&handler)
{
    try {
        handler();
    } catch (const EndRequested &) {
        // The program is ending; the activity just stops.
    } catch (const Error &e) {
        dialogs().showError(e.message());
    } catch (const std::exception &e) {
        dialogs().showError(QString::fromLocal8Bit(e.what()));
    }
}

template <typename F> void guardedTick(F &&tick)
{
    try {
        tick();
    } catch (const std::exception &e) {
        qCDebug(lcHandlers) << "tick ended by" << e.what();
    }
}

} // namespace platform
