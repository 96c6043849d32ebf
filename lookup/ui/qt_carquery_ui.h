#pragma once

// The UI module's `ICarqueryUi`: the Qt application, the Qt services and the program's windows.

#include "lookup/carquery_ui.h"
#include "platform/gui/application.h"
#include "platform/gui/printer.h"
#include "platform/gui/qt_services.h"

#include <memory>
#include <string_view>

namespace carlume {

/// The desktop through Qt.
class TQtCarqueryUi final : public ICarqueryUi {
public:
    /// Creates the application (unless the process has one), untitled, and registers the hand cursors under
    /// crUiHand and crUiDragHand.
    TQtCarqueryUi();
    /// Releases the services, then the application it created.
    ~TQtCarqueryUi() override;
    TQtCarqueryUi(const TQtCarqueryUi&) = delete;
    TQtCarqueryUi& operator=(const TQtCarqueryUi&) = delete;

    /// The Qt services.
    TApplicationServices Services() override { return services_.Services(); }
    /// Shows the lookup window modally on `record`, with the run's engine, this desktop's choosers,
    /// services and printer; true when it closed with OK.
    bool RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record) override;
    /// A new chooser window.
    std::unique_ptr<IVehicleDetailWindow> CreateVehicleDetailWindow() override;
    /// The application's display name: from then on Qt adds it to every window title that lacks it, so it
    /// is given only once the windows of the run are gone.
    void SetApplicationTitle(const std::string& title) override;

private:
    std::unique_ptr<TApplication> application_;
    TQtServices services_;
    // Made on first need and kept, so a printer chosen in the print dialog stays chosen for the run.
    std::unique_ptr<TQtPrinterService> printer_;
};

} // namespace carlume
