// The printed report on the Qt printer, printed to PDF at 300 dpi and read back with poppler-utils.

#include "lookup/printer_report_canvas.h"

#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "tests/lookup/recording_report_canvas.h"
#include "tests/lookup/report_records.h"
#include "tests/support/pdf_printer.h"
#include "tests/support/test_output.h"

#include <QImage>
#include <QProcess>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

constexpr TDateTime kToday = 46362.5; // 2026-12-06, noon
constexpr double kPointsPerPixel = 72.0 / kPdfResolution;

std::string FirstWord(const std::string& text)
{
    return text.substr(0, text.find(' '));
}

// Checks the PDF against the recorded calls: the same pages, every page with text on it, and each text's
// first word within a point of where the report wrote it. Returns the number of texts checked.
int ExpectTextsWhereRecorded(const TRecordingReportCanvas& recorder, const std::filesystem::path& file)
{
    EXPECT_EQ(PdfPageCount(file), recorder.Pages()) << file;
    const std::vector<TPdfWord> words = PdfWords(file);
    std::set<int> pagesWithWords;
    for (const TPdfWord& word : words)
        pagesWithWords.insert(word.Page);
    EXPECT_EQ(int(pagesWithWords.size()), recorder.Pages()) << file;

    const double margin = TPdfPrinterService::kMarginPoints;
    int checked = 0;
    for (const TCanvasEvent& event : recorder.Texts()) {
        if (event.Text.empty())
            continue;
        const std::string word = FirstWord(event.Text);
        const double x = margin + event.X * kPointsPerPixel;
        const double y = margin + event.Y * kPointsPerPixel;
        bool found = false;
        for (const TPdfWord& candidate : words) {
            found = found || (candidate.Page == event.Page && candidate.Text == word &&
                              std::abs(candidate.XMin - x) <= 1.0 && std::abs(candidate.YMin - y) <= 1.0);
        }
        EXPECT_TRUE(found) << "\"" << word << "\" not at (" << x << ", " << y << ") on page " << event.Page
                           << " of " << file;
        ++checked;
    }
    // No word hides another: on each line, every word ends before the next begins.
    for (const TPdfWord& a : words) {
        for (const TPdfWord& b : words) {
            if (&a != &b && a.Page == b.Page && std::abs(a.YMin - b.YMin) < 1.0 && a.XMin <= b.XMin) {
                EXPECT_LT(a.XMax, b.XMin)
                    << "\"" << a.Text << "\" runs into \"" << b.Text << "\" in " << file;
            }
        }
    }
    return checked;
}

// Renders the pages of a PDF as PNG files "<prefix>-<page>.png" next to it; returns the first page.
QImage RenderPages(const std::filesystem::path& file, const std::string& prefix, int dpi)
{
    const std::filesystem::path folder = file.parent_path();
    QProcess process;
    process.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"),
                                               QString::number(dpi), QString::fromStdString(file.string()),
                                               QString::fromStdString((folder / prefix).string())});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage(QString::fromStdString((folder / (prefix + "-1.png")).string()));
}

class ReportPdfTest : public ::testing::Test {
protected:
    // Prints the record through a recorder around the printer canvas; the recorder keeps the calls.
    void Print(TPdfPrinterService& service, TRecordingReportCanvas*& recorder, bool includeEmpty,
               int fontSize)
    {
        printerCanvases_.push_back(std::make_unique<TPrinterReportCanvas>(service.Printer()));
        recorders_.push_back(std::make_unique<TRecordingReportCanvas>(*printerCanvases_.back()));
        recorder = recorders_.back().get();
        PrintVehicleDetailReport(record_, includeEmpty, fontSize, *recorder);
    }

    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
    TVinRecord record_;
    std::vector<std::unique_ptr<TPrinterReportCanvas>> printerCanvases_;
    std::vector<std::unique_ptr<TRecordingReportCanvas>> recorders_;
};

TEST_F(ReportPdfTest, TextsSitInThePdfWhereTheReportPutThemAndTheRuleIsDrawn)
{
    struct TCase {
        const char* Name;
        void (*Fill)(TVinRecord&);
        bool IncludeEmpty;
        int FontSize;
        int Pages = 0;
    };
    TCase cases[] = {
        {"typical", FillTypical, false, 10}, {"long-8", FillLong, true, 8}, {"long", FillLong, true, 14}};
    TRecordingReportCanvas* recorder = nullptr;
    for (TCase& c : cases) {
        c.Fill(record_);
        TPdfPrinterService service(TestOutputFolder() / (std::string(c.Name) + ".pdf"));
        Print(service, recorder, c.IncludeEmpty, c.FontSize);
        EXPECT_GT(ExpectTextsWhereRecorded(*recorder, service.File()), 30) << c.Name;
        c.Pages = PdfPageCount(service.File());
    }
    // 2250 pixels of printable width at 300 dpi: the value column at 675.
    EXPECT_EQ(recorders_[0]->Texts()[2].X, 675);
    EXPECT_EQ(cases[0].Pages, 1);
    EXPECT_GE(cases[1].Pages, 2);
    EXPECT_GT(cases[2].Pages, cases[1].Pages);
    EXPECT_THAT(PdfText(TestOutputFolder() / "typical.pdf"),
                ::testing::HasSubstr("Vehicle Detail Report for 2010 Acme Roadster GT"));

    // Pictures of the long report's pages to look at; the rule under the title is drawn across.
    const int dpi = 100;
    const QImage page = RenderPages(TestOutputFolder() / "long.pdf", "long", dpi);
    ASSERT_FALSE(page.isNull());
    const TCanvasEvent& rule = recorder->Events()[2];
    ASSERT_EQ(rule.Kind, TCanvasEvent::TKind::Line);
    const auto toImage = [&](int pixels) {
        return int(std::lround((TPdfPrinterService::kMarginPoints + pixels * kPointsPerPixel) * dpi / 72.0));
    };
    const int row = toImage(rule.Y);
    const int left = toImage(rule.X);
    const int right = toImage(rule.X2);
    auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    auto darkAround = [&](int x, int y) { return dark(x, y - 1) || dark(x, y) || dark(x, y + 1); };
    EXPECT_TRUE(darkAround(left + 2, row));
    EXPECT_TRUE(darkAround((left + right) / 2, row));
    EXPECT_TRUE(darkAround(right - 2, row));
    EXPECT_FALSE(darkAround(left - 5, row));
    EXPECT_FALSE(darkAround(right + 5, row));
    EXPECT_FALSE(darkAround((left + right) / 2, row + 6));
}

TEST_F(ReportPdfTest, AnErrorMidPrintAbortsTheJobAndTheNextPrintWorks)
{
    FillLong(record_);
    TPdfPrinterService service(TestOutputFolder() / "aborted.pdf");
    std::filesystem::remove(service.File());
    TPrinterReportCanvas printerCanvas(service.Printer());
    TRecordingReportCanvas failing(printerCanvas);
    failing.FailAtText(60); // on the second page
    EXPECT_THROW(PrintVehicleDetailReport(record_, true, 14, failing), Exception);
    EXPECT_EQ(failing.Pages(), 2);
    EXPECT_FALSE(service.Printer().Printing());
    EXPECT_TRUE(service.Printer().Aborted());
    EXPECT_FALSE(std::filesystem::exists(service.File()));

    FillTypical(record_);
    PrintVehicleDetailReport(record_, false, 10, service.Printer());
    EXPECT_EQ(PdfPageCount(service.File()), 1);
    EXPECT_THAT(PdfText(service.File()),
                ::testing::HasSubstr("Vehicle Detail Report for 2010 Acme Roadster GT"));
}

} // namespace
} // namespace carlume::test
