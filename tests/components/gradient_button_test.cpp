// The gradient push button: its looks, the click rule for mouse and keys, and the form's keys and result.

#include "components/gradient_button.h"
#include "tests/components/styled_button_support.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

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

// --- looks ----------------------------------------------------------------------------------------------

struct LookCase {
    std::string Name;
    bool Gradient = true;
    bool Enabled = true;
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
    SaveTestImage(image, c.Name + ".png");
    EXPECT_TRUE(PixelsAre(image, c.Probes, c.Name));
    EXPECT_EQ(CountPixels(image, image.rect(), clSilver) > 0, c.ShadowShows);
}

const std::vector<TPixelProbe> kGradientFrame = {
    {37, 0, 0xD3D3D6, "outer frame"},       {37, 1, 0x743C00, "inner frame"},
    {37, 2, 0xFFE7CE, "top edge"},          {37, 22, 0xEE8269, "bottom edge"},
    {2, 12, 0xF6D4BC, "side edge"},         {3, 12, clWhite, "left white line"},
    {37, 24, clWhite, "bottom white line"}, {74, 12, clWhite, "right white line"}};

std::vector<TPixelProbe> With(std::vector<TPixelProbe> probes, const std::vector<TPixelProbe>& more)
{
    probes.insert(probes.end(), more.begin(), more.end());
    return probes;
}

INSTANTIATE_TEST_SUITE_P(
    Looks, GradientButtonLook,
    ::testing::Values(LookCase{"Normal",
                               true,
                               true,
                               {},
                               With(kGradientFrame, {{6, 4, 0xFDFDFD, "face top"},
                                                     {6, 20, 0xDFCCCD, "face bottom"},
                                                     {37, 3, 0xF6D4BC, "no hover ring"}})},
                      LookCase{"PressedUnderTheMouse",
                               true,
                               true,
                               {MouseAt(In::Press, 37, 12)},
                               {{6, 4, 0xDFCCCD, "face top dark"},
                                {6, 20, 0xFDFDFD, "face bottom light"},
                                {37, 3, 0x30B3F8, "hover ring"}}},
                      LookCase{"PressedBySpace",
                               true,
                               true,
                               {KeyStep(In::KeyDown, Qt::Key_Space)},
                               {{6, 4, 0xFDFDFD, "face top stays light"}, {6, 20, 0xDFCCCD, "face bottom"}}},
                      LookCase{"Hover",
                               true,
                               true,
                               {MouseAt(In::Enter, 5, 5)},
                               {{37, 3, 0x30B3F8, "hover ring"}, {3, 3, 0x30B3F8, "square ring corner"}}},
                      LookCase{"Focused",
                               true,
                               true,
                               {Step(In::FocusIn)},
                               {{4, 4, 0x020202, "inverted focus dot"},
                                {5, 4, 0xFDFDFD, "between the dots"},
                                {6, 4, 0x020202, "next dot"}}},
                      LookCase{"Disabled",
                               true,
                               false,
                               {MouseAt(In::Enter, 5, 5), MouseAt(In::Press, 37, 12)},
                               {{0, 0, clBtnFace, "corner"},
                                {74, 0, clBtnFace, "corner"},
                                {74, 24, clBtnFace, "corner"},
                                {0, 24, clBtnFace, "corner"},
                                {37, 0, 0xD3D3D6, "outer frame"},
                                {37, 1, 0xBFC3C4, "inner frame"},
                                {6, 12, 0xEDF1F1, "flat face"},
                                {37, 3, 0xEDF1F1, "no hover ring"}},
                               false},
                      LookCase{"Plain",
                               false,
                               true,
                               {},
                               {{0, 0, clBtnFace, "face"},
                                {6, 12, clBtnFace, "face"},
                                {1, 1, clWhite, "raised top left"},
                                {1, 24, clWhite, "left line ends at the bottom"},
                                {37, 24, cl3DDkShadow, "bottom"},
                                {74, 24, cl3DDkShadow, "corner"},
                                {74, 1, clBtnFace, "end points left out"}},
                               false},
                      LookCase{"PlainPressed",
                               false,
                               true,
                               {KeyStep(In::KeyDown, Qt::Key_Space)},
                               {{1, 1, cl3DDkShadow, "sunken top left"}, {37, 24, clWhite, "bottom"}},
                               false},
                      LookCase{"PlainHover",
                               false,
                               true,
                               {MouseAt(In::Enter, 5, 5)},
                               {{37, 3, clSilver, "grey ring"}, {6, 12, clBtnFace, "face"}}}));

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

TEST(GradientButton, ZeroSizeIsNoError)
{
    TGradientButton button;
    button.resize(75, 0);
    EXPECT_TRUE(button.PaintToImage().isNull());
}

// --- accelerator underline --------------------------------------------------------------------------------

struct UnderlineCase {
    std::string Name;
    QString Caption;
    QString Before;
    QString Marked;
    bool Enabled;
    TColor Colour;
};

class GradientButtonUnderline : public ::testing::TestWithParam<UnderlineCase> {};

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
    const int textX = (75 - measure.TextWidth(QStringLiteral("Close"))) / 2;
    const int textH = measure.TextHeight(QStringLiteral("Close"));
    const int y = (25 - textH) / 2 + textH;
    const int from = textX + measure.TextWidth(c.Before);
    const int to = textX + measure.TextWidth(c.Before + c.Marked);

    std::vector<TPixelProbe> probes;
    int differing = 0;
    for (int py = 0; py < 25; ++py) {
        for (int px = 0; px < 75; ++px) {
            if (withLine.pixel(px, py) != without.pixel(px, py)) {
                ++differing;
                EXPECT_EQ(py, y) << px;
                EXPECT_TRUE(px >= from && px < to) << px << " outside " << from << ".." << to;
            }
        }
    }
    EXPECT_EQ(differing, to - from);
    EXPECT_EQ(CountPixels(withLine, QRect(from, y, to - from, 1), c.Colour), to - from);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, GradientButtonUnderline,
    ::testing::Values(
        UnderlineCase{"FirstLetter", QStringLiteral("&Close"), {}, QStringLiteral("C"), true, clNavy},
        UnderlineCase{"SecondLetter", QStringLiteral("C&lose"), QStringLiteral("C"), QStringLiteral("l"),
                      true, clNavy},
        UnderlineCase{"Disabled", QStringLiteral("&Close"), {}, QStringLiteral("C"), false, 0x92A1A1}));

// --- click rule -------------------------------------------------------------------------------------------

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

INSTANTIATE_TEST_SUITE_P(
    Mouse, GradientButtonClicks,
    ::testing::Values(
        ClickCase{"PressAndReleaseInside", {MouseAt(In::Press, 10, 10), MouseAt(In::Release, 10, 10)}, 1},
        ClickCase{"ReleaseOutside", {MouseAt(In::Press, 10, 10), MouseAt(In::Release, 90, 10)}, 0},
        ClickCase{"ALaterReleaseAloneDoesNotClick",
                  {MouseAt(In::Press, 10, 10), MouseAt(In::Release, 90, 10), MouseAt(In::Release, 10, 10)},
                  0},
        ClickCase{"AReleaseWithoutAPressHereDoesNotClick", {MouseAt(In::Release, 10, 10)}, 0},
        ClickCase{"OutAndBackIn",
                  {MouseAt(In::Press, 10, 10), MouseAt(In::Move, 90, 10), MouseAt(In::Move, 10, 10),
                   MouseAt(In::Release, 10, 10)},
                  1},
        ClickCase{"DoubleClickClicksTwice",
                  {MouseAt(In::Press, 10, 10), MouseAt(In::Release, 10, 10), MouseAt(In::DoubleClick, 10, 10),
                   MouseAt(In::Release, 10, 10)},
                  2},
        ClickCase{"RightButtonIsSwallowed",
                  {MouseAt(In::RightPress, 10, 10), MouseAt(In::RightRelease, 10, 10)},
                  0},
        ClickCase{"Disabled", {MouseAt(In::Press, 10, 10), MouseAt(In::Release, 10, 10)}, 0, false}));

INSTANTIATE_TEST_SUITE_P(
    Keys, GradientButtonClicks,
    ::testing::Values(
        ClickCase{
            "SpaceDownAndUp", {KeyStep(In::KeyDown, Qt::Key_Space), KeyStep(In::KeyUp, Qt::Key_Space)}, 1},
        ClickCase{
            "EnterDownSpaceUp", {KeyStep(In::KeyDown, Qt::Key_Return), KeyStep(In::KeyUp, Qt::Key_Space)}, 1},
        ClickCase{"AutoRepeatPairs",
                  {KeyStep(In::KeyDown, Qt::Key_Space), KeyStep(In::RepeatKeyUp, Qt::Key_Space),
                   KeyStep(In::RepeatKeyDown, Qt::Key_Space), KeyStep(In::KeyUp, Qt::Key_Space)},
                  1},
        ClickCase{"FocusLeftBetweenDownAndUp",
                  {Step(In::FocusIn), KeyStep(In::KeyDown, Qt::Key_Space), Step(In::FocusOut),
                   Step(In::FocusIn), KeyStep(In::KeyUp, Qt::Key_Space)},
                  0},
        ClickCase{
            "Disabled", {KeyStep(In::KeyDown, Qt::Key_Space), KeyStep(In::KeyUp, Qt::Key_Space)}, 0, false}));

TEST(GradientButton, ADisabledButtonStillTakesTheFocus)
{
    TForm form;
    TGradientButton button(&form);
    button.SetTabStop(true);
    button.SetEnabled(false);
    form.show();
    QApplication::setActiveWindow(&form);
    button.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(button.hasFocus());
    EXPECT_TRUE(button.Focused());
}

// --- on a form --------------------------------------------------------------------------------------------

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
    std::vector<int> Clicks; // copy, close, hidden default, plain
    TModalResult Result;
};

class GradientButtonFormKeys : public ::testing::TestWithParam<FormKeyCase> {};

// A form with "Copy" (Default), "&Close" (Default, Cancel, ModalResult mrCancel), a hidden Default button and
// a plain one. Every visible, enabled Default button acts on Enter.
TEST_P(GradientButtonFormKeys, EveryButtonThatTakesTheKeyClicks)
{
    const FormKeyCase& c = GetParam();
    TForm form;
    TGradientButton copy(&form);
    copy.SetDefault(true);
    TGradientButton close(&form);
    close.SetCaption(QStringLiteral("&Close"));
    close.SetDefault(true);
    close.SetCancel(true);
    close.SetModalResult(mrCancel);
    TGradientButton hidden(&form);
    hidden.SetDefault(true);
    hidden.hide();
    TGradientButton plain(&form);
    std::vector<int> clicks(4, 0);
    copy.OnClick = [&] { ++clicks[0]; };
    close.OnClick = [&] { ++clicks[1]; };
    hidden.OnClick = [&] { ++clicks[2]; };
    plain.OnClick = [&] { ++clicks[3]; };

    TModalDriver driver;
    driver.Then([&](TModalWindow& w) { w.Key(c.Key, c.Modifiers); });
    EXPECT_EQ(form.ShowModal(), c.Result);
    EXPECT_EQ(clicks, c.Clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GradientButtonFormKeys,
    ::testing::Values(
        FormKeyCase{"EnterClicksBothDefaults", Qt::Key_Return, Qt::NoModifier, {1, 1, 0, 0}, mrCancel},
        FormKeyCase{"EscClicksTheCancelButton", Qt::Key_Escape, Qt::NoModifier, {0, 1, 0, 0}, mrCancel},
        FormKeyCase{"Accelerator", Qt::Key_C, Qt::AltModifier, {0, 1, 0, 0}, mrCancel}));

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
