// The plain date field: its mask follows the locale, it reads and shows whole days, and an empty or
// unreadable text is no date.

#include "lookup/ui/plain_date_edit.h"

#include "components/date_util.h"
#include "platform/format_settings.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace carlume::test {
namespace {

struct MaskCase {
    std::string EditMask;
    char DateSeparator;
    QString Expected;
};

void PrintTo(const MaskCase& c, std::ostream* os)
{
    *os << '"' << c.EditMask << '"';
}

class QtInputMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(QtInputMaskTest, TranslatesTheClassLibrarysEditMask)
{
    EXPECT_EQ(QtInputMask(GetParam().EditMask, GetParam().DateSeparator, ':'), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Masks, QtInputMaskTest,
                         ::testing::Values(MaskCase{"!99/99/9999;1; ", '/', QStringLiteral("00/00/0000; ")},
                                           MaskCase{"!99/99/9999;1;_", '.', QStringLiteral("00.00.0000;_")},
                                           MaskCase{"!9999/99/99;1; ", '-', QStringLiteral("0000-00-00; ")},
                                           MaskCase{"!99/99/99;1; ", '9', QStringLiteral("00\\900\\900; ")},
                                           MaskCase{"00:00", '/', QStringLiteral("99:99; ")},
                                           MaskCase{"a\\9b", '/', QStringLiteral("\\a\\9\\b; ")}));

struct LocaleCase {
    std::string ShortDateFormat;
    char Separator;
    bool FourDigits;
    std::string Format;
    std::string Shown;
    std::string Blank;
};

void PrintTo(const LocaleCase& c, std::ostream* os)
{
    *os << c.ShortDateFormat;
}

class PlainDateEditTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(PlainDateEditTest, ShowsAndReadsWholeDaysInTheLocalesOrder)
{
    const LocaleCase& c = GetParam();
    TFormatSettings locale = USFormatSettings();
    locale.ShortDateFormat = c.ShortDateFormat;
    locale.DateSeparator = c.Separator;
    const ScopedFormatSettings scoped(locale);
    const ScopedFourDigitYear digits(c.FourDigits);

    TPlainDateEdit field;
    EXPECT_EQ(field.DateFormat(), c.Format);
    EXPECT_EQ(field.Text(), c.Blank);
    EXPECT_EQ(field.GetDate(), NullDate);

    field.SetDate(EncodeDate(2024, 2, 29) + 0.75);
    EXPECT_EQ(field.Text(), c.Shown);
    EXPECT_EQ(field.GetDate(), EncodeDate(2024, 2, 29)) << "the time of day is dropped";

    field.SetDate(NullDate);
    EXPECT_EQ(field.GetDate(), NullDate);
    EXPECT_EQ(field.Text(), c.Blank);
    field.SetDate(-700000); // before year 1: no date
    EXPECT_EQ(field.GetDate(), NullDate);

    field.SetText(c.Shown);
    EXPECT_EQ(field.GetDate(), EncodeDate(2024, 2, 29));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, PlainDateEditTest,
    ::testing::Values(LocaleCase{"M/d/yyyy", '/', true, "MM/DD/YYYY", "02/29/2024", "  /  /    "},
                      LocaleCase{"dd.MM.yyyy", '.', true, "DD/MM/YYYY", "29.02.2024", "  .  .    "},
                      LocaleCase{"yyyy-MM-dd", '-', true, "YYYY/MM/DD", "2024-02-29", "    -  -  "},
                      LocaleCase{"M/d/yy", '/', false, "MM/DD/YY", "02/29/24", "  /  /  "}));

TEST(PlainDateEdit, AnIncompleteDateIsNoDate)
{
    const ScopedFormatSettings scoped(USFormatSettings());
    const ScopedFourDigitYear digits(true);
    TPlainDateEdit field;
    field.SetText("02/30/2024");
    EXPECT_EQ(field.GetDate(), NullDate);
    field.SetText("12/0");
    EXPECT_EQ(field.GetDate(), NullDate);
}

} // namespace
} // namespace carlume::test
