#include "platform/date_time.h"

#include "platform/exceptions.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ctime>
#include <limits>
#include <string>

namespace carlume {
namespace {

bool IsLeapYearForTest(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

TEST(EncodeDateTest, KnownSerials)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(1950, 1, 1), 18264.0);
    EXPECT_EQ(EncodeDate(1951, 1, 1), 18629.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2026, 12, 6), 46362.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
}

TEST(EncodeDateTest, YearStartsFollowTheLeapYearRuleOverTheWholeRange)
{
    // Counted independently: every year adds 365 or 366 days to the first of January.
    double expected = MinDateTime;
    for (int year = 1; year <= 9999; ++year) {
        ASSERT_EQ(EncodeDate(year, 1, 1), expected) << year;
        TDateTime lastOfFebruary = 0;
        ASSERT_TRUE(TryEncodeDate(year, 2, IsLeapYearForTest(year) ? 29 : 28, lastOfFebruary)) << year;
        TDateTime none = 0;
        ASSERT_FALSE(TryEncodeDate(year, 2, IsLeapYearForTest(year) ? 30 : 29, none)) << year;
        expected += IsLeapYearForTest(year) ? 366 : 365;
    }
}

TEST(EncodeDateTest, RoundTripOfEveryDayInTheRange)
{
    std::uint16_t prevYear = 0, prevMonth = 0, prevDay = 0;
    for (int serial = int(MinDateTime); serial <= 2958465; ++serial) {
        std::uint16_t y = 0, m = 0, d = 0;
        DecodeDate(serial, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), double(serial)) << serial;
        if (serial > int(MinDateTime)) {
            // The day after the previous one.
            const bool nextDay = y == prevYear && m == prevMonth && d == prevDay + 1;
            const bool nextMonth = y == prevYear && m == prevMonth + 1 && d == 1;
            const bool nextYear = y == prevYear + 1 && m == 1 && d == 1 && prevMonth == 12 && prevDay == 31;
            ASSERT_TRUE(nextDay || nextMonth || nextYear) << serial;
        }
        prevYear = y, prevMonth = m, prevDay = d;
    }
    EXPECT_EQ(prevYear, 9999);
}

TEST(EncodeDateTest, InvalidPartsRaiseTheRunTimeMessage)
{
    const int bad[][3] = {{2023, 2, 29}, {0, 1, 1},     {10000, 1, 1}, {2024, 13, 1}, {2024, 0, 1},
                          {2024, 1, 0},  {2024, 4, 31}, {-1, 1, 1},    {1900, 2, 29}, {65537, 1, 1}};
    for (const auto& b : bad) {
        TDateTime untouched = 123.0;
        EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], untouched));
        EXPECT_EQ(untouched, 123.0);
        try {
            (void)EncodeDate(b[0], b[1], b[2]);
            ADD_FAILURE() << b[0] << "-" << b[1] << "-" << b[2];
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    EXPECT_NO_THROW((void)EncodeDate(2000, 2, 29));
}

TEST(EncodeTimeTest, FractionsAndLimits)
{
    EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000.0);
    for (const auto& b : {std::array{24, 0, 0, 0}, std::array{0, 60, 0, 0}, std::array{0, 0, 60, 0},
                          std::array{0, 0, 0, 1000}, std::array{-1, 0, 0, 0}}) {
        try {
            (void)EncodeTime(b[0], b[1], b[2], b[3]);
            ADD_FAILURE();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to time encode");
        }
    }
}

TEST(DecodeTest, TimeOfDayRoundTripsToTheMillisecond)
{
    for (int msec = 0; msec < MSecsPerDay; msec += 997) {
        const int h = msec / 3600000, n = msec / 60000 % 60, s = msec / 1000 % 60, z = msec % 1000;
        const TDateTime value = EncodeDate(2024, 2, 29) + EncodeTime(h, n, s, z);
        std::uint16_t hh = 0, nn = 0, ss = 0, zz = 0;
        DecodeTime(value, hh, nn, ss, zz);
        ASSERT_EQ(hh * 3600000 + nn * 60000 + ss * 1000 + zz, msec);
    }
}

TEST(DecodeTest, DatesBeforeTheEpochKeepTheTimeAsTheFraction)
{
    std::uint16_t y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, z);
    EXPECT_EQ((std::array{y, m, d, h, n}), (std::array<std::uint16_t, 5>{1899, 12, 29, 6, 0}));
    DecodeDate(-0.5, y, m, d);
    EXPECT_EQ(d, 30);
    EXPECT_EQ(SystemTimeToDateTime(DateTimeToSystemTime(-1.25)), -1.25);
}

TEST(DecodeTest, ATimeThatRoundsToMidnightMovesToTheNextDay)
{
    const TDateTime almost = EncodeDate(2024, 12, 31) + 0.9999999999;
    const TSystemTime st = DateTimeToSystemTime(almost);
    EXPECT_EQ(st.wYear, 2025);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wHour, 0);
    const TSystemTime last = DateTimeToSystemTime(2958465.9999999995);
    EXPECT_EQ(last.wYear, 9999);
    EXPECT_EQ(last.wMilliseconds, 999);
}

TEST(DecodeTest, ValuesThatAreNoDateAreRefusedBeforeAnyConversion)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          -1e300,
                          -693594.0,
                          2958466.0};
    for (const double value : bad) {
        std::uint16_t y = 7, m = 7, d = 7;
        EXPECT_FALSE(TryDecodeDate(value, y, m, d)) << value;
        EXPECT_EQ(y, 7);
        EXPECT_THROW(DecodeDate(value, y, m, d), EConvertError);
        EXPECT_THROW((void)DayOfWeek(value), EConvertError);
        EXPECT_THROW((void)FormatDateTime("hh", value), EConvertError);
    }
    std::uint16_t y = 0, m = 0, d = 0;
    EXPECT_TRUE(TryDecodeDate(-693593.99, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 10101);
}

TEST(DayOfWeekTest, SundayIsOne)
{
    EXPECT_EQ(DayOfWeek(0.0), 7); // 1899-12-30 was a Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 8)), 1);
    EXPECT_EQ(DateTimeToSystemTime(EncodeDate(2026, 3, 8)).wDayOfWeek, 0);
}

class FormatDateTimeTest : public ::testing::Test {
protected:
    ScopedFormatSettings settings{USFormatSettings()};
    const TDateTime when = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 45);
};

struct PatternCase {
    const char* pattern;
    const char* expected;
};

void PrintTo(const PatternCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.pattern));
}

class FormatDateTimePatternTest : public ::testing::TestWithParam<PatternCase> {
protected:
    ScopedFormatSettings settings{USFormatSettings()};
};

TEST_P(FormatDateTimePatternTest, Formats)
{
    const TDateTime when = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 45);
    EXPECT_EQ(FormatDateTime(GetParam().pattern, when), GetParam().expected) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatDateTimePatternTest,
    ::testing::Values(
        PatternCase{"yyyy-mm-dd", "2026-03-05"}, PatternCase{"hh:nn:ss.zzz", "14:07:09.045"},
        PatternCase{"yyyymmdd", "20260305"}, PatternCase{"hhnnsszzz", "140709045"}, PatternCase{"ddd", "Thu"},
        PatternCase{"dddd", "Thursday"}, PatternCase{"MMM", "Mar"}, PatternCase{"MMMM, YYYY", "March, 2026"},
        PatternCase{"m/d/yyyy", "3/5/2026"}, PatternCase{"MM/DD/YYYY", "03/05/2026"},
        PatternCase{"ddddd", "3/5/2026"}, PatternCase{"dddddd", "Thursday, March 5, 2026"},
        PatternCase{"yy", "26"}, PatternCase{"y", "26"}, PatternCase{"c", "3/5/2026 2:07:09 PM"},
        PatternCase{"", "3/5/2026 2:07:09 PM"}, PatternCase{"t", "2:07 PM"}, PatternCase{"tt", "2:07:09 PM"},
        PatternCase{"h:mm", "14:07"}, PatternCase{"hh:m", "14:7"}, PatternCase{"h:mm am/pm", "2:07 pm"},
        PatternCase{"h:mm AM/PM", "2:07 PM"}, PatternCase{"h a/p", "2 p"}, PatternCase{"hh ampm", "02 PM"},
        PatternCase{"d/m", "5/3"}, PatternCase{"n s z", "7 9 45"}, PatternCase{"'Date:' yyyy", "Date: 2026"},
        PatternCase{"\"hh\" hh", "hh 14"}, PatternCase{"'open", "open"}, PatternCase{"x#", "x#"},
        PatternCase{"mmmm d, yyyy", "March 5, 2026"}),
    [](const auto& row) { return test::Spelled(row.param.pattern); });

TEST_F(FormatDateTimeTest, SeparatorsComeFromTheSettings)
{
    TFormatSettings german = USFormatSettings();
    german.DateSeparator = '.';
    german.TimeSeparator = '-';
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", when, german), "05.03.2026 14-07");
    EXPECT_EQ(FormatDateTime("'a/b' dd/mm", when, german), "a/b 05.03");
}

TEST_F(FormatDateTimeTest, TwelveHourClockAtMidnightAndNoon)
{
    EXPECT_EQ(FormatDateTime("h:mm AMPM", EncodeTime(0, 30, 0, 0)), "12:30 AM");
    EXPECT_EQ(FormatDateTime("h:mm AMPM", EncodeTime(12, 0, 0, 0)), "12:00 PM");
    EXPECT_EQ(FormatDateTime("hh:nn", EncodeTime(0, 5, 0, 0)), "00:05");
}

TEST_F(FormatDateTimeTest, CombinedFormLeavesOutAMidnightTime)
{
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 5)), "3/5/2026");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 5) + EncodeTime(0, 0, 0, 500)), "3/5/2026");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 5) + EncodeTime(0, 0, 1, 0)), "3/5/2026 12:00:01 AM");
    // The logger's stamp: locale 1033 with its own date and time formats.
    TFormatSettings stamp = USFormatSettings();
    stamp.ShortDateFormat = "yyyy-mm-dd";
    stamp.LongTimeFormat = "hh:nn:ss.zzz";
    EXPECT_EQ(FormatDateTime("c", when, stamp), "2026-03-05 14:07:09.045");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 5) + EncodeTime(0, 0, 0, 123), stamp), "2026-03-05");
    EXPECT_EQ(DateTimeToStr(when), "3/5/2026 2:07:09 PM");
    EXPECT_EQ(DateToStr(when), "3/5/2026");
    EXPECT_EQ(TimeToStr(when), "2:07:09 PM");
}

TEST_F(FormatDateTimeTest, YearsArePaddedAndNegativeDatesFormatted)
{
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(12, 1, 1)), "0012");
    EXPECT_EQ(FormatDateTime("yy/m/d", EncodeDate(2005, 1, 2)), "05/1/2");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", MinDateTime), "0001-01-01");
}

TEST_F(FormatDateTimeTest, SelfReferringFormatsEnd)
{
    TFormatSettings looping = USFormatSettings();
    looping.ShortDateFormat = "ddddd";
    looping.LongTimeFormat = "c";
    EXPECT_NO_THROW((void)FormatDateTime("c", when, looping));
    EXPECT_NO_THROW((void)FormatDateTime("ddddd tt", when, looping));
}

TEST_F(FormatDateTimeTest, NamesComeFromTheSettings)
{
    TFormatSettings settings = USFormatSettings();
    settings.LongMonthNames[2] = "M\xc3\xa4rz";
    settings.ShortDayNames[4] = "Do";
    EXPECT_EQ(FormatDateTime("ddd, MMMM", when, settings), "Do, M\xc3\xa4rz");
}

class StrToDateTest : public ::testing::Test {
protected:
    ScopedFormatSettings settings{USFormatSettings()};
    ScopedClock clock{EncodeDate(2026, 6, 15) + 0.5};
};

struct DateCase {
    const char* text;
    int y, m, d; // y == 0: not a date
};

void PrintTo(const DateCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.text));
}

class StrToDateTableTest : public ::testing::TestWithParam<DateCase> {
protected:
    ScopedFormatSettings settings{USFormatSettings()};
    ScopedClock clock{EncodeDate(2026, 6, 15) + 0.5};
};

TEST_P(StrToDateTableTest, ReadsMonthDayYear)
{
    const auto& c = GetParam();
    TDateTime date = -5.0;
    EXPECT_EQ(TryStrToDate(c.text, date), c.y != 0) << c.text;
    if (c.y != 0) {
        EXPECT_EQ(date, EncodeDate(c.y, c.m, c.d)) << c.text;
    } else {
        EXPECT_EQ(date, -5.0);
        try {
            (void)StrToDate(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(c.text) + "' is not a valid date");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrToDateTableTest,
    ::testing::Values(DateCase{"12/6/2026", 2026, 12, 6}, DateCase{"01/01/1950", 1950, 1, 1},
                      DateCase{" 1/1/1950 ", 1950, 1, 1}, DateCase{"12/31/2026", 2026, 12, 31},
                      DateCase{"3/4", 2026, 3, 4}, DateCase{"3 / 4 / 26", 2026, 3, 4},
                      DateCase{"3/4/76", 1976, 3, 4}, DateCase{"3/4/75", 2075, 3, 4},
                      DateCase{"3/4/0012", 12, 3, 4}, DateCase{"3/4/2026/", 2026, 3, 4},
                      DateCase{"2/29/2024", 2024, 2, 29}, DateCase{"2/30/2024", 0, 0, 0},
                      DateCase{"13/1/2026", 0, 0, 0}, DateCase{"3/4/", 0, 0, 0}, DateCase{"3/4/26x", 0, 0, 0},
                      DateCase{"20261/1", 0, 0, 0}, DateCase{"garbage", 0, 0, 0}, DateCase{"", 0, 0, 0},
                      DateCase{"3-4-2026", 0, 0, 0}, DateCase{"3/4/2026 10:00", 0, 0, 0},
                      DateCase{"0/0/0", 0, 0, 0}),
    [](const auto& row) { return test::Spelled(row.param.text); });

TEST_F(StrToDateTest, OrderAndSeparatorFollowTheSettings)
{
    TFormatSettings german = USFormatSettings();
    german.ShortDateFormat = "dd.MM.yyyy";
    german.DateSeparator = '.';
    EXPECT_EQ(StrToDate("5.3.2026", german), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate("5.3", german), EncodeDate(2026, 3, 5));
    EXPECT_THROW((void)StrToDate("3/5/2026", german), EConvertError);
    TFormatSettings iso = USFormatSettings();
    iso.ShortDateFormat = "yyyy-MM-dd";
    iso.DateSeparator = '-';
    EXPECT_EQ(StrToDate("2026-03-05", iso), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate("26-3-5", iso), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate("3-5", iso), EncodeDate(2026, 3, 5));
}

TEST_F(StrToDateTest, CenturyWindowZeroMeansTheCurrentCentury)
{
    TFormatSettings settings = USFormatSettings();
    settings.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(StrToDate("3/4/99", settings), EncodeDate(2099, 3, 4));
    EXPECT_EQ(StrToDate("3/4/26", settings), EncodeDate(2026, 3, 4));
    EXPECT_EQ(StrToDateDef("nonsense", 45000.75, settings), 45000.75);
}

TEST_F(StrToDateTest, TimesAndDateTimes)
{
    EXPECT_EQ(StrToTime("14"), EncodeTime(14, 0, 0, 0));
    EXPECT_EQ(StrToTime("14:07:09.045"), EncodeTime(14, 7, 9, 45));
    EXPECT_EQ(StrToTime("12:00 AM"), 0.0);
    EXPECT_EQ(StrToTime("12:30 pm"), EncodeTime(12, 30, 0, 0));
    EXPECT_EQ(StrToTime("PM 2:15"), EncodeTime(14, 15, 0, 0));
    for (const char* bad : {"0:30 PM", "13:00 PM", "25:00", "14:", "14:60", "x", ""}) {
        TDateTime untouched = 9.0;
        EXPECT_FALSE(TryStrToTime(bad, untouched)) << bad;
        EXPECT_EQ(untouched, 9.0);
    }
    EXPECT_EQ(StrToDateTime("3/5/2026 14:07:09"), EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime("3/5/2026 2:07 PM"), EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime("3/5/2026"), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDateTime("14:30"), EncodeTime(14, 30, 0, 0));
    try {
        (void)StrToDateTime("3/5/2026 x");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3/5/2026 x' is not a valid date and time");
    }
    EXPECT_THROW((void)StrToTime("99:99"), EConvertError);
    // Before the epoch the time still counts forward within the day.
    EXPECT_EQ(StrToDateTime("12/29/1899 6:00"), -1.25);
}

TEST(ClockTest, ScopedClocksNestAndRestore)
{
    const TDateTime fixed = EncodeDate(2026, 12, 6) + EncodeTime(9, 30, 15, 250);
    {
        ScopedClock clock(fixed);
        EXPECT_EQ(Now(), fixed);
        EXPECT_EQ(Date(), EncodeDate(2026, 12, 6));
        EXPECT_NEAR(Time(), EncodeTime(9, 30, 15, 250), 1e-9);
        const TSystemTime st = GetLocalTime();
        EXPECT_EQ(st.wYear, 2026);
        EXPECT_EQ(st.wMonth, 12);
        EXPECT_EQ(st.wDay, 6);
        EXPECT_EQ(st.wHour, 9);
        EXPECT_EQ(st.wMilliseconds, 250);
        EXPECT_EQ(CurrentYear(), 2026);
        {
            int calls = 0;
            ScopedClock inner([&calls] { return EncodeDate(1999, 1, 1) + calls++; });
            EXPECT_EQ(CurrentYear(), 1999);
            EXPECT_EQ(calls, 1);
        }
        EXPECT_EQ(Now(), fixed);
    }
    EXPECT_NE(Now(), fixed);
}

TEST(ClockTest, SystemClockIsLocalTime)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const TDateTime expected =
        EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
        EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, 0);
    EXPECT_NEAR(SystemNow(), expected, 3.0 / 86400.0);
    EXPECT_NEAR(Now(), expected, 3.0 / 86400.0);
}

} // namespace
} // namespace carlume
