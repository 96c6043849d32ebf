// Opens the lookup window on the stand-in engine in the program's folder, as the program does, and runs
// the searches named on the command line through the window's own buttons, then closes it. For
// whole-process timing by bench/lookup_window.sh.
//
//   lookup_window_driver            open the window and close it
//   lookup_window_driver vin        ... after a search by VIN (1AVQL14S1A)
//   lookup_window_driver ymm        ... after a search by year, make and model (2010 Arvelo Quillon)
//   lookup_window_driver vin ymm    ... after both
//   lookup_window_driver about      ... after showing and painting the About box over it
//   lookup_window_driver details    ... after showing and painting the installation-details window
// Exits with 1 when a search finds nothing.

#include "foundation/app_info.h"
#include "lookup/carquery.h"
#include "lookup/ui/lookup_window.h"
#include "lookup/ui/qt_carquery_ui.h"
#include "lookup/vin_record.h"
#include "platform/folders.h"
#include "platform/gui/printer.h"
#include "settings/about_box.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

using namespace carlume;

template <class T> T& Control(QWidget& window, const char* name)
{
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr)
        throw Exception(std::string("no control ") + name);
    return *control;
}

void Pick(QWidget& window, const char* list, const char* text)
{
    auto& combo = Control<QComboBox>(window, list);
    const int index = combo.findText(QString::fromLatin1(text));
    if (index < 0)
        throw Exception(std::string("no ") + text + " in " + list);
    combo.setCurrentIndex(index);
    Q_EMIT combo.activated(index);
}

int Run(int argc, char** argv)
{
    TQtCarqueryUi ui;
    TAppInfo appInfo(ui.Services());
    TVehicleInfoLookup lookup(appInfo, false, ui.Services().Dialogs);
    TVinRecord record;
    record.Clear();
    const TVinSearchContext context{TLookupContext{lookup.Engine(), ui}, ui.Services()};
    // The desktop's printer, as the program gives the window.
    TQtPrinterService printer;
    TfrmCarquery window(nullptr, record, false, lookup, context, printer);
    window.show();
    QApplication::processEvents();
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "vin") == 0) {
            Control<QLineEdit>(window, "txtVIN").setText(QStringLiteral("1AVQL14S1A"));
            Control<QPushButton>(window, "btnSearchByVIN").click();
        } else if (std::strcmp(argv[i], "ymm") == 0) {
            Pick(window, "lstYear", "2010");
            Pick(window, "lstMake", "Arvelo");
            Pick(window, "lstModel", "Quillon");
            Control<QPushButton>(window, "btnSearchByYMM").click();
        } else if (std::strcmp(argv[i], "about") == 0 || std::strcmp(argv[i], "details") == 0) {
            TAboutBoxProperties properties;
            properties.ProductTitle = "Polimark Carlume";
            properties.InstallLocation = ProgramFolder();
            properties.LogoFile = ProgramFolder() + "CLLogo.jpg";
            std::unique_ptr<TForm> shown;
            if (argv[i][0] == 'a')
                shown = std::make_unique<TAboutBox>(&window, properties, ui.Services());
            else
                shown = std::make_unique<TFmAboutDetails>(&window, properties, ui.Services());
            shown->show();
            QImage picture(shown->size(), QImage::Format_RGB32);
            shown->render(&picture);
            QApplication::processEvents();
            continue;
        } else {
            std::fprintf(stderr, "unknown search %s\n", argv[i]);
            return 2;
        }
        QApplication::processEvents();
        if (!window.ResultShown())
            status = 1;
    }
    window.hide();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lookup_window_driver: %s\n", error.what());
        return 2;
    }
}
