#include "settings/file_finder.h"

#include "platform/string_list.h"
#include "tests/support/file_rights.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <utility>
#include <vector>

namespace carlume {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const TStringList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list[i]);
    return lines;
}

TEST(FileFinder, FindsByEndingBelowTheFolder)
{
    test::ScratchFolder root;
    for (const char* name :
         {"a.ver", "sub/B.VER", "sub/deep/c.Ver", "Server", "x.txt", "v", "locked/hidden.ver"}) {
        fs::create_directories(fs::path(root / name).parent_path());
        std::ofstream(root / name) << "x";
    }
    fs::create_directory(root / "folder.ver");
    ::chmod((root / "locked").c_str(), 0);
    const bool runsAsRoot = ::geteuid() == 0; // root reads the locked folder anyway

    struct Case {
        std::string folder, ending;
        std::vector<std::string> expected;
    };
    std::vector<std::string> withLocked = {"a.ver", "locked/hidden.ver", "Server", "sub/B.VER",
                                           "sub/deep/c.Ver"};
    if (!runsAsRoot)
        withLocked.erase(withLocked.begin() + 1);
    std::vector<std::string> dotted = withLocked;
    dotted.erase(std::find(dotted.begin(), dotted.end(), "Server"));
    const Case cases[] = {
        {root.Path(), "ver", withLocked},   {root.Path() + "/", "VER", withLocked},
        {root.Path(), ".ver", dotted},      {root.Path(), "a-much-longer-ending-than-any-name", {}},
        {root / "sub/deep", "", {"c.Ver"}},
    };
    TStringList list;
    list.Add("left over");
    for (const auto& c : cases) {
        EXPECT_EQ(FindFilesByExt(c.folder, c.ending, list), !c.expected.empty())
            << c.folder << " " << c.ending;
        EXPECT_EQ(Lines(list), c.expected) << c.folder << " " << c.ending;
    }
    ::chmod((root / "locked").c_str(), 0700);

    TStringList full;
    full.Add("kept");
    EXPECT_TRUE(SearchFilesByExt(root / "sub", "ver", full));
    EXPECT_EQ(Lines(full), (std::vector<std::string>{"kept", root / "sub/B.VER", root / "sub/deep/c.Ver"}));
}

// Below a scratch root: app/a.ver (the folder searched), other/b.ver, other/deep/c.ver and private/p.ver,
// the row's files and its links (path below the root, target as the link holds it). With `workInOther` the
// search runs with `other` as the working folder, so /proc leads to its files.
struct LinkCase {
    const char* Name;
    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::string>> links;
    std::vector<std::string> expected;
    bool privateUnreadable = false;
    bool workInOther = false;
};

void PrintTo(const LinkCase& c, std::ostream* os)
{
    *os << c.Name;
}

class FileFinderLinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(FileFinderLinks, EachRealFolderIsSearchedOnce)
{
    test::ScratchFolder root;
    std::vector<std::string> files{"app/a.ver", "other/b.ver", "other/deep/c.ver", "private/p.ver"};
    files.insert(files.end(), GetParam().files.begin(), GetParam().files.end());
    for (const std::string& name : files) {
        fs::create_directories(fs::path(root / name).parent_path());
        std::ofstream(root / name) << "x";
    }
    for (const auto& [link, target] : GetParam().links) {
        if (target.starts_with("/") && !fs::exists(target))
            GTEST_SKIP() << "no " << target << " here";
        fs::create_directories(fs::path(root / link).parent_path());
        fs::create_symlink(target, root / link);
    }
    const auto found = [&] {
        const fs::path before = fs::current_path();
        if (GetParam().workInOther)
            fs::current_path(root / "other");
        TStringList list;
        FindFilesByExt(root / "app", "ver", list);
        fs::current_path(before);
        return Lines(list);
    };
    if (!GetParam().privateUnreadable) {
        EXPECT_EQ(found(), GetParam().expected);
        return;
    }
    std::string expected;
    for (const auto& line : GetParam().expected)
        expected += line + "\n";
    // The super-user reads every folder: the search runs without that right.
    EXPECT_EXIT(
        {
            if (!test::DropTheSuperUsersFileRights())
                std::_Exit(2);
            ::chmod((root / "private").c_str(), 0);
            std::string lines;
            for (const auto& line : found())
                lines += line + "\n";
            std::fputs(lines.c_str(), stderr);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), ::testing::Eq(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileFinderLinks,
    ::testing::Values(
        LinkCase{"IntoASiblingTree",
                 {},
                 {{"app/shared", "../other"}},
                 {"a.ver", "shared/b.ver", "shared/deep/c.ver"}},
        LinkCase{"TwoLinksToOneFolder",
                 {},
                 {{"app/l1", "../other"}, {"app/l2", "../other"}},
                 {"a.ver", "l1/b.ver", "l1/deep/c.ver"}},
        LinkCase{
            "ToAFolderAlsoInTheTree", {"app/zone/d.ver"}, {{"app/alias", "zone"}}, {"a.ver", "alias/d.ver"}},
        LinkCase{
            "Loop", {"app/sub/x.ver"}, {{"app/sub/up", ".."}, {"app/self", "."}}, {"a.ver", "sub/x.ver"}},
        LinkCase{"TargetGone", {}, {{"app/gone.ver", "../missing"}, {"app/gone", "../missing"}}, {"a.ver"}},
        LinkCase{"ToAFile", {}, {{"app/link.ver", "../other/b.ver"}}, {"a.ver", "link.ver"}},
        LinkCase{"ToTheFileSystemRoot", {}, {{"app/rootlink", "/"}}, {"a.ver"}},
        LinkCase{"ToTheProcessRoot", {}, {{"app/proclink", "/proc/self/root"}}, {"a.ver"}},
        LinkCase{"ToTheFolderItself", {}, {{"app/me", "../app"}}, {"a.ver"}},
        LinkCase{"ToFoldersHoldingItButNotToAnother",
                 {},
                 {{"app/up", ".."}, {"app/upup", "../.."}, {"app/m", "../other/deep"}},
                 {"a.ver", "m/c.ver"}},
        LinkCase{"ToAnUnreadableFolder",
                 {},
                 {{"app/locked", "../private"}, {"app/m", "../other"}},
                 {"a.ver", "m/b.ver", "m/deep/c.ver"},
                 true},
        LinkCase{"ToProc", {}, {{"app/proc", "/proc"}}, {"a.ver"}, false, true},
        LinkCase{"ToTheProcessFolderInProc", {}, {{"app/me", "/proc/self"}}, {"a.ver"}, false, true},
        LinkCase{"ToSys", {}, {{"app/sys", "/sys"}}, {"a.ver"}},
        LinkCase{"ThroughProcToAnOrdinaryFolder",
                 {},
                 {{"app/here", "/proc/self/cwd"}},
                 {"a.ver", "here/b.ver", "here/deep/c.ver"},
                 false,
                 true}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(FileFinder, APseudoFileSystemIsSearchedOnlyWhereTheSearchStarts)
{
    if (!fs::exists("/proc/self/task"))
        GTEST_SKIP() << "no /proc here";
    // Each thread's folder below task/ holds an "environ" too.
    TStringList list;
    EXPECT_TRUE(FindFilesByExt("/proc/self", "environ", list));
    EXPECT_EQ(Lines(list), std::vector<std::string>{"environ"});
}

} // namespace
} // namespace carlume
