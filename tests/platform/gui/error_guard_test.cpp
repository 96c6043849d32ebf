// The guard around event handlers: an exception is shown as an error message and the window stays open.

#include "platform/gui/error_guard.h"
#include "platform/gui/form.h"
#include "tests/support/fake_services.h"
#include "tests/support/modal_driver.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace carlume {
namespace {

using test::TFakeDialogService;
using test::TModalDriver;
using test::TModalWindow;
using test::TScopedHandlerErrorDialogs;

using Errors = std::vector<std::string>;

TEST(ErrorGuard, RunGuardedShowsTheMessageAndReportsTheFailure)
{
    TFakeDialogService dialogs;
    TScopedHandlerErrorDialogs scope(&dialogs);
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("Cannot create file \"x\". No such file"); }));
    EXPECT_FALSE(RunGuarded([] { throw 42; }));
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtError),
              (Errors{"Cannot create file \"x\". No such file", kUnknownErrorText}));
}

class Window : public TForm {
public:
    Window()
    {
        auto* fail = new QPushButton(QStringLiteral("Fail"), this);
        fail->setObjectName(QStringLiteral("btnFail"));
        fail->setGeometry(10, 10, 75, 25);
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("btnOk"));
        ok->setGeometry(10, 40, 75, 25);
        ConnectGuarded(fail, &QPushButton::clicked, this, &Window::FailClick);
        ConnectGuarded(ok, &QPushButton::clicked, this, [this](bool) {
            ++okClicks;
            SetModalResult(mrOk);
        });
    }
    void FailClick()
    {
        ++failClicks;
        throw std::runtime_error("Engine <error> & more");
    }
    int failClicks = 0;
    int okClicks = 0;
};

TEST(ErrorGuard, AnExceptionInAHandlerIsShownAndTheWindowStaysOpen)
{
    TFakeDialogService dialogs;
    TScopedHandlerErrorDialogs scope(&dialogs);
    Window window;
    bool openAfterError = false;
    TModalDriver driver;
    driver.Then([&](TModalWindow& w) {
        w.Click(QStringLiteral("btnFail"));
        QTest::qWait(30);
        openAfterError = window.isVisible();
        w.Click(QStringLiteral("btnOk"));
    });
    EXPECT_EQ(window.ShowModal(), mrOk);
    EXPECT_TRUE(openAfterError);
    EXPECT_EQ(window.failClicks, 1);
    EXPECT_EQ(window.okClicks, 1);
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtError), Errors{"Engine <error> & more"});
}

TEST(ErrorGuard, WithoutAServiceTheErrorAppearsInAPlainTextBox)
{
    Window window;
    QString boxText;
    QString boxTitle;
    Qt::TextFormat format = Qt::AutoText;
    TModalDriver driver;
    driver.Then([](TModalWindow& w) { w.Click(QStringLiteral("btnFail")); });
    driver.Then([&](TModalWindow& box) {
        boxText = box.Text();
        boxTitle = box.Title();
        format = box.As<QMessageBox>().textFormat();
        box.ClickButton(QStringLiteral("OK"));
    });
    driver.ThenAgain([](TModalWindow& w) { w.Click(QStringLiteral("btnOk")); });
    EXPECT_EQ(window.ShowModal(), mrOk);
    EXPECT_EQ(boxText, QStringLiteral("Engine <error> & more"));
    EXPECT_EQ(boxTitle, QStringLiteral("Error"));
    EXPECT_EQ(format, Qt::PlainText);
}

TEST(ErrorGuard, GuardedSlotsTakeTheSignalArgumentsTheyAskFor)
{
    TFakeDialogService dialogs;
    TScopedHandlerErrorDialogs scope(&dialogs);
    QPushButton button;
    button.setCheckable(true);
    std::vector<bool> seen;
    ConnectGuarded(&button, &QPushButton::toggled, &button, [&](bool on) {
        seen.push_back(on);
        if (!on) {
            throw std::logic_error("off");
        }
    });
    int mutableCalls = 0;
    ConnectGuarded(&button, &QPushButton::toggled, &button,
                   [&mutableCalls, count = 0]() mutable { mutableCalls = ++count; });
    button.toggle();
    button.toggle();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    EXPECT_EQ(mutableCalls, 2);
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtError), Errors{"off"});
}

} // namespace
} // namespace carlume
