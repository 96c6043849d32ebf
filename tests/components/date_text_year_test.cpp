// Date texts without a year: month and day alone are that day of the current year, whatever the date
// order; a year part that is there but blank is no date.

#include "components/date_util.h"

#include "platform/format_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace carlume {
namespace {

struct YearlessCase {
    const char* name;
    const char* shortDateFormat;
    const char* format;
    const char* text;
    int m, d; // 0: no date
};

class YearlessDateTest : public ::testing::TestWithParam<YearlessCase> {
protected:
    // 2028 is a leap year.
    ScopedClock clock{EncodeDate(2028, 6, 15) + 0.5};
};

TEST_P(YearlessDateTest, MonthAndDayAloneAreThisYearsDay)
{
    const YearlessCase& c = GetParam();
    TFormatSettings locale = USFormatSettings();
    locale.ShortDateFormat = c.shortDateFormat;
    const ScopedFormatSettings settings(locale);
    TDateTime date = 1.0;
    const bool read = InternalStrToDate(c.format, c.text, date);
    if (c.m == 0) {
        EXPECT_FALSE(read) << FormatDateTime("yyyy-mm-dd", date);
        return;
    }
    ASSERT_TRUE(read);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", date), FormatDateTime("yyyy-mm-dd", EncodeDate(2028, c.m, c.d)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, YearlessDateTest,
    ::testing::Values(YearlessCase{"MonthFirstByPlaces", "M/d/yyyy", "MM/DD/YYYY", "12/31", 12, 31},
                      YearlessCase{"MonthFirstShort", "M/d/yyyy", "MM/DD/YYYY", "3/4", 3, 4},
                      YearlessCase{"MonthFirstTrailingBlank", "M/d/yyyy", "MM/DD/YYYY", "12/31 ", 12, 31},
                      YearlessCase{"TwoDigitFormat", "M/d/yy", "MM/DD/YY", "12/31", 12, 31},
                      YearlessCase{"DayFirst", "dd/MM/yyyy", "DD/MM/YYYY", "31/12", 12, 31},
                      YearlessCase{"DayFirstLeapDay", "dd/MM/yyyy", "DD/MM/YYYY", "29/2", 2, 29},
                      YearlessCase{"DayFirstLeapDayByPlaces", "dd/MM/yy", "DD/MM/YY", "29/02", 2, 29},
                      YearlessCase{"BlankYearPlaces", "M/d/yyyy", "MM/DD/YYYY", "03/04/    ", 0, 0},
                      YearlessCase{"SeparatorThenNothing", "M/d/yyyy", "MM/DD/YYYY", "12/4/", 0, 0},
                      YearlessCase{"SeparatorByPlaces", "M/d/yyyy", "MM/DD/YYYY", "12/31/", 0, 0},
                      YearlessCase{"DayFirstBlankYear", "dd/MM/yy", "DD/MM/YY", "31/12/  ", 0, 0},
                      YearlessCase{"YearFirstBlankYear", "yyyy/MM/dd", "YYYY/MM/DD", "    /12/31", 0, 0},
                      YearlessCase{"NoLeapDayInOtherYears", "dd/MM/yyyy", "DD/MM/YYYY", "29/2/27", 0, 0}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace carlume
