// The gradient push button: its looks, the click rule for mouse and keys, and the form's keys and result.

#include "components/gradient_button.h"
#include "components/scheme_button.h"
#include "tests/components/styled_button_support.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using In = TInput;

QImage Look(TGradientButton& button)
{
    return button.PaintToImage().convertToFormat(QImage::Format_RGB32);
}

// --- looks (75 x 25, caption "OK") ------------------------------------------------------------------------

struct LookCase {
    std::string Name;
    bool Gradient, Enabled;
    std::vector<TInput> Input;
    std::vector<TPixelProbe> Probes;
    bool ShadowShows = true;
};

class GradientButtonLook : public ::testing::TestWithParam<LookCase> {};

TEST_P(GradientButtonLook, ProbesWhereTheRulesDecideTheColour)
{
    const LookCase& c = GetParam();
    TGradientButton button;
    Look(button); // the look painted before must not linger
    button.SetCaption(QStringLiteral("OK"));
    button.SetGradient(c.Gradient);
    button.SetEnabled(c.Enabled);
    for (const TInput& input : c.Input) {
        Send(button, input);
    }
    const QImage image = Look(button);
    EXPECT_TRUE(PixelsAre(image, c.Probes, c.Name));
    EXPECT_EQ(CountPixels(image, image.rect(), clSilver) > 0, c.ShadowShows) << "caption shadow";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Looks, GradientButtonLook, ::testing::Values(
    LookCase{"Normal", true, true, {},
             {{37, 0, 0xD3D3D6, "outer frame"}, {37, 1, 0x743C00, "inner frame"}, {37, 2, 0xFFE7CE, "top"},
              {37, 22, 0xEE8269, "bottom"}, {2, 12, 0xF6D4BC, "side"}, {3, 12, clWhite, "white line"},
              {6, 4, 0xFDFDFD, "face top"}, {6, 20, 0xDFCCCD, "face bottom"}, {37, 3, 0xF6D4BC, "no ring"}}},
    LookCase{"PressedUnderTheMouse", true, true, {{In::Press, {37, 12}}},
             {{6, 4, 0xDFCCCD, "face top"}, {6, 20, 0xFDFDFD, "face bottom"}, {37, 3, 0x30B3F8, "ring"}}},
    LookCase{"PressedBySpaceKeepsTheFace", true, true, {{In::KeyDown}}, {{6, 4, 0xFDFDFD, "face top"}}},
    LookCase{"Hover", true, true, {{In::Enter}}, {{37, 3, 0x30B3F8, "ring"}, {3, 3, 0x30B3F8, "corner"}}},
    LookCase{"Focused", true, true, {{In::FocusIn}},
             {{4, 4, 0x020202, "inverted dot"}, {5, 4, 0xFDFDFD, "between"}, {6, 4, 0x020202, "next dot"}}},
    LookCase{"Disabled", true, false, {{In::Enter}, {In::Press, {37, 12}}},
             {{0, 0, clBtnFace, "corner"}, {74, 24, clBtnFace, "corner"}, {37, 1, 0xBFC3C4, "inner frame"},
              {6, 12, 0xEDF1F1, "flat face"}, {37, 3, 0xEDF1F1, "no ring"}}, false},
    LookCase{"Plain", false, true, {},
             {{6, 12, clBtnFace, "face"}, {1, 1, clWhite, "raised"}, {1, 24, clWhite, "left line"},
              {37, 24, cl3DDkShadow, "bottom"}, {74, 1, clBtnFace, "end points left out"}}, false},
    LookCase{"PlainPressed", false, true, {{In::KeyDown}},
             {{1, 1, cl3DDkShadow, "sunken"}, {37, 24, clWhite, "bottom"}}, false},
    LookCase{"PlainHover", false, true, {{In::Enter}}, {{37, 3, clSilver, "grey ring"}}}),
    ByName);
// clang-format on

class GradientButtonCorners : public ::testing::TestWithParam<LookCase> {};

// The rounded face leaves the four corner pixels to the parent, whose background shows there; the
// disabled look paints them in the button face colour.
TEST_P(GradientButtonCorners, ShowTheParentsBackground)
{
    const LookCase& c = GetParam();
    QWidget panel;
    panel.resize(95, 45);
    panel.setAutoFillBackground(true);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, ToQColor(clInfoBk));
    panel.setPalette(palette);
    TGradientButton button(&panel);
    button.move(10, 10);
    button.SetGradient(c.Gradient);
    button.SetEnabled(c.Enabled);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    for (const TInput& input : c.Input) {
        Send(button, input);
    }
    QApplication::processEvents();
    // What the screen shows: a control declared opaque would keep the parent from painting beneath it.
    const QImage image = panel.screen()->grabWindow(panel.winId()).toImage();
    const TColor corner = c.Enabled ? clInfoBk : clBtnFace;
    EXPECT_TRUE(PixelsAre(image,
                          {{10, 10, corner, "top-left"},
                           {84, 10, corner, "top-right"},
                           {84, 34, corner, "bottom-right"},
                           {10, 34, corner, "bottom-left"},
                           {11, 10, 0xD3D3D6, "frame beside the corner"}},
                          "corners-" + c.Name));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Looks, GradientButtonCorners, ::testing::Values(
    LookCase{"Normal", true, true, {}, {}},
    LookCase{"Hover", true, true, {{In::Enter}}, {}},
    LookCase{"Pressed", true, true, {{In::Enter}, {In::Press, {37, 12}}}, {}},
    LookCase{"Focused", true, true, {{In::FocusIn}}, {}},
    LookCase{"Disabled", true, false, {}, {}}),
    ByName);
// clang-format on

// The byte-sized band count would wrap at 768 pixels and leave ten bands.
TEST(GradientButton, ATallButtonKeepsItsBands)
{
    TGradientButton button;
    button.resize(75, 800);
    const QImage image = Look(button);
    std::set<TColor> colours;
    for (int y = 4; y < 796; ++y) {
        colours.insert(PixelAt(image, 6, y));
    }
    EXPECT_GE(colours.size(), 50u);
}

// --- accelerator underline
// ----------------------------------------------------------------------------------

struct UnderlineCase {
    std::string Name;
    QString Caption, Before, Marked;
    bool Enabled;
    TColor Colour;
};

class GradientButtonUnderline : public ::testing::TestWithParam<UnderlineCase> {};

// Against the same button captioned "Close", only the underline differs: one row under the marked letter.
TEST_P(GradientButtonUnderline, RunsUnderTheMarkedCharacterOnly)
{
    const UnderlineCase& c = GetParam();
    TGradientButton marked;
    marked.SetCaption(c.Caption);
    marked.SetEnabled(c.Enabled);
    TGradientButton plain;
    plain.SetCaption(QStringLiteral("Close"));
    plain.SetEnabled(c.Enabled);
    const QImage withLine = Look(marked);
    const QImage without = Look(plain);

    TCanvas measure;
    measure.Font().Assign(marked.Font());
    const TSize text = measure.TextExtent(QStringLiteral("Close"));
    const int y = (25 - text.cy) / 2 + text.cy;
    const int from = (75 - text.cx) / 2 + measure.TextWidth(c.Before);
    const int to = (75 - text.cx) / 2 + measure.TextWidth(c.Before + c.Marked);
    QRect differing;
    for (int py = 0; py < 25; ++py) {
        for (int px = 0; px < 75; ++px) {
            if (withLine.pixel(px, py) != without.pixel(px, py)) {
                differing |= QRect(px, py, 1, 1);
            }
        }
    }
    EXPECT_EQ(differing, QRect(from, y, to - from, 1));
    EXPECT_EQ(CountPixels(withLine, differing, c.Colour), to - from);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, GradientButtonUnderline,
    ::testing::Values(
        UnderlineCase{"FirstLetter", QStringLiteral("&Close"), {}, QStringLiteral("C"), true, clNavy},
        UnderlineCase{"SecondLetter", QStringLiteral("C&lose"), QStringLiteral("C"), QStringLiteral("l"),
                      true, clNavy},
        UnderlineCase{"Disabled", QStringLiteral("&Close"), {}, QStringLiteral("C"), false, 0x92A1A1}),
    ByName);

// --- click rule
// ---------------------------------------------------------------------------------------------

struct ClickCase {
    std::string Name;
    std::vector<TInput> Input;
    int Clicks;
    bool Enabled = true;
};

class GradientButtonClicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(GradientButtonClicks, CountsClicksAndEndsUnpressed)
{
    const ClickCase& c = GetParam();
    TGradientButton button;
    button.SetEnabled(c.Enabled);
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    for (const TInput& input : c.Input) {
        Send(button, input);
    }
    EXPECT_EQ(clicks, c.Clicks);
    EXPECT_FALSE(button.Pressed());
}

const QPoint kIn(10, 10);
const QPoint kOut(90, 10);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Mouse, GradientButtonClicks, ::testing::Values(
    ClickCase{"PressAndReleaseInside", {{In::Press, kIn}, {In::Release, kIn}}, 1},
    ClickCase{"ReleaseOutside", {{In::Press, kIn}, {In::Release, kOut}}, 0},
    ClickCase{"ALaterReleaseAlone", {{In::Press, kIn}, {In::Release, kOut}, {In::Release, kIn}}, 0},
    ClickCase{"AReleaseWithoutAPressHere", {{In::Release, kIn}}, 0},
    ClickCase{"OutAndBackIn", {{In::Press, kIn}, {In::Move, kOut}, {In::Move, kIn}, {In::Release, kIn}}, 1},
    ClickCase{"DoubleClickClicksTwice",
              {{In::Press, kIn}, {In::Release, kIn}, {In::DoubleClick, kIn}, {In::Release, kIn}}, 2},
    ClickCase{"RightButtonIsSwallowed", {{In::RightPress, kIn}, {In::RightRelease, kIn}}, 0},
    ClickCase{"Disabled", {{In::Press, kIn}, {In::Release, kIn}}, 0, false}),
    ByName);

INSTANTIATE_TEST_SUITE_P(Keys, GradientButtonClicks, ::testing::Values(
    ClickCase{"SpaceDownAndUp", {{In::KeyDown}, {In::KeyUp}}, 1},
    ClickCase{"EnterDownSpaceUp", {{In::KeyDown, {}, Qt::Key_Return}, {In::KeyUp}}, 1},
    ClickCase{"AutoRepeatPairs", {{In::KeyDown}, {In::RepeatKeyUp}, {In::RepeatKeyDown}, {In::KeyUp}}, 1},
    ClickCase{"FocusLeftBetweenDownAndUp",
              {{In::FocusIn}, {In::KeyDown}, {In::FocusOut}, {In::FocusIn}, {In::KeyUp}}, 0},
    ClickCase{"Disabled", {{In::KeyDown}, {In::KeyUp}}, 0, false}),
    ByName);
// clang-format on

TEST(GradientButton, ADisabledButtonStillTakesTheFocus)
{
    TForm form;
    TGradientButton button(&form);
    button.SetTabStop(true);
    button.SetEnabled(false);
    form.show();
    QApplication::setActiveWindow(&form);
    button.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(button.Focused());
}

// --- on a form
// ----------------------------------------------------------------------------------------------

TEST(GradientButtonOnAForm, OnClickRunsWhileTheFormIsOpenThenTheResultEndsIt)
{
    TForm form;
    TGradientButton ok(&form);
    ok.setObjectName(QStringLiteral("ok"));
    ok.SetModalResult(mrOk);
    bool openDuringClick = false;
    TModalResult resultDuringClick = -1;
    ok.OnClick = [&] {
        openDuringClick = form.isVisible();
        resultDuringClick = form.ModalResult();
    };
    TModalDriver driver;
    driver.Then([](TModalWindow& w) { w.Click(QStringLiteral("ok")); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(openDuringClick);
    EXPECT_EQ(resultDuringClick, mrNone);
}

struct FormKeyCase {
    std::string Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    std::vector<int> Clicks; // copy, close, hidden Default, plain
};

class GradientButtonFormKeys : public ::testing::TestWithParam<FormKeyCase> {};

// "Copy" (Default), "&Close" (Default, Cancel, mrCancel), a hidden Default button and a plain one: every
// visible Default button acts on Enter, and the key ends the form through "&Close".
TEST_P(GradientButtonFormKeys, EveryButtonThatTakesTheKeyClicks)
{
    const FormKeyCase& c = GetParam();
    TForm form;
    std::vector<TGradientButton*> buttons;
    std::vector<int> clicks(4, 0);
    for (int i = 0; i < 4; ++i) {
        buttons.push_back(new TGradientButton(&form));
        buttons.back()->OnClick = [&clicks, i] { ++clicks[std::size_t(i)]; };
    }
    buttons[0]->SetDefault(true);
    buttons[1]->SetCaption(QStringLiteral("&Close"));
    buttons[1]->SetDefault(true);
    buttons[1]->SetCancel(true);
    buttons[1]->SetModalResult(mrCancel);
    buttons[2]->SetDefault(true);
    buttons[2]->hide();
    TModalDriver driver;
    driver.Then([&](TModalWindow& w) { w.Key(c.Key, c.Modifiers); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(clicks, c.Clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GradientButtonFormKeys,
    ::testing::Values(FormKeyCase{"EnterClicksBothDefaults", Qt::Key_Return, Qt::NoModifier, {1, 1, 0, 0}},
                      FormKeyCase{"EscClicksTheCancelButton", Qt::Key_Escape, Qt::NoModifier, {0, 1, 0, 0}},
                      FormKeyCase{"Accelerator", Qt::Key_C, Qt::AltModifier, {0, 1, 0, 0}}),
    ByName);

struct FocusedEnterCase {
    std::string Name;
    const char* Focus;
    Qt::Key Key;
    std::vector<int> Clicks; // copy, close, email, details
    TModalResult Result;
};

class StyledButtonsFocusedEnter : public ::testing::TestWithParam<FocusedEnterCase> {};

// As in the installation details: "Copy" and "Close" (mrCancel) are Default buttons, "Email" and the "?"
// details button are not. A focused button takes Enter for itself; the Default buttons act on it only while
// no button has the focus.
TEST_P(StyledButtonsFocusedEnter, TheFocusedButtonTakesEnter)
{
    const FocusedEnterCase& c = GetParam();
    TForm form;
    QLineEdit edit(&form);
    edit.setObjectName(QStringLiteral("edit"));
    std::vector<int> clicks(4, 0);
    std::vector<TStyledPushButton*> buttons;
    const char* names[] = {"copy", "close", "email"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new TGradientButton(&form);
        button->setObjectName(QString::fromLatin1(names[i]));
        button->move(0, 30 * (i + 1));
        button->OnClick = [&clicks, i] { ++clicks[std::size_t(i)]; };
        buttons.push_back(button);
    }
    auto* details = new TSchemeButton(&form);
    details->setObjectName(QStringLiteral("details"));
    details->move(0, 120);
    details->OnClick = [&clicks] { ++clicks[3]; };
    buttons.push_back(details);
    for (TStyledPushButton* button : buttons) {
        button->SetTabStop(true);
    }
    buttons[0]->SetDefault(true);
    buttons[1]->SetDefault(true);
    buttons[1]->SetModalResult(mrCancel);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QWidget* focus = form.findChild<QWidget*>(QString::fromLatin1(c.Focus));
    focus->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), focus);
    QTest::keyClick(focus, c.Key);
    QApplication::processEvents();
    EXPECT_EQ(clicks, c.Clicks);
    EXPECT_EQ(form.ModalResult(), c.Result);
    auto* gradient = dynamic_cast<TGradientButton*>(focus);
    EXPECT_TRUE(gradient == nullptr || !gradient->Pressed()) << "pressed by the key, released with it";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, StyledButtonsFocusedEnter, ::testing::Values(
    FocusedEnterCase{"OnEmailOnlyEmails", "email", Qt::Key_Return, {0, 0, 1, 0}, mrNone},
    FocusedEnterCase{"KeypadEnterOnEmail", "email", Qt::Key_Enter, {0, 0, 1, 0}, mrNone},
    FocusedEnterCase{"OnCopyOnlyCopies", "copy", Qt::Key_Return, {1, 0, 0, 0}, mrNone},
    FocusedEnterCase{"OnCloseCloses", "close", Qt::Key_Return, {0, 1, 0, 0}, mrCancel},
    FocusedEnterCase{"OnTheSchemeButton", "details", Qt::Key_Return, {0, 0, 0, 1}, mrNone},
    FocusedEnterCase{"NoButtonFocused", "edit", Qt::Key_Return, {1, 1, 0, 0}, mrCancel}),
    ByName);
// clang-format on

TEST(GradientButtonOnAForm, EscWithoutACancelButtonLeavesTheFormOpen)
{
    TForm form;
    TGradientButton ok(&form);
    ok.SetModalResult(mrOk);
    bool stillOpen = false;
    TModalDriver driver;
    driver.Then([](TModalWindow& w) { w.Key(Qt::Key_Escape); });
    driver.ThenAgain([&](TModalWindow& w) {
        stillOpen = w.Widget().isVisible();
        w.Close();
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(stillOpen);
}

} // namespace
} // namespace carlume::test
