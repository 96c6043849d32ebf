// The files of a whole run when other runs, a full disk or odd switches get in the way.

#include "foundation/logger.h"
#include "lookup/carquery.h"
#include "lookup/command_line.h"
#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format_settings.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/lookup/quillon_dat.h"
#include "tests/support/fake_carquery_ui.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CarqueryFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UnsetEngineEnvironment();
        setenv(CHASSIX_FAKE_ENV_JOURNAL, (journal_ / "journal.txt").c_str(), 1);
        fs::create_directory(program_ / "Data");
        fs::copy_file(kChassixLibraryPath, program_ / "libchassix.so");
    }
    void TearDown() override { UnsetEngineEnvironment(); }
    static void UnsetEngineEnvironment()
    {
        for (const char* name : {CHASSIX_FAKE_ENV_JOURNAL, CHASSIX_FAKE_ENV_THROW, CHASSIX_FAKE_ENV_MIN_VIN,
                                 CHASSIX_FAKE_ENV_EARLIEST_YEAR})
            unsetenv(name);
    }

    int Run(const std::string& param)
    {
        const char* argv[] = {programArg_.c_str(), param.c_str()};
        return RunCarquery(ui_, TCommandLine::FromArgs(2, argv));
    }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& request : ui_.Fakes.Dialogs.Requests())
            texts.push_back(request.Text);
        return texts;
    }
    std::string DataFile() const { return program_ / "Data/cquery.dat"; }
    std::string IniFile() const { return windows_ / "cquery.ini"; }

    ScratchFolder program_;
    ScratchFolder windows_;
    ScratchFolder journal_;
    std::string programArg_ = program_ / "cquery";
    ScopedFolderOverride exe_{TFolder::ProgramFile, program_ / "cquery"};
    ScopedFolderOverride windir_{TFolder::Windows, windows_.Path()};
    ScopedFolderOverride ratingProgram_{TFolder::RatingProgram, program_ / "none/"};
    ScopedClock clock_{46362.5};
    ScopedFormatSettings settings_{USFormatSettings()};
    TFakeCarqueryUi ui_;
};

TEST_F(CarqueryFilesTest, AStaleHandBackFileThatAnotherRunDeletedFirstIsGone)
{
    WriteAll(DataFile(), "stale");
    ScopedFileFault otherRuns([this](TFileStep step, const std::string& path) {
        if (step != TFileStep::Delete || path != DataFile())
            return 0;
        // One run deleted it a moment before this one, and a third has written its own since.
        fs::remove(path);
        WriteAll(path, "another run's vehicle");
        return ENOENT;
    });
    EXPECT_EQ(Run("/VIN=1AVQL14S1A"), 0);
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
}

struct IniFailureCase {
    const char* Name;
    TFileStep step;
    int error; // 0: the file itself is read-only
    const char* reason;
};

class CqueryIniFailureTest : public CarqueryFilesTest,
                             public ::testing::WithParamInterface<IniFailureCase> {};

TEST_P(CqueryIniFailureTest, TheMessageGivesTheReason)
{
    const auto& row = GetParam();
    WriteAll(IniFile(), "[Settings]\r\nUseOrigSymbol=1\r\n");
    if (row.error == 0)
        ::chmod(IniFile().c_str(), 0444);
    ScopedFileFault fault([&](TFileStep step, const std::string& path) {
        return step == row.step && path == IniFile() ? row.error : 0;
    });
    EXPECT_EQ(Run("/VIN=1AVQL14S1A"), 0);
    EXPECT_THAT(Boxes(),
                ElementsAre("Vehicle Lookup Error: Unable to write to " + IniFile() + ". " + row.reason));
    EXPECT_EQ(ReadAll(IniFile()), "[Settings]\r\nUseOrigSymbol=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CqueryIniFailureTest,
    ::testing::Values(IniFailureCase{"ReadOnlyFolder", TFileStep::Create, EACCES, "Permission denied"},
                      IniFailureCase{"ReadOnlyFile", TFileStep::Create, 0, "Permission denied"},
                      IniFailureCase{"DiskFull", TFileStep::Write, ENOSPC, "No space left on device"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(SwitchLogTest, EverySwitchKeepsToOneLineOfTheLog)
{
    std::string logged;
    TVinRecord record;
    ParseCommandLine({"/MAKE=Ford\n2026-12-07 10:00:00.000 Complete Carquery", "/MO\rDEL=a\r\nb"}, record,
                     [&](const std::string& message) { logged = message; });
    const std::string crlf(LogLineEnd);
    EXPECT_EQ(logged, "Command line parameters found" + crlf +
                          "/MAKE = Ford 2026-12-07 10:00:00.000 Complete Carquery" + crlf + "/MO DEL = a  b" +
                          crlf);
}

} // namespace
} // namespace carlume::test
