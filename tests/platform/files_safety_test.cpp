// What a hostile user of a shared folder, a killed run or a bare environment can do to the files the
// program writes.

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/ini_files.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/user_lookalikes.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(PlantedLinkTest, TheWriteReplacesTheLinkAndLeavesWhatItNamesAlone)
{
    ScratchFolder folder;
    ScratchFolder elsewhere;
    WriteAll(elsewhere / "victim", "another user's file");
    for (const char* target : {"victim", "missing"}) {
        fs::remove(folder / "cquery.dat");
        fs::create_symlink(elsewhere / target, folder / "cquery.dat");
        WriteFileAtomically(folder / "cquery.dat", "ours", TWriteMode::Unsynced);
        EXPECT_FALSE(fs::is_symlink(folder / "cquery.dat")) << target;
    }
    EXPECT_EQ(ReadAll(elsewhere / "victim"), "another user's file");
    EXPECT_FALSE(fs::exists(elsewhere / "missing"));
}

TEST(ReadOnlyFileTest, IsNotReplaced)
{
    ScratchFolder folder;
    const std::string path = folder / "cquery.ini";
    WriteAll(path, "[Last]\r\n");
    ::chmod(path.c_str(), 0444);
    EXPECT_THROW(WriteFileAtomically(path, "x", TWriteMode::Unsynced), EFCreateError);
    try {
        TIniFile(path, TWriteMode::Unsynced).WriteString("Last", "CommandLine", "x");
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + path + ". Permission denied");
    }
    EXPECT_EQ(ReadAll(path), "[Last]\r\n");
    EXPECT_EQ(folder.Entries().size(), 1u);
}

// --- temporaries of killed writers ------------------------------------------------------------------------

struct TemporaryCase {
    const char* Name;
    const char* file; // "{dead}" and "{live}" stand for a process id
    bool locked;
    bool removed;
};

class LeftTemporaryTest : public ::testing::TestWithParam<TemporaryCase> {};

TEST_P(LeftTemporaryTest, TheNextWriteRemovesOnlyWhatADeadWriterLeft)
{
    // No process can have an id above the system's limit.
    long pidMax = 0;
    std::sscanf(ReadAll("/proc/sys/kernel/pid_max").c_str(), "%ld", &pidMax);
    ScratchFolder folder;
    const std::string name = Replaced(Replaced(GetParam().file, "{dead}", std::to_string(pidMax + 1)),
                                      "{live}", std::to_string(::getpid()));
    WriteAll(folder / name, "half a file");
    const int fd = ::open((folder / name).c_str(), O_RDONLY | O_CLOEXEC);
    if (GetParam().locked)
        ::flock(fd, LOCK_EX);
    WriteFileAtomically(folder / "cquery.dat", "x", TWriteMode::Unsynced);
    ::close(fd);
    EXPECT_EQ(fs::exists(folder / name), !GetParam().removed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeftTemporaryTest,
    ::testing::Values(
        TemporaryCase{"DeadWriter", ".cquery.ini.~carlume.{dead}.Ab3dE9.tmp", false, true},
        TemporaryCase{"DeadWriterOfALongName", ".P5.~carlume.ver.~carlume.{dead}.Ab3dE9.tmp", false, true},
        TemporaryCase{"LiveWriter", ".cquery.dat.~carlume.{live}.Ab3dE9.tmp", false, false},
        TemporaryCase{"LockedByAWriterElsewhere", ".cquery.dat.~carlume.{dead}.Ab3dE9.tmp", true, false},
        TemporaryCase{"UsersDatedBackup", "quote.20240101.backup.tmp", false, false},
        TemporaryCase{"UsersDraftWithANumber", "report.{dead}.draft1.tmp", false, false},
        TemporaryCase{"NotHidden", "cquery.dat.~carlume.{dead}.Ab3dE9.tmp", false, false},
        TemporaryCase{"NoMarker", ".cquery.dat.{dead}.Ab3dE9.tmp", false, false},
        TemporaryCase{"ShortSuffix", ".cquery.dat.~carlume.{dead}.Ab3dE.tmp", false, false},
        TemporaryCase{"NothingBeforeTheMarker", ".~carlume.{dead}.Ab3dE9.tmp", false, false},
        TemporaryCase{"AnotherExtensionAfter", ".cquery.dat.~carlume.{dead}.Ab3dE9.tmp.old", false, false}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(UserLookalikesTest, SurviveWritesOfEveryKind)
{
    ScratchFolder folder;
    PlantUserLookalikes(folder.Path());
    WriteFileAtomically(folder / "cquery.dat", "x", TWriteMode::Durable);
    WriteFileAtomically(folder / "cquery.ini", "x", TWriteMode::Unsynced);
    WriteFileAtomically(folder / "PMMainta.xml", "x", TWriteMode::DurableIfChanged);
    CreateNewFile(folder / "PMMaintu.xml", "x", TWriteMode::Durable);
    EXPECT_THAT(LostUserLookalikes(folder.Path()), ::testing::IsEmpty());
}

TEST(TemporaryNameTest, ALongNameStillLeavesRoomForTheMarker)
{
    ScratchFolder folder;
    const std::string name(NAME_MAX, 'n');
    WriteFileAtomically(folder / name, "x", TWriteMode::Durable);
    EXPECT_EQ(ReadAll(folder / name), "x");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{name}));
}

TEST(KilledWriterTest, ItsTemporaryGoesWithTheNextWriteIntoTheFolder)
{
    ScratchFolder folder;
    WriteAll(folder / "cquery.dat", "old");
    EXPECT_EXIT(
        {
            ScopedFileFault killed([](TFileStep step, const std::string&) {
                return step == TFileStep::Rename ? std::raise(SIGKILL) : 0;
            });
            WriteFileAtomically(folder / "cquery.dat", "new", TWriteMode::Unsynced);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    ASSERT_EQ(folder.Entries().size(), 2u) << "the killed write left its temporary";
    WriteFileAtomically(folder / "cquery.ini", "x", TWriteMode::Unsynced);
    auto entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"cquery.dat", "cquery.ini"}));
}

// --- the Windows folder -----------------------------------------------------------------------------------

struct WindowsFolderCase {
    const char* Name;
    const char* windir; // nullptr: unset; "{dir}" stands for a scratch folder
    const char* configHome;
    const char* home;
    const char* expected; // "{passwd}" stands for the home folder in the password database
};

class WindowsFolderTest : public ::testing::TestWithParam<WindowsFolderCase> {};

TEST_P(WindowsFolderTest, IsNeverBelowTheCurrentDirectory)
{
    const passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr)
        GTEST_SKIP() << "this user has no entry in the password database";
    ScratchFolder dir;
    auto value = [&](const char* text) {
        return text == nullptr ? std::string()
                               : Replaced(Replaced(text, "{dir}", dir.Path()), "{passwd}", entry->pw_dir);
    };
    ScopedEnv windir("WINDIR", GetParam().windir != nullptr ? value(GetParam().windir).c_str() : nullptr);
    ScopedEnv config("XDG_CONFIG_HOME",
                     GetParam().configHome != nullptr ? value(GetParam().configHome).c_str() : nullptr);
    ScopedEnv home("HOME", GetParam().home != nullptr ? value(GetParam().home).c_str() : nullptr);
    EXPECT_EQ(WindowsFolder(), value(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsFolderTest,
    ::testing::Values(
        WindowsFolderCase{"RelativeWindir", "win", "{dir}/config", nullptr, "{dir}/config/carlume"},
        WindowsFolderCase{"BlankConfigHome", "", "", "{dir}/home", "{dir}/home/.config/carlume"},
        WindowsFolderCase{"NoHome", nullptr, nullptr, nullptr, "{passwd}/.config/carlume"},
        WindowsFolderCase{"RelativeHome", nullptr, nullptr, "home", "{passwd}/.config/carlume"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(NoWindowsFolderTest, EndsWithAClearError)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "taking another user id needs the super-user";
    // A user the password database does not know, with nothing in the environment.
    uid_t stranger = 54321;
    while (::getpwuid(stranger) != nullptr)
        ++stranger;
    EXPECT_EXIT(
        {
            ::unsetenv("WINDIR");
            ::unsetenv("XDG_CONFIG_HOME");
            ::unsetenv("HOME");
            try {
                if (::setuid(stranger) == 0)
                    (void)WindowsFolder();
            } catch (const Exception& e) {
                std::fputs(e.what(), stderr);
                std::_Exit(3);
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(3), "No folder for the program's settings");
}

TEST(SectionHeaderTest, TextAfterTheBracketIsNoPartOfTheName)
{
    ScratchFolder dir;
    for (const std::string header : {"[Version Info] ; note", "[ Version Info ]x"}) {
        WriteAll(dir / "cquery.ini", header + "\r\nNumber=1\r\n");
        TIniFile ini(dir / "cquery.ini", TWriteMode::Unsynced);
        EXPECT_EQ(ini.ReadString("Version Info", "Number", ""), "1");
        ini.WriteString("Version Info", "Location", "/opt/carlume/");
        EXPECT_EQ(ReadAll(dir / "cquery.ini"), header + "\r\nNumber=1\r\nLocation=/opt/carlume/\r\n");
    }
}

} // namespace
} // namespace carlume::test
