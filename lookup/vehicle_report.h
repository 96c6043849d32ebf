#pragma once

// The printed vehicle report: a bold title with year, make and model, a rule, then one line per labelled
// value of the record, label in bold and value in a second column. It draws on `IReportCanvas`, in device
// pixels of the printable area; the printer adapter lives in lookup/printer_report_canvas.h.
//
// Three things differ from a plain port of the printer routines: a page break waits until something is
// printed on the new page, so a report never ends on an empty page; an error while printing aborts the
// document before it goes on to the caller, so no print job is left open; and a label too wide for the
// label column pushes its value to the right instead of disappearing under the value's background.

#include "lookup/vin_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace carlume {

/// Where the first line of every page starts, in device pixels from the top of the printable area.
inline constexpr int ReportTopOffset = 100;
/// Left edge of the title, the labels and the rule; the rule ends as far from the right edge.
inline constexpr int ReportLeftMargin = 150;
/// The value column, as a share of the page width.
inline constexpr double ReportValueColumn = 0.3;
/// The font of the whole report.
inline constexpr std::string_view ReportFontName = "MS Sans Serif";
/// The title's size in points (it is bold).
inline constexpr int ReportTitleFontSize = 18;
/// The title text before year, make and model.
inline constexpr std::string_view ReportTitlePrefix = "Vehicle Detail Report for ";
/// Extra pixels below the text height of every line.
inline constexpr int ReportLineSpacing = 8;
/// Range of the body font size in points; other sizes are brought into it.
inline constexpr int MinPrintoutFontSize = 8;
inline constexpr int MaxPrintoutFontSize = 14;

/// What the report draws on: one document of pages, positions in device pixels from the top-left corner
/// of the printable area. Implemented over the printer (TPrinterReportCanvas) and by recorders in tests.
class IReportCanvas {
public:
    virtual ~IReportCanvas() = default;
    /// Starts the document on its first page; raises when printing cannot start.
    virtual void BeginDoc() = 0;
    /// Finishes the document and sends it off.
    virtual void EndDoc() = 0;
    /// Drops the document being printed; must not raise.
    virtual void Abort() = 0;
    /// Starts the next page.
    virtual void NewPage() = 0;
    /// Width of the printable area.
    virtual int PageWidth() const = 0;
    /// Height of the printable area.
    virtual int PageHeight() const = 0;
    /// The font's pixels per inch (the device's vertical resolution).
    virtual int PixelsPerInch() const = 0;
    /// Sets the font name; size and style stay.
    virtual void SetFontName(const std::string& name) = 0;
    /// Sets the font size in points; name and style stay.
    virtual void SetFontSize(int points) = 0;
    /// Bold only, or plain (no bold, italic, underline or strike-out).
    virtual void SetFontBold(bool bold) = 0;
    /// Height of the text's cell in the current font, in pixels.
    virtual int TextHeight(const std::string& text) const = 0;
    /// Width of the text in the current font, in pixels.
    virtual int TextWidth(const std::string& text) const = 0;
    /// Writes the text with the top-left of its cell at (x, y).
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    /// A line with the canvas pen from (x1, y1) towards (x2, y2).
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
};

/// The canvas as the report's line routines use it: a page break asked for by `NewPage` waits until the
/// next text or line, so a page is started only when something is printed on it.
class TReportPrinter {
public:
    /// Works on `canvas`, which outlives this object.
    explicit TReportPrinter(IReportCanvas& canvas)
        : canvas_(canvas)
    {
    }

    /// The canvas drawn on.
    IReportCanvas& Canvas() const { return canvas_; }
    /// A new page starts before the next text or line.
    void NewPage() { newPagePending_ = true; }
    /// True while a page break waits for the next output.
    bool NewPagePending() const { return newPagePending_; }
    /// Writes text at (x, y), on a new page when one is waiting.
    void TextOut(int x, int y, const std::string& text);
    /// Draws a line, on a new page when one is waiting.
    void Line(int x1, int y1, int x2, int y2);

private:
    void StartPendingPage();

    IReportCanvas& canvas_;
    bool newPagePending_ = false;
};

/// The font's style := plain.
void SetPrinterFontNormal(TReportPrinter& printer);
/// The font's style := bold only.
void SetPrinterFontBold(TReportPrinter& printer);
/// (text height of "M" in the current font + 8) x `lines`.
int PrintLineHeight(TReportPrinter& printer, int lines);
/// Moves `y` down by `lines` line heights; past half an inch and one line above the bottom of the page, a
/// new page is asked for and `y` := `topOffset`.
void NextPrintLine(TReportPrinter& printer, int lines, int& y, int topOffset);
/// A horizontal line from (x1, y) to (x2, y) with the canvas pen.
void PrintHorzLine(TReportPrinter& printer, int x1, int x2, int y);
/// One body line at `y`: `label` + ":" in bold at the left margin, `value` plain in the value column (or,
/// when the label reaches into that column, one blank's width after the label); then `y` moves to the next
/// line.
void PrintReportLine(TReportPrinter& printer, const std::string& label, const std::string& value, int& y);

/// The body font size for a requested size: `fontSize` brought into 8..14.
int ReportBodyFontSize(std::int32_t fontSize);

/// Prints `record` as one document on `canvas`: the title in 18-point bold, a rule, then each line of
/// `ToStrings(includeEmpty, "=", false)` (label before the first "=", value after it) at the body size
/// `ReportBodyFontSize(fontSize)`, each followed by an empty line. An error after the document started
/// aborts it and then goes on to the caller.
void PrintVehicleDetailReport(const TVinRecord& record, bool includeEmpty, std::int32_t fontSize,
                              IReportCanvas& canvas);

} // namespace carlume
