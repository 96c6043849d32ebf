#include "components/date_util.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace carlume {
namespace {

TFormatSettings Locale(const std::string& shortDateFormat, char separator)
{
    TFormatSettings settings = USFormatSettings();
    settings.ShortDateFormat = shortDateFormat;
    settings.DateSeparator = separator;
    return settings;
}

// Every test runs on 15 March 2026 with the US settings unless it says otherwise.
class DateUtilTest : public ::testing::Test {
protected:
    ScopedClock clock{EncodeDate(2026, 3, 15) + 0.5};
    ScopedFormatSettings settings{USFormatSettings()};
};

// --- calendar arithmetic and years ------------------------------------------------------------------------

TEST(CalendarTest, LeapYearsAndMonthLengths)
{
    for (const auto& [year, leap] : {std::pair{1900, false},
                                     {2000, true},
                                     {2024, true},
                                     {2023, false},
                                     {1600, true},
                                     {2100, false},
                                     {4, true},
                                     {1, false}})
        EXPECT_EQ(IsLeapYear(year), leap) << year;
    const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(DaysPerMonth(2023, month), lengths[month - 1]) << month;
        EXPECT_EQ(DaysPerMonth(2024, month), lengths[month - 1] + (month == 2 ? 1 : 0)) << month;
    }
    EXPECT_EQ(DaysPerMonth(2024, 0), 0);
    EXPECT_EQ(DaysPerMonth(2024, 13), 0);
    EXPECT_EQ(DaysPerMonth(2024, -1), 0);
}

TEST(CalendarTest, ValidDatesNeedYearMonthAndDayInRange)
{
    struct Case {
        int y, m, d;
        bool valid;
    };
    const Case cases[] = {
        {2023, 2, 29, false}, {2024, 2, 29, true},  {1900, 2, 29, false}, {2000, 2, 29, true},
        {0, 1, 1, false},     {10000, 1, 1, false}, {9999, 12, 31, true}, {1, 1, 1, true},
        {2024, 4, 31, false}, {2024, 4, 30, true},  {2024, 0, 1, false},  {2024, 13, 1, false},
        {2024, 1, 0, false},  {2024, 1, 32, false}, {-1, 1, 1, false},    {2024, -1, 1, false},
        {2024, 1, -1, false}, {65535, 1, 1, false}, {67560, 1, 1, false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsValidDate(c.y, c.m, c.d), c.valid) << c.y << "-" << c.m << "-" << c.d;
}

TEST(CalendarTest, ValidDateRefusesValuesThatAreNoDate)
{
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300, -700000.0, 2958466.0})
        EXPECT_FALSE(ValidDate(bad)) << bad;
    for (const double good : {0.0, 45000.75, -1.25, MinDateTime, 2958465.0})
        EXPECT_TRUE(ValidDate(good)) << good;
}

TEST_F(DateUtilTest, CurrentYearAndYearOfADate)
{
    EXPECT_EQ(GetCurrentYear(), 2026);
    {
        const ScopedClock newYear(EncodeDate(2027, 1, 1));
        EXPECT_EQ(GetCurrentYear(), 2027);
    }
    EXPECT_EQ(ExtractYear(EncodeDate(1999, 12, 31) + 0.99), 1999);
    EXPECT_EQ(ExtractYear(NullDate), 1899);
    EXPECT_THROW((void)ExtractYear(std::numeric_limits<double>::quiet_NaN()), EConvertError);
    EXPECT_EQ(NvlDate(NullDate, 45000.5), 45000.5);
    EXPECT_EQ(NvlDate(44000.25, 45000.5), 44000.25);
}

TEST(DaysOfWeekTest, SetOperations)
{
    TDaysOfWeek weekend{TDayOfWeekName::Sun, TDayOfWeekName::Sat};
    EXPECT_TRUE(weekend.Contains(TDayOfWeekName::Sun));
    EXPECT_FALSE(weekend.Contains(TDayOfWeekName::Mon));
    EXPECT_EQ(weekend.Bits(), 0x41);
    weekend.Exclude(TDayOfWeekName::Sat);
    EXPECT_EQ(weekend, TDaysOfWeek{TDayOfWeekName::Sun});
    weekend.Exclude(TDayOfWeekName::Sun);
    EXPECT_TRUE(weekend.IsEmpty());
    EXPECT_EQ(static_cast<int>(TDayOfWeekName::Sat), 6);
}

// --- locale order, year window, formats and masks ---------------------------------------------------------

TEST(DateOrderTest, FirstDayMonthOrYearLetterDecides)
{
    const std::pair<const char*, TDateOrder> cases[] = {
        {"M/d/yyyy", TDateOrder::doMDY},   {"dd.MM.yyyy", TDateOrder::doDMY},
        {"yyyy-MM-dd", TDateOrder::doYMD}, {"ggee/MM/dd", TDateOrder::doYMD},
        {"", TDateOrder::doDMY},           {"/.-", TDateOrder::doDMY},
        {"MM/DD/YY", TDateOrder::doMDY},   {"E/M/D", TDateOrder::doYMD},
        {"\xC4\xE4m", TDateOrder::doMDY}};
    for (const auto& [format, order] : cases)
        EXPECT_EQ(GetDateOrder(format), order) << format;
}

TEST(ExpandYearTest, TwoDigitYearsFallIntoTheWindowAroundTheCurrentYear)
{
    struct Case {
        int currentYear, year, expanded;
    };
    const Case cases[] = {
        {2026, 65, 2065},   {2026, 66, 1966}, {2026, 0, 2000},  {2026, 99, 1999}, {2026, 100, 100},
        {2026, 1999, 1999}, {2026, -1, -1},                    // no year stays no year
        {2059, 98, 2098},   {2059, 99, 1999}, {2059, 0, 2000}, // the window's last year in the 1900s
        {2060, 99, 2099},   {2060, 0, 2000},  {2060, 1, 2001}, // the window is one whole century
        {2099, 38, 2138},   {2099, 39, 2039}, {2100, 39, 2139}, {2100, 40, 2040}, {2100, 0, 2100},
    };
    for (const Case& c : cases) {
        const ScopedClock clock(EncodeDate(c.currentYear, 6, 1));
        EXPECT_EQ(ExpandYear(c.year), c.expanded) << c.currentYear << ": " << c.year;
    }
}

TEST(DefaultFormatTest, FormatsAndMasksFollowTheLocaleOrder)
{
    struct Case {
        const char* shortDateFormat;
        const char* four;
        const char* two;
        const char* fourMask;
    };
    const Case cases[] = {{"M/d/yyyy", "MM/DD/YYYY", "MM/DD/YY", "!99/99/9999;1;"},
                          {"dd.MM.yyyy", "DD/MM/YYYY", "DD/MM/YY", "!99/99/9999;1;"},
                          {"yyyy-MM-dd", "YYYY/MM/DD", "YY/MM/DD", "!9999/99/99;1;"}};
    for (const Case& c : cases) {
        const ScopedFormatSettings settings(Locale(c.shortDateFormat, '-'));
        EXPECT_EQ(DefDateFormat(true), c.four);
        EXPECT_EQ(DefDateFormat(false), c.two);
        EXPECT_EQ(DefDateMask(' ', true), std::string(c.fourMask) + " ");
        EXPECT_EQ(DefDateMask('_', true), std::string(c.fourMask) + "_");
        EXPECT_EQ(DefDateMask(' ', false), "!99/99/99;1; ");
        EXPECT_EQ(DefDateMask('#', false), "!99/99/99;1;#");
    }
}

TEST(FourDigitYearTest, SetFromTheShortDateFormatAndNotRecomputed)
{
    const ScopedFourDigitYear restore(false);
    {
        const ScopedFormatSettings settings(Locale("M/d/yyyy", '/'));
        InitializeFourDigitYear();
        EXPECT_TRUE(FourDigitYear());
    }
    EXPECT_TRUE(FourDigitYear()) << "a later change of the locale keeps the flag";
    {
        const ScopedFormatSettings settings(Locale("dd/MM/yy", '/'));
        InitializeFourDigitYear();
        EXPECT_FALSE(FourDigitYear());
        const ScopedFourDigitYear forced(true);
        EXPECT_TRUE(FourDigitYear());
    }
    EXPECT_FALSE(FourDigitYear());
    const ScopedFormatSettings settings(Locale("YYYY.MM.DD", '.'));
    InitializeFourDigitYear();
    EXPECT_TRUE(FourDigitYear());
}

// --- scanners ---------------------------------------------------------------------------------------------

TEST(ScannerTest, BlanksNumbersAndCharacters)
{
    int pos = 1;
    ScanBlanks("   7", pos);
    EXPECT_EQ(pos, 4);
    pos = 0; // not within the text
    ScanBlanks("   7", pos);
    EXPECT_EQ(pos, 0);

    int number = -7;
    pos = 1;
    EXPECT_TRUE(ScanNumber("20261/1", INT_MAX, pos, number));
    EXPECT_EQ(number, 2026);
    EXPECT_EQ(pos, 5); // the last 1 is left behind
    pos = 1;
    EXPECT_TRUE(ScanNumber("  0999x", INT_MAX, pos, number));
    EXPECT_EQ(number, 999);
    EXPECT_EQ(pos, 7);
    pos = 1;
    EXPECT_TRUE(ScanNumber("12345", 2, pos, number));
    EXPECT_EQ(number, 12);
    EXPECT_EQ(pos, 3);
    number = -7;
    // No digit: the position stays after the blanks and the number is not written.
    for (const auto& [text, after] : {std::pair{"  -3", 3}, {"  +3", 3}, {"  x", 3}, {"   ", 4}, {"", 1}}) {
        pos = 1;
        EXPECT_FALSE(ScanNumber(text, INT_MAX, pos, number)) << text;
        EXPECT_EQ(number, -7);
        EXPECT_EQ(pos, after) << text;
    }
    pos = 5;
    EXPECT_FALSE(ScanNumber("1234", INT_MAX, pos, number));

    pos = 1;
    EXPECT_TRUE(ScanChar("  /x", pos, '/'));
    EXPECT_EQ(pos, 4);
    EXPECT_FALSE(ScanChar("  /x", pos, '/'));
    EXPECT_EQ(pos, 4);
    pos = 1;
    EXPECT_FALSE(ScanChar("  ", pos, '/'));
    EXPECT_EQ(pos, 3);

    pos = 1;
    ScanToNumber("AD 2026", pos);
    EXPECT_EQ(pos, 4);
    pos = -3;
    ScanToNumber("x", pos);
    EXPECT_EQ(pos, 2);
}

struct ScanDateCase {
    const char* shortDateFormat;
    char separator;
    const char* text;
    int y, m, d; // 0: no date
};

void PrintTo(const ScanDateCase& c, std::ostream* os)
{
    *os << c.shortDateFormat << " " << ::testing::PrintToString(std::string(c.text));
}

class ScanDateTest : public ::testing::TestWithParam<ScanDateCase> {
protected:
    ScopedClock clock{EncodeDate(2026, 3, 15) + 0.5};
};

TEST_P(ScanDateTest, ReadsFreeFormDates)
{
    const ScanDateCase& c = GetParam();
    const ScopedFormatSettings settings(Locale(c.shortDateFormat, c.separator));
    int pos = 1, y = -9, m = -9, d = -9;
    const bool ok = ScanDate(c.text, c.shortDateFormat, pos, y, m, d);
    EXPECT_EQ(ok, c.y != 0);
    if (ok) {
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
        EXPECT_EQ(pos, static_cast<int>(std::string(c.text).size()) + 1);
    }
}

// A locale's date order by the letters of its short date format, with its separator unless that is '/'.
std::string DateOrder(const char* shortDateFormat, char separator)
{
    std::string order;
    for (const char* c = shortDateFormat; *c; ++c)
        if (std::isalpha(static_cast<unsigned char>(*c)))
            order += *c;
    return separator == '/' ? order : order + test::Spelled(std::string(1, separator));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScanDateTest,
    ::testing::Values(ScanDateCase{"M/d/yyyy", '/', "3/4", 2026, 3, 4}, // two numbers: the current year
                      ScanDateCase{"M/d/yyyy", '/', "3/4/", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "3 / 4 / 26", 2026, 3, 4},
                      ScanDateCase{"M/d/yyyy", '/', "3/4/26x", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "13/1/2026", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "20261/1", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "3/4/26/ ", 2026, 3, 4},
                      ScanDateCase{"M/d/yyyy", '/', " 2/29/2024 ", 2024, 2, 29},
                      ScanDateCase{"M/d/yyyy", '/', "2/29/2023", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "4/31/66", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "4/30/66", 1966, 4, 30},
                      ScanDateCase{"M/d/yyyy", '/', "3-4-2026", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "-3/4/2026", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "3/4/+26", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "3/4/2 026", 0, 0, 0},
                      ScanDateCase{"M/d/yyyy", '/', "", 0, 0, 0},
                      ScanDateCase{"dd-MM-yyyy", '-', "4-3", 2026, 3, 4},
                      ScanDateCase{"dd-MM-yyyy", '-', "4 - 3 - 65", 2065, 3, 4},
                      ScanDateCase{"dd.MM.yyyy", '.', "31.12.1999", 1999, 12, 31},
                      ScanDateCase{"dd.MM.yyyy", '.', "31/12/1999", 0, 0, 0},
                      ScanDateCase{"yyyy.MM.dd", '.', "2024.2.29", 2024, 2, 29},
                      ScanDateCase{"yyyy-MM-dd", '-', "3-4", 2026, 3, 4},
                      ScanDateCase{"yyyy/MM/dd", '/', "0/1/1", 2000, 1, 1},
                      ScanDateCase{"gg yyyy/MM/dd", '/', "AD 2026/3/4", 2026, 3, 4}, // era prefix skipped
                      ScanDateCase{"yyyy/MM/dd", '/', "AD 2026/3/4", 0, 0, 0}),
    [](const auto& row) {
        return DateOrder(row.param.shortDateFormat, row.param.separator) + "_" +
               test::Spelled(row.param.text);
    });

TEST_F(DateUtilTest, MonthNamesMatchByPrefixFirstMonthWinning)
{
    EXPECT_EQ(MonthFromName("Ju", 2), 6);
    EXPECT_EQ(MonthFromName("ma", 2), 3);
    EXPECT_EQ(MonthFromName("DECEMBER", 3), 12);
    EXPECT_EQ(MonthFromName("", 3), 0);
    EXPECT_EQ(MonthFromName("Xyz", 3), 0);
    EXPECT_EQ(MonthFromName("Mayo", 4), 0);
    TFormatSettings german = USFormatSettings();
    german.ShortMonthNames[2] = "M\xC3\xA4r"; // "Mär"
    const ScopedFormatSettings settings(german);
    EXPECT_EQ(MonthFromName("M\xC3\x84R", 3), 3); // "MÄR": case folded per character
    EXPECT_EQ(MonthFromName("M\xC3\xA4", 2), 3);
}

struct ExtractCase {
    const char* format;
    const char* text;
    char ch;
    int cnt;
    int expected;
};

TEST_F(DateUtilTest, ExtractMaskReadsThePlacesUnderTheFormatLetters)
{
    const ExtractCase cases[] = {
        {"MM/DD/YYYY", "03/04/2026", 'm', 1, 3},
        {"MM/DD/YYYY", "03/04/2026", 'd', 1, 4},
        {"MM/DD/YYYY", "03/04/2026", 'y', 1, 2026},
        {"mm/dd/yyyy", "03/04/2026", 'Y', 1, 2026},
        {"MM/DD/YYYY", " 3/ 4/  26", 'y', 1, 26},
        {"MM/DD/YYYY", "3 /4 /26  ", 'm', 1, 3},
        {"MM/DD/YYYY", "03/04/    ", 'y', 1, -5},  // blank
        {"MM/DD/YYYY", "03/04", 'y', 1, -5},       // missing places are blank
        {"MM/DD/YYYY", "03/04/2026 ", 'm', 1, 77}, // longer than the format: the default
        {"DD/YYYY", "04/2026", 'm', 1, 77},        // no such letter: the default
        {"MM/DD/YYYY", "03/04/0012", 'y', 1, 12},
        {"MM/DD/YYYY", "3//04/2026", 'm', 1, -1},
        {"MM/DD/YYYY", "03/04/20 6", 'y', 1, -1}, // a blank inside the number
        {"MM/DD/YYYY", "+3/04/2026", 'm', 1, -1},
        {"MM/DD/YYYY", "03/04/-001", 'y', 1, -1},
        {"MM/DD/YYYY", "03/04/$7E9", 'y', 1, -1},
        {"MM/DD/YYYY", "03/04/0x1A", 'y', 1, -1},
        {"MM/DD/YYYY", "03/04/\xEF\xBC\x91\x31", 'y', 1, -1}, // a full-width digit
        {"DD-MMM-YYYY", "04-Mar-2026", 'm', 3, 3},
        {"DD-MMM-YYYY", "04-mAR-2026", 'm', 3, 3},
        {"DD-MMM-YYYY", "04-Xyz-2026", 'm', 3, -1},
        {"DD-MMM-YYYY", "04-   -2026", 'm', 3, -5},
        {"DD-MMM-YYYY", "04-Ju -2026", 'm', 3, 6},
        {"DD-MM-YYYY", "04-03-2026", 'm', 3, 77},
        {"DD-MM-YYYY", "04-03-2026", 'm', 0, 77},
    };
    for (const ExtractCase& c : cases)
        EXPECT_EQ(ExtractMask(c.format, c.text, c.ch, c.cnt, -5, 77), c.expected)
            << c.format << " " << c.text << " " << c.ch << c.cnt;
}

// --- text to date -----------------------------------------------------------------------------------------

struct TextCase {
    const char* shortDateFormat;
    char separator;
    const char* format;
    const char* text;
    int y, m, d; // 0: no date
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.format << " " << ::testing::PrintToString(std::string(c.text));
}

// Named after the text read, and after the locale where its separator is not '/'.
const auto TextAndLocale = [](const auto& row) {
    const TextCase& c = row.param;
    return test::Spelled(c.text) +
           (c.separator == '/' ? "" : "_" + DateOrder(c.shortDateFormat, c.separator));
};

class TextToDateTest : public ::testing::TestWithParam<TextCase> {
protected:
    ScopedClock clock{EncodeDate(2026, 3, 15) + 0.5};
};

TEST_P(TextToDateTest, ReadsByPositionThenFreeForm)
{
    const TextCase& c = GetParam();
    const ScopedFormatSettings settings(Locale(c.shortDateFormat, c.separator));
    const TDateTime fallback = 12345.0;
    TDateTime date = fallback;
    const bool ok = InternalStrToDate(c.format, c.text, date);
    ASSERT_EQ(ok, c.y != 0) << FormatDateTime("yyyy-mm-dd", date);
    if (ok) {
        EXPECT_EQ(date, EncodeDate(c.y, c.m, c.d)) << FormatDateTime("yyyy-mm-dd", date);
        EXPECT_EQ(StrToDateFmt(c.format, c.text), date);
    } else {
        EXPECT_EQ(date, fallback);
        EXPECT_THROW((void)StrToDateFmt(c.format, c.text), EConvertError);
    }
    EXPECT_EQ(StrToDateFmtDef(c.format, c.text, fallback + 0.5), ok ? date : fallback);
}

INSTANTIATE_TEST_SUITE_P(
    MonthFirst, TextToDateTest,
    ::testing::Values(
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/26  ", 2026, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3 /4 /2026", 2026, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", " 3/ 4/  66", 1966, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/0012", 2012, 3, 4}, // kept: "0012" is year 12
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/0100", 100, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "02/29/2023", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "02/30/2024", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "13/01/2026", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "00/01/2026", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "04/31/2026", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "01/00/2026", 0, 0, 0},
        // A year left blank is no date, never 1999 nor any other year made up for it.
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/    ", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3 /4 /    ", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04", 2026, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YY", "03/04/  ", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "  /  /    ", 0, 0, 0},
        // Free text that does not follow the format: two numbers are a date of the current year.
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3/4", 2026, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3 / 4 / 26", 2026, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3/4/26", 2026, 3, 4},
        TextCase{"M/d/yyyy", '/', "MM/DD/YY", "3/4/2026", 2026, 3, 4}, // longer than the format
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3/4/", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "3/4/26x", 0, 0, 0},
        // Digits only.
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/-001", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/+026", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/$7E9", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "0x/04/2026", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "03/04/20 6", 0, 0, 0},
        TextCase{"M/d/yyyy", '/', "MM/DD/YYYY", "0 3/4/2026", 0, 0, 0},
        // Other separators.
        TextCase{"M-d-yyyy", '-', "MM/DD/YYYY", "3-4", 2026, 3, 4},
        TextCase{"M-d-yyyy", '-', "MM/DD/YYYY", "3/4", 0, 0, 0},
        TextCase{"M.d.yyyy", '.', "MM/DD/YY", "12.31.66", 1966, 12, 31}),
    TextAndLocale);

INSTANTIATE_TEST_SUITE_P(
    DayFirst, TextToDateTest,
    ::testing::Values(TextCase{"dd/MM/yyyy", '/', "DD/MM/YYYY", "04/03/2026", 2026, 3, 4},
                      TextCase{"dd/MM/yyyy", '/', "DD/MM/YYYY", "4 /3 /    ", 0, 0, 0},
                      TextCase{"dd/MM/yyyy", '/', "DD/MM/YYYY", "04/03", 2026, 3, 4},
                      TextCase{"dd/MM/yyyy", '/', "DD/MM/YYYY", "4/3", 2026, 3, 4},
                      TextCase{"dd/MM/yyyy", '/', "DD/MM/YY", "29/02/23", 0, 0, 0},
                      TextCase{"dd-MM-yyyy", '-', "DD/MM/YYYY", "31-04-2026", 0, 0, 0},
                      TextCase{"dd.MM.yyyy", '.', "DD/MM/YYYY", "4 . 3 . 26", 2026, 3, 4}),
    TextAndLocale);

INSTANTIATE_TEST_SUITE_P(
    YearFirst, TextToDateTest,
    ::testing::Values(TextCase{"yyyy/MM/dd", '/', "YYYY/MM/DD", "2026/03/04", 2026, 3, 4},
                      TextCase{"yyyy/MM/dd", '/', "YYYY/MM/DD", "    /03/04", 0, 0, 0},
                      TextCase{"yyyy/MM/dd", '/', "YYYY/MM/DD", "  26/03/04", 2026, 3, 4},
                      TextCase{"yyyy-MM-dd", '-', "YYYY/MM/DD", "2023-02-29", 0, 0, 0},
                      TextCase{"yyyy-MM-dd", '-', "YYYY/MM/DD", "3-4", 2026, 3, 4},
                      TextCase{"yyyy.MM.dd", '.', "YYYY/MM/DD", "2026.13.04", 0, 0, 0}),
    TextAndLocale);

TEST_F(DateUtilTest, EmptyTextIsNoDateAndFailuresReportTheText)
{
    TDateTime date = 123.0;
    EXPECT_TRUE(InternalStrToDate("MM/DD/YYYY", "", date));
    EXPECT_EQ(date, NullDate);
    EXPECT_EQ(StrToDateFmt("MM/DD/YYYY", ""), NullDate);
    EXPECT_EQ(StrToDateFmtDef("MM/DD/YYYY", "", 45000.75), NullDate);
    EXPECT_EQ(StrToDateFmtDef("MM/DD/YYYY", "bad", 45000.75), 45000.0);
    EXPECT_EQ(StrToDateFmtDef("MM/DD/YYYY", "bad", -1.25), -1.0);
    try {
        (void)StrToDateFmt("MM/DD/YYYY", "  /  /    ");
        ADD_FAILURE() << "the blank mask text is not empty";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "''  /  /    '' is not a valid date");
    }
    try {
        (void)StrToDateFmt("MM/DD/YYYY", "100%s");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "''100%s'' is not a valid date");
    }
}

TEST(CenturyChangeTest, TwoDigitYearsFollowTheClock)
{
    const ScopedFormatSettings settings(Locale("M/d/yyyy", '/'));
    struct Case {
        TDateTime now;
        const char* text;
        int year;
    };
    const Case cases[] = {
        {EncodeDate(2059, 12, 31), "01/01/99", 1999}, {EncodeDate(2060, 1, 1), "01/01/99", 2099},
        {EncodeDate(2059, 12, 31), "01/01/00", 2000}, {EncodeDate(2060, 1, 1), "01/01/00", 2000},
        {EncodeDate(2099, 12, 31), "01/01/39", 2039}, {EncodeDate(2100, 1, 1), "01/01/39", 2139},
        {EncodeDate(2100, 1, 1), "01/01/40", 2040},   {EncodeDate(2100, 1, 1), "1/1", 2100},
    };
    for (const Case& c : cases) {
        const ScopedClock clock(c.now + 0.75);
        EXPECT_EQ(StrToDateFmt("MM/DD/YY", c.text), EncodeDate(c.year, 1, 1))
            << FormatDateTime("yyyy-mm-dd", c.now) << " " << c.text;
    }
}

// Format and read back every date that the format can carry, in every order, separator and year width.
TEST(RoundTripTest, FormattedDatesReadBackAsThemselves)
{
    const ScopedClock clock(EncodeDate(2026, 3, 15));
    std::vector<TDateTime> dates;
    for (int year : {100, 999, 1000, 1899, 1966, 1999, 2000, 2024, 2026, 2065, 9999})
        for (int month = 1; month <= 12; ++month) {
            dates.push_back(EncodeDate(year, month, 1));
            dates.push_back(EncodeDate(year, month, DaysPerMonth(year, month)));
        }
    for (const char* shortDateFormat : {"M/d/yyyy", "dd/MM/yyyy", "yyyy/MM/dd"})
        for (const char separator : {'/', '-', '.'}) {
            std::string locale = shortDateFormat;
            for (char& c : locale)
                c = c == '/' ? separator : c;
            const ScopedFormatSettings settings(Locale(locale, separator));
            for (const bool four : {true, false}) {
                const std::string format = DefDateFormat(four);
                for (const TDateTime date : dates) {
                    const int year = ExtractYear(date);
                    if (!four && (year < 1966 || year > 2065))
                        continue; // two digits carry only the window's years
                    const std::string text = FormatDateTime(format, date);
                    ASSERT_EQ(text.size(), format.size()) << text;
                    ASSERT_EQ(text[four && GetDateOrder(locale) == TDateOrder::doYMD ? 4 : 2], separator);
                    ASSERT_EQ(StrToDateFmt(format, text), date) << locale << " " << format << " " << text;
                }
            }
        }
}

} // namespace
} // namespace carlume
