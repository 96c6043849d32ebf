#include "settings/xml_utils.h"

#include <gtest/gtest.h>

#include <string>

namespace carlume::test {
namespace {

struct PathCase {
    const char* path;
    const char* withSlash;
    const char* firstSegment;
    const char* remaining;
    const char* splitFirst;
    const char* splitRest;
};

TEST(SlashPaths, SplitIntoSegments)
{
    const PathCase cases[] = {
        {"", "/", "", "", "", ""},
        {"abc", "abc/", "", "abc", "abc", ""},
        {"/a/b", "/a/b/", "a", "b", "a", "b/"},
        {"A/B/C", "A/B/C/", "A", "B/C", "A", "B/C/"},
        {"/A", "/A/", "", "A", "A", ""},
        {"A//B", "A//B/", "A", "/B", "A", "/B/"},
        {"/B/", "/B/", "B", "", "B", ""},
        {"TSCSettings/", "TSCSettings/", "TSCSettings", "", "TSCSettings", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("path \"") + c.path + "\"");
        EXPECT_EQ(IncludeTrailingSlash(c.path), c.withSlash);
        EXPECT_EQ(FirstPathSegment(c.path), c.firstSegment);
        EXPECT_EQ(RemainingPath(c.path), c.remaining);
        std::string first = "stale", rest = "stale";
        SplitPath(c.path, first, rest);
        EXPECT_EQ(first, c.splitFirst);
        EXPECT_EQ(rest, c.splitRest);
    }
}

} // namespace
} // namespace carlume::test
