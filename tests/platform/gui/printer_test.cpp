// The printer canvas, printing to a PDF file, and the Qt print dialog.

#include "platform/gui/printer.h"
#include "tests/support/modal_driver.h"
#include "tests/support/pdf_printer.h"
#include "tests/support/test_output.h"

#include <QPrintDialog>
#include <QPrinter>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace carlume {
namespace {

using test::PdfPageCount;
using test::PdfText;
using test::PdfWords;
using test::TPdfPrinterService;
using test::TPdfWord;

const TPdfWord* FindWord(const std::vector<TPdfWord>& words, const std::string& text)
{
    for (const auto& word : words) {
        if (word.Text == text) {
            return &word;
        }
    }
    return nullptr;
}

TEST(Printer, PrintsToPdfInDevicePixelsOfThePrintableArea)
{
    TPdfPrinterService service(test::TestOutputFolder() / "report.pdf");
    TPrinter& printer = service.Printer();
    EXPECT_EQ(printer.PixelsPerInch(), 300);
    // Letter is 8.5 x 11 inches; half an inch of margin on each side leaves 7.5 x 10 inches.
    EXPECT_EQ(printer.PageWidth(), 2250);
    EXPECT_EQ(printer.PageHeight(), 3000);

    printer.Title = QStringLiteral("Vehicle Detail Report");
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    TCanvas& canvas = printer.Canvas();
    canvas.Font().SetName(QStringLiteral("MS Sans Serif"));
    canvas.Font().SetSize(18);
    canvas.Font().SetStyle(fsBold);
    EXPECT_EQ(canvas.Font().Height(), -75);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.TextOut(150, 100, QStringLiteral("Title"));
    const int lineHeight = canvas.TextHeight(QStringLiteral("M"));
    EXPECT_GT(lineHeight, 75);
    canvas.MoveTo(150, 300);
    canvas.LineTo(printer.PageWidth() - 150, 300);
    printer.NewPage();
    EXPECT_EQ(printer.PageNumber(), 2);
    canvas.Font().SetSize(10);
    canvas.Font().SetStyle(0);
    canvas.TextOut(150, 100, QStringLiteral("Second"));
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    ASSERT_EQ(PdfPageCount(service.File()), 2);
    const auto words = PdfWords(service.File());
    const TPdfWord* title = FindWord(words, "Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Page, 1);
    // 150 device pixels at 300 dpi are 36 points, after the 36-point margin.
    EXPECT_NEAR(title->XMin, TPdfPrinterService::kMarginPoints + 36.0, 1.0);
    EXPECT_NEAR(title->YMin, TPdfPrinterService::kMarginPoints + 24.0, 3.0);
    const TPdfWord* second = FindWord(words, "Second");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Page, 2);
    EXPECT_LT(second->YMax - second->YMin, title->YMax - title->YMin);
    EXPECT_NE(PdfText(service.File()).find("Second"), std::string::npos);
}

TEST(Printer, AbortSendsNothingAndASecondBeginDocFails)
{
    const auto file = test::TestOutputFolder() / "aborted.pdf";
    TPdfPrinterService service(file);
    TPrinter& printer = service.Printer();
    printer.BeginDoc();
    EXPECT_THROW(printer.BeginDoc(), std::runtime_error);
    printer.Canvas().TextOut(0, 0, QStringLiteral("never"));
    printer.Abort();
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Aborted());
    EXPECT_EQ(PdfPageCount(file), -1);

    printer.BeginDoc();
    EXPECT_FALSE(printer.Aborted());
    printer.EndDoc();
    EXPECT_EQ(PdfPageCount(file), 1);
}

TEST(Printer, AFailedStartNamesThePrinter)
{
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(QStringLiteral("/nonexistent-folder/x.pdf"));
    TPrinter printer(device);
    try {
        printer.BeginDoc();
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/x.pdf"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(printer.Printing());
}

TEST(QtPrinterService, CancellingThePrintDialogPrintsNothing)
{
    TQtPrinterService service;
    bool sawDialog = false;
    test::TModalDriver driver;
    driver.Then([&](test::TModalWindow& w) {
        sawDialog = dynamic_cast<QPrintDialog*>(&w.Widget()) != nullptr;
        w.Key(Qt::Key_Escape);
    });
    EXPECT_FALSE(service.ExecutePrintDialog(nullptr));
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(service.Printer().Printing());
}

} // namespace
} // namespace carlume
