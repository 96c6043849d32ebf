#include "platform/sysutils.h"

#include "platform/format_settings.h"
#include "platform/utf8.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace carlume {
namespace {

struct IntCase {
    const char* text;
    bool valid;
    std::int32_t value;
};

void PrintTo(const IntCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.text));
}

class StrToIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntTest, AcceptsTheRunTimeSyntaxOnly)
{
    const auto& c = GetParam();
    std::int32_t value = 12345;
    EXPECT_EQ(TryStrToInt(c.text, value), c.valid) << c.text;
    if (c.valid) {
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
        EXPECT_EQ(value, 12345) << "untouched on failure: " << c.text;
        EXPECT_EQ(StrToIntDef(c.text, -7), -7);
        try {
            (void)StrToInt(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + VisibleControls(c.text) + "' is not a valid integer value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrToIntTest,
    ::testing::Values(
        IntCase{"12", true, 12}, IntCase{" 12", true, 12}, IntCase{"   -12", true, -12},
        IntCase{"+7", true, 7}, IntCase{"0", true, 0}, IntCase{"007", true, 7},
        IntCase{"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
        IntCase{"2147483647", true, 2147483647}, IntCase{"2147483648", false, 0},
        IntCase{"-2147483649", false, 0}, IntCase{"99999999999999999999", false, 0}, IntCase{"$1F", true, 31},
        IntCase{"x1f", true, 31}, IntCase{"X1F", true, 31}, IntCase{"0x1F", true, 31},
        IntCase{"0X1f", true, 31}, IntCase{"-$10", true, -16}, IntCase{"$FFFFFFFF", true, -1},
        IntCase{"$80000000", true, std::numeric_limits<std::int32_t>::min()}, IntCase{"-$FFFFFFFF", true, 1},
        IntCase{"$000000000FF", true, 255}, IntCase{"$100000000", false, 0}, IntCase{"12 ", false, 0},
        IntCase{"1a", false, 0}, IntCase{"", false, 0}, IntCase{"  ", false, 0}, IntCase{"-", false, 0},
        IntCase{"+", false, 0}, IntCase{"$", false, 0}, IntCase{"0x", false, 0}, IntCase{"\t12", false, 0},
        IntCase{"1.5", false, 0}, IntCase{"+-1", false, 0}, IntCase{"$G", false, 0}),
    [](const auto& row) { return "Text" + test::Spelled(row.param.text); });

TEST(StrToInt64Test, FullRangeAndHex)
{
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("$FFFFFFFF"), 4294967295LL);
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 3), 3);
    EXPECT_EQ(StrToInt64Def("$10000000000000000", 3), 3);
    EXPECT_THROW((void)StrToInt64("x"), EConvertError);
}

TEST(IntToStrTest, Decimal)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

struct FloatCase {
    const char* text;
    bool valid;
    double value;
};

void PrintTo(const FloatCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.text));
}

class StrToFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(StrToFloatTest, Syntax)
{
    ScopedFormatSettings settings(USFormatSettings());
    const auto& c = GetParam();
    double value = 99.0;
    EXPECT_EQ(TryStrToFloat(c.text, value), c.valid) << c.text;
    EXPECT_DOUBLE_EQ(value, c.valid ? c.value : 99.0) << c.text;
    if (!c.valid) {
        try {
            (void)StrToFloat(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(c.text) + "' is not a valid floating point value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StrToFloatTest,
                         ::testing::Values(FloatCase{"1.5", true, 1.5}, FloatCase{" -2.25 ", true, -2.25},
                                           FloatCase{"+3", true, 3.0}, FloatCase{"1.", true, 1.0},
                                           FloatCase{".5", true, 0.5}, FloatCase{"1e3", true, 1000.0},
                                           FloatCase{"2.5E-2", true, 0.025}, FloatCase{"", false, 0},
                                           FloatCase{".", false, 0}, FloatCase{"1e", false, 0},
                                           FloatCase{"1,5", false, 0}, FloatCase{"1.2.3", false, 0},
                                           FloatCase{"nan", false, 0}, FloatCase{"inf", false, 0},
                                           FloatCase{"1e400", false, 0}, FloatCase{"1 2", false, 0}),
                         [](const auto& row) { return "Text" + test::Spelled(row.param.text); });

TEST(StrToFloatTest, UsesTheSettingsDecimalSeparatorBothWays)
{
    TFormatSettings settings;
    settings.DecimalSeparator = ',';
    ScopedFormatSettings scoped(settings);
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("1.5", -1.0), -1.0);
    EXPECT_EQ(FloatToStr(1.5), "1,5");
}

TEST(FloatToStrTest, ShortestGeneralForm)
{
    ScopedFormatSettings settings(USFormatSettings());
    EXPECT_EQ(FloatToStr(0.0), "0");
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    EXPECT_EQ(FloatToStr(-45000.75), "-45000.75");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
}

TEST(TrimTest, RemovesBlanksAndControlCharactersOnly)
{
    EXPECT_EQ(Trim(" \t\r\n x y \x01\x1f"), "x y");
    EXPECT_EQ(Trim("\xc3\xa4 "), "\xc3\xa4");
    EXPECT_EQ(Trim(std::string("\0a\0", 3)), "a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(TrimLeft("  a  "), "a  ");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    EXPECT_EQ(Trim("\x7f"), "\x7f");
}

TEST(CaseTest, PlainRoutinesFoldAsciiOnly)
{
    EXPECT_EQ(UpperCase("abz\xc3\xa4"), "ABZ\xc3\xa4");
    EXPECT_EQ(LowerCase("ABZ\xc3\x84"), "abz\xc3\x84");
    EXPECT_TRUE(SameText("General", "gENERAL"));
    EXPECT_FALSE(SameText("General", "Genera"));
    EXPECT_FALSE(SameText("\xc3\xa4", "\xc3\x84"));
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_LT(CompareStr("B", "a"), 0);
}

TEST(CaseTest, AnsiRoutinesFoldEveryLetterOfUtf8)
{
    EXPECT_EQ(AnsiUpperCase("m\xc3\xa4rz \xce\xb1"), "M\xc3\x84RZ \xce\x91");
    EXPECT_EQ(AnsiLowerCase("\xd0\x96X"), "\xd0\xb6x");
    EXPECT_TRUE(AnsiSameText("M\xc3\xa4r", "m\xc3\x84R"));
    EXPECT_EQ(AnsiCompareText("Ju", "JU"), 0);
    EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
    EXPECT_GT(AnsiCompareText("\xc3\xa4", "z"), 0);
    // Bytes that are no UTF-8 are kept and compared as themselves.
    EXPECT_EQ(AnsiUpperCase("a\xff"
                            "b"),
              "A\xff"
              "B");
    EXPECT_EQ(AnsiUpperCase("\xc3"), "\xc3");
    EXPECT_NE(AnsiCompareText("\xff", "\xfe"), 0);
    EXPECT_LT(AnsiCompareStr("A", "a"), 0);
}

TEST(VisibleControlsTest, WritesOutControlCharactersAndKeepsEveryOtherByte)
{
    struct Case {
        const char* row;
        std::string text, shown;
    };
    const Case cases[] = {
        {"ordinary text, UTF-8 and a backslash", "Ma\xc3\x9f 1AV/x\\n \xe2\x82\xac",
         "Ma\xc3\x9f 1AV/x\\n \xe2\x82\xac"},
        {"line breaks and TAB", "2010\n2026-01-01 INJ\r\tx", "2010\\n2026-01-01 INJ\\r\\tx"},
        {"other C0 bytes and DEL", std::string("\0\x1b[2J\x7f", 6), "\\x00\\x1B[2J\\x7F"},
        {"C1 controls",
         "a\xc2\x85"
         "b\xc2\x9b"
         "c\xc2\xa0",
         "a\\u0085b\\u009Bc\xc2\xa0"},
        {"line and paragraph separators",
         "a\xe2\x80\xa8"
         "b\xe2\x80\xa9"
         "c\xe2\x80\xaa",
         "a\\u2028b\\u2029c\xe2\x80\xaa"},
        {"bytes that are no UTF-8", "\x85\xff\xc2", "\x85\xff\xc2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VisibleControls(c.text), c.shown) << c.row;
        EXPECT_EQ(VisibleControls(c.shown), c.shown) << c.row << ", shown twice";
    }
}

struct WidthCase {
    std::string Name;
    std::string text;
    std::size_t cells;
};
using test::PrintTo;

class Utf8WidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(Utf8WidthTest, WideAndFullwidthCharactersTakeTwoCellsAndAllOthersOne)
{
    EXPECT_EQ(Utf8Width(GetParam().text), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8WidthTest,
    ::testing::Values(WidthCase{"Ascii", "Rate tables 2024", 16},
                      WidthCase{"LatinAccents", "Café Müller", 11},
                      WidthCase{"CombiningMark", "Cafe\u0301", 5}, WidthCase{"Cjk", "車両データ", 10},
                      WidthCase{"FullwidthFormsAndIdeographicSpace", "ＡＢ１！\u3000", 10},
                      WidthCase{"HalfwidthKatakana", "ｶﾀｶﾅ", 4}, WidthCase{"Hangul", "한국어", 6},
                      WidthCase{"HangulJamoAtTheEdgeOfItsRange", "\u115F\u1160", 3},
                      WidthCase{"Emoji", "😀👍", 4}, WidthCase{"NarrowSymbols", "☺☀", 2},
                      WidthCase{"PlanesTwoAndThree", "\U00020000\U0003FFFD\U0003FFFE", 5},
                      WidthCase{"MixedLine", " 車両データ (c.ver) ", 20},
                      WidthCase{"InvalidBytesOneEach", "\xff\xe8\x80 \xe8\xbb", 6},
                      WidthCase{"WideAfterAnInvalidByte", "\xff車", 3}),
    test::ByName);

} // namespace
} // namespace carlume
