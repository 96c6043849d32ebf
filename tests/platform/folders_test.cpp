#include "platform/folders.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/library.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace carlume {
namespace {

using test::ScopedEnv;

TEST(FoldersTest, ProgramFileComesFromTheSystemUnlessOverridden)
{
    EXPECT_EQ(ProgramFileName(), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(ProgramFolder(), std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/");
    {
        ScopedFolderOverride program(TFolder::ProgramFile, "/opt/carlume/cquery");
        EXPECT_EQ(ProgramFileName(), "/opt/carlume/cquery");
        EXPECT_EQ(ProgramFolder(), "/opt/carlume/");
        {
            ScopedFolderOverride inner(TFolder::ProgramFile, "/srv/x/cquery");
            EXPECT_EQ(ProgramFolder(), "/srv/x/");
        }
        EXPECT_EQ(ProgramFolder(), "/opt/carlume/");
    }
    EXPECT_NE(ProgramFileName(), "/opt/carlume/cquery");
}

// Without /proc (some containers) the system cannot tell the program file; the current folder must never
// stand in for the program's folder, where libraries are loaded from.
TEST(FoldersTest, AProgramFileTheSystemCannotTellIsAnError)
{
    test::ScratchFolder dir;
    std::filesystem::create_symlink("cquery", dir / "relative");
    const struct {
        std::string Link, Message;
    } cases[] = {
        {dir / "missing",
         "The program's folder cannot be found from " + dir / "missing" + ": No such file or directory."},
        {dir / "relative", "The program's folder cannot be found from " + dir / "relative" +
                               ": it names the relative path cquery."},
    };
    for (const auto& [link, message] : cases) {
        SCOPED_TRACE(link);
        ScopedFolderOverride unreadable(TFolder::ProgramLink, link);
        for (const auto& call : {ProgramFileName, ProgramFolder}) {
            try {
                call();
                ADD_FAILURE() << "no error";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), message);
            }
        }
        EXPECT_THROW(LibraryPath("CHASSIX.DLL"), Exception) << "never ./libchassix.so";
        EXPECT_EQ(LibraryPath("/opt/carlume/CHASSIX.DLL"), "/opt/carlume/libchassix.so");
    }
}

TEST(FoldersTest, WindowsFolderFromWindirWithoutTrailingDelimiterAndCreated)
{
    test::ScratchFolder dir;
    const std::string windir = dir / "win";
    ScopedEnv env("WINDIR", (windir + "/").c_str());
    EXPECT_EQ(WindowsFolder(), windir);
    EXPECT_TRUE(DirectoryExists(windir));
}

TEST(FoldersTest, WindowsFolderFallsBackToTheUsersConfigFolder)
{
    test::ScratchFolder dir;
    ScopedEnv windir("WINDIR", nullptr);
    {
        ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
        EXPECT_EQ(WindowsFolder(), dir / "config/carlume");
        EXPECT_TRUE(DirectoryExists(dir / "config/carlume"));
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "relative/ignored");
        ScopedEnv home("HOME", (dir / "home").c_str());
        EXPECT_EQ(WindowsFolder(), dir / "home/.config/carlume");
        EXPECT_TRUE(DirectoryExists(dir / "home/.config/carlume"));
    }
}

TEST(FoldersTest, AWindowsFolderThatCannotBeCreatedIsStillReported)
{
    test::ScratchFolder dir;
    test::WriteAll(dir / "plain", "x");
    ScopedFolderOverride windows(TFolder::Windows, dir / "plain/win/");
    EXPECT_EQ(WindowsFolder(), dir / "plain/win");
    EXPECT_FALSE(DirectoryExists(dir / "plain/win"));
}

TEST(FoldersTest, TemporaryAndRatingProgramFolders)
{
    {
        ScopedEnv tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(TempFolder(), "/var/tmp/");
    }
    {
        ScopedEnv tmp("TMPDIR", "");
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    {
        ScopedEnv tmp("TMPDIR", nullptr);
        EXPECT_EQ(TempFolder(), "/tmp/");
        ScopedFolderOverride temp(TFolder::Temp, "/scratch");
        EXPECT_EQ(TempFolder(), "/scratch/");
    }
    EXPECT_EQ(RatingProgramFolder(), "/opt/Qelvo/");
    {
        ScopedFolderOverride rating(TFolder::RatingProgram, "/tmp/qelvo");
        EXPECT_EQ(RatingProgramFolder(), "/tmp/qelvo/");
    }
    EXPECT_EQ(RatingProgramFolder(), "/opt/Qelvo/");
}

} // namespace
} // namespace carlume
