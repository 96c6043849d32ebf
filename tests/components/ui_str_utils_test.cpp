// The string routines, the folder test and the integer helpers the interface components share.

#include "components/file_util.h"
#include "components/ui_math.h"
#include "components/ui_str_utils.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace carlume::test {
namespace {

struct TReplaceCase {
    std::string Name;
    std::string Text, Search, Replacement, Expected;
};

class ReplaceAllOfTest : public ::testing::TestWithParam<TReplaceCase> {};

TEST_P(ReplaceAllOfTest, ReplacesLeftToRightWithoutSearchingAReplacementAgain)
{
    const TReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceAllOf(c.Text, c.Search, c.Replacement), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(UiStrUtils, ReplaceAllOfTest,
                         ::testing::Values(TReplaceCase{"overlapping", "aaa", "aa", "b", "ba"},
                                           TReplaceCase{"empty_replacement", "a.b.c", ".", "", "abc"},
                                           TReplaceCase{"empty_search", "a.b", "", "x", "a.b"},
                                           TReplaceCase{"replacement_holds_search", "ab", "a", "aa", "aab"},
                                           TReplaceCase{"at_both_ends", ".a.", ".", "--", "--a--"}),
                         [](const auto& row) { return row.param.Name; });

TEST(UiStrUtils, StrHasOnlyCharsStopsAtTheFirstOutsider)
{
    const struct {
        const char* text;
        bool expected;
    } rows[] = {{"", true}, {"  ", true}, {" 1", false}, {"1 ", false}};
    for (const auto& row : rows)
        EXPECT_EQ(StrHasOnlyChars(row.text, " "), row.expected) << '"' << row.text << '"';
}

TEST(UiStrUtils, RepeatCharIsEmptyBelowOne)
{
    EXPECT_EQ(RepeatChar('0', 3), "000");
    EXPECT_EQ(RepeatChar('0', 0), "");
    EXPECT_EQ(RepeatChar('0', -5), "");
}

TEST(UiDrawUtils, MaxAndMinOfEqualValuesGiveThatValue)
{
    static_assert(Max(4, 4) == 4 && Min(4, 4) == 4);
    static_assert(Max(-3, 2) == 2 && Min(-3, 2) == -3);
}

TEST(FileUtil, DirExistsOnlyForFolders)
{
    ScratchFolder scratch;
    const std::string folder = scratch.Path();
    const std::string file = scratch / "file.txt";
    std::ofstream(file) << "x";
    EXPECT_TRUE(DirExists(folder));
    EXPECT_TRUE(DirExists(folder + "/"));
    EXPECT_FALSE(DirExists(file));
    EXPECT_FALSE(DirExists(folder + "/missing"));
    EXPECT_FALSE(DirExists(""));
}

} // namespace
} // namespace carlume::test
