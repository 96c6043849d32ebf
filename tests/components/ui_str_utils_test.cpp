// The string routines, the folder test and the integer helpers the interface components share.

#include "components/file_util.h"
#include "components/ui_math.h"
#include "components/ui_str_utils.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace carlume::test {
namespace {

TEST(UiStrUtils, ReplaceAllOfGoesLeftToRightWithoutSearchingAReplacementAgain)
{
    const struct {
        const char *text, *search, *replacement, *expected;
    } rows[] = {{"aaa", "aa", "b", "ba"},
                {"a.b.c", ".", "", "abc"},
                {"a.b", "", "x", "a.b"},
                {"ab", "a", "aa", "aab"},
                {".a.", ".", "--", "--a--"}};
    for (const auto& row : rows)
        EXPECT_EQ(ReplaceAllOf(row.text, row.search, row.replacement), row.expected)
            << row.text << " / " << row.search;
}

TEST(UiStrUtils, OnlyCharsStopsAtTheFirstOutsiderAndRepeatCharIsEmptyBelowOne)
{
    for (const char* text : {"", "  "})
        EXPECT_TRUE(StrHasOnlyChars(text, " ")) << '"' << text << '"';
    for (const char* text : {" 1", "1 "})
        EXPECT_FALSE(StrHasOnlyChars(text, " ")) << '"' << text << '"';
    EXPECT_EQ(RepeatChar('0', 3), "000");
    EXPECT_EQ(RepeatChar('0', 0), "");
    EXPECT_EQ(RepeatChar('0', -5), "");
}

static_assert(Max(4, 4) == 4 && Min(4, 4) == 4 && Max(-3, 2) == 2 && Min(-3, 2) == -3);

TEST(FileUtil, DirExistsOnlyForFolders)
{
    ScratchFolder scratch;
    std::ofstream(scratch / "file.txt") << "x";
    EXPECT_TRUE(DirExists(scratch.Path() + "/"));
    EXPECT_FALSE(DirExists(scratch / "file.txt"));
    EXPECT_FALSE(DirExists(scratch / "missing"));
}

} // namespace
} // namespace carlume::test
