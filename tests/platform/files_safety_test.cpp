// What a hostile user of a shared folder, a killed run or a bare environment can do to the files the
// program writes.

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/ini_files.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// --- links planted in the folder --------------------------------------------------------------------------

struct LinkCase {
    const char* Name;
    bool dangling;
    std::function<void(const std::string& path)> write;
};

class PlantedLinkTest : public ::testing::TestWithParam<LinkCase> {
protected:
    ScratchFolder folder;
    ScratchFolder elsewhere;
};

TEST_P(PlantedLinkTest, TheWriteReplacesTheLinkAndLeavesItsTargetAlone)
{
    const std::string victim = elsewhere / "victim";
    if (!GetParam().dangling)
        WriteAll(victim, "another user's file");
    fs::create_symlink(victim, folder / "cquery.dat");
    GetParam().write(folder / "cquery.dat");
    EXPECT_FALSE(fs::is_symlink(folder / "cquery.dat"));
    EXPECT_NE(ReadAll(folder / "cquery.dat"), "");
    if (GetParam().dangling)
        EXPECT_FALSE(fs::exists(victim));
    else
        EXPECT_EQ(ReadAll(victim), "another user's file");
}

void WriteFile(const std::string& path)
{
    WriteFileAtomically(path, "ours");
}

void WriteProfile(const std::string& path)
{
    TIniFile(path).WriteString("Version Info", "Number", "1");
}

INSTANTIATE_TEST_SUITE_P(Rows, PlantedLinkTest,
                         ::testing::Values(LinkCase{"FileOverLink", false, WriteFile},
                                           LinkCase{"FileOverDanglingLink", true, WriteFile},
                                           LinkCase{"ProfileOverLink", false, WriteProfile},
                                           LinkCase{"ProfileOverDanglingLink", true, WriteProfile}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(ReadOnlyFileTest, IsNotReplaced)
{
    ScratchFolder folder;
    const std::string path = folder / "cquery.ini";
    WriteAll(path, "[Last]\r\n");
    ::chmod(path.c_str(), 0444);
    try {
        WriteFileAtomically(path, "x");
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". Permission denied");
    }
    try {
        TIniFile(path).WriteString("Last", "CommandLine", "x");
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + path + ". Permission denied");
    }
    EXPECT_EQ(ReadAll(path), "[Last]\r\n");
    EXPECT_EQ(folder.Entries(), (Names{"cquery.ini"}));
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
    std::ifstream limit("/proc/sys/kernel/pid_max");
    long pidMax = 0;
    limit >> pidMax;
    ASSERT_GT(pidMax, 0);
    ScratchFolder folder;
    const std::string name = Replaced(Replaced(GetParam().file, "{dead}", std::to_string(pidMax + 1)),
                                      "{live}", std::to_string(::getpid()));
    WriteAll(folder / name, "half a file");
    const int fd = ::open((folder / name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    if (GetParam().locked) {
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    }
    WriteFileAtomically(folder / "cquery.dat", "x");
    ::close(fd);
    EXPECT_EQ(fs::exists(folder / name), !GetParam().removed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeftTemporaryTest,
    ::testing::Values(TemporaryCase{"DeadWriter", "cquery.ini.{dead}.Ab3dE9.tmp", false, true},
                      TemporaryCase{"LiveWriter", "cquery.dat.{live}.Ab3dE9.tmp", false, false},
                      TemporaryCase{"LockedByAWriterElsewhere", "cquery.dat.{dead}.Ab3dE9.tmp", true, false},
                      TemporaryCase{"NoWriterInTheName", "cquery.dat.Ab3dE9", false, false},
                      TemporaryCase{"NotOurSuffix", "notes.{dead}.Ab3dE9.txt", false, false},
                      TemporaryCase{"ShortSuffix", "notes.{dead}.Ab3.tmp", false, false}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(KilledWriterTest, ItsTemporaryGoesWithTheNextWriteIntoTheFolder)
{
    ScratchFolder folder;
    WriteAll(folder / "cquery.dat", "old");
    EXPECT_EXIT(
        {
            ScopedFileFault killed([](TFileStep step, const std::string&) {
                if (step == TFileStep::Rename)
                    std::raise(SIGKILL);
                return 0;
            });
            WriteFileAtomically(folder / "cquery.dat", "new");
        },
        ::testing::KilledBySignal(SIGKILL), "");
    ASSERT_EQ(folder.Entries().size(), 2u) << "the killed write left its temporary";
    WriteFileAtomically(folder / "cquery.ini", "x");
    auto entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (Names{"cquery.dat", "cquery.ini"}));
    EXPECT_EQ(ReadAll(folder / "cquery.dat"), "old");
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
    ScratchFolder dir;
    const passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr)
        GTEST_SKIP() << "this user has no entry in the password database";
    auto value = [&](const char* text) -> std::optional<std::string> {
        if (text == nullptr)
            return std::nullopt;
        return Replaced(Replaced(text, "{dir}", dir.Path()), "{passwd}", entry->pw_dir);
    };
    const auto windir = value(GetParam().windir);
    const auto configHome = value(GetParam().configHome);
    const auto home = value(GetParam().home);
    ScopedEnv windirEnv("WINDIR", windir ? windir->c_str() : nullptr);
    ScopedEnv configEnv("XDG_CONFIG_HOME", configHome ? configHome->c_str() : nullptr);
    ScopedEnv homeEnv("HOME", home ? home->c_str() : nullptr);
    EXPECT_EQ(WindowsFolder(), *value(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsFolderTest,
    ::testing::Values(
        WindowsFolderCase{"BlankWindir", "", "{dir}/config", nullptr, "{dir}/config/carlume"},
        WindowsFolderCase{"RelativeWindir", "win", "{dir}/config", nullptr, "{dir}/config/carlume"},
        WindowsFolderCase{"BlankConfigHome", nullptr, "", "{dir}/home", "{dir}/home/.config/carlume"},
        WindowsFolderCase{"RelativeConfigHome", nullptr, "config", "{dir}/home",
                          "{dir}/home/.config/carlume"},
        WindowsFolderCase{"NoHome", nullptr, nullptr, nullptr, "{passwd}/.config/carlume"},
        WindowsFolderCase{"RelativeHome", nullptr, nullptr, "home", "{passwd}/.config/carlume"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(NoWindowsFolderTest, EndsWithAClearError)
{
    // A user the password database does not know, with nothing in the environment.
    uid_t stranger = 54321;
    while (::getpwuid(stranger) != nullptr)
        ++stranger;
    if (::geteuid() != 0)
        GTEST_SKIP() << "taking another user id needs the super-user";
    EXPECT_EXIT(
        {
            if (::setuid(stranger) != 0)
                std::_Exit(2);
            ::unsetenv("WINDIR");
            ::unsetenv("XDG_CONFIG_HOME");
            ::unsetenv("HOME");
            try {
                (void)WindowsFolder();
            } catch (const Exception& e) {
                std::fputs(e.what(), stderr);
                std::_Exit(3);
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(3), "No folder for the program's settings");
}

// --- section headers with text after them -----------------------------------------------------------------

class SectionHeaderTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SectionHeaderTest, TextAfterTheBracketIsNoPartOfTheName)
{
    ScratchFolder dir;
    const std::string header = GetParam();
    WriteAll(dir / "cquery.ini", header + "\r\nNumber=1\r\n");
    TIniFile ini(dir / "cquery.ini");
    EXPECT_EQ(ini.ReadString("Version Info", "Number", ""), "1");
    ini.WriteString("Version Info", "Location", "/opt/carlume/");
    EXPECT_EQ(ReadAll(dir / "cquery.ini"), header + "\r\nNumber=1\r\nLocation=/opt/carlume/\r\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, SectionHeaderTest,
                         ::testing::Values("[Version Info] ; note", "[Version Info];note",
                                           "[ Version Info ]x"));

} // namespace
} // namespace carlume::test
