#include "platform/gui/error_guard.h"

#include "platform/gui/qt_services.h"
#include "platform/services.h"

namespace carlume {

namespace {

IDialogService* gHandlerErrorDialogs = nullptr;
bool gShowingHandlerError = false;
int gRunningHandlers = 0;

} // namespace

int RunningHandlers() noexcept
{
    return gRunningHandlers;
}

detail::THandlerScope::THandlerScope() noexcept
{
    ++gRunningHandlers;
}

detail::THandlerScope::~THandlerScope()
{
    --gRunningHandlers;
}

void SetHandlerErrorDialogs(IDialogService* dialogs)
{
    gHandlerErrorDialogs = dialogs;
}

IDialogService* HandlerErrorDialogs()
{
    return gHandlerErrorDialogs;
}

void ShowHandlerError(const std::string& message) noexcept
{
    // An error while an error is on screen would stack boxes without end; the first one is enough.
    if (gShowingHandlerError) {
        return;
    }
    gShowingHandlerError = true;
    try {
        if (gHandlerErrorDialogs != nullptr) {
            gHandlerErrorDialogs->ShowMessage(TMsgDlgType::mtError, message);
        } else {
            TQtDialogService().ShowMessage(TMsgDlgType::mtError, message);
        }
    } catch (...) {
        // Nothing sensible is left to show it with.
    }
    gShowingHandlerError = false;
}

} // namespace carlume
