// The service fakes record every request, and a question without a scripted answer fails the test.

#include "tests/support/fake_services.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using Kind = TDialogRequest::TKind;

TEST(FakeDialogService, RecordsEveryRequestAndAnswersFromTheQueue)
{
    TFakeDialogService dialogs;
    dialogs.QueueYesNo(true);
    dialogs.QueueYesNo(false);
    dialogs.QueueInput("12");
    dialogs.QueueInputCancel();
    IDialogService& service = dialogs;
    service.ShowMessage(TMsgDlgType::mtInformation, "VIN must be at least 17 characters");
    EXPECT_TRUE(service.AskYesNo("Continue?"));
    EXPECT_FALSE(service.AskYesNo("Really?"));
    EXPECT_EQ(service.InputBox("Printout Font Size", "Provide a size", "10"), "12");
    EXPECT_EQ(service.InputBox("Printout Font Size", "Provide a size", "10"), "10");
    service.ShowMessage(TMsgDlgType::mtError, "Boom");
    EXPECT_EQ(dialogs.PendingAnswers(), 0U);

    const auto& requests = dialogs.Requests();
    ASSERT_EQ(requests.size(), 6U);
    EXPECT_EQ(requests[0].Kind, Kind::Message);
    EXPECT_EQ(requests[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(requests[1].Kind, Kind::YesNo);
    EXPECT_EQ(requests[1].Text, "Continue?");
    EXPECT_EQ(requests[3].Kind, Kind::Input);
    EXPECT_EQ(requests[3].Caption, "Printout Font Size");
    EXPECT_EQ(requests[3].Text, "Provide a size");
    EXPECT_EQ(requests[3].Default, "10");
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtError), std::vector<std::string>{"Boom"});
    dialogs.Clear();
    EXPECT_TRUE(dialogs.Requests().empty());
}

TEST(FakeDialogService, UnscriptedQuestionsFailTheTest)
{
    TFakeDialogService dialogs;
    bool answer = true;
    EXPECT_NONFATAL_FAILURE(answer = dialogs.AskYesNo("Cancel the lookup?"), "unscripted yes/no question");
    EXPECT_FALSE(answer);
    std::string text;
    EXPECT_NONFATAL_FAILURE(text = dialogs.InputBox("Size", "Size?", "10"), "unscripted input box");
    EXPECT_EQ(text, "10");
    EXPECT_EQ(dialogs.Requests().size(), 2U) << "still recorded";
}

TEST(FakeDialogService, AnswersNobodyAskedForFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            TFakeDialogService dialogs;
            dialogs.QueueYesNo(true);
        },
        "1 scripted answer(s)");
}

TEST(FakeClipboardService, KeepsTheTextAndEveryWrite)
{
    TFakeClipboardService clipboard;
    clipboard.SetInitialText("before");
    EXPECT_EQ(clipboard.Text(), "before");
    clipboard.SetText("");
    clipboard.SetText("line\r");
    EXPECT_EQ(clipboard.Text(), "line\r");
    EXPECT_EQ(clipboard.Writes(), (std::vector<std::string>{"", "line\r"}));
}

TEST(FakeShellService, RecordsRequestsAndScriptedResults)
{
    TFakeShellService shell;
    shell.QueueResult(false);
    EXPECT_FALSE(shell.Open("MailTo:a@b.c", "", "", 5));
    EXPECT_TRUE(shell.Open("/opt/Qelvo", "", "/tmp", 1));
    ASSERT_EQ(shell.Requests().size(), 2U);
    EXPECT_EQ(shell.Requests()[0].File, "MailTo:a@b.c");
    EXPECT_EQ(shell.Requests()[0].ShowCommand, 5);
    EXPECT_EQ(shell.Requests()[1].Folder, "/tmp");
}

TEST(FakeScreenCursorService, KeepsTheHistory)
{
    TFakeServices fakes;
    IScreenCursorService& cursor = *fakes.Services().ScreenCursor;
    cursor.SetCursor(crHourGlass);
    cursor.SetCursor(crArrow);
    cursor.SetCursor(crHourGlass);
    EXPECT_EQ(cursor.Cursor(), crHourGlass);
    EXPECT_EQ(fakes.ScreenCursor.History(), (std::vector<TCursor>{crHourGlass, crArrow, crHourGlass}));
    const TApplicationServices services = fakes.Services();
    EXPECT_EQ(services.Dialogs, &fakes.Dialogs);
    EXPECT_EQ(services.Clipboard, &fakes.Clipboard);
    EXPECT_EQ(services.Shell, &fakes.Shell);
}

} // namespace
} // namespace carlume::test
