#pragma once

// What a run needs of the desktop: the services (message boxes, clipboard, shell, cursor), the modal
// lookup window and the chooser windows. The program reaches them through this one interface; the windows
// themselves live in the UI module, which is loaded only when something is really shown (see lazy_ui.h),
// and tests pass a fake.

#include "lookup/vehicle_detail.h"
#include "lookup/vin_record.h"
#include "platform/exceptions.h"
#include "platform/services.h"

#include <string>

namespace carlume {

class TVehicleInfoLookup;

/// The desktop as a run of the program sees it.
class ICarqueryUi : public IVehicleDetailWindowFactory {
public:
    /// The desktop services; they stay valid as long as this object.
    virtual TApplicationServices Services() = 0;
    /// Shows the lookup window modally on `record` for the run `lookup`; true when it was closed with a
    /// vehicle to hand back (OK).
    virtual bool RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record) = 0;
    /// Gives the application its title (once the run is over: the windows show their own titles alone).
    virtual void SetApplicationTitle(const std::string& title) = 0;
};

/// Nothing can be shown: there is no display, or the windows cannot be loaded. The message is the text
/// that was to be shown; `Reason` says why it could not be.
class ENoDisplay : public Exception {
public:
    /// `text` could not be shown because of `reason`.
    ENoDisplay(std::string text, std::string reason);
    /// Why nothing can be shown.
    const std::string& Reason() const noexcept { return reason_; }

private:
    std::string reason_;
};

} // namespace carlume
