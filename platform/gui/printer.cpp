#include "platform/gui/printer.h"

#include "platform/sysutils.h"

#include <QFile>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

#include <stdexcept>

namespace carlume {

TPrinter::TPrinter(QPrinter& printer)
    : printer_(printer)
{
    canvas_.SetMetricsDevice(&printer_);
    canvas_.Font().SetPixelsPerInch(PixelsPerInch());
}

TPrinter::~TPrinter()
{
    if (printing_) {
        Abort();
    }
}

void TPrinter::BeginDoc()
{
    const QString name =
        printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName() : printer_.printerName();
    if (printing_) {
        throw std::runtime_error("Printing in progress on \"" + VisibleControls(name.toStdString()) + "\"");
    }
    printer_.setDocName(Title);
    canvas_.Font().SetPixelsPerInch(PixelsPerInch());
    if (!painter_.begin(&printer_)) {
        throw std::runtime_error("Printing could not start on \"" + VisibleControls(name.toStdString()) +
                                 "\"");
    }
    canvas_.Bind(&painter_);
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
}

void TPrinter::EndDoc()
{
    if (!printing_) {
        return;
    }
    painter_.end();
    canvas_.Bind(static_cast<QPainter*>(nullptr));
    printing_ = false;
}

void TPrinter::Abort()
{
    if (!printing_) {
        return;
    }
    // Qt's PDF and CUPS engines cannot abort; a PDF file is removed instead, so nothing half-printed is
    // left behind. A job for a real printer is sent as far as it got.
    const bool aborted = printer_.abort();
    if (painter_.isActive()) {
        painter_.end();
    }
    if (!aborted && printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
        QFile::remove(printer_.outputFileName());
    }
    canvas_.Bind(static_cast<QPainter*>(nullptr));
    printing_ = false;
    aborted_ = true;
}

void TPrinter::NewPage()
{
    if (printing_ && printer_.newPage()) {
        ++pageNumber_;
    }
}

int TPrinter::PageWidth() const
{
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).width();
}

int TPrinter::PageHeight() const
{
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
}

int TPrinter::PixelsPerInch() const
{
    return printer_.resolution();
}

TQtPrinterService::TQtPrinterService() = default;

TQtPrinterService::~TQtPrinterService() = default;

// The first printer brings the print system's plug-in and its libraries (the print server's client, TLS,
// Kerberos ...): a window that never prints does not wait for them.
QPrinter& TQtPrinterService::Device()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        tprinter_ = std::make_unique<TPrinter>(*printer_);
    }
    return *printer_;
}

bool TQtPrinterService::ExecutePrintDialog(QWidget* parent)
{
    QPrintDialog dialog(&Device(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    // A fixed resolution for files: at Qt's default the report's pixel margins would shrink to nothing.
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        printer_->setResolution(kPdfResolution);
    }
    return true;
}

TPrinter& TQtPrinterService::Printer()
{
    Device();
    return *tprinter_;
}

} // namespace carlume
