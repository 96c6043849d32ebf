// The UI module's one export (see lookup/ui_module.h).

#include "lookup/ui_module.h"
#include "lookup/ui/display_check.h"
#include "lookup/ui/qt_carquery_ui.h"

#include <exception>
#include <string>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) int CarlumeUiCreate(unsigned interfaceVersion,
                                                                      carlume::ICarqueryUi** ui, char* reason,
                                                                      std::size_t reasonSize) noexcept
{
    using namespace carlume;
    try {
        if (ui == nullptr)
            return uiModuleFailed;
        *ui = nullptr;
        if (interfaceVersion != UiModuleInterfaceVersion) {
            CopyModuleReason("the user interface module was built for another version of the program", reason,
                             reasonSize);
            return uiModuleWrongVersion;
        }
        // Without a platform to open, constructing the application would end the process. The check's
        // connection stays open until the application has its own, so that the server cannot reset in
        // between.
        THeldDisplay held;
        if (std::string why; !DisplayAvailable(&why, &held)) {
            CopyModuleReason(why, reason, reasonSize);
            return uiModuleNoDisplay;
        }
        *ui = new TQtCarqueryUi();
        held.Release();
        return uiModuleOk;
    } catch (const std::exception& error) {
        CopyModuleReason(error.what(), reason, reasonSize);
    } catch (...) {
        CopyModuleReason("the user interface could not be started", reason, reasonSize);
    }
    return uiModuleFailed;
}

static_assert(std::is_same_v<decltype(&CarlumeUiCreate), carlume::TUiModuleFactory>);
