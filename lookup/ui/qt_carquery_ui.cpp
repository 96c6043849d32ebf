#include "lookup/ui/qt_carquery_ui.h"

#include "lookup/ui/lookup_window.h"
#include "lookup/ui/vehicle_detail_window.h"
#include "platform/gui/resources.h"

#include <QString>

namespace carlume {

namespace {

// QApplication keeps the arguments it was given for its whole life.
char ProgramName[] = "cquery";
char* Arguments[] = {ProgramName, nullptr};
int ArgumentCount = 1;

} // namespace

TQtCarqueryUi::TQtCarqueryUi()
{
    if (QCoreApplication::instance() == nullptr)
        application_ = std::make_unique<TApplication>(ArgumentCount, Arguments);
    // The hand cursors go into the screen's table with the application, never in the silent run.
    RegisterProgramCursors();
}

TQtCarqueryUi::~TQtCarqueryUi() = default;

bool TQtCarqueryUi::RunLookupWindowModal(TVehicleInfoLookup& lookup, TVinRecord& record)
{
    // The windows of the run (the About box among them) log to the run's log.
    TApplicationServices services = Services();
    services.Logger = &lookup.AppInfo();
    const TVinSearchContext context{TLookupContext{lookup.Engine(), *this}, services};
    if (printer_ == nullptr)
        printer_ = std::make_unique<TQtPrinterService>();
    TfrmCarquery window(nullptr, record, lookup.StartedWithParams(), lookup, context, *printer_);
    return window.ShowModal() == mrOk;
}

void TQtCarqueryUi::SetApplicationTitle(const std::string& title)
{
    QGuiApplication::setApplicationDisplayName(QString::fromStdString(title));
}

std::unique_ptr<IVehicleDetailWindow> TQtCarqueryUi::CreateVehicleDetailWindow()
{
    return std::make_unique<TVehicleDetail>();
}

} // namespace carlume
