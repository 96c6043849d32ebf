#include "lookup/vehicle_report.h"

#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "tests/lookup/recording_report_canvas.h"
#include "tests/lookup/report_records.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace carlume::test {
namespace {

using Kind = TCanvasEvent::TKind;
using ::testing::ElementsAreArray;

constexpr TDateTime kToday = 46362.5; // 2026-12-06, noon

// The recording canvas's line height for a font size: text height 2 x points, plus 8.
int LineHeight(int points)
{
    return 2 * points + 8;
}

// The body lines as printed: "label:" and value, each pair on one y of one page.
std::vector<std::string> PrintedLines(const TRecordingReportCanvas& canvas)
{
    const std::vector<TCanvasEvent> texts = canvas.Texts();
    std::vector<std::string> lines;
    for (std::size_t i = 1; i + 1 < texts.size(); i += 2) {
        EXPECT_EQ(texts[i].Page, texts[i + 1].Page) << texts[i].Text;
        EXPECT_EQ(texts[i].Y, texts[i + 1].Y) << texts[i].Text;
        lines.push_back(texts[i].Text + texts[i + 1].Text);
    }
    return lines;
}

// The record's lines as the report should print them: the first "=" becomes ":".
std::vector<std::string> ExpectedLines(const TVinRecord& record, bool includeEmpty)
{
    std::vector<std::string> lines = record.ToStrings(includeEmpty, "=", false)->ToVector();
    for (std::string& line : lines)
        line.replace(line.find('='), 1, ":");
    return lines;
}

class VehicleReportTest : public ::testing::Test {
protected:
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
    TVinRecord record_;
};

// --- layout -----------------------------------------------------------------------------------------------

TEST_F(VehicleReportTest, TitleRuleAndLinesSitWhereTheLayoutPutsThem)
{
    FillTypical(record_);
    // 1005 x 0.3 = 301.5: the value column shows the rounding of halves.
    TRecordingReportCanvas canvas(1005, 3000, 300);
    PrintVehicleDetailReport(record_, false, 10, canvas);

    const std::vector<TCanvasEvent>& events = canvas.Events();
    ASSERT_GE(events.size(), 6U);
    EXPECT_EQ(events.front().Kind, Kind::BeginDoc);
    EXPECT_EQ(events.back().Kind, Kind::EndDoc);

    const TCanvasEvent& title = events[1];
    EXPECT_EQ(title.Kind, Kind::Text);
    EXPECT_EQ(title.Text, "Vehicle Detail Report for 2010 Acme Roadster GT");
    EXPECT_EQ(std::make_pair(title.X, title.Y), std::make_pair(150, 100));
    EXPECT_EQ(title.FontName, "MS Sans Serif");
    EXPECT_EQ(title.FontSize, 18);
    EXPECT_TRUE(title.Bold);

    const TCanvasEvent& rule = events[2];
    const int titleLine = LineHeight(18);
    ASSERT_EQ(rule.Kind, Kind::Line);
    EXPECT_EQ(rule.X, 150);
    EXPECT_EQ(rule.X2, 1005 - 150);
    EXPECT_EQ(rule.Y, 100 + titleLine);
    EXPECT_EQ(rule.Y2, rule.Y);

    const TCanvasEvent& label = events[3];
    const TCanvasEvent& value = events[4];
    EXPECT_EQ(label.Text, "Model Year:");
    EXPECT_EQ(std::make_pair(label.X, label.Y), std::make_pair(150, 100 + 2 * titleLine));
    EXPECT_TRUE(label.Bold);
    EXPECT_EQ(label.FontName, "MS Sans Serif");
    EXPECT_EQ(value.Text, "2010");
    EXPECT_EQ(std::make_pair(value.X, value.Y), std::make_pair(302, label.Y));
    EXPECT_FALSE(value.Bold);
    EXPECT_EQ(value.FontName, "MS Sans Serif");
    EXPECT_EQ(canvas.Pages(), 1);
}

TEST_F(VehicleReportTest, EveryLineOfTheRecordIsPrintedInOrderAndFollowedByAnEmptyLine)
{
    FillLong(record_);
    TRecordingReportCanvas canvas(2250, 30000, 300);
    PrintVehicleDetailReport(record_, true, 10, canvas);

    EXPECT_THAT(PrintedLines(canvas), ElementsAreArray(ExpectedLines(record_, true)));
    const std::vector<TCanvasEvent> texts = canvas.Texts();
    for (std::size_t i = 3; i < texts.size(); i += 2)
        EXPECT_EQ(texts[i].Y - texts[i - 2].Y, 2 * LineHeight(10)) << texts[i].Text;
    EXPECT_EQ(canvas.Pages(), 1);
}

TEST_F(VehicleReportTest, ALabelReachingIntoTheValueColumnPushesItsValueRight)
{
    FillTypical(record_);
    // "Daytime Running Lamps:" is 22 characters: 154 pixels at 14 points, 143 at 13; the column is at 302.
    for (const auto& [size, expectedX] : {std::pair{14, 150 + 154 + 7}, std::pair{13, 302}}) {
        TRecordingReportCanvas canvas(1005, 30000, 300);
        PrintVehicleDetailReport(record_, false, size, canvas);
        const std::vector<TCanvasEvent> texts = canvas.Texts();
        bool seen = false;
        for (std::size_t i = 1; i + 1 < texts.size(); i += 2) {
            const int labelEnd = 150 + int(texts[i].Text.size()) * size / 2;
            if (texts[i].Text == "Daytime Running Lamps:") {
                seen = true;
                EXPECT_EQ(texts[i + 1].X, expectedX) << size;
            } else if (labelEnd <= 302) {
                EXPECT_EQ(texts[i + 1].X, 302) << texts[i].Text;
            }
            EXPECT_GT(texts[i + 1].X, labelEnd) << texts[i].Text;
        }
        EXPECT_TRUE(seen);
    }
}

struct TFontSizeCase {
    std::int32_t Requested;
    int Printed;
};

void PrintTo(const TFontSizeCase& c, std::ostream* out)
{
    *out << c.Requested << " pt";
}

class ReportFontSizeTest : public VehicleReportTest, public ::testing::WithParamInterface<TFontSizeCase> {};

TEST_P(ReportFontSizeTest, BodyIsPrintedAtTheSizeBroughtInto8To14)
{
    FillTypical(record_);
    TRecordingReportCanvas canvas(2250, 30000, 300);
    PrintVehicleDetailReport(record_, false, GetParam().Requested, canvas);

    EXPECT_EQ(ReportBodyFontSize(GetParam().Requested), GetParam().Printed);
    const std::vector<TCanvasEvent> texts = canvas.Texts();
    ASSERT_GT(texts.size(), 5U);
    EXPECT_EQ(texts[0].FontSize, 18);
    for (std::size_t i = 1; i < texts.size(); ++i)
        EXPECT_EQ(texts[i].FontSize, GetParam().Printed) << texts[i].Text;
    EXPECT_EQ(texts[3].Y - texts[1].Y, 2 * LineHeight(GetParam().Printed));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReportFontSizeTest,
                         ::testing::Values(TFontSizeCase{5, 8}, TFontSizeCase{20, 14}, TFontSizeCase{10, 10},
                                           TFontSizeCase{8, 8}, TFontSizeCase{14, 14}, TFontSizeCase{7, 8},
                                           TFontSizeCase{15, 14},
                                           TFontSizeCase{std::numeric_limits<std::int32_t>::min(), 8},
                                           TFontSizeCase{std::numeric_limits<std::int32_t>::max(), 14}));

TEST_F(VehicleReportTest, ShowAllAddsExactlyTheLinesWithEmptyValues)
{
    FillTypical(record_);
    record_.VIN.clear();
    record_.Body.clear();
    TRecordingReportCanvas all(2250, 30000, 300);
    TRecordingReportCanvas filled(2250, 30000, 300);
    PrintVehicleDetailReport(record_, true, 10, all);
    PrintVehicleDetailReport(record_, false, 10, filled);

    EXPECT_THAT(PrintedLines(all), ElementsAreArray(ExpectedLines(record_, true)));
    EXPECT_THAT(PrintedLines(filled), ElementsAreArray(ExpectedLines(record_, false)));
    std::vector<std::string> dropped;
    for (const std::string& line : PrintedLines(all)) {
        if (line.back() == ':')
            dropped.push_back(line);
    }
    EXPECT_THAT(dropped, ::testing::Contains("VIN:"));
    EXPECT_THAT(dropped, ::testing::Contains("Body:"));
    EXPECT_EQ(PrintedLines(all).size(), PrintedLines(filled).size() + dropped.size());
}

TEST_F(VehicleReportTest, OnlyTheFirstEqualsSignSeparatesLabelAndValue)
{
    FillTypical(record_);
    record_.Model = "GT=Sport";
    record_.OtherInfo = "a=b=c";
    TRecordingReportCanvas canvas(2250, 30000, 300);
    PrintVehicleDetailReport(record_, false, 10, canvas);

    const std::vector<TCanvasEvent> texts = canvas.Texts();
    EXPECT_EQ(texts[0].Text, "Vehicle Detail Report for 2010 Acme GT=Sport");
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 1; i + 1 < texts.size(); i += 2)
        pairs.emplace_back(texts[i].Text, texts[i + 1].Text);
    EXPECT_THAT(pairs, ::testing::Contains(std::make_pair(std::string("Model:"), std::string("GT=Sport"))));
    EXPECT_THAT(pairs, ::testing::Contains(std::make_pair(std::string("Other Info:"), std::string("a=b=c"))));
}

TEST_F(VehicleReportTest, AnEmptyRecordPrintsItsTitleAndLines)
{
    TRecordingReportCanvas canvas(2250, 30000, 300);
    PrintVehicleDetailReport(record_, false, 10, canvas);
    const std::vector<TCanvasEvent> texts = canvas.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].Text, "Vehicle Detail Report for 0  ");
    EXPECT_THAT(PrintedLines(canvas), ElementsAreArray(ExpectedLines(record_, false)));
}

// --- page breaks ------------------------------------------------------------------------------------------

struct TPageCase {
    int FontSize;
    int PageHeight;
};

void PrintTo(const TPageCase& c, std::ostream* out)
{
    *out << c.FontSize << " pt on a page " << c.PageHeight << " high";
}

class ReportPageBreakTest : public VehicleReportTest, public ::testing::WithParamInterface<TPageCase> {};

TEST_P(ReportPageBreakTest, NoLineBelowTheLimitAndEveryPageHoldsText)
{
    FillLong(record_);
    const int ppi = 100;
    const int line = LineHeight(GetParam().FontSize);
    const int limit = GetParam().PageHeight - (ppi / 2 + line);
    TRecordingReportCanvas canvas(1000, GetParam().PageHeight, ppi);
    PrintVehicleDetailReport(record_, true, GetParam().FontSize, canvas);

    EXPECT_THAT(PrintedLines(canvas), ElementsAreArray(ExpectedLines(record_, true)));
    const std::vector<TCanvasEvent>& events = canvas.Events();
    ASSERT_EQ(events.back().Kind, Kind::EndDoc);
    int newPages = 0;
    int previousY = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const TCanvasEvent& event = events[i];
        if (event.Kind == Kind::NewPage) {
            ++newPages;
            // A page is started only for something printed on it.
            ASSERT_LT(i + 1, events.size());
            const TCanvasEvent& next = events[i + 1];
            ASSERT_EQ(next.Kind, Kind::Text);
            EXPECT_TRUE(next.Y == 100 || next.Y == 100 + line) << next.Text << " at " << next.Y;
            previousY = 0;
        } else if (event.Kind == Kind::Text && event.FontSize == GetParam().FontSize) {
            EXPECT_LE(event.Y, limit) << event.Text;
            EXPECT_GE(event.Y, previousY) << event.Text;
            previousY = event.Y;
        }
    }
    EXPECT_GT(newPages, 0);
    EXPECT_EQ(canvas.Pages(), newPages + 1);
}

INSTANTIATE_TEST_SUITE_P(Pages, ReportPageBreakTest,
                         ::testing::Values(TPageCase{8, 700}, TPageCase{8, 1000}, TPageCase{8, 1500},
                                           TPageCase{11, 700}, TPageCase{11, 1234}, TPageCase{14, 700},
                                           TPageCase{14, 1000}, TPageCase{14, 2001}));

// The y of body line `index` on the first page, from the recording canvas's metrics.
int FirstPageY(int index, int fontSize)
{
    return 100 + 2 * LineHeight(18) + index * 2 * LineHeight(fontSize);
}

TEST_F(VehicleReportTest, ALastLineThatFillsThePageLeavesNoEmptyPageBehind)
{
    FillTypical(record_);
    const int count = int(ExpectedLines(record_, false).size());
    const int lastY = FirstPageY(count - 1, 10);
    // The page ends exactly at the last line: the two advances after it pass the limit.
    const int pageHeight = lastY + 100 / 2 + LineHeight(10);
    TRecordingReportCanvas canvas(1000, pageHeight, 100);
    PrintVehicleDetailReport(record_, false, 10, canvas);

    EXPECT_EQ(canvas.Pages(), 1);
    EXPECT_EQ(canvas.Texts().back().Y, lastY);
    EXPECT_EQ(canvas.Events().back().Kind, Kind::EndDoc);
}

TEST_F(VehicleReportTest, ABreakAfterTheEmptyLineStartsTheNextLineAtTheTop)
{
    FillTypical(record_);
    const int count = int(ExpectedLines(record_, false).size());
    // One pixel less: the last line no longer fits, its empty line above it breaks the page.
    const int pageHeight = FirstPageY(count - 1, 10) + 100 / 2 + LineHeight(10) - 1;
    TRecordingReportCanvas canvas(1000, pageHeight, 100);
    PrintVehicleDetailReport(record_, false, 10, canvas);

    EXPECT_EQ(canvas.Pages(), 2);
    const std::vector<TCanvasEvent> texts = canvas.Texts();
    EXPECT_EQ(texts.back().Page, 2);
    EXPECT_EQ(texts.back().Y, 100);
    EXPECT_EQ(texts[texts.size() - 3].Page, 1);
}

TEST_F(VehicleReportTest, ABreakInTheLinesOwnAdvanceStartsTheNextLineOneLineLower)
{
    FillTypical(record_);
    // Line 5 fits, the advance after it does not.
    const int limit = FirstPageY(5, 10) + LineHeight(10) - 1;
    TRecordingReportCanvas canvas(1000, limit + 100 / 2 + LineHeight(10), 100);
    PrintVehicleDetailReport(record_, false, 10, canvas);

    const std::vector<TCanvasEvent> texts = canvas.Texts();
    ASSERT_GT(texts.size(), 13U);
    EXPECT_EQ(texts[11].Page, 1);
    EXPECT_EQ(texts[11].Y, FirstPageY(5, 10));
    EXPECT_EQ(texts[13].Page, 2);
    EXPECT_EQ(texts[13].Y, 100 + LineHeight(10));
}

// --- the line routines ------------------------------------------------------------------------------------

TEST(ReportLineRoutines, LineHeightFollowsTheCurrentFont)
{
    TRecordingReportCanvas canvas(1000, 1000, 96);
    TReportPrinter printer(canvas);
    canvas.SetFontSize(9);
    EXPECT_EQ(PrintLineHeight(printer, 1), 26);
    EXPECT_EQ(PrintLineHeight(printer, 3), 78);
    canvas.SetFontSize(18);
    EXPECT_EQ(PrintLineHeight(printer, 2), 88);
}

TEST(ReportLineRoutines, NextLineBreaksOnlyPastTheLimitWithHalfAnInchTruncated)
{
    // Text height 20, line 28; 101 pixels per inch give half an inch of 50: limit 1000 - 78 = 922.
    struct TCase {
        int Y;
        int Lines;
        int ExpectedY;
        bool Break;
    };
    const TCase cases[] = {{894, 1, 922, false},
                           {895, 1, 40, true},
                           {866, 2, 922, false},
                           {867, 2, 40, true},
                           {0, 1, 28, false}};
    for (const TCase& c : cases) {
        TRecordingReportCanvas canvas(1000, 1000, 101);
        TReportPrinter printer(canvas);
        canvas.SetFontSize(10);
        int y = c.Y;
        NextPrintLine(printer, c.Lines, y, 40);
        EXPECT_EQ(y, c.ExpectedY) << c.Y;
        EXPECT_EQ(printer.NewPagePending(), c.Break) << c.Y;
        EXPECT_TRUE(canvas.Events().empty()) << "a page must wait for its first output";
    }
}

TEST(ReportLineRoutines, AWaitingPageStartsWithTheNextTextOrLineOnly)
{
    TRecordingReportCanvas canvas(1000, 1000, 100);
    TReportPrinter printer(canvas);
    printer.NewPage();
    printer.NewPage();
    SetPrinterFontBold(printer);
    EXPECT_EQ(PrintLineHeight(printer, 1), 8);
    EXPECT_TRUE(canvas.Events().empty());
    PrintHorzLine(printer, 150, 850, 300);
    printer.TextOut(1, 2, "x");
    ASSERT_EQ(canvas.Events().size(), 3U);
    EXPECT_EQ(canvas.Events()[0].Kind, Kind::NewPage);
    EXPECT_EQ(canvas.Events()[1].Kind, Kind::Line);
    EXPECT_EQ(canvas.Events()[1].Y2, 300);
    EXPECT_EQ(canvas.Events()[2].Kind, Kind::Text);
    EXPECT_TRUE(canvas.Events()[2].Bold);
    SetPrinterFontNormal(printer);
    printer.TextOut(1, 2, "y");
    EXPECT_FALSE(canvas.Events().back().Bold);
}

// --- errors -----------------------------------------------------------------------------------------------

TEST_F(VehicleReportTest, AnErrorWhilePrintingAbortsTheDocumentAndReachesTheCaller)
{
    FillTypical(record_);
    TRecordingReportCanvas canvas(1000, 400, 100); // small pages: the error comes after a page break
    canvas.FailAtText(9);
    EXPECT_THROW(
        {
            try {
                PrintVehicleDetailReport(record_, true, 10, canvas);
            } catch (const Exception& error) {
                EXPECT_STREQ(error.what(), TRecordingReportCanvas::kFailure);
                throw;
            }
        },
        Exception);
    const std::vector<TCanvasEvent>& events = canvas.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Kind, Kind::Abort);
    EXPECT_EQ(canvas.Texts().size(), 8U);
    EXPECT_EQ(canvas.Pages(), 2);
    for (const TCanvasEvent& event : events)
        EXPECT_NE(event.Kind, Kind::EndDoc);
}

TEST_F(VehicleReportTest, AFailedStartLeavesNothingToAbort)
{
    FillTypical(record_);
    TRecordingReportCanvas canvas(1000, 3000, 100);
    canvas.FailBeginDoc();
    EXPECT_THROW(PrintVehicleDetailReport(record_, true, 10, canvas), Exception);
    EXPECT_TRUE(canvas.Events().empty());
}

TEST_F(VehicleReportTest, AFailedEndAbortsTheDocument)
{
    FillTypical(record_);
    TRecordingReportCanvas canvas(1000, 3000, 100);
    canvas.FailEndDoc();
    EXPECT_THROW(PrintVehicleDetailReport(record_, true, 10, canvas), Exception);
    ASSERT_FALSE(canvas.Events().empty());
    EXPECT_EQ(canvas.Events().back().Kind, Kind::Abort);
}

} // namespace
} // namespace carlume::test
