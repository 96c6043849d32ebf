#include "platform/gui/application.h"

#include "platform/gui/error_guard.h"
#include "platform/gui/font.h"

#include <exception>

namespace carlume {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    InstallFontSubstitutions();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    // Not RunGuarded: every event would then count as a running handler.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowHandlerError(e.what());
    } catch (...) {
        ShowHandlerError(kUnknownErrorText);
    }
    return false;
}

} // namespace carlume
