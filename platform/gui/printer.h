#pragma once

// The class library's printer: a document of pages drawn through a canvas in device pixels of the
// printable area, and the print dialog that chooses the printer. Printing to a PDF file uses 300 dots
// per inch.

#include "platform/gui/canvas.h"

#include <QPainter>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace carlume {

/// Resolution used when the output is a PDF file.
constexpr int kPdfResolution = 300;

class TPrinter {
public:
    /// A printer over a QPrinter that the caller keeps alive.
    explicit TPrinter(QPrinter& printer);
    /// Drops a document still being printed.
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    /// Starts a document on page 1; throws std::runtime_error naming the printer when it cannot start, and
    /// when a document is already being printed.
    void BeginDoc();
    /// Finishes the document and sends it off.
    void EndDoc();
    /// Drops the document being printed: a PDF file is removed; Qt cannot take back a real printer's job.
    void Abort();
    /// Starts the next page.
    void NewPage();

    /// True between BeginDoc and EndDoc or Abort.
    bool Printing() const { return printing_; }
    /// True after Abort, until the next BeginDoc.
    bool Aborted() const { return aborted_; }
    /// The page being printed, from 1.
    int PageNumber() const { return pageNumber_; }
    /// Size of the printable area in device pixels.
    int PageWidth() const;
    int PageHeight() const;
    /// Device pixels per inch (the canvas font's pixels per inch).
    int PixelsPerInch() const;
    /// Title of the print job.
    QString Title;

    /// The canvas of the page, origin at the printable area's top-left. It keeps its pen, brush and font
    /// between documents; outside a document it only measures text.
    TCanvas& Canvas() { return canvas_; }
    /// The printer this one prints on.
    QPrinter& Device() { return printer_; }

private:
    QPrinter& printer_;
    QPainter painter_;
    TCanvas canvas_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

/// The printer and its dialog, as windows see them; a Qt implementation and a test fake exist.
class IPrinterService {
public:
    virtual ~IPrinterService() = default;
    /// Runs the print dialog over `parent`; true when the user confirmed it.
    virtual bool ExecutePrintDialog(QWidget* parent) = 0;
    /// The printer chosen last (or the default printer).
    virtual TPrinter& Printer() = 0;
};

/// The Qt printer with QPrintDialog. When the user prints to a file the output is a PDF at 300 dpi.
class TQtPrinterService : public IPrinterService {
public:
    /// A high-resolution printer on the default printer, made on first use.
    TQtPrinterService();
    /// Releases the printer.
    ~TQtPrinterService() override;
    /// QPrintDialog; a file chosen there is printed as a PDF at 300 dpi.
    bool ExecutePrintDialog(QWidget* parent) override;
    /// The printer the dialog configured.
    TPrinter& Printer() override;

private:
    QPrinter& Device();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TPrinter> tprinter_;
};

} // namespace carlume
