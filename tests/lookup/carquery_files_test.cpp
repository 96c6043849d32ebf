// The files of a whole run when other runs or odd switches get in the way.

#include "foundation/logger.h"
#include "lookup/carquery.h"
#include "lookup/command_line.h"
#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format_settings.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/lookup/quillon_dat.h"
#include "tests/support/fake_carquery_ui.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/user_lookalikes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;

class CarqueryFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(program_ / "Data");
        fs::copy_file(kChassixLibraryPath, program_ / "libchassix.so");
    }

    int Run(const std::string& param)
    {
        const char* argv[] = {programArg_.c_str(), param.c_str()};
        return RunCarquery(ui_, TCommandLine::FromArgs(2, argv));
    }
    std::string DataFile() const { return program_ / "Data/cquery.dat"; }

    ScratchFolder program_;
    ScratchFolder windows_;
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
    EXPECT_THAT(ui_.Fakes.Dialogs.Requests(), IsEmpty());
    EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
}

TEST_F(CarqueryFilesTest, OnlyTheHandBackFileWaitsForTheDiskAndTheUsersFilesStay)
{
    WriteAll(program_ / "cquery.logger", "");
    const std::vector<std::string> folders{program_.Path(), program_ / "Data", windows_.Path()};
    for (const std::string& folder : folders)
        PlantUserLookalikes(folder);
    std::vector<std::string> synced;
    ScopedFileFault watch([&](TFileStep step, const std::string& path) {
        if (step == TFileStep::Sync)
            synced.push_back(path);
        return 0;
    });
    EXPECT_EQ(Run("/VIN=1AVQL14S1A"), 0);
    EXPECT_EQ(synced, (std::vector<std::string>{DataFile(), program_ / "Data"}));
    EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
    EXPECT_TRUE(FileExists(windows_ / "cquery.ini"));
    EXPECT_TRUE(FileExists(program_ / "cquery.log"));
    for (const std::string& folder : folders)
        EXPECT_THAT(LostUserLookalikes(folder), IsEmpty()) << folder;
}

TEST(SwitchLogTest, EverySwitchKeepsToOneLineOfTheLog)
{
    std::string logged;
    TVinRecord record;
    ParseCommandLine({"/MAKE=Ford\n2026-12-07 10:00:00.000 Complete Carquery", "/MO\rDEL=a\r\nb"}, record,
                     [&](const std::string& message) { logged = message; });
    const std::string crlf(LogLineEnd);
    EXPECT_EQ(logged, "Command line parameters found" + crlf +
                          "/MAKE = Ford\\n2026-12-07 10:00:00.000 Complete Carquery" + crlf +
                          "/MO\\rDEL = a\\r\\nb" + crlf);
    // Only the log shows them written out: the record keeps what was given.
    EXPECT_EQ(record.Make, "Ford\n2026-12-07 10:00:00.000 Complete Carquery");
}

} // namespace
} // namespace carlume::test
