// The process around a run: what the units set up at start-up, and the application title that comes only
// after the run.

#include "lookup/carquery.h"

#include "components/date_util.h"
#include "lookup/chassix_portal.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format_settings.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/support/fake_carquery_ui.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace carlume::test {
namespace {

TEST(StartUpTest, FourDigitYearKeepsTheLocaleOfTheStartUp)
{
    const ScopedFourDigitYear restore(false);
    TFormatSettings twoDigits = USFormatSettings();
    twoDigits.ShortDateFormat = "dd/MM/yy";
    const ScopedFormatSettings settings(twoDigits);
    const ScopedEnv locale("LC_ALL", "C");
    InitializeUnits();
    EXPECT_EQ(FormatSettings().ShortDateFormat, "M/d/yyyy");
    SetFormatSettings(twoDigits);
    EXPECT_TRUE(FourDigitYear()) << "a later change of the locale keeps the flag";
}

TEST(StartUpTest, TheApplicationTitleComesAfterTheRun)
{
    ScratchFolder program;
    ScratchFolder windows;
    std::filesystem::create_directory(program / "Data");
    std::filesystem::copy_file(kChassixLibraryPath, program / "libchassix.so");
    const ScopedFolderOverride exe(TFolder::ProgramFile, program / "cquery");
    const ScopedFolderOverride windir(TFolder::Windows, windows.Path());
    TFakeCarqueryUi ui;
    std::string titleDuringRun = "not run";
    ui.LookupWindow = [&](TVehicleInfoLookup&, TVinRecord&) {
        titleDuringRun = ui.Title;
        return false;
    };
    const std::string programPath = program / "cquery";
    const char* argv[] = {programPath.c_str()};
    EXPECT_EQ(ProgramMainBlock(ui, TCommandLine::FromArgs(1, argv)), 0);
    EXPECT_EQ(titleDuringRun, "");
    EXPECT_EQ(ui.Title, "Carlume");
}

// Without a program folder (no /proc in some containers) the run ends with that error before any library
// is loaded, least of all one from the current folder.
TEST(StartUpTest, AProgramFolderThatCannotBeFoundIsShownAndNothingIsLoaded)
{
    ScratchFolder windows;
    const ScopedFolderOverride windir(TFolder::Windows, windows.Path());
    const ScopedFolderOverride unreadable(TFolder::ProgramLink, windows / "no-link");
    TFakeCarqueryUi ui;
    const char* argv[] = {"cquery", "/VIN=1AVQL14S1A"};
    EXPECT_EQ(ProgramMainBlock(ui, TCommandLine::FromArgs(2, argv)), 0);
    ASSERT_EQ(ui.Fakes.Dialogs.Requests().size(), 1u);
    EXPECT_EQ(ui.Fakes.Dialogs.Requests()[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(ui.Fakes.Dialogs.Requests()[0].Text, "The program's folder cannot be found from " +
                                                       windows / "no-link" + ": No such file or directory.");
    EXPECT_EQ(ChassixLibHandle(), nullptr);
    EXPECT_EQ(ui.LookupWindowRuns, 0);
    EXPECT_TRUE(windows.Entries().empty()) << "no cquery.ini";
}

} // namespace
} // namespace carlume::test
