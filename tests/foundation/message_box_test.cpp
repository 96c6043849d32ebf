// The message helpers on the real desktop services, offscreen.

#include "foundation/window_helpers.h"

#include "platform/gui/qt_services.h"
#include "tests/support/modal_driver.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace carlume {
namespace {

using test::TModalDriver;
using test::TModalWindow;

struct Seen {
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    bool overridden = true;
};

Seen Look(TModalWindow& w)
{
    const auto& box = w.As<QMessageBox>();
    return {w.Text(), box.textFormat(), QGuiApplication::overrideCursor() != nullptr};
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { qt.ScreenCursor.SetCursor(crHourGlass); }
    void TearDown() override { qt.ScreenCursor.SetCursor(crDefault); }

    // The hourglass the program showed before the box.
    static bool HourGlassShown()
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    }

    TQtServices qt;
};

TEST_F(MessageBoxTest, TextShownAsItIsWithTheDefaultCursorThenTheHourGlassAgain)
{
    for (const char* text : {"Tom & Jerry", "a <b>x</b>", "&&File"}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(HourGlassShown());
        Seen seen;
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            seen = Look(w);
            w.ClickButton(QStringLiteral("OK"));
        });
        ShowInfoMessage(qt.Services(), text);
        EXPECT_EQ(seen.text, QString::fromUtf8(text));
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_FALSE(seen.overridden) << "the default cursor while the box is open";
        EXPECT_TRUE(HourGlassShown());
    }
}

TEST_F(MessageBoxTest, AskYesNoIsFalseOnEscAndTrueOnYes)
{
    TModalDriver driver;
    Seen seen;
    driver.Then([&](TModalWindow& w) {
        seen = Look(w);
        w.Key(Qt::Key_Escape);
    });
    driver.Then([](TModalWindow& w) { w.ClickButton(QStringLiteral("Yes")); });
    EXPECT_FALSE(AskYesNo(qt.Services(), "Save & quit?"));
    EXPECT_EQ(seen.text, QStringLiteral("Save & quit?"));
    EXPECT_FALSE(seen.overridden);
    EXPECT_TRUE(HourGlassShown());
    EXPECT_TRUE(AskYesNo(qt.Services(), "Again?"));
    EXPECT_TRUE(HourGlassShown());
}

} // namespace
} // namespace carlume
