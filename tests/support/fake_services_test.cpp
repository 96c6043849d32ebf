// The service fakes answer from their scripts, and a question nobody scripted, or an answer nobody asked
// for, fails the test: the window tests rely on both.

#include "tests/support/fake_services.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume::test {
namespace {

TEST(FakeServices, AnswerFromTheScriptAndRecordEveryRequest)
{
    TFakeServices fakes;
    const TApplicationServices services = fakes.Services();
    fakes.Dialogs.QueueYesNo(false);
    fakes.Dialogs.QueueInput("12");
    fakes.Dialogs.QueueInputCancel();
    services.Dialogs->ShowMessage(TMsgDlgType::mtError, "Boom");
    EXPECT_FALSE(services.Dialogs->AskYesNo("Continue?"));
    EXPECT_EQ(services.Dialogs->InputBox("Printout Font Size", "Provide a size", "10"), "12");
    EXPECT_EQ(services.Dialogs->InputBox("Printout Font Size", "Provide a size", "10"), "10");
    ASSERT_EQ(fakes.Dialogs.Requests().size(), 4U);
    EXPECT_EQ(fakes.Dialogs.Requests()[1].Kind, TDialogRequest::TKind::YesNo);
    EXPECT_EQ(fakes.Dialogs.Requests()[2].Caption, "Printout Font Size");
    EXPECT_EQ(fakes.Dialogs.Messages(TMsgDlgType::mtError), std::vector<std::string>{"Boom"});

    fakes.Shell.QueueResult(false);
    EXPECT_FALSE(services.Shell->Open("MailTo:a@b.c", "", "", 5));
    EXPECT_TRUE(services.Shell->Open("/opt/Qelvo", "", "/tmp", 1));
    EXPECT_EQ(fakes.Shell.Requests()[1].Folder, "/tmp");
    services.Clipboard->SetText("line\r");
    EXPECT_EQ(fakes.Clipboard.Writes(), std::vector<std::string>{"line\r"});
    services.ScreenCursor->SetCursor(crHourGlass);
    EXPECT_EQ(fakes.ScreenCursor.History(), std::vector<TCursor>{crHourGlass});
}

TEST(FakeServices, UnscriptedQuestionsAndUnusedAnswersFailTheTest)
{
    TFakeDialogService dialogs;
    EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(dialogs.AskYesNo("Cancel?")), "unscripted yes/no question");
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(dialogs.InputBox("S", "Size?", "10"), "10"), "unscripted input box");
    EXPECT_NONFATAL_FAILURE(
        {
            TFakeDialogService unused;
            unused.QueueYesNo(true);
        },
        "1 scripted answer(s)");
}

} // namespace
} // namespace carlume::test
