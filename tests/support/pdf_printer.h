#pragma once

// Printing in tests: a printer service that prints to a PDF file in the test's output folder at 300 dpi,
// with scripted print-dialog answers, and readers for the PDF (page count, words with their boxes, text),
// which use poppler-utils.

#include "platform/gui/printer.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace carlume::test {

class TPdfPrinterService : public IPrinterService {
public:
    /// Prints to `file` (Letter, 300 dpi unless given, margins of `kMarginPoints` on every side).
    explicit TPdfPrinterService(const std::filesystem::path& file, int resolution = kPdfResolution);
    /// Fails the test when dialog answers were scripted but never asked for.
    ~TPdfPrinterService() override;

    /// The next scripted answer; unscripted: a test failure, and false (as Cancel).
    bool ExecutePrintDialog(QWidget* parent) override;
    /// The printer that writes the PDF file.
    TPrinter& Printer() override { return *printer_; }

    /// Answers the next print dialog (true prints).
    void QueueDialogAnswer(bool print) { answers_.push_back(print); }
    /// How often the dialog was asked for.
    int DialogCount() const { return dialogCount_; }
    /// The PDF file.
    const std::filesystem::path& File() const { return file_; }

    /// The page margins, in points.
    static constexpr double kMarginPoints = 36.0;

private:
    std::filesystem::path file_;
    std::unique_ptr<QPrinter> device_;
    std::unique_ptr<TPrinter> printer_;
    std::deque<bool> answers_;
    int dialogCount_ = 0;
};

/// One word of a PDF page with its box, in points from the page's top-left.
struct TPdfWord {
    /// Page number, from 1.
    int Page = 0;
    /// The word's box.
    double XMin = 0;
    double YMin = 0;
    double XMax = 0;
    double YMax = 0;
    /// The word.
    std::string Text;
};

/// The number of pages; -1 when the file cannot be read.
int PdfPageCount(const std::filesystem::path& file);
/// Every word with its page (from 1) and box.
std::vector<TPdfWord> PdfWords(const std::filesystem::path& file);
/// The text, laid out as on the page.
std::string PdfText(const std::filesystem::path& file);

} // namespace carlume::test
