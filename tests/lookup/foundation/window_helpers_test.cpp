#include "lookup/foundation/window_helpers.h"

#include "platform/exceptions.h"
#include "platform/folders.h"
#include "tests/support/recording_services.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace carlume {
namespace {

using test::RecordingCursor;
using test::RecordingDialogs;
using Shown = RecordingDialogs::Shown;

struct Desktop {
    RecordingDialogs dialogs;
    RecordingCursor cursor{crHourGlass};
    test::RecordingShell shell;
    TApplicationServices Services() { return {&dialogs, nullptr, &shell, &cursor}; }
};

TEST(MessageTest, TextReachesTheDialogExactlyAsGiven)
{
    Desktop desktop;
    const auto services = desktop.Services();
    ShowInfoMessage(services, "Tom & Jerry");
    ShowErrorMessage(services, "a <b>x</b> && y");
    ShowMessageDlg(services, "careful\r\nsecond line", TMsgDlgType::mtWarning);
    desktop.dialogs.Answer = true;
    EXPECT_TRUE(AskYesNo(services, "Save & quit?"));
    EXPECT_EQ(desktop.dialogs.Messages,
              (std::vector<Shown>{{TMsgDlgType::mtInformation, "Tom & Jerry"},
                                  {TMsgDlgType::mtError, "a <b>x</b> && y"},
                                  {TMsgDlgType::mtWarning, "careful\r\nsecond line"},
                                  {TMsgDlgType::mtConfirmation, "Save & quit?"}}));
}

TEST(MessageTest, AskYesNoIsTrueOnlyForYes)
{
    Desktop desktop;
    desktop.dialogs.Answer = false;
    EXPECT_FALSE(AskYesNo(desktop.Services(), "Really?"));
}

TEST(MessageTest, DefaultCursorWhileShownAndTheOldOneAfterwards)
{
    Desktop desktop;
    std::vector<TCursor> seen;
    desktop.dialogs.OnShow = [&] { seen.push_back(desktop.cursor.Cursor()); };
    ShowInfoMessage(desktop.Services(), "one");
    EXPECT_EQ(desktop.cursor.Cursor(), crHourGlass);
    (void)AskYesNo(desktop.Services(), "two");
    EXPECT_EQ(desktop.cursor.Cursor(), crHourGlass);
    EXPECT_EQ(seen, (std::vector<TCursor>{crDefault, crDefault}));
}

TEST(MessageTest, CursorComesBackWhenTheDialogFails)
{
    Desktop desktop;
    desktop.dialogs.OnShow = [] { throw std::runtime_error("no display"); };
    EXPECT_THROW(ShowErrorMessage(desktop.Services(), "x"), std::runtime_error);
    EXPECT_EQ(desktop.cursor.Cursor(), crHourGlass);
    EXPECT_THROW((void)AskYesNo(desktop.Services(), "y"), std::runtime_error);
    EXPECT_EQ(desktop.cursor.Cursor(), crHourGlass);
}

TEST(MessageTest, WorksWithoutCursorOrDialogService)
{
    RecordingDialogs dialogs;
    ShowInfoMessage({&dialogs, nullptr, nullptr, nullptr}, "no cursor service");
    EXPECT_EQ(dialogs.Messages.size(), 1u);

    ::testing::internal::CaptureStderr();
    ShowErrorMessage({}, "nowhere to show");
    EXPECT_FALSE(AskYesNo({}, "nobody to ask"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("nowhere to show"), std::string::npos);
    EXPECT_NE(err.find("nobody to ask"), std::string::npos);
}

TEST(ShellExecTest, HandsTheRequestToTheShell)
{
    Desktop desktop;
    EXPECT_TRUE(ShellExec(desktop.Services(), "www.example.com", "", "", 1));
    desktop.shell.Result = false;
    EXPECT_FALSE(ShellExec(desktop.Services(), "MailTo:a@b.c", "-x", "/tmp", 5));
    EXPECT_EQ(desktop.shell.Requests,
              (std::vector<test::RecordingShell::Request>{{"www.example.com", "", "", 1},
                                                          {"MailTo:a@b.c", "-x", "/tmp", 5}}));
    EXPECT_FALSE(ShellExec({}, "www.example.com", "", "", 1));
}

TEST(GetWindowsDirTest, ExactlyOneTrailingDelimiter)
{
    test::ScratchFolder dir;
    {
        ScopedFolderOverride windows(TFolder::Windows, dir / "win");
        EXPECT_EQ(GetWindowsDir(), dir / "win/");
    }
    {
        ScopedFolderOverride windows(TFolder::Windows, dir / "win2/");
        EXPECT_EQ(GetWindowsDir(), dir / "win2/");
    }
    {
        ScopedFolderOverride windows(TFolder::Windows, dir / "win3//");
        EXPECT_EQ(GetWindowsDir(), dir / "win3/");
    }
}

TEST(FileVersionTest, KeyTableByIndex)
{
    const char* const names[] = {"CompanyName",    "FileDescription", "FileVersion",      "InternalName",
                                 "LegalCopyright", "LegalTradeMarks", "OriginalFilename", "ProductName",
                                 "ProductVersion", "Comments"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(VersionKeyName(i), names[i]);
    EXPECT_EQ(VersionKeyName(vkFileVersion), "FileVersion");
    EXPECT_EQ(VersionKeyName(-1), "");
    EXPECT_EQ(VersionKeyName(10), "");
}

TEST(FileVersionTest, ReadsTheProgramsOwnNote)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(GetFileVersionString(self, vkFileVersion), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(GetFileVersionString(self, vkProductVersion), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(GetFileVersionString(self, vkCompanyName), CARLUME_EXPECTED_COMPANY);
    EXPECT_EQ(GetFileVersionString(self, vkOriginalFilename), "foundation_tests");
    EXPECT_EQ(GetFileVersionString(self, vkLegalTradeMarks), "");
}

TEST(FileVersionTest, NothingForBadIndexesAndFilesWithoutVersion)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    for (const int index : {-1, 10, 1000, -2147483647 - 1})
        EXPECT_EQ(GetFileVersionString(self, index), "") << index;

    test::ScratchFolder dir;
    test::WriteAll(dir / "text.txt", "FileVersion=9.9.9.9\n");
    test::WriteAll(dir / "empty", "");
    const std::string elf = test::ReadAll(self);
    test::WriteAll(dir / "truncated", elf.substr(0, 100));
    for (const std::string& path : {dir / "text.txt", dir / "empty", dir / "truncated", dir / "missing",
                                    dir.Path(), std::string("/bin/sh"), std::string()})
        EXPECT_EQ(GetFileVersionString(path, vkFileVersion), "") << path;
}

} // namespace
} // namespace carlume
