#pragma once

// The contract between the program and its UI module, libcarlume_ui.so in the program folder. The module
// exports one C function, `CarlumeUiCreate`, which checks that a display can be opened, creates the Qt
// application and returns the module's `ICarqueryUi`. Program and module are built together from one tree
// (the interface version guards against a stray old module).

#include "lookup/carquery_ui.h"
#include "platform/module_entry.h"

#include <string_view>

namespace carlume {

/// The UI module's Windows name; the library layer maps it to "libcarlume_ui.so".
inline constexpr std::string_view UiModuleName = "CARLUME_UI.DLL";
/// The name of the module's one export.
inline constexpr const char* UiModuleFactoryName = "CarlumeUiCreate";
/// Version of `ICarqueryUi` and of the factory; the module refuses any other.
inline constexpr unsigned UiModuleInterfaceVersion = 2;

/// Results of the factory.
enum TUiModuleStatus : int {
    uiModuleOk = 0,           ///< `*ui` holds the module's interface
    uiModuleNoDisplay = 1,    ///< no display can be opened; nothing was created
    uiModuleWrongVersion = 2, ///< the module was built for another interface version
    uiModuleFailed = 3,       ///< anything else; the reason says what
};

/// The factory (platform/module_entry.h): for `interfaceVersion`, creates the module's `ICarqueryUi` (the
/// caller owns it and deletes it before the process ends; the module stays loaded) or returns why not.
using TUiModuleFactory = TModuleEntry<ICarqueryUi>;

} // namespace carlume
