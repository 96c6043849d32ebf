#include "foundation/window_helpers.h"

#include "platform/exceptions.h"
#include "platform/folders.h"
#include "tests/support/fake_services.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace carlume {
namespace {

using test::TDialogRequest;
using Kind = TDialogRequest::TKind;

// A dialog service whose boxes fail, as one does when no window can be opened; it notes the cursor each
// box would have been shown with.
class FailingDialogs : public IDialogService {
public:
    explicit FailingDialogs(const IScreenCursorService& cursor)
        : cursor_(cursor)
    {
    }
    void ShowMessage(TMsgDlgType, const std::string&) override { Fail(); }
    bool AskYesNo(const std::string&) override
    {
        Fail();
        return true;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string& defaultValue) override
    {
        return defaultValue;
    }
    std::vector<TCursor> seen;

private:
    void Fail()
    {
        seen.push_back(cursor_.Cursor());
        throw std::runtime_error("no display");
    }
    const IScreenCursorService& cursor_;
};

std::vector<std::pair<Kind, std::string>> Shown(const test::TFakeDialogService& dialogs)
{
    std::vector<std::pair<Kind, std::string>> shown;
    for (const auto& request : dialogs.Requests())
        shown.emplace_back(request.Kind, request.Text);
    return shown;
}

TEST(MessageTest, TextReachesTheDialogExactlyAsGiven)
{
    test::TFakeServices fakes;
    const auto services = fakes.Services();
    ShowInfoMessage(services, "Tom & Jerry");
    ShowErrorMessage(services, "a <b>x</b> && y");
    ShowMessageDlg(services, "careful\r\nsecond line", TMsgDlgType::mtWarning);
    fakes.Dialogs.QueueYesNo(true);
    fakes.Dialogs.QueueYesNo(false);
    EXPECT_TRUE(AskYesNo(services, "Save & quit?"));
    EXPECT_FALSE(AskYesNo(services, "Really?"));
    EXPECT_EQ(fakes.Dialogs.Messages(TMsgDlgType::mtInformation), std::vector<std::string>{"Tom & Jerry"});
    EXPECT_EQ(fakes.Dialogs.Messages(TMsgDlgType::mtError), std::vector<std::string>{"a <b>x</b> && y"});
    EXPECT_EQ(fakes.Dialogs.Messages(TMsgDlgType::mtWarning),
              std::vector<std::string>{"careful\r\nsecond line"});
    EXPECT_EQ(Shown(fakes.Dialogs),
              (std::vector<std::pair<Kind, std::string>>{{Kind::Message, "Tom & Jerry"},
                                                         {Kind::Message, "a <b>x</b> && y"},
                                                         {Kind::Message, "careful\r\nsecond line"},
                                                         {Kind::YesNo, "Save & quit?"},
                                                         {Kind::YesNo, "Really?"}}));
}

TEST(MessageTest, DefaultCursorWhileShownAndTheOldOneAfterwards)
{
    test::TFakeServices fakes;
    fakes.ScreenCursor.SetCursor(crHourGlass);
    ShowInfoMessage(fakes.Services(), "one");
    EXPECT_EQ(fakes.ScreenCursor.Cursor(), crHourGlass);
    fakes.Dialogs.QueueYesNo(true);
    (void)AskYesNo(fakes.Services(), "two");
    EXPECT_EQ(fakes.ScreenCursor.Cursor(), crHourGlass);
    EXPECT_EQ(fakes.ScreenCursor.History(),
              (std::vector<TCursor>{crHourGlass, crDefault, crHourGlass, crDefault, crHourGlass}));
}

TEST(MessageTest, CursorComesBackWhenTheDialogFails)
{
    test::TFakeScreenCursorService cursor;
    cursor.SetCursor(crHourGlass);
    FailingDialogs dialogs(cursor);
    const TApplicationServices services{&dialogs, nullptr, nullptr, &cursor};
    EXPECT_THROW(ShowErrorMessage(services, "x"), std::runtime_error);
    EXPECT_EQ(cursor.Cursor(), crHourGlass);
    EXPECT_THROW((void)AskYesNo(services, "y"), std::runtime_error);
    EXPECT_EQ(cursor.Cursor(), crHourGlass);
    EXPECT_EQ(dialogs.seen, (std::vector<TCursor>{crDefault, crDefault}));
}

TEST(MessageTest, WorksWithoutCursorOrDialogService)
{
    test::TFakeDialogService dialogs;
    ShowInfoMessage({&dialogs, nullptr, nullptr, nullptr}, "no cursor service");
    EXPECT_EQ(dialogs.Requests().size(), 1u);

    ::testing::internal::CaptureStderr();
    ShowErrorMessage({}, "nowhere to show");
    EXPECT_FALSE(AskYesNo({}, "nobody to ask"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("nowhere to show"), std::string::npos);
    EXPECT_NE(err.find("nobody to ask"), std::string::npos);
}

TEST(ShellExecTest, HandsTheRequestToTheShell)
{
    test::TFakeServices fakes;
    fakes.Shell.QueueResult(true);
    fakes.Shell.QueueResult(false);
    EXPECT_TRUE(ShellExec(fakes.Services(), "www.example.com", "", "", 1));
    EXPECT_FALSE(ShellExec(fakes.Services(), "MailTo:a@b.c", "-x", "/tmp", 5));
    const auto& requests = fakes.Shell.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].ShowCommand, 1);
    const auto& r = requests[1];
    EXPECT_EQ(r.File + " " + r.Parameters + " " + r.Folder + " " + std::to_string(r.ShowCommand),
              "MailTo:a@b.c -x /tmp 5");
    EXPECT_FALSE(ShellExec({}, "www.example.com", "", "", 1));
}

TEST(GetWindowsDirTest, ExactlyOneTrailingDelimiter)
{
    // Asking for the folder makes it, the padded one below the working folder: all of them in a scratch
    // folder.
    test::ScratchFolder scratch;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Path());
    const std::string w = scratch / "w";
    for (const std::string& given : {w, w + "/", w + "//", " " + w + " "}) {
        ScopedFolderOverride windows(TFolder::Windows, given);
        EXPECT_EQ(GetWindowsDir(), w + "/") << given;
    }
    std::filesystem::current_path(before);
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
    for (const int index : {-1, 10, 1000, -2147483647 - 1}) {
        EXPECT_EQ(GetFileVersionString(self, index), "") << index;
        EXPECT_EQ(VersionKeyName(index), "") << index;
    }
    EXPECT_EQ(VersionKeyName(vkFileVersion), "FileVersion");
    EXPECT_EQ(GetFileVersionString("/nonexistent/file", vkFileVersion), "");
}

} // namespace
} // namespace carlume
