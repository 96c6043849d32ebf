// Opens the lookup window on the stand-in engine, as the program does, and then, as named on the command
// line, the About box ("about") or the installation-details window ("details"), painted once, and closes
// everything. For whole-process timing by bench/about_windows.sh.

#include "foundation/app_info.h"
#include "lookup/carquery.h"
#include "lookup/ui/lookup_window.h"
#include "lookup/ui/qt_carquery_ui.h"
#include "lookup/vin_record.h"
#include "platform/folders.h"
#include "platform/gui/printer.h"
#include "settings/about_box.h"

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

using namespace carlume;

int Run(int argc, char** argv)
{
    TQtCarqueryUi ui;
    TAppInfo appInfo(ui.Services());
    TVehicleInfoLookup lookup(appInfo, false, ui.Services().Dialogs);
    TVinRecord record;
    record.Clear();
    const TVinSearchContext context{TLookupContext{lookup.Engine(), ui}, ui.Services()};
    TQtPrinterService printer;
    TfrmCarquery window(nullptr, record, false, lookup, context, printer);
    window.show();
    QApplication::processEvents();
    TAboutBoxProperties properties;
    properties.ProductTitle = "Polimark Carlume";
    properties.InstallLocation = ProgramFolder();
    properties.LogoFile = ProgramFolder() + "CLLogo.jpg";
    for (int i = 1; i < argc; ++i) {
        std::unique_ptr<TForm> shown;
        if (std::strcmp(argv[i], "about") == 0)
            shown = std::make_unique<TAboutBox>(&window, properties, ui.Services());
        else if (std::strcmp(argv[i], "details") == 0)
            shown = std::make_unique<TFmAboutDetails>(&window, properties, ui.Services());
        else {
            std::fprintf(stderr, "unknown window %s\n", argv[i]);
            return 2;
        }
        shown->show();
        QImage picture(shown->size(), QImage::Format_RGB32);
        shown->render(&picture);
        QApplication::processEvents();
        shown->hide();
    }
    window.hide();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "about_driver: %s\n", error.what());
        return 2;
    }
}
