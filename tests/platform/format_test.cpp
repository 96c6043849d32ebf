#include "platform/format.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

namespace carlume {
namespace {

TEST(FormatTest, MessagePatternsOfTheProgram)
{
    EXPECT_EQ(Format("'%s' is not a valid integer value", "abc"), "'abc' is not a valid integer value");
    EXPECT_EQ(
        Format("Cannot create file \"%s\". %s", std::string("/d/cquery.dat"), "No such file or directory"),
        "Cannot create file \"/d/cquery.dat\". No such file or directory");
    EXPECT_EQ(Format("%s%s = %s%s", "x\r\n", "/VIN", "1A", "\r\n"), "x\r\n/VIN = 1A\r\n");
    EXPECT_EQ(Format("NodeType %d on SetAttributeValue", 3), "NodeType 3 on SetAttributeValue");
    EXPECT_EQ(Format("An exception (%d) occurred in %s", -905, "tscXMLDoc"),
              "An exception (-905) occurred in tscXMLDoc");
    EXPECT_EQ(Format("%s=<%s>", std::string_view("target"), "data"), "target=<data>");
    EXPECT_EQ(Format("100%% done"), "100% done");
    EXPECT_EQ(Format("no arguments"), "no arguments");
}

struct IntegerCase {
    const char* pattern;
    std::int64_t value;
    const char* expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os)
{
    *os << c.pattern << " " << c.value;
}

class FormatIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(FormatIntegerTest, FormatsAsTheRunTimeLibraryDoes)
{
    const auto& c = GetParam();
    EXPECT_EQ(Format(c.pattern, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatIntegerTest,
    ::testing::Values(IntegerCase{"%d", 0, "0"}, IntegerCase{"%d", -42, "-42"},
                      IntegerCase{"%5d", 42, "   42"}, IntegerCase{"%-5d|", 42, "42   |"},
                      IntegerCase{"%.4d", 42, "0042"}, IntegerCase{"%.4d", -42, "-0042"},
                      IntegerCase{"%6.4d", 42, "  0042"}, IntegerCase{"%x", 255, "FF"},
                      IntegerCase{"%X", 255, "FF"}, IntegerCase{"%.4x", 255, "00FF"},
                      IntegerCase{"%d", std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
                      IntegerCase{"%u", 7, "7"}),
    [](const auto& row) {
        return test::Spelled(row.param.pattern) + "_" + test::Spelled(std::to_string(row.param.value));
    });

TEST(FormatTest, UnsignedAndHexUseTheArgumentsOwnWidth)
{
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%u", -1), "4294967295");
    EXPECT_EQ(Format("%x", std::int64_t{-1}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%x", std::int16_t{-1}), "FFFF");
    EXPECT_EQ(Format("%d", std::uint64_t{18446744073709551615ULL}), "18446744073709551615");
    EXPECT_EQ(Format("%d", static_cast<unsigned char>(200)), "200");
}

TEST(FormatTest, TextPrecisionWidthAndCharacters)
{
    EXPECT_EQ(Format("%.3s", "abcdef"), "abc");
    EXPECT_EQ(Format("[%6s]", "ab"), "[    ab]");
    EXPECT_EQ(Format("[%-6s]", "ab"), "[ab    ]");
    EXPECT_EQ(Format("[%2s]", "abcdef"), "[abcdef]");
    EXPECT_EQ(Format("%s", 'x'), "x");
    EXPECT_EQ(Format("%s", static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(Format("%s", std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(FormatTest, IndexesAndStarsTakeArgumentsInOrder)
{
    EXPECT_EQ(Format("%1:s %0:s %s", "a", "b", "c"), "b a b");
    EXPECT_EQ(Format("%*d|", 5, 42), "   42|");
    EXPECT_EQ(Format("%-*d|", 4, 7), "7   |");
    EXPECT_EQ(Format("%.*f", 3, 2.5), "2.500");
    EXPECT_EQ(Format("%s %0:s", "x"), "x x");
}

struct FloatCase {
    const char* pattern;
    double value;
    const char* expected;
};

void PrintTo(const FloatCase& c, std::ostream* os)
{
    *os << c.pattern << " " << c.value;
}

class FormatFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FormatFloatTest, FormatsAsTheRunTimeLibraryDoes)
{
    ScopedFormatSettings settings(USFormatSettings());
    const auto& c = GetParam();
    EXPECT_EQ(Format(c.pattern, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFloatTest,
    ::testing::Values(FloatCase{"%f", 1.0, "1.00"}, FloatCase{"%.0f", 2.5, "2"},
                      FloatCase{"%.1f", 0.25, "0.2"}, FloatCase{"%.2f", -0.001, "0.00"},
                      FloatCase{"%.3f", -1.5, "-1.500"}, FloatCase{"%8.2f", 3.14159, "    3.14"},
                      FloatCase{"%n", 1234567.891, "1,234,567.89"}, FloatCase{"%.0n", -1234.0, "-1,234"},
                      FloatCase{"%e", 1234.5, "1.23450000000000E+003"},
                      FloatCase{"%.3e", -0.00012345, "-1.23E-004"}, FloatCase{"%.2e", 0.0, "0.0E+000"},
                      FloatCase{"%g", 0.1, "0.1"}, FloatCase{"%g", 1e20, "1E20"},
                      FloatCase{"%g", 1.5e-7, "1.5E-7"}, FloatCase{"%g", 123456.0, "123456"},
                      FloatCase{"%g", 0.00001, "0.00001"}, FloatCase{"%.3g", 1234.0, "1.23E3"},
                      FloatCase{"%g", -2.5, "-2.5"},
                      FloatCase{"%f", std::numeric_limits<double>::quiet_NaN(), "NAN"},
                      FloatCase{"%f", -std::numeric_limits<double>::infinity(), "-INF"}),
    [](const auto& row) {
        std::ostringstream value;
        value << row.param.value;
        return test::Spelled(row.param.pattern) + "_" + test::Spelled(value.str());
    });

TEST(FormatTest, FloatsUseTheDecimalSeparatorOfTheSettings)
{
    TFormatSettings settings;
    settings.DecimalSeparator = ',';
    settings.ThousandSeparator = '.';
    ScopedFormatSettings scoped(settings);
    EXPECT_EQ(Format("%.2f", 1.5), "1,50");
    EXPECT_EQ(Format("%n", 1234.5), "1.234,50");
}

TEST(FormatTest, PointersAreFullWidthHex)
{
    const void* p = reinterpret_cast<const void*>(std::uintptr_t{0xABC});
    EXPECT_EQ(Format("%p", p), std::string(sizeof(void*) * 2 - 3, '0') + "ABC");
}

TEST(FormatTest, MismatchesRaiseConversionErrorsAndNeverReadPastTheArguments)
{
    struct Bad {
        const char* pattern;
        const char* message;
    };
    const Bad cases[] = {
        {"%d", "Format '%d' invalid or incompatible with argument"},
        {"%f", "Format '%f' invalid or incompatible with argument"},
        {"%q", "Format '%q' invalid or incompatible with argument"},
        {"abc%", "Format 'abc%' invalid or incompatible with argument"},
        {"%5", "Format '%5' invalid or incompatible with argument"},
        {"%99999d", "Format '%99999d' invalid or incompatible with argument"},
    };
    for (const auto& c : cases) {
        try {
            (void)Format(c.pattern, "text");
            ADD_FAILURE() << c.pattern << " did not raise";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    try {
        (void)Format("%s %s", "only one");
        ADD_FAILURE() << "missing argument did not raise";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "No argument for format '%s %s'");
    }
    EXPECT_THROW((void)Format("%s", 5), EConvertError);
    EXPECT_THROW((void)Format("%d", 1.5), EConvertError);
    EXPECT_THROW((void)Format("%*d", "x", 1), EConvertError);
    EXPECT_THROW((void)Format("%*d", -1, 1), EConvertError);
    EXPECT_THROW((void)Format("%5:s", "a"), EConvertError);
    EXPECT_THROW((void)Format("%p", 5), EConvertError);
}

TEST(FormatTest, ExceptionsCarryTheirMessage)
{
    const Exception& error = CreateFmt<EConvertError>("'%s' is not a valid date", "x");
    EXPECT_EQ(error.Message(), "'x' is not a valid date");
    EXPECT_STREQ(error.what(), "'x' is not a valid date");
    EXPECT_EQ(EAbstractError().Message(), "Abstract Error");
}

} // namespace
} // namespace carlume
