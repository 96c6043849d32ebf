#include "platform/format_settings.h"

#include "platform/date_time.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace carlume {
namespace {

TLangInfo GermanLike()
{
    TLangInfo info;
    info.DateFormat = "%d.%m.%Y";
    info.DateTimeFormat = "%a %d %b %Y %T %Z";
    info.TimeFormat = "%T";
    info.TimeFormatAmPm = "";
    info.AmString = "";
    info.PmString = "";
    info.AbMon = {"Jan", "Feb", "M\xc3\xa4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    info.Mon = {"Januar", "Februar", "M\xc3\xa4rz", "April",   "Mai",      "Juni",
                "Juli",   "August",  "September",   "Oktober", "November", "Dezember"};
    info.AbDay = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    info.Day = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    return info;
}

TEST(FormatSettingsTest, NamesOutsideTheirRangeAreEmpty)
{
    const TFormatSettings us = USFormatSettings();
    EXPECT_EQ(us.ShortMonthName(1) + us.LongMonthName(12) + us.ShortDayName(1) + us.LongDayName(7),
              "JanDecemberSunSaturday");
    EXPECT_EQ(us.ShortMonthName(0) + us.ShortMonthName(13) + us.ShortDayName(8) + us.LongDayName(-1), "");
}

TEST(FormatSettingsTest, CLocalesGiveTheUSSettings)
{
    for (const char* name : {"C", "POSIX", "C.UTF-8", "C.utf8", "no_SUCH.locale"})
        EXPECT_EQ(FormatSettingsForLocale(name), USFormatSettings()) << name;
}

TEST(FormatSettingsTest, EnvironmentLocaleNameFollowsThePrecedenceOfTheVariables)
{
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    };
    std::vector<Saved> saved;
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        saved.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    }
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_TIME");
    ::unsetenv("LANG");
    EXPECT_EQ(EnvironmentTimeLocaleName(), "C");
    ::setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(EnvironmentTimeLocaleName(), "de_DE.UTF-8");
    ::setenv("LC_TIME", "en_GB.UTF-8", 1);
    EXPECT_EQ(EnvironmentTimeLocaleName(), "en_GB.UTF-8");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(EnvironmentTimeLocaleName(), "C.UTF-8");
    EXPECT_EQ(FormatSettingsForLocale(""), USFormatSettings());
    ::setenv("LC_ALL", "", 1);
    EXPECT_EQ(EnvironmentTimeLocaleName(), "en_GB.UTF-8");
    for (const auto& s : saved) {
        if (s.value)
            ::setenv(s.name, s.value->c_str(), 1);
        else
            ::unsetenv(s.name);
    }
}

TEST(FormatSettingsTest, StrftimeFormatsMapToPatterns)
{
    const TFormatSettings german = FormatSettingsFromLangInfo(GermanLike());
    EXPECT_EQ(german.ShortDateFormat, "dd.MM.yyyy");
    EXPECT_EQ(german.DateSeparator, '.');
    EXPECT_EQ(german.LongDateFormat, "ddd dd MMM yyyy");
    EXPECT_EQ(german.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(german.ShortTimeFormat, "hh:nn");
    EXPECT_EQ(german.TimeSeparator, ':');
    EXPECT_EQ(german.LongMonthName(3), "M\xc3\xa4rz");
    EXPECT_EQ(german.ShortDayName(1), "So");
    EXPECT_EQ(german.TimeAMString, "");
    ScopedClock clock(EncodeDate(2026, 1, 1));
    EXPECT_EQ(FormatDateTime("ddddd", EncodeDate(2026, 3, 5), german), "05.03.2026");
    EXPECT_EQ(StrToDate("5.3.2026", german), EncodeDate(2026, 3, 5));
}

struct MappingCase {
    const char* dateFormat;
    const char* pattern;
    char separator;
};

void PrintTo(const MappingCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.dateFormat));
}

class StrftimeMappingTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(StrftimeMappingTest, ShortDate)
{
    TLangInfo info = GermanLike();
    info.DateFormat = GetParam().dateFormat;
    const TFormatSettings settings = FormatSettingsFromLangInfo(info);
    EXPECT_EQ(settings.ShortDateFormat, GetParam().pattern);
    EXPECT_EQ(settings.DateSeparator, GetParam().separator);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrftimeMappingTest,
    ::testing::Values(MappingCase{"%d/%m/%y", "dd/MM/yy", '/'}, MappingCase{"%m/%d/%Y", "MM/dd/yyyy", '/'},
                      MappingCase{"%Y-%m-%d", "yyyy-MM-dd", '-'}, MappingCase{"%F", "yyyy-MM-dd", '-'},
                      MappingCase{"%D", "MM/dd/yy", '/'}, MappingCase{"%e.%-m.%Y", "d.M.yyyy", '.'},
                      MappingCase{"%Y. %m. %d.", "yyyy. MM. dd.", '.'},
                      MappingCase{"%d %b %Y", "dd/MM/yyyy", '/'},
                      MappingCase{"%Y\xe5\xb9\xb4%m\xe6\x9c\x88%d\xe6\x97\xa5", "yyyy/MM/dd", '/'},
                      MappingCase{"%Od/%Om/%EY", "dd/MM/yyyy", '/'}, MappingCase{"de %d", "M/d/yyyy", '/'},
                      MappingCase{"%d'%m", "M/d/yyyy", '/'}, MappingCase{"%", "M/d/yyyy", '/'},
                      MappingCase{"", "M/d/yyyy", '/'}),
    [](const auto& row) { return test::Spelled(row.param.dateFormat); });

TEST(FormatSettingsTest, TwelveHourLocales)
{
    TLangInfo info = GermanLike();
    info.DateFormat = "%m/%d/%Y";
    info.TimeFormat = "%r";
    info.TimeFormatAmPm = "%I:%M:%S %p";
    info.AmString = "AM";
    info.PmString = "PM";
    const TFormatSettings settings = FormatSettingsFromLangInfo(info);
    EXPECT_EQ(settings.LongTimeFormat, "hh:nn:ss AMPM");
    EXPECT_EQ(settings.ShortTimeFormat, "hh:nn AMPM");
    EXPECT_EQ(FormatDateTime("tt", EncodeTime(13, 5, 0, 0), settings), "01:05:00 PM");
}

TEST(FormatSettingsTest, QuotedLiteralsSurviveFormatting)
{
    TLangInfo info = GermanLike();
    info.DateTimeFormat = "%Y\xe5\xb9\xb4%m\xe6\x9c\x88%d\xe6\x97\xa5";
    const TFormatSettings settings = FormatSettingsFromLangInfo(info);
    EXPECT_EQ(FormatDateTime("dddddd", EncodeDate(2026, 3, 5), settings), "2026\xe5\xb9\xb4"
                                                                          "03\xe6\x9c\x88"
                                                                          "05\xe6\x97\xa5");
}

TEST(FormatSettingsTest, ScopedSettingsNotifySubscribersAndRestore)
{
    const TFormatSettings before = FormatSettings();
    int calls = 0;
    std::string seen;
    {
        TFormatSettingsSubscription subscription([&] {
            ++calls;
            seen = FormatSettings().ShortDateFormat;
        });
        TFormatSettings changed = before;
        changed.ShortDateFormat = "dd.MM.yyyy";
        {
            ScopedFormatSettings scoped(changed);
            EXPECT_EQ(calls, 1);
            EXPECT_EQ(seen, "dd.MM.yyyy");
        }
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(seen, before.ShortDateFormat);
    }
    SetFormatSettings(before);
    EXPECT_EQ(calls, 2) << "no calls after the subscription ended";
    EXPECT_EQ(FormatSettings(), before);
}

TEST(FormatSettingsTest, CallbacksMayUnsubscribeWhileBeingCalled)
{
    int first = 0;
    int second = 0;
    int secondToken = 0;
    const int firstToken = SubscribeFormatSettingsChanged([&] {
        ++first;
        UnsubscribeFormatSettingsChanged(secondToken);
    });
    secondToken = SubscribeFormatSettingsChanged([&] { ++second; });
    SetFormatSettings(FormatSettings());
    SetFormatSettings(FormatSettings());
    UnsubscribeFormatSettingsChanged(firstToken);
    UnsubscribeFormatSettingsChanged(12345);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 0);
}

} // namespace
} // namespace carlume
