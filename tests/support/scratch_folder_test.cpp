// A scratch folder goes whatever its test did to it: every test in the suite relies on it to leave nothing
// in the temporary folder.

#include "tests/support/file_rights.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;

TEST(ScratchFolderTest, GoesWithWhatItsTestLockedButChangesNothingOutside)
{
    ScratchFolder outer;
    const std::string kept = outer / "kept";
    fs::create_directory(kept);
    ::chmod(kept.c_str(), 0555);
    EXPECT_EXIT(
        {
            if (!DropTheSuperUsersFileRights())
                std::_Exit(2);
            ScopedEnv tmp("TMPDIR", outer.Path().c_str());
            {
                ScratchFolder scratch;
                for (const char* folder : {"locked/deeper", "readonly", "passable/only"})
                    fs::create_directories(scratch / folder);
                WriteAll(scratch / "locked/deeper/a.ver", "x");
                WriteAll(scratch / "readonly/b.ver", "x");
                fs::create_directory_symlink(kept, scratch / "locked/outside");
                for (const auto& [folder, mode] : {std::pair{"locked/deeper", 0}, std::pair{"locked", 0},
                                                   std::pair{"readonly", 0500}, std::pair{"passable", 0100}})
                    ::chmod((scratch / folder).c_str(), mode);
            }
            struct stat info {};
            const bool keptAsItWas = ::stat(kept.c_str(), &info) == 0 && (info.st_mode & 07777) == 0555;
            std::_Exit(outer.Entries() == std::vector<std::string>{"kept"} && keptAsItWas ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ScratchFolderTest, GoesWhenTheProcessExitsBeforeItsTestEnds)
{
    ScratchFolder outer;
    ScopedEnv tmp("TMPDIR", outer.Path().c_str());
    // A fresh process runs the test up to the statement, so the child makes scratch folders of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ScratchFolder scratch;
            WriteAll(scratch / "left.ver", "x");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(outer.Entries().empty());
}

TEST(ScratchFolderTest, AForkedChildLeavesItsParentsFolder)
{
    ScratchFolder scratch;
    EXPECT_EXIT(std::exit(0), ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(fs::is_directory(scratch.Path()));
}

} // namespace
} // namespace carlume::test
