#include "lookup/vehicle_report.h"

#include "foundation/string_helpers.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <memory>

namespace carlume {

void TReportPrinter::StartPendingPage()
{
    if (newPagePending_) {
        newPagePending_ = false;
        canvas_.NewPage();
    }
}

void TReportPrinter::TextOut(int x, int y, const std::string& text)
{
    StartPendingPage();
    canvas_.TextOut(x, y, text);
}

void TReportPrinter::Line(int x1, int y1, int x2, int y2)
{
    StartPendingPage();
    canvas_.Line(x1, y1, x2, y2);
}

void SetPrinterFontNormal(TReportPrinter& printer)
{
    printer.Canvas().SetFontBold(false);
}

void SetPrinterFontBold(TReportPrinter& printer)
{
    printer.Canvas().SetFontBold(true);
}

int PrintLineHeight(TReportPrinter& printer, int lines)
{
    return (printer.Canvas().TextHeight("M") + ReportLineSpacing) * lines;
}

void NextPrintLine(TReportPrinter& printer, int lines, int& y, int topOffset)
{
    y += PrintLineHeight(printer, lines);
    const IReportCanvas& canvas = printer.Canvas();
    const int limit = canvas.PageHeight() - (canvas.PixelsPerInch() / 2 + PrintLineHeight(printer, 1));
    if (y > limit) {
        // The page starts with the next output: after the last line no empty page follows.
        printer.NewPage();
        y = topOffset;
    }
}

void PrintHorzLine(TReportPrinter& printer, int x1, int x2, int y)
{
    printer.Line(x1, y, x2, y);
}

void PrintReportLine(TReportPrinter& printer, const std::string& label, const std::string& value, int& y)
{
    IReportCanvas& canvas = printer.Canvas();
    SetPrinterFontBold(printer);
    const std::string labelText = label + ":";
    printer.TextOut(ReportLeftMargin, y, labelText);
    const int labelEnd = ReportLeftMargin + canvas.TextWidth(labelText);
    SetPrinterFontNormal(printer);
    int valueX = static_cast<int>(RoundHalfUp(canvas.PageWidth() * ReportValueColumn));
    // Text is written on its background colour: a value in the column would hide the label's end.
    if (labelEnd > valueX) {
        valueX = labelEnd + canvas.TextWidth(" ");
    }
    printer.TextOut(valueX, y, value);
    NextPrintLine(printer, 1, y, ReportTopOffset);
}

int ReportBodyFontSize(std::int32_t fontSize)
{
    return std::clamp<std::int32_t>(fontSize, MinPrintoutFontSize, MaxPrintoutFontSize);
}

namespace {

void PrintDocument(TReportPrinter& printer, const TVinRecord& record, bool includeEmpty,
                   std::int32_t fontSize)
{
    IReportCanvas& canvas = printer.Canvas();
    int y = ReportTopOffset;
    const std::unique_ptr<TStringList> lines = record.ToStrings(includeEmpty, "=", false);

    canvas.SetFontName(std::string(ReportFontName));
    canvas.SetFontSize(ReportTitleFontSize);
    canvas.SetFontBold(true);
    printer.TextOut(ReportLeftMargin, y,
                    std::string(ReportTitlePrefix) + IntToStr(record.ModelYear) + " " + record.Make + " " +
                        record.Model);
    NextPrintLine(printer, 1, y, ReportTopOffset);
    PrintHorzLine(printer, ReportLeftMargin, canvas.PageWidth() - ReportLeftMargin, y);
    NextPrintLine(printer, 1, y, ReportTopOffset);

    canvas.SetFontSize(ReportBodyFontSize(fontSize));
    for (int i = 0; i < lines->Count(); ++i) {
        const std::string& line = (*lines)[i];
        PrintReportLine(printer, TextBeforeOrWhole(line, "="), TextAfterOrWhole(line, "="), y);
        NextPrintLine(printer, 1, y, ReportTopOffset);
    }
}

} // namespace

void PrintVehicleDetailReport(const TVinRecord& record, bool includeEmpty, std::int32_t fontSize,
                              IReportCanvas& canvas)
{
    TReportPrinter printer(canvas);
    canvas.BeginDoc();
    try {
        PrintDocument(printer, record, includeEmpty, fontSize);
        canvas.EndDoc();
    } catch (...) {
        // A document left open would block the next print; the error itself is the caller's to show.
        canvas.Abort();
        throw;
    }
}

} // namespace carlume
