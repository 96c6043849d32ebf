#include "foundation/string_helpers.h"

#include "platform/exceptions.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace carlume {
namespace {

using namespace std::string_literals;

// --- numbers ----------------------------------------------------------------------------------------------

struct NumericCase {
    const char* s;
    bool numeric;
};

void PrintTo(const NumericCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.s));
}

class IsNumericTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(IsNumericTest, WholeTextMustBeA32BitInteger)
{
    EXPECT_EQ(IsNumeric(GetParam().s), GetParam().numeric) << '"' << GetParam().s << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsNumericTest,
    ::testing::Values(NumericCase{"12", true}, NumericCase{" 12", true}, NumericCase{"12 ", false},
                      NumericCase{"+7", true}, NumericCase{"-2147483648", true},
                      NumericCase{"2147483647", true}, NumericCase{"2147483648", false},
                      NumericCase{"-2147483649", false}, NumericCase{"$1F", true}, NumericCase{"x1f", true},
                      NumericCase{"X1F", true}, NumericCase{"0X1F", true}, NumericCase{"0x1f", true},
                      NumericCase{"-$10", true}, NumericCase{"$", false}, NumericCase{"0x", false},
                      NumericCase{"-", false}, NumericCase{"+", false}, NumericCase{"", false},
                      NumericCase{"  ", false}, NumericCase{"1a", false}, NumericCase{"\t1", false},
                      NumericCase{"1.0", false}, NumericCase{"$G", false}),
    [](const auto& row) { return "Text" + test::Spelled(row.param.s); });

TEST(StrToIntOrZeroTest, TrimsAndGivesZeroForNothing)
{
    EXPECT_EQ(StrToIntOrZero(" 42 "), 42);
    EXPECT_EQ(StrToIntOrZero("\t-7\r\n"), -7);
    EXPECT_EQ(StrToIntOrZero("   "), 0);
    EXPECT_EQ(StrToIntOrZero(""), 0);
    EXPECT_EQ(StrToIntOrZero("$ff"), 255);
}

TEST(StrToIntOrZeroTest, RaisesForTextThatIsNoIntegerNamingTheTrimmedText)
{
    for (const char* text : {"1a", " 1a ", "12 34", "99999999999"}) {
        try {
            (void)StrToIntOrZero(text);
            ADD_FAILURE() << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + Trim(text) + "' is not a valid integer value");
        }
    }
}

struct RoundCase {
    double x;
    std::int64_t rounded;
};

class RoundHalfUpTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfUpTest, HalvesGoAwayFromZero)
{
    EXPECT_EQ(RoundHalfUp(GetParam().x), GetParam().rounded) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(Table, RoundHalfUpTest,
                         ::testing::Values(RoundCase{0.5, 1}, RoundCase{1.5, 2}, RoundCase{2.5, 3},
                                           RoundCase{-2.5, -3}, RoundCase{-1.5, -2}, RoundCase{-0.5, -1},
                                           RoundCase{1.49995, 2}, RoundCase{0.4998, 0}, RoundCase{0.0, 0},
                                           RoundCase{-0.0, 0}, RoundCase{3.7, 4}, RoundCase{-3.2, -3},
                                           RoundCase{612.0 * 0.3, 184}),
                         [](const auto& row) {
                             std::ostringstream x;
                             x << row.param.x;
                             return "Of" + test::Spelled(x.str());
                         });

TEST(RoundHalfUpTest, RefusesValuesWithoutAnInteger)
{
    for (const double x : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 9.3e18, -9.3e18}) {
        try {
            (void)RoundHalfUp(x);
            ADD_FAILURE() << x;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid floating point operation");
        }
    }
    EXPECT_EQ(RoundHalfUp(-9.2e18), std::int64_t(-9.2e18));
}

// --- object lists -----------------------------------------------------------------------------------------

class Counted : public TObject {
public:
    Counted(std::vector<int>& freed, int id)
        : freed_(freed)
        , id_(id)
    {
    }
    ~Counted() override { freed_.push_back(id_); }

private:
    std::vector<int>& freed_;
    int id_;
};

TEST(ObjectListTest, ClearFreesEveryItemAndEmptiesTheList)
{
    std::vector<int> freed;
    std::vector<TObject*> list{new Counted(freed, 1), nullptr, new Counted(freed, 2)};
    ClearObjectList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(freed, (std::vector<int>{1, 2}));
}

TEST(ObjectListTest, FreeReleasesTheListTooAndAcceptsNone)
{
    std::vector<int> freed;
    auto list = std::make_unique<std::vector<TObject*>>();
    list->push_back(new Counted(freed, 7));
    FreeObjectList(list);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(freed, (std::vector<int>{7}));
    FreeObjectList(list);
    EXPECT_EQ(freed.size(), 1u);
}

TEST(ObjectListTest, FreeStringsObjectsFreesFromTheLastLineAndClears)
{
    std::vector<int> freed;
    TStringList list;
    list.AddObject("a", new Counted(freed, 1));
    list.Add("no object");
    list.AddObject("c", new Counted(freed, 3));
    FreeStringsObjects(list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(freed, (std::vector<int>{3, 1}));
    // An owning list's objects are freed once too.
    TStringList owning(true);
    owning.AddObject("a", new Counted(freed, 4));
    FreeStringsObjects(owning);
    EXPECT_EQ(freed, (std::vector<int>{3, 1, 4}));
}

// --- characters and delimiters ----------------------------------------------------------------------------

TEST(DelimiterTest, BackslashRoutinesActOnTheSlash)
{
    std::string drive = "/mnt/data";
    AddBackslash(drive);
    EXPECT_EQ(drive, "/mnt/data/");
    AddBackslash(drive);
    EXPECT_EQ(drive, "/mnt/data/");
    std::string empty;
    AddBackslash(empty);
    EXPECT_EQ(empty, "");
    std::string windows = "c:\\x\\";
    AddBackslash(windows);
    EXPECT_EQ(windows, "c:\\x\\/");

    EXPECT_TRUE(EndsWithBackslash("a/"));
    EXPECT_FALSE(EndsWithBackslash("a\\"));
    EXPECT_FALSE(EndsWithBackslash(""));
    EXPECT_TRUE(EndsWithPathDelim("/"));
}

TEST(DelimiterTest, CharacterRoutines)
{
    EXPECT_TRUE(EndsWithChar("ab", 'b'));
    EXPECT_FALSE(EndsWithChar("ab", 'a'));
    EXPECT_FALSE(EndsWithChar("", 'a'));
    EXPECT_EQ(AppendCharIfMissing("ab", 'c'), "abc");
    EXPECT_EQ(AppendCharIfMissing("abc", 'c'), "abc");
    EXPECT_EQ(AppendCharIfMissing("", '/'), "/");
}

TEST(StripCharsTest, RemovesEveryCharacterOfTheSet)
{
    EXPECT_EQ(StripChars("(555) 010-0199", "()- "), "5550100199");
    EXPECT_EQ(StripChars("abc", ""), "abc");
    EXPECT_EQ(StripChars("", "abc"), "");
    EXPECT_EQ(StripChars("aaa", "a"), "");
    EXPECT_EQ(StripChars("a\0b"s, "\0"s), "ab");
}

struct ReplaceCase {
    const char* s;
    const char* oldText;
    const char* newText;
    const char* result;
};

void PrintTo(const ReplaceCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.s));
}

class ReplaceAllTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTest, LeftToRightWithoutRescanning)
{
    const auto& c = GetParam();
    EXPECT_EQ(ReplaceAll(c.newText, c.oldText, c.s), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplaceAllTest,
    ::testing::Values(ReplaceCase{"a & b && c", "&", "&&", "a && b &&&& c"},
                      ReplaceCase{"aaa", "aa", "b", "ba"}, ReplaceCase{"abc", "", "x", "abc"},
                      ReplaceCase{"abc", "d", "x", "abc"}, ReplaceCase{"abcabc", "abc", "", ""},
                      ReplaceCase{"", "a", "b", ""}, ReplaceCase{"xax", "a", "aa", "xaax"}),
    [](const auto& row) {
        return test::Spelled(row.param.s) + "_" + test::Spelled(row.param.oldText) + "_" +
               test::Spelled(row.param.newText);
    });

TEST(YYYYMMDDToDisplayTest, RearrangesTheFirstEightCharacters)
{
    EXPECT_EQ(YYYYMMDDToDisplay("20240131"), "01/31/2024");
    EXPECT_EQ(YYYYMMDDToDisplay("20240131123000"), "01/31/2024");
    EXPECT_EQ(YYYYMMDDToDisplay("2024013"), "");
    EXPECT_EQ(YYYYMMDDToDisplay(""), "");
    EXPECT_EQ(YYYYMMDDToDisplay("abcdefgh"), "ef/gh/abcd");
}

// --- text around a delimiter ------------------------------------------------------------------------------

struct AroundCase {
    const char* s;
    const char* delimiter;
    const char* beforeOrWhole;
    const char* beforeOrEmpty;
    const char* afterOrWhole;
    const char* afterOrEmpty;
};

void PrintTo(const AroundCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.s));
}

class TextAroundTest : public ::testing::TestWithParam<AroundCase> {};

TEST_P(TextAroundTest, FirstOccurrenceWholeOrEmptyWhenMissing)
{
    const auto& c = GetParam();
    EXPECT_EQ(TextBeforeOrWhole(c.s, c.delimiter), c.beforeOrWhole);
    EXPECT_EQ(TextBeforeOrEmpty(c.s, c.delimiter), c.beforeOrEmpty);
    EXPECT_EQ(TextAfterOrWhole(c.s, c.delimiter), c.afterOrWhole);
    EXPECT_EQ(TextAfterOrEmpty(c.s, c.delimiter), c.afterOrEmpty);
    EXPECT_EQ(TextBefore(c.s, c.delimiter, false), c.beforeOrWhole);
    EXPECT_EQ(TextAfter(c.s, c.delimiter, true), c.afterOrEmpty);
}

INSTANTIATE_TEST_SUITE_P(Table, TextAroundTest,
                         ::testing::Values(AroundCase{"abc", "=", "abc", "", "abc", ""},
                                           AroundCase{"a=b=c", "=", "a", "a", "b=c", "b=c"},
                                           AroundCase{"key=", "=", "key", "key", "", ""},
                                           AroundCase{"=value", "=", "", "", "value", "value"},
                                           AroundCase{"a::b::c", "::", "a", "a", "b::c", "b::c"},
                                           AroundCase{"a:b", "::", "a:b", "", "a:b", ""},
                                           // An empty delimiter never occurs.
                                           AroundCase{"abc", "", "abc", "", "abc", ""},
                                           AroundCase{"", "=", "", "", "", ""}),
                         [](const auto& row) {
                             return test::Spelled(row.param.s) + "_" + test::Spelled(row.param.delimiter);
                         });

// --- fitting text -----------------------------------------------------------------------------------------

// Ten pixels per character, counting UTF-8 characters.
int TenPerCharacter(const std::string& text)
{
    int characters = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++characters;
    return characters * 10;
}

struct FitCase {
    const char* s;
    int maxWidth;
    const char* result;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.s));
}

class FitTextToWidthTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTextToWidthTest, ShortensWithDotsOrGivesNothing)
{
    const auto& c = GetParam();
    EXPECT_EQ(FitTextToWidth(TenPerCharacter, c.s, c.maxWidth), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FitTextToWidthTest,
    ::testing::Values(FitCase{"abcdef", 60, "abcdef"}, FitCase{"abcdef", 59, "ab..."},
                      FitCase{"abcdef", 50, "ab..."}, FitCase{"abcdef", 49, "a..."},
                      FitCase{"abcdef", 40, "a..."}, FitCase{"abcdef", 35, ""}, FitCase{"abcdef", 0, ""},
                      FitCase{"a", 9, ""}, FitCase{"", 0, ""}, FitCase{"", -1, ""},
                      // Each of these has a multi-byte character at the cut.
                      FitCase{"a\xC3\xA9\xC3\xA9zzz", 50, "a\xC3\xA9..."},
                      FitCase{"\xF0\x9F\x98\x80\xF0\x9F\x98\x80xyz", 40, "\xF0\x9F\x98\x80..."},
                      FitCase{"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", 30,
                              "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"}),
    [](const auto& row) {
        return test::Spelled(row.param.s) + "_" + test::Spelled(std::to_string(row.param.maxWidth));
    });

TEST(FitTextToWidthTest, NeverCutsInsideACharacterAndEachStepDropsOneMore)
{
    // A width function that fails the test when it is shown a broken UTF-8 text.
    std::vector<std::string> measured;
    const auto width = [&measured](const std::string& text) {
        measured.push_back(text);
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            EXPECT_LE(i + length, text.size()) << "cut inside a character: " << text;
            for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
                EXPECT_EQ(static_cast<unsigned char>(text[i + k]) & 0xC0, 0x80) << text;
            i += length;
        }
        return TenPerCharacter(text);
    };
    EXPECT_EQ(FitTextToWidth(width, "\xC3\xA4\xF0\x9F\x98\x80\xE2\x82\xAC", 25), "");
    EXPECT_EQ(measured, (std::vector<std::string>{"\xC3\xA4\xF0\x9F\x98\x80\xE2\x82\xAC",
                                                  "\xC3\xA4\xF0\x9F\x98\x80...", "\xC3\xA4..."}));
}

TEST(FitTextToWidthTest, StrayContinuationBytesStayWithTheCharacterBeforeThem)
{
    const auto tenPerByte = [](const std::string& text) { return int(text.size()) * 10; };
    EXPECT_EQ(FitTextToWidth(tenPerByte,
                             "a\x80\x80"
                             "bcdef",
                             60),
              "a\x80\x80...");
    EXPECT_EQ(FitTextToWidth(tenPerByte,
                             "\x80"
                             "bcdef",
                             40),
              "\x80...");
}

} // namespace
} // namespace carlume
