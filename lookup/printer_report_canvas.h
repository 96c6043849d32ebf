#pragma once

// The printed vehicle report on the printer: the report's canvas over `TPrinter`, whose canvas draws in
// device pixels of the printable area.

#include "lookup/vehicle_report.h"
#include "platform/gui/printer.h"

#include <cstdint>
#include <string>

namespace carlume {

/// `IReportCanvas` over a printer and its canvas.
class TPrinterReportCanvas final : public IReportCanvas {
public:
    /// Draws on `printer`, which outlives this object.
    explicit TPrinterReportCanvas(TPrinter& printer)
        : printer_(printer)
    {
    }

    /// `TPrinter::BeginDoc`; raises when the printer cannot start.
    void BeginDoc() override;
    /// `TPrinter::EndDoc`.
    void EndDoc() override;
    /// `TPrinter::Abort` (a PDF file is removed).
    void Abort() override;
    /// `TPrinter::NewPage`.
    void NewPage() override;
    /// The printable area, in device pixels.
    int PageWidth() const override;
    int PageHeight() const override;
    /// The printer's resolution.
    int PixelsPerInch() const override;
    /// The canvas font's name, size in points and style.
    void SetFontName(const std::string& name) override;
    void SetFontSize(int points) override;
    void SetFontBold(bool bold) override;
    /// Ascent + descent of the text in the canvas font.
    int TextHeight(const std::string& text) const override;
    /// Width of the text in the canvas font.
    int TextWidth(const std::string& text) const override;
    /// `TCanvas::TextOut` (UTF-8 text).
    void TextOut(int x, int y, const std::string& text) override;
    /// `MoveTo(x1, y1)`, `LineTo(x2, y2)`.
    void Line(int x1, int y1, int x2, int y2) override;

private:
    TPrinter& printer_;
};

/// Prints `record` on `printer` (the printer the print dialog chose); see the overload on `IReportCanvas`.
void PrintVehicleDetailReport(const TVinRecord& record, bool includeEmpty, std::int32_t fontSize,
                              TPrinter& printer);

} // namespace carlume
