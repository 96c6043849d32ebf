#include "settings/version_files.h"

#include "platform/exceptions.h"
#include "platform/ini_document.h"
#include "tests/support/memory_limit.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace carlume::test {
namespace {

struct PaddingCase {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> files; // name, description
    std::vector<std::string> expected;
};

class VersionLinePaddingTest : public ::testing::TestWithParam<PaddingCase> {};

TEST_P(VersionLinePaddingTest, DescriptionsArePaddedByCellsToTheLongest)
{
    test::ScratchFolder folder;
    for (const auto& [name, description] : GetParam().files)
        test::WriteAll(folder / name,
                       "[General]\r\nBuildDate=20240115\r\nDescription=" + description + "\r\n");
    EXPECT_EQ(BuildVersionDetails(folder.Path() + "/").VersionLines, GetParam().expected);
}

const std::string kLong(100, 'x');
// A description of more characters than the text shows, each of two bytes.
std::string Repeated(const std::string& character, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += character;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, VersionLinePaddingTest,
    ::testing::Values(
        PaddingCase{"Accented",
                    {{"a.ver", "Café tables"}, {"b.ver", "Rate tables"}},
                    {" Café tables (a.ver)  : 01/15/2024", " Rate tables (b.ver)  : 01/15/2024"}},
        // A wide character takes two cells of the fixed-width font, a combining mark one as any other.
        PaddingCase{"Japanese",
                    {{"c.ver", "車両データ"}, {"d.ver", "Engine"}, {"e.ver", "Cafe\u0301"}},
                    {" 車両データ (c.ver)  : 01/15/2024", " Engine (d.ver)      : 01/15/2024",
                     " Cafe\u0301 (e.ver)       : 01/15/2024"}},
        PaddingCase{"OneLong",
                    {{"a.ver", kLong}, {"b.ver", "Short"}},
                    {" " + kLong + " (a.ver)  : 01/15/2024",
                     " Short (b.ver) " + std::string(100 - 5, ' ') + " : 01/15/2024"}},
        PaddingCase{"ThreeLongOneShort",
                    {{"a.ver", std::string(45, 'a')},
                     {"b.ver", std::string(52, 'b')},
                     {"c.ver", std::string(60, 'c')},
                     {"d.ver", "Short"}},
                    {" " + std::string(45, 'a') + " (a.ver) " + std::string(15, ' ') + " : 01/15/2024",
                     " " + std::string(52, 'b') + " (b.ver) " + std::string(8, ' ') + " : 01/15/2024",
                     " " + std::string(60, 'c') + " (c.ver)  : 01/15/2024",
                     " Short (d.ver) " + std::string(60 - 5, ' ') + " : 01/15/2024"}},
        PaddingCase{"LongerThanIsShownPadsTheOthers",
                    {{"a.ver", std::string(kMaxShownDescription + 500, 'x')}, {"b.ver", "Short"}},
                    {" " + std::string(kMaxShownDescription, 'x') + "... (a.ver)  : 01/15/2024",
                     " Short (b.ver) " + std::string(kMaxShownDescription + 3 - 5, ' ') + " : 01/15/2024"}},
        PaddingCase{"LongerThanIsShown",
                    {{"a.ver", Repeated("é", kMaxShownDescription + 1)}},
                    {" " + Repeated("é", kMaxShownDescription) + "... (a.ver)  : 01/15/2024"}},
        PaddingCase{"JustAsLongAsIsShown",
                    {{"a.ver", Repeated("é", kMaxShownDescription)}},
                    {" " + Repeated("é", kMaxShownDescription) + " (a.ver)  : 01/15/2024"}}),
    ByName);

TEST(CleanupLine, IsPaddedByCells)
{
    EXPECT_EQ(CleanupLine("café.ver", 10, "01/15/2024"), " café.ver  - 01/15/2024");
    EXPECT_EQ(CleanupLine("車両.ver", 10, "01/15/2024"), " 車両.ver  - 01/15/2024");
}

// A long description read with room for half as much again as the file: only what the details text shows
// is copied out of it. With room for less than the file, the error names the file.
TEST(ReadVersionFile, CopiesOutOnlyWhatIsShown)
{
    test::ScratchFolder folder;
    const std::string path = folder / "long.ver";
    const std::string description = Repeated("é", 200000);
    test::WriteAll(path, "[General]\r\nBuildDate=20240115\r\nDescription=" + description + "\r\n");
    struct Row {
        const char* name;
        std::size_t room;
        bool read;
    };
    for (const Row& row : {Row{"room for the file and half again", description.size() * 3 / 2, true},
                           Row{"room for half the file", description.size() / 2, false}}) {
        SCOPED_TRACE(row.name);
        std::string buildDate, shown;
        try {
            const ScopedMemoryLimit limit(row.room);
            EXPECT_TRUE(ReadVersionFile(path, buildDate, shown));
        } catch (const EFOpenError& e) {
            EXPECT_FALSE(row.read);
            EXPECT_EQ(e.Message(), "Cannot open file \"" + path + "\". " + std::string(STooLargeForMemory));
            continue;
        }
        EXPECT_TRUE(row.read);
        EXPECT_EQ(buildDate, "01/15/2024");
        EXPECT_EQ(shown, Repeated("é", kMaxShownDescription + 1));
    }
}

// A P5_USER.ver too large to read gives no installation ID, and its line among the version files says why;
// with the memory limited far below its size, it was never read.
TEST(BuildVersionDetails, AnInstallationIDFileTooLargeToReadIsNamedUnread)
{
    test::ScratchFolder folder;
    test::WriteAll(folder / "a.ver", "[General]\r\nBuildDate=20240115\r\nDescription=Alpha\r\n");
    test::WriteAll(folder / "P5_USER.ver", "");
    ASSERT_EQ(::truncate((folder / "P5_USER.ver").c_str(), off_t(kIniFileSizeLimit)), 0);
    std::vector<std::string> lines, versionLines;
    {
        const ScopedMemoryLimit limit(1 << 20);
        TVersionDetails details = BuildVersionDetails(folder.Path() + "/");
        lines = std::move(details.Lines);
        versionLines = std::move(details.VersionLines);
    }
    EXPECT_EQ(versionLines, (std::vector<std::string>{
                                " Alpha (a.ver)  : 01/15/2024",
                                " P5_USER.ver could not be read: " + std::string(STooLargeToRead),
                            }));
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& line) { return line.find("Installation ID") != line.npos; }),
        0);
}

} // namespace
} // namespace carlume::test
