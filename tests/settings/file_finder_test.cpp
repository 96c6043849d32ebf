#include "settings/file_finder.h"

#include "platform/string_list.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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

TEST(FileFinder, FindsByEndingBelowTheFolderWithoutFollowingLinks)
{
    test::ScratchFolder root;
    for (const char* name :
         {"a.ver", "sub/B.VER", "sub/deep/c.Ver", "Server", "x.txt", "v", "locked/hidden.ver"}) {
        fs::create_directories(fs::path(root / name).parent_path());
        std::ofstream(root / name) << "x";
    }
    fs::create_directory_symlink("..", root / "sub/loop");
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

} // namespace
} // namespace carlume
