// The cquery program run as a process, from a program folder of its own.

#include "lookup/carquery.h"
#include "platform/date_time.h"
#include "platform/file_version.h"
#include "platform/format_settings.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/lookup/program_paths.h"
#include "tests/support/elf_image.h"
#include "tests/support/file_rights.h"
#include "tests/support/named_pipe.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

struct ProcessResult {
    int Status = -1;
    std::string Errors;
};

// Runs `program` with `args` and exactly the environment `environment`, in `folder` unless that is empty,
// without the super-user's rights over files when `bindModes` (a folder without write permission is then
// read-only for it too); standard error is collected. A process still running after 30
// seconds is killed (a box waiting for an answer would never end).
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, const std::string& errorFile,
                         const std::string& folder, bool bindModes = false)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int errors = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int input = open("/dev/null", O_RDONLY);
        if (errors < 0 || input < 0 || dup2(errors, STDERR_FILENO) < 0 || dup2(input, STDIN_FILENO) < 0 ||
            (!folder.empty() && chdir(folder.c_str()) != 0))
            _exit(126);
        if (bindModes && !DropTheSuperUsersFileRights())
            _exit(125);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    ProcessResult result;
    if (pid < 0)
        return result;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << program << " did not end";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.Errors = ReadAll(errorFile);
    return result;
}

class CqueryProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy_file(kCqueryPath, program_ / "cquery");
        fs::permissions(program_ / "cquery", fs::perms::owner_all);
        fs::copy_file(kCoreLibraryPath, program_ / "libcarlume_core.so");
        fs::copy_file(kChassixLibraryPath, program_ / "libchassix.so");
        fs::create_directory(program_ / "Data");
        WriteAll(program_ / "cquery.logger", "");
    }

    /// A machine without a display: no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
    std::vector<std::string> Environment() const
    {
        std::vector<std::string> environment{
            "PATH=/usr/bin:/bin", "HOME=" + home_.Path(), "WINDIR=" + windows_.Path(),
            "TMPDIR=" + home_.Path(), std::string(CHASSIX_FAKE_ENV_JOURNAL) + "=" + (home_ / "journal.txt")};
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
            if (const char* value = std::getenv(name))
                environment.push_back(std::string(name) + "=" + value);
        }
        return environment;
    }

    ProcessResult Run(const std::vector<std::string>& args, std::vector<std::string> environment,
                      const std::string& folder = "")
    {
        return RunProcess(program_ / "cquery", args, environment, home_ / "stderr.txt", folder);
    }

    std::string DataFile() const { return program_ / "Data/cquery.dat"; }
    std::string Core() const { return program_ / "libcarlume_core.so"; }

    ScratchFolder program_;
    ScratchFolder windows_;
    ScratchFolder home_;
};

TEST_F(CqueryProcessTest, AFoundVinIsHandedBackWithoutDisplayAndWithoutLoadingTheWindows)
{
    std::vector<std::string> environment = Environment();
    environment.push_back("LD_DEBUG=libs");
    const ProcessResult result = Run({"/VIN=1AVQL14S1A"}, environment);

    ASSERT_EQ(result.Status, 0) << result.Errors;
    // Neither the UI module nor any Qt library was even looked for.
    EXPECT_THAT(result.Errors, HasSubstr("libcarlume_core.so"));
    EXPECT_THAT(result.Errors, Not(HasSubstr("libQt")));
    EXPECT_THAT(result.Errors, Not(HasSubstr("carlume_ui")));

    const ScopedFormatSettings settings(USFormatSettings());
    const std::string file = ReadAll(DataFile());
    EXPECT_THAT(file, StartsWith("[VehicleProperties]\r\nModelYear=2010\r\nMake=Arvelo\r\nModel=Quillon\r\n"
                                 "VehicleClass=Compact\r\nVIN=1AVQL14S1A\r\nSymbol=11\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nEffective=" + DateToStr(Date()) +
                                "\r\nComp_Symbol=0\r\nColl_Symbol=0\r\n"
                                "Price_Symbol=5\r\n"));
    EXPECT_EQ(ReadAll(windows_ / "cquery.ini"),
              "[Version Info]\r\nLocation=" + program_.Path() +
                  "/\r\nNumber=" + ReadFileVersionKey(kCqueryPath, "FileVersion") +
                  "\r\n[Last]\r\nCommandLine=" + (program_ / "cquery") + " /VIN=1AVQL14S1A\r\n");
    EXPECT_THAT(ReadAll(program_ / "cquery.log"), HasSubstr("Complete Carquery"));
    EXPECT_THAT(ReadAll(home_ / "journal.txt"), HasSubstr("ChassixGetRecordByVIN vin=1AVQL14S1A mode=1"));
}

// The program's own libraries come from its folder, whatever folders the caller's library path names: an
// empty element of it is the current folder.
TEST_F(CqueryProcessTest, ALibraryPlantedInTheCurrentFolderIsNeverLoaded)
{
    ScratchFolder current;
    WriteAll(current / "libcarlume_core.so", "planted\n");
    std::vector<std::string> environment = Environment();
    environment.push_back("LD_LIBRARY_PATH=:");
    const ProcessResult result = Run({"/VIN=1AVQL14S1A"}, environment, current.Path());

    EXPECT_EQ(result.Status, 0) << result.Errors;
    EXPECT_TRUE(fs::exists(DataFile()));
}

struct EngineFaultCase {
    std::string Name;
    bool CutShort; ///< a copy cut short in place of the engine; else none at all
    std::string Message;
};

class CqueryEngineFaultTest : public CqueryProcessTest,
                              public ::testing::WithParamInterface<EngineFaultCase> {};

// An engine cut short by an interrupted copy ends the silent run as a missing one does: a clear message,
// nothing handed back, and the log.
TEST_P(CqueryEngineFaultTest, EndsTheSilentRunWithItsMessage)
{
    const auto& [name, cutShort, message] = GetParam();
    fs::remove(program_ / "libchassix.so");
    if (cutShort)
        WriteAll(program_ / "libchassix.so", DamagedElf(ReadAll(kChassixLibraryPath), Damage::CutInASegment));
    WriteAll(DataFile(), "stale");
    const ProcessResult result = Run({"/VIN=1AVQL14S1A"}, Environment());

    const std::string error = "ChassixPortal: " + message + (program_ / "libchassix.so");
    EXPECT_EQ(result.Status, 1);
    EXPECT_THAT(result.Errors, HasSubstr("Vehicle Lookup Error: " + error + "\n(not shown: "));
    EXPECT_FALSE(fs::exists(DataFile()));
    const std::string log = ReadAll(program_ / "cquery.log");
    EXPECT_THAT(log, HasSubstr("*** EXCEPTION GENERATED ***\r\n" + error));
    if (cutShort) {
        EXPECT_THAT(log,
                    HasSubstr("ChassixPortal: " + (program_ / "libchassix.so") + ": the file is truncated"));
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, CqueryEngineFaultTest,
                         ::testing::Values(EngineFaultCase{"Missing", false, "Dll not found - "},
                                           EngineFaultCase{"CutShort", true, "Unable to load "}),
                         ByName);

enum class CoreFile { Missing, Copy, NamedPipe, Folder };

struct CoreFaultCase {
    std::string Name;
    CoreFile File;
    const char* Source;          ///< for a copy: the library laid in as the core
    std::optional<Damage> Fault; ///< what is done to the copy
    std::string Reason;
};

class CqueryCoreFaultTest : public CqueryProcessTest, public ::testing::WithParamInterface<CoreFaultCase> {};

// The core library is looked at before it is loaded: one missing, cut short, damaged, foreign or no file
// ends the run with a message naming it, and no earlier run's vehicle is left to be read as this run's.
TEST_P(CqueryCoreFaultTest, EndsTheRunWithItsMessageAndNoHandBack)
{
    const auto& [name, file, source, damage, reason] = GetParam();
    fs::remove(Core());
    std::optional<ScopedNamedPipe> pipe;
    if (file == CoreFile::Copy)
        WriteAll(Core(), damage ? DamagedElf(ReadAll(source), *damage) : ReadAll(source));
    else if (file == CoreFile::NamedPipe)
        pipe.emplace(Core());
    else if (file == CoreFile::Folder)
        fs::create_directory(Core());
    WriteAll(DataFile(), "stale");
    const ProcessResult result = Run({"/VIN=1AVQL14S1A"}, Environment());

    EXPECT_EQ(result.Status, 1);
    // Each names the file once: the system's reasons start with it, and it is left out of them.
    EXPECT_EQ(result.Errors, "Unable to load " + Core() + ": " + reason + "\n");
    EXPECT_FALSE(fs::exists(DataFile()));
    EXPECT_TRUE(windows_.Entries().empty()) << "the run never started";
    EXPECT_FALSE(pipe && pipe->ReleasedAReader()) << "the launcher waited on the pipe";
}

INSTANTIATE_TEST_SUITE_P(
    Core, CqueryCoreFaultTest,
    ::testing::Values(CoreFaultCase{"Missing", CoreFile::Missing, nullptr, std::nullopt,
                                    "cannot open shared object file: No such file or directory"},
                      CoreFaultCase{"CutInASegment", CoreFile::Copy, kCoreLibraryPath, Damage::CutInASegment,
                                    "the file is truncated"},
                      CoreFaultCase{"DamagedHeader", CoreFile::Copy, kCoreLibraryPath, Damage::BadEntrySize,
                                    "the file's headers are damaged"},
                      CoreFaultCase{"LastLoadDropped", CoreFile::Copy, kCoreLibraryPath,
                                    Damage::LastLoadDropped, "the file's headers are damaged"},
                      CoreFaultCase{"DynamicZeroed", CoreFile::Copy, kCoreLibraryPath, Damage::DynamicZeroed,
                                    "the file's dynamic section is damaged"},
                      CoreFaultCase{"OtherMachine", CoreFile::Copy, kCoreLibraryPath, Damage::OtherMachine,
                                    "the file is for another kind of machine"},
                      CoreFaultCase{"WithoutEntry", CoreFile::Copy, kFakeUiModulePath, std::nullopt,
                                    "undefined symbol: CarlumeCoreMain"},
                      CoreFaultCase{"NamedPipe", CoreFile::NamedPipe, nullptr, std::nullopt,
                                    "it is a named pipe, not a library file"},
                      CoreFaultCase{"Folder", CoreFile::Folder, nullptr, std::nullopt,
                                    "it is a folder, not a library file"}),
    ByName);

// The earlier run's vehicle goes before the core is touched: a core that kills the process while the
// loader maps it (as one changed under the loader can) leaves none behind either.
TEST_F(CqueryProcessTest, ACoreKilledWhileLoadedLeavesNoEarlierVehicle)
{
    fs::remove(Core());
    fs::copy_file(kKillingCorePath, Core());
    WriteAll(DataFile(), "stale");
    const ProcessResult result = Run({"/VIN=1AVQL14S1A"}, Environment());

    EXPECT_EQ(result.Status, 128 + SIGKILL);
    EXPECT_FALSE(fs::exists(DataFile()));
}

struct EarlierVehicleCase {
    std::string Name;
    bool Left; ///< an earlier run left its vehicle
};

class CqueryEarlierVehicleTest : public CqueryProcessTest,
                                 public ::testing::WithParamInterface<EarlierVehicleCase> {};

// The launcher removes the earlier vehicle; the core logs it where its own step would have.
TEST_P(CqueryEarlierVehicleTest, IsLoggedOnlyWhenFound)
{
    if (GetParam().Left)
        WriteAll(DataFile(), "stale");
    const ProcessResult result = Run({"/VIN=1AVQL14S1A"}, Environment());

    ASSERT_EQ(result.Status, 0) << result.Errors;
    EXPECT_THAT(ReadAll(DataFile()), StartsWith("[VehicleProperties]\r\n"));
    const std::string log = ReadAll(program_ / "cquery.log");
    const auto found = log.find("Previous data file found - deleting");
    EXPECT_EQ(found != std::string::npos, GetParam().Left) << log;
    if (GetParam().Left) {
        EXPECT_LT(log.find("output data file: " + DataFile()), found);
        EXPECT_LT(found, log.find("Command line parameters found"));
    }
}

INSTANTIATE_TEST_SUITE_P(Launcher, CqueryEarlierVehicleTest,
                         ::testing::Values(EarlierVehicleCase{"Left", true},
                                           EarlierVehicleCase{"None", false}),
                         ByName);

struct UndeletableCase {
    std::string Name;
    bool WithCore;
    std::string Errors; ///< with "<core>" and "<file>" for the paths
};

class CqueryUndeletableTest : public CqueryProcessTest,
                              public ::testing::WithParamInterface<UndeletableCase> {};

// An earlier vehicle the launcher cannot remove is the core's to report, in its error box (here, without a
// display, on standard error); without a core the launcher reports it after the core.
TEST_P(CqueryUndeletableTest, EndsTheRunAndSaysSo)
{
    if (!GetParam().WithCore)
        fs::remove(Core());
    WriteAll(DataFile(), "stale");
    // A data folder without write permission, which binds the super-user too once it gives up its rights.
    fs::permissions(program_ / "Data", fs::perms::owner_read | fs::perms::owner_exec);
    const ProcessResult result =
        RunProcess(program_ / "cquery", {"/VIN=1AVQL14S1A"}, Environment(), home_ / "stderr.txt", "", true);
    fs::permissions(program_ / "Data", fs::perms::owner_all);

    std::string errors = GetParam().Errors;
    errors.replace(errors.find("<file>"), 6, DataFile());
    if (const auto at = errors.find("<core>"); at != std::string::npos)
        errors.replace(at, 6, Core());
    EXPECT_EQ(result.Status, 1);
    EXPECT_THAT(result.Errors, StartsWith(errors));
    EXPECT_EQ(ReadAll(DataFile()), "stale");
}

INSTANTIATE_TEST_SUITE_P(
    Launcher, CqueryUndeletableTest,
    ::testing::Values(UndeletableCase{"WithCore", true,
                                      "Vehicle Lookup Error: Unable to delete previous data file <file>. "
                                      "Permission denied\n(not shown: "},
                      UndeletableCase{
                          "WithoutCore", false,
                          "Unable to load <core>: cannot open shared object file: No such file or "
                          "directory\nUnable to delete previous data file <file>. Permission "
                          "denied\n"}),
    ByName);

// A folder name with a line break cannot make the launcher's one message pass for two.
TEST_F(CqueryProcessTest, TheLauncherShowsAFolderNamesControlCharacters)
{
    const std::string folder = program_ / "forged\nUnable to load/";
    fs::create_directories(folder + "Data");
    fs::copy_file(program_ / "cquery", folder + "cquery");
    const ProcessResult result =
        RunProcess(folder + "cquery", {"/VIN=1AVQL14S1A"}, Environment(), home_ / "stderr.txt", "");

    EXPECT_EQ(result.Status, 1);
    EXPECT_THAT(result.Errors, StartsWith("Unable to load " + program_.Path() +
                                          "/forged\\nUnable to load/libcarlume_core.so: "));
    EXPECT_EQ(std::count(result.Errors.begin(), result.Errors.end(), '\n'), 1) << result.Errors;
}

TEST_F(CqueryProcessTest, WithoutADisplayTheMessageGoesToStandardErrorAndNothingIsHandedBack)
{
    if (*kUiModulePath == '\0')
        GTEST_SKIP() << "built without the windows";
    fs::copy_file(kUiModulePath, program_ / "libcarlume_ui.so");
    WriteAll(DataFile(), "stale");
    const ProcessResult result = Run({"/YEAR=2010"}, Environment());

    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Errors,
              std::string(NotFoundMessage) +
                  "\n(not shown: no display: none of QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY is "
                  "set)\n");
    EXPECT_FALSE(fs::exists(DataFile()));
    const std::string log = ReadAll(program_ / "cquery.log");
    EXPECT_THAT(log, HasSubstr("*** NOT SHOWN: no display: "));
    EXPECT_THAT(log, Not(HasSubstr("Complete Carquery")));
    EXPECT_THAT(ReadAll(home_ / "journal.txt"), HasSubstr("ChassixStop -> 0"));
}

TEST_F(CqueryProcessTest, AnXDisplayThatCannotBeReachedEndsTheRunCleanlyInsteadOfAborting)
{
    if (*kUiModulePath == '\0')
        GTEST_SKIP() << "built without the windows";
    if (fs::exists("/tmp/.X11-unix/X97"))
        GTEST_SKIP() << "an X server runs on :97";
    fs::copy_file(kUiModulePath, program_ / "libcarlume_ui.so");
    std::vector<std::string> environment = Environment();
    environment.push_back("DISPLAY=:97");
    const ProcessResult result = Run({}, environment);

    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Errors,
              "The lookup window cannot be shown.\n(not shown: no display: cannot connect to the "
              "X display \":97\")\n");
    EXPECT_FALSE(fs::exists(DataFile()));
    EXPECT_THAT(ReadAll(program_ / "cquery.log"), HasSubstr("*** NOT SHOWN: no display: cannot connect"));
}

TEST_F(CqueryProcessTest, WithoutTheUiModuleTheLookupWindowCannotBeShown)
{
    const ProcessResult result = Run({}, Environment());
    EXPECT_EQ(result.Status, 1);
    EXPECT_THAT(result.Errors,
                StartsWith("The lookup window cannot be shown.\n(not shown: Unable to load the user "
                           "interface " +
                           (program_ / "libcarlume_ui.so") + ": "));
    EXPECT_FALSE(fs::exists(DataFile()));
}

} // namespace
} // namespace carlume::test
