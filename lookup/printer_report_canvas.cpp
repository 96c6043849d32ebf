#include "lookup/printer_report_canvas.h"

#include "platform/gui/canvas.h"
#include "platform/gui/font.h"

#include <QString>

namespace carlume {

void TPrinterReportCanvas::BeginDoc()
{
    printer_.BeginDoc();
}

void TPrinterReportCanvas::EndDoc()
{
    printer_.EndDoc();
}

void TPrinterReportCanvas::Abort()
{
    printer_.Abort();
}

void TPrinterReportCanvas::NewPage()
{
    printer_.NewPage();
}

int TPrinterReportCanvas::PageWidth() const
{
    return printer_.PageWidth();
}

int TPrinterReportCanvas::PageHeight() const
{
    return printer_.PageHeight();
}

int TPrinterReportCanvas::PixelsPerInch() const
{
    return printer_.Canvas().Font().PixelsPerInch();
}

void TPrinterReportCanvas::SetFontName(const std::string& name)
{
    printer_.Canvas().Font().SetName(QString::fromStdString(name));
}

void TPrinterReportCanvas::SetFontSize(int points)
{
    printer_.Canvas().Font().SetSize(points);
}

void TPrinterReportCanvas::SetFontBold(bool bold)
{
    printer_.Canvas().Font().SetStyle(bold ? TFontStyles(fsBold) : TFontStyles(0));
}

int TPrinterReportCanvas::TextHeight(const std::string& text) const
{
    return printer_.Canvas().TextHeight(QString::fromStdString(text));
}

int TPrinterReportCanvas::TextWidth(const std::string& text) const
{
    return printer_.Canvas().TextWidth(QString::fromStdString(text));
}

void TPrinterReportCanvas::TextOut(int x, int y, const std::string& text)
{
    printer_.Canvas().TextOut(x, y, QString::fromStdString(text));
}

void TPrinterReportCanvas::Line(int x1, int y1, int x2, int y2)
{
    TCanvas& canvas = printer_.Canvas();
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

void PrintVehicleDetailReport(const TVinRecord& record, bool includeEmpty, std::int32_t fontSize,
                              TPrinter& printer)
{
    TPrinterReportCanvas canvas(printer);
    PrintVehicleDetailReport(record, includeEmpty, fontSize, canvas);
}

} // namespace carlume
