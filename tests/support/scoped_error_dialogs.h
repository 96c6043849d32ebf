#pragma once

#include "platform/gui/error_guard.h"

namespace carlume::test {

/// Sends the errors that the event-handler guard catches to `dialogs` (usually a TFakeDialogService) for
/// the lifetime of this object.
class TScopedHandlerErrorDialogs {
public:
    /// Starts sending errors to `dialogs`.
    explicit TScopedHandlerErrorDialogs(IDialogService* dialogs) { SetHandlerErrorDialogs(dialogs); }
    /// Back to the default display.
    ~TScopedHandlerErrorDialogs() { SetHandlerErrorDialogs(nullptr); }
    TScopedHandlerErrorDialogs(const TScopedHandlerErrorDialogs&) = delete;
    TScopedHandlerErrorDialogs& operator=(const TScopedHandlerErrorDialogs&) = delete;
};

} // namespace carlume::test
