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
using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::Not;

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

// The document as a list: one line per call, a label and its value on one line.
std::vector<std::string> Listing(const TRecordingReportCanvas& canvas)
{
    std::vector<std::string> lines;
    const TCanvasEvent* previous = nullptr;
    for (const TCanvasEvent& event : canvas.Events()) {
        const std::string font = std::to_string(event.FontSize) + (event.Bold ? "b" : "");
        const std::string text = std::to_string(event.X) + "/" + font + " " + event.Text;
        if (event.Kind == Kind::Text && previous != nullptr && previous->Kind == Kind::Text &&
            previous->Y == event.Y && previous->Page == event.Page)
            lines.back() += " | " + text;
        else if (event.Kind == Kind::Text)
            lines.push_back(std::to_string(event.Y) + ": " + text);
        else if (event.Kind == Kind::Line)
            lines.push_back("line " + std::to_string(event.X) + "," + std::to_string(event.Y) + " to " +
                            std::to_string(event.X2) + "," + std::to_string(event.Y2));
        else
            lines.push_back(event.Kind == Kind::BeginDoc ? "begin"
                            : event.Kind == Kind::EndDoc ? "end"
                            : event.Kind == Kind::Abort  ? "abort"
                                                         : "new page");
        previous = &event;
    }
    return lines;
}

class VehicleReportTest : public ::testing::Test {
protected:
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
    TVinRecord record_;
};

TEST_F(VehicleReportTest, TitleRuleAndLinesSitWhereTheLayoutPutsThem)
{
    FillTypical(record_);
    record_.Model = "GT=Sport"; // only the first "=" separates label and value
    // 1005 x 0.3 = 301.5: the value column shows the rounding of halves; at 14 points "Daytime Running
    // Lamps:" reaches into it and pushes its value right.
    TRecordingReportCanvas canvas(1005, 30000, 300);
    PrintVehicleDetailReport(record_, false, 14, canvas);
    EXPECT_THAT(Listing(canvas),
                ElementsAreArray({"begin",
                                  "100: 150/18b Vehicle Detail Report for 2010 Acme GT=Sport",
                                  "line 150,144 to 855,144",
                                  "188: 150/14b Model Year: | 302/14 2010",
                                  "260: 150/14b Make: | 302/14 Acme",
                                  "332: 150/14b Model: | 302/14 GT=Sport",
                                  "404: 150/14b Vehicle Class: | 302/14 Sports",
                                  "476: 150/14b VIN: | 302/14 1AVQL14S1A",
                                  "548: 150/14b Symbol: | 302/14 14",
                                  "620: 150/14b Performance: | 302/14 Standard",
                                  "692: 150/14b High Theft: | 302/14 No or not indicated",
                                  "764: 150/14b ABS: | 302/14 Unknown",
                                  "836: 150/14b Cylinders: | 302/14 6",
                                  "908: 150/14b Special Engine Type: | 302/14 None",
                                  "980: 150/14b Body: | 302/14 2D CPE",
                                  "1052: 150/14b FWD: | 302/14 No or not indicated",
                                  "1124: 150/14b Daytime Running Lamps: | 311/14 Unknown",
                                  "1196: 150/14b Non VSR Symbol: | 302/14 0",
                                  "1268: 150/14b Effective: | 302/14 12/6/2026",
                                  "1340: 150/14b Comp_Symbol: | 302/14 0",
                                  "1412: 150/14b Coll_Symbol: | 302/14 0",
                                  "1484: 150/14b Price_Symbol: | 302/14 0",
                                  "end"}));
    EXPECT_EQ(canvas.Events()[1].FontName, "MS Sans Serif");
    EXPECT_EQ(canvas.Events().back().FontName, "MS Sans Serif");

    TVinRecord empty;
    TRecordingReportCanvas emptyCanvas(2250, 30000, 300);
    PrintVehicleDetailReport(empty, false, 10, emptyCanvas);
    EXPECT_EQ(emptyCanvas.Texts()[0].Text, "Vehicle Detail Report for 0  ");
}

TEST_F(VehicleReportTest, BodyIsPrintedAtTheSizeBroughtInto8To14)
{
    FillTypical(record_);
    const std::pair<std::int32_t, int> sizes[] = {{5, 8},
                                                  {7, 8},
                                                  {8, 8},
                                                  {10, 10},
                                                  {14, 14},
                                                  {15, 14},
                                                  {20, 14},
                                                  {std::numeric_limits<std::int32_t>::min(), 8},
                                                  {std::numeric_limits<std::int32_t>::max(), 14}};
    for (const auto& [requested, printed] : sizes) {
        TRecordingReportCanvas canvas(2250, 30000, 300);
        PrintVehicleDetailReport(record_, false, requested, canvas);
        EXPECT_EQ(ReportBodyFontSize(requested), printed);
        const std::vector<TCanvasEvent> texts = canvas.Texts();
        EXPECT_EQ(texts[0].FontSize, 18);
        for (std::size_t i = 1; i < texts.size(); ++i)
            EXPECT_EQ(texts[i].FontSize, printed) << requested << " " << texts[i].Text;
        EXPECT_EQ(texts[3].Y - texts[1].Y, 2 * LineHeight(printed)) << requested;
    }
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
                                           TPageCase{14, 1000}, TPageCase{14, 2001}),
                         [](const auto& row) {
                             return "Font" + std::to_string(row.param.FontSize) + "_Height" +
                                    std::to_string(row.param.PageHeight);
                         });

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

TEST(ReportLineRoutines, ALineIsTheTextHeightAndItsSpacingForEachLine)
{
    TRecordingReportCanvas canvas(1000, 1000, 96);
    TReportPrinter printer(canvas);
    canvas.SetFontSize(9);
    EXPECT_EQ(PrintLineHeight(printer, 3), 78);
}

// --- errors -----------------------------------------------------------------------------------------------

TEST_F(VehicleReportTest, AnErrorWhilePrintingAbortsTheDocumentAndReachesTheCaller)
{
    FillTypical(record_);
    TRecordingReportCanvas canvas(1000, 400, 100); // small pages: the error comes after a page break
    canvas.FailAtText(9);
    try {
        PrintVehicleDetailReport(record_, true, 10, canvas);
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), TRecordingReportCanvas::kFailure);
    }
    EXPECT_EQ(Listing(canvas).back(), "abort");
    EXPECT_EQ(canvas.Texts().size(), 8U);
    EXPECT_EQ(canvas.Pages(), 2);
    EXPECT_THAT(Listing(canvas), Not(Contains("end")));

    TRecordingReportCanvas failingStart(1000, 3000, 100);
    failingStart.FailBeginDoc();
    EXPECT_THROW(PrintVehicleDetailReport(record_, true, 10, failingStart), Exception);
    EXPECT_TRUE(failingStart.Events().empty()) << "nothing to abort";
    TRecordingReportCanvas failingEnd(1000, 3000, 100);
    failingEnd.FailEndDoc();
    EXPECT_THROW(PrintVehicleDetailReport(record_, true, 10, failingEnd), Exception);
    EXPECT_EQ(Listing(failingEnd).back(), "abort");
}

} // namespace
} // namespace carlume::test
