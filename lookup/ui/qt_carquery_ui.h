#pragma once

// The UI module's `ICarqueryUi`: the Qt application, the Qt services and the program's windows.

#include "lookup/carquery_ui.h"
#include "platform/gui/application.h"
#include "platform/gui/qt_services.h"

#include <memory>
#include <string_view>

namespace carlume {

/// The application title.
inline constexpr std::string_view ApplicationTitle = "Carlume";
/// What the lookup window and the chooser raise until they are part of the module.
inline constexpr std::string_view LookupWindowUnavailable =
    "The lookup window is not available in this build.";

/// True when Qt has a platform to open: QT_QPA_PLATFORM names one, or DISPLAY or WAYLAND_DISPLAY is set.
bool DisplayAvailable();

/// The desktop through Qt.
class TQtCarqueryUi final : public ICarqueryUi {
public:
    /// Creates the application (unless the process has one) and gives it the title "Carlume".
    TQtCarqueryUi();
    /// Releases the services, then the application it created.
    ~TQtCarqueryUi() override;
    TQtCarqueryUi(const TQtCarqueryUi&) = delete;
    TQtCarqueryUi& operator=(const TQtCarqueryUi&) = delete;

    /// The Qt services.
    TApplicationServices Services() override { return services_.Services(); }
    /// Raises `Exception` `LookupWindowUnavailable` for now.
    bool RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record) override;
    /// Raises `Exception` `LookupWindowUnavailable` for now.
    std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() override;

private:
    std::unique_ptr<TApplication> application_;
    TQtServices services_;
};

} // namespace carlume
