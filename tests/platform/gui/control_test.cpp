// The control bases: painting through the canvas, mouse and key notifications, dialog keys.

#include "platform/gui/control.h"
#include "tests/support/fake_services.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace carlume {
namespace {

using test::PixelsAre;
using test::TModalDriver;
using test::TModalWindow;

class Probe : public TCustomControl {
public:
    explicit Probe(QWidget* parent = nullptr, bool takesEsc = false)
        : TCustomControl(parent)
        , takesEsc_(takesEsc)
    {
        resize(20, 10);
    }
    std::vector<std::string> log;

protected:
    void Paint(TCanvas& canvas) override
    {
        canvas.Brush().SetColor(clYellow);
        canvas.Rectangle(0, 0, width(), height());
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        log.push_back("down " + std::to_string(int(button)) + " " + std::to_string(shift) + " " +
                      std::to_string(x) + "," + std::to_string(y));
        if (x == 1 && y == 1) {
            throw std::runtime_error("pressed the corner");
        }
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override
    {
        log.push_back("up " + std::to_string(int(button)) + " " + std::to_string(shift) + " " +
                      std::to_string(x) + "," + std::to_string(y));
    }
    void DblClick() override { log.emplace_back("dblclick"); }
    void KeyDown(TVirtualKey& key, TShiftState) override
    {
        log.push_back("keydown " + std::to_string(key));
        if (key == VK_SPACE) {
            key = 0;
        }
    }
    void KeyUp(TVirtualKey& key, TShiftState) override { log.push_back("keyup " + std::to_string(key)); }
    bool DialogKey(TVirtualKey key, TShiftState) override
    {
        log.push_back("dialogkey " + std::to_string(key));
        return takesEsc_ && key == VK_ESCAPE;
    }
    void DoEnter() override { log.emplace_back("enter"); }
    void DoExit() override { log.emplace_back("exit"); }
    void CancelMode() override { log.emplace_back("cancelmode"); }

private:
    bool takesEsc_;
};

TEST(Control, PaintsThroughTheCanvasWithTheSamePixelsOnScreen)
{
    Probe probe;
    const QImage painted = probe.PaintToImage();
    EXPECT_TRUE(PixelsAre(painted,
                          {{0, 0, clBlack, "outline"}, {19, 9, clBlack, "outline"}, {1, 1, clYellow, "face"}},
                          "control"));
    EXPECT_TRUE(test::ImagesEqual(test::RenderWidget(probe), painted.convertToFormat(QImage::Format_RGB32),
                                  "render"));
}

TEST(Control, MouseNotificationsCarryTheButtonShiftStateAndPosition)
{
    test::TFakeDialogService dialogs;
    test::TScopedHandlerErrorDialogs errors(&dialogs);
    Probe probe;
    probe.show();
    QTest::mousePress(&probe, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    QTest::mouseRelease(&probe, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 4));
    EXPECT_EQ(probe.log, (std::vector<std::string>{"down 0 9 3,4", "up 0 1 30,4"}));

    probe.log.clear();
    QTest::mousePress(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseDClick(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(probe.log, (std::vector<std::string>{"down 0 8 5,5", "up 0 0 5,5", "dblclick", "down 0 72 5,5",
                                                   "up 0 0 5,5"}));

    QTest::mousePress(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtError), (std::vector<std::string>{"pressed the corner"}));
    QTest::mouseRelease(&probe, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
}

TEST(Control, KeysAndAutoRepeatReleases)
{
    Probe probe;
    probe.show();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(&probe, &press);
    EXPECT_TRUE(press.isAccepted()) << "consumed by KeyDown";
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(&probe, &repeatRelease);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(&probe, &release);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&probe, &other);
    EXPECT_FALSE(other.isAccepted()) << "left to the parents";
    EXPECT_EQ(probe.log, (std::vector<std::string>{"keydown 32", "keyup 32", "keydown 88"}));
    probe.hide();
    EXPECT_EQ(probe.log.back(), "cancelmode");
}

std::vector<std::string> DialogKeys(const Probe& probe)
{
    std::vector<std::string> keys;
    for (const auto& entry : probe.log) {
        if (entry.rfind("dialogkey", 0) == 0) {
            keys.push_back(entry);
        }
    }
    return keys;
}

TEST(Control, DialogKeysAreOfferedInChildOrderUntilAControlTakesThem)
{
    TForm form;
    auto* edit = new QLineEdit(&form);
    auto* first = new Probe(&form);
    auto* taker = new Probe(&form, true);
    auto* last = new Probe(&form, true);
    TModalDriver driver;
    driver.Then([&](TModalWindow& w) {
        edit->setFocus();
        w.Key(Qt::Key_Escape);
        w.Key(Qt::Key_Return);
        QTest::qWait(20);
        EXPECT_TRUE(form.isVisible()) << "no Cancel control closed the form";
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(DialogKeys(*first), (std::vector<std::string>{"dialogkey 27", "dialogkey 13"}));
    EXPECT_EQ(DialogKeys(*taker), (std::vector<std::string>{"dialogkey 27", "dialogkey 13"}));
    EXPECT_EQ(DialogKeys(*last), (std::vector<std::string>{"dialogkey 13"}))
        << "Esc stopped at the control before";
}

TEST(Control, EnterAndExitComeFromTheFormsActiveControl)
{
    TForm form;
    auto* edit = new QLineEdit(&form);
    auto* probe = new Probe(&form);
    form.show();
    QApplication::setActiveWindow(&form);
    edit->setFocus();
    QApplication::processEvents();
    probe->setFocus(Qt::TabFocusReason);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(probe->log, (std::vector<std::string>{"enter", "exit"}));
}

} // namespace
} // namespace carlume
