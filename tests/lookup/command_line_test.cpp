#include "foundation/string_helpers.h"
#include "lookup/command_line.h"

#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "tests/support/print_case_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;

constexpr TDateTime kNow = 46362.5; // 2026-12-06, noon

struct ParseCase {
    std::string Name;
    std::vector<std::string> Params;
    int Count;
    bool VinGiven;
    std::string Vin;
    std::string Make;
    std::string Model;
    std::int32_t ModelYear;
    TDateTime Effective; ///< 0: untouched
};

class ParseCommandLineTest : public ::testing::TestWithParam<ParseCase> {
protected:
    ScopedClock clock_{kNow};
    ScopedFormatSettings settings_{USFormatSettings()};
};

TEST_P(ParseCommandLineTest, AppliesTheSwitchesToTheRecord)
{
    const ParseCase& c = GetParam();
    TVinRecord record;
    const TParsedSwitches parsed = ParseCommandLine(c.Params, record, {});
    EXPECT_EQ(parsed.Count, c.Count);
    EXPECT_EQ(parsed.VinGiven, c.VinGiven);
    EXPECT_EQ(record.VIN, c.Vin);
    EXPECT_EQ(record.Make, c.Make);
    EXPECT_EQ(record.Model, c.Model);
    EXPECT_EQ(record.ModelYear, c.ModelYear);
    EXPECT_EQ(record.Effective, c.Effective);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ParseCommandLineTest,
    ::testing::Values(
        ParseCase{"NoSwitches", {}, 0, false, "", "", "", 0, 0},
        ParseCase{"LowerCaseVin", {"/vin=abc"}, 2, true, "abc", "", "", 0, 0},
        ParseCase{"QuotedMake", {"/MAKE=\"Arvelo Motors\""}, 2, false, "", "Arvelo Motors", "", 0, 0},
        ParseCase{"BlanksAroundAndEqualsInTheValue", {" /Model = A=B "}, 2, false, "", "", "A=B", 0, 0},
        ParseCase{"VinWithoutEquals", {"/VIN"}, 2, true, "/VIN", "", "", 0, 0},
        ParseCase{"EmptyVin", {"/VIN="}, 1, false, "", "", "", 0, 0},
        ParseCase{"QuotedEmptyVin", {"/VIN=\"\""}, 1, false, "", "", "", 0, 0},
        ParseCase{"LastVinWins", {"/VIN=1", "/VIN=2"}, 3, true, "2", "", "", 0, 0},
        ParseCase{"UnknownSwitches", {"/FOO=bar", "VIN=x", "/vinx=y"}, 1, false, "", "", "", 0, 0},
        ParseCase{"YearWithSignAndBlank", {"/YEAR=+2011 "}, 2, false, "", "", "", 2011, 0},
        ParseCase{"LowestYear", {"/YEAR=-2147483648"}, 2, false, "", "", "", -2147483647 - 1, 0},
        ParseCase{"HighestYear", {"/YEAR=2147483647"}, 2, false, "", "", "", 2147483647, 0},
        ParseCase{"Effective1950", {"/EFFECTIVE=01/01/1950"}, 1, false, "", "", "", 0, 18264},
        ParseCase{"EffectiveTwoDigitYear", {"/EFFECTIVE=12/6/26"}, 1, false, "", "", "", 0, 46362},
        ParseCase{"EffectiveGarbageIsToday", {"/EFFECTIVE=garbage"}, 1, false, "", "", "", 0, kNow},
        ParseCase{"EffectiveNoSuchDayIsToday", {"/EFFECTIVE=2/30/2026"}, 1, false, "", "", "", 0, kNow},
        ParseCase{"EffectiveWithATimeIsToday", {"/EFFECTIVE=1/1/2026 10:00"}, 1, false, "", "", "", 0, kNow},
        ParseCase{"EmptyEffective", {"/EFFECTIVE="}, 1, false, "", "", "", 0, 0},
        ParseCase{"EverySwitch",
                  {"/VIN=1AVQL14S1A", "/YEAR=2010", "/MAKE=Arvelo", "/MODEL=Quillon", "/EFFECTIVE=1/2/2020"},
                  5,
                  true,
                  "1AVQL14S1A",
                  "Arvelo",
                  "Quillon",
                  2010,
                  43832}),
    ByName);

TEST(ParseCommandLineYearTest, AYearThatIsNoDecimalWholeNumberRaisesAndLogsNothing)
{
    for (const std::string value : {"abc", "/YEAR", "2147483648", "-2147483649", "99999999999999999999999",
                                    "$7DA", "0x7DA", "20 10", "-", "2010.0"}) {
        TVinRecord record;
        int logged = 0;
        const std::string param = value == "/YEAR" ? value : "/YEAR=" + value;
        try {
            ParseCommandLine({"/VIN=x", param}, record, [&](const std::string&) { ++logged; });
            ADD_FAILURE() << "no error for " << value;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + value + "' is not a valid integer value");
        }
        EXPECT_EQ(logged, 0) << value;
    }
}

TEST(ParseCommandLineLogTest, EveryParameterIsLoggedInOneMessage)
{
    TVinRecord record;
    std::vector<std::string> logged;
    ParseCommandLine({"/VIN=1AVQL14S1A", "/effective = 01/01/1950", "", "/x"}, record,
                     [&](const std::string& text) { logged.push_back(text); });
    EXPECT_THAT(logged, ElementsAre("Command line parameters found\r\n/VIN = 1AVQL14S1A\r\n"
                                    "/EFFECTIVE = 01/01/1950\r\n = \r\n/X = /x\r\n"));
}

TEST(ParseCommandLineDateTest, EffectiveFollowsTheLocalesShortDateFormat)
{
    TFormatSettings dayFirst = USFormatSettings();
    dayFirst.ShortDateFormat = "dd.MM.yyyy";
    dayFirst.DateSeparator = '.';
    ScopedFormatSettings settings(dayFirst);
    ScopedClock clock(kNow);
    TVinRecord record;
    ParseCommandLine({"/EFFECTIVE=02.01.2020"}, record, {});
    EXPECT_EQ(record.Effective, 43832); // 2 January 2020
    ParseCommandLine({"/EFFECTIVE=01/02/2020"}, record, {});
    EXPECT_EQ(record.Effective, kNow);
}

TEST(CommandLineTest, ParametersLoseTheirQuotesAndTheLineIsWrittenTheWindowsWay)
{
    const char* argv[] = {"/opt/carlume/cquery", "/MAKE=\"Arvelo\"", "/MODEL=Big One", "", "/VIN=1\t2"};
    const TCommandLine line = TCommandLine::FromArgs(5, argv);
    EXPECT_THAT(line.Params, ElementsAre("/MAKE=Arvelo", "/MODEL=Big One", "", "/VIN=1\t2"));
    EXPECT_EQ(line.Text, "/opt/carlume/cquery /MAKE=\"Arvelo\" \"/MODEL=Big One\" \"\" \"/VIN=1\t2\"");
    const char* trailing[] = {"cquery", "/VIN=X\r\n"};
    EXPECT_EQ(TCommandLine::FromArgs(2, trailing).Text, "cquery /VIN=X");
    EXPECT_EQ(TCommandLine::FromArgs(0, nullptr).ParamCount(), 0);
}

} // namespace
} // namespace carlume::test
