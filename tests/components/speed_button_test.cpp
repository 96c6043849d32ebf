// The speed button: clicks, groups, auto-repeat, cut-short presses, hot tracking, the drop-down menu and
// the modal result.

#include "components/speed_button.h"
#include "platform/gui/form.h"
#include "platform/gui/resources.h"
#include "tests/support/fake_services.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

// Opens up what descendants see.
class TProbeButton : public TUiSpeedButton {
public:
    using TUiSpeedButton::GetDropDownMenuPos;
    using TUiSpeedButton::MenuShowing;
    using TUiSpeedButton::MouseInside;
    using TUiSpeedButton::Pressed;
    using TUiSpeedButton::RepeatTimer;
    using TUiSpeedButton::State;
    using TUiSpeedButton::TimerExpired;
    using TUiSpeedButton::TUiSpeedButton;
    using TUiSpeedButton::UpdateTracking;
};

using S = TUiSpeedButtonState;

// A form with buttons in it, shown offscreen; each button counts its clicks.
class SpeedButtonTest : public ::testing::Test {
protected:
    TProbeButton& AddButton(int left = 10, int top = 10)
    {
        auto* button = new TProbeButton(&form_);
        button->move(left, top);
        button->OnClick = [this, button](QObject* sender) {
            EXPECT_EQ(sender, button);
            ++clicks_[button];
        };
        button->OnDblClick = [this](QObject*) { ++dblClicks_; };
        button->show();
        return *button;
    }
    void ShowForm()
    {
        form_.resize(200, 100);
        form_.show();
    }
    int Clicks(TProbeButton& button) { return clicks_[&button]; }
    static void Click(TProbeButton& button, QPoint at = QPoint(5, 5))
    {
        QTest::mouseClick(&button, Qt::LeftButton, {}, at);
    }

    TForm form_;
    std::map<TProbeButton*, int> clicks_;
    int dblClicks_ = 0;
};

enum class TStep { Press, Release, Move, DblClick, RightPress, RightRelease };
struct TMouseStep {
    TStep Step;
    QPoint At;
};

struct TClickCase {
    std::string Name;
    std::vector<TMouseStep> Steps;
    bool Enabled = true;
    int Clicks = 0;
    int DblClicks = 0;
};

class ClickPaths : public SpeedButtonTest, public ::testing::WithParamInterface<TClickCase> {};

TEST_P(ClickPaths, GiveTheClicksOfTheRelease)
{
    const TClickCase& c = GetParam();
    ShowForm();
    TProbeButton& button = AddButton();
    button.setEnabled(c.Enabled);
    for (const TMouseStep& step : c.Steps) {
        switch (step.Step) {
        case TStep::Press:
            QTest::mousePress(&button, Qt::LeftButton, {}, step.At);
            break;
        case TStep::Release:
            QTest::mouseRelease(&button, Qt::LeftButton, {}, step.At);
            break;
        case TStep::Move:
            QTest::mouseMove(&button, step.At);
            break;
        case TStep::DblClick:
            QTest::mouseDClick(&button, Qt::LeftButton, {}, step.At);
            break;
        case TStep::RightPress:
            QTest::mousePress(&button, Qt::RightButton, {}, step.At);
            break;
        case TStep::RightRelease:
            QTest::mouseRelease(&button, Qt::RightButton, {}, step.At);
            break;
        }
    }
    EXPECT_EQ(Clicks(button), c.Clicks);
    EXPECT_EQ(dblClicks_, c.DblClicks);
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsUp);
}

const QPoint kIn(5, 5);

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, ClickPaths,
    ::testing::Values(
        TClickCase{"press_and_release_inside", {{TStep::Press, kIn}, {TStep::Release, kIn}}, true, 1},
        TClickCase{"release_one_pixel_below", {{TStep::Press, kIn}, {TStep::Release, {5, 25}}}, true, 0},
        TClickCase{"release_one_pixel_right", {{TStep::Press, kIn}, {TStep::Release, {25, 5}}}, true, 0},
        TClickCase{"release_on_the_last_pixel", {{TStep::Press, kIn}, {TStep::Release, {24, 24}}}, true, 1},
        TClickCase{"moved_out_and_released_out",
                   {{TStep::Press, kIn}, {TStep::Move, {30, 5}}, {TStep::Release, {30, 5}}},
                   true,
                   0},
        TClickCase{"moved_out_and_back_in",
                   {{TStep::Press, kIn}, {TStep::Move, {30, 5}}, {TStep::Move, kIn}, {TStep::Release, kIn}},
                   true,
                   1},
        TClickCase{"right_button", {{TStep::RightPress, kIn}, {TStep::RightRelease, kIn}}, true, 0},
        TClickCase{"disabled", {{TStep::Press, kIn}, {TStep::Release, kIn}}, false, 0},
        TClickCase{
            "double_click_ungrouped",
            {{TStep::Press, kIn}, {TStep::Release, kIn}, {TStep::DblClick, kIn}, {TStep::Release, kIn}},
            true,
            2,
            0}),
    [](const auto& row) { return row.param.Name; });

TEST_F(SpeedButtonTest, StateFollowsThePointerWhilePressed)
{
    ShowForm();
    TProbeButton& button = AddButton();
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsDown);
    QTest::mouseMove(&button, QPoint(5, 25));
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsUp);
    QTest::mouseMove(&button, QPoint(5, 24));
    EXPECT_EQ(button.State(), TUiSpeedButtonState::sbsDown);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 24));
}

// --- groups
// -------------------------------------------------------------------------------------------------

TEST_F(SpeedButtonTest, AGroupKeepsOneButtonDownUnlessAllMayBeUp)
{
    ShowForm();
    TProbeButton& a = AddButton(10, 10);
    TProbeButton& b = AddButton(40, 10);
    TProbeButton& c = AddButton(70, 10);
    for (TProbeButton* button : {&a, &b, &c})
        button->SetGroupIndex(1);
    Click(b);
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(b.State(), S::sbsExclusive);
    Click(a);
    EXPECT_TRUE(a.Down());
    EXPECT_FALSE(b.Down()) << "pressing another button raises the down one";
    EXPECT_EQ(b.State(), S::sbsUp);

    Click(a);
    EXPECT_TRUE(a.Down()) << "the down button stays down without AllowAllUp";
    EXPECT_EQ(Clicks(a), 2) << "and still clicks";
    a.SetDown(false);
    EXPECT_TRUE(a.Down());

    c.SetAllowAllUp(true);
    EXPECT_TRUE(a.AllowAllUp()) << "AllowAllUp goes to the whole group";
    Click(a);
    EXPECT_FALSE(a.Down() || b.Down() || c.Down());

    TProbeButton& loose = AddButton(100, 10);
    loose.SetDown(true);
    EXPECT_FALSE(loose.Down()) << "an ungrouped button never stays down";
}

TEST_F(SpeedButtonTest, OnlyADownButtonReportsADoubleClick)
{
    ShowForm();
    TProbeButton& button = AddButton();
    button.SetGroupIndex(1);
    button.SetAllowAllUp(true);
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
    QTest::mouseDClick(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(dblClicks_, 1);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
}

// --- auto-repeat
// --------------------------------------------------------------------------------------------

TEST_F(SpeedButtonTest, AutoRepeatClicksAfterThePausesOnlyWhileHeldInside)
{
    ShowForm();
    TProbeButton& button = AddButton();
    button.SetAllowTimer(true);
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    ASSERT_NE(button.RepeatTimer(), nullptr);
    EXPECT_TRUE(button.RepeatTimer()->isActive());
    EXPECT_EQ(button.RepeatTimer()->interval(), 500);
    button.TimerExpired();
    EXPECT_EQ(button.RepeatTimer()->interval(), 100);
    EXPECT_EQ(Clicks(button), 1);
    button.TimerExpired();
    EXPECT_EQ(Clicks(button), 2);

    QTest::mouseMove(&button, QPoint(30, 5));
    button.TimerExpired();
    EXPECT_EQ(Clicks(button), 2) << "outside the repeats pause";
    EXPECT_TRUE(button.RepeatTimer()->isActive());
    QTest::mouseMove(&button, kIn);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(Clicks(button), 3) << "the release clicks once more";
    EXPECT_FALSE(button.RepeatTimer()->isActive());

    Click(button);
    EXPECT_EQ(Clicks(button), 4) << "a short click only clicks on release";
    button.SetAllowTimer(false);
    EXPECT_EQ(button.RepeatTimer(), nullptr);
}

TEST_F(SpeedButtonTest, AnErrorInARepeatedClickStopsTheTimerAndIsShown)
{
    TFakeDialogService dialogs;
    TScopedHandlerErrorDialogs errors(&dialogs);
    ShowForm();
    TProbeButton& button = AddButton();
    button.SetAllowTimer(true);
    button.SetInitPause(1);
    button.OnClick = [](QObject*) { throw std::runtime_error("no next month"); };
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.Requests().empty(); }, 5000));
    EXPECT_EQ(dialogs.Requests().front().Text, "no next month");
    EXPECT_FALSE(button.RepeatTimer()->isActive());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 5));
}

struct TCutShortCase {
    std::string Name;
    std::function<void(TProbeButton&, QWidget& other)> Cut;
};

class CutShortPress : public SpeedButtonTest, public ::testing::WithParamInterface<TCutShortCase> {};

TEST_P(CutShortPress, EndsThePressWithoutAClick)
{
    ShowForm();
    QWidget other;
    other.resize(50, 50);
    TProbeButton& button = AddButton();
    button.SetAllowTimer(true);
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    GetParam().Cut(button, other);
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.RepeatTimer()->isActive());
    EXPECT_EQ(Clicks(button), 0);
    if (button.isVisible() && button.isEnabled()) {
        EXPECT_EQ(button.State(), S::sbsUp);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
        EXPECT_EQ(Clicks(button), 0) << "a late release over the button does not click";
    }
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, CutShortPress,
    ::testing::Values(TCutShortCase{"hidden", [](TProbeButton& b, QWidget&) { b.hide(); }},
                      TCutShortCase{"disabled", [](TProbeButton& b, QWidget&) { b.setEnabled(false); }},
                      TCutShortCase{"another_window_takes_the_activation",
                                    [](TProbeButton& b, QWidget& other) {
                                        b.window()->activateWindow();
                                        QApplication::setActiveWindow(b.window());
                                        other.show();
                                        QApplication::setActiveWindow(&other);
                                    }},
                      TCutShortCase{"released_elsewhere_before_the_timer_fires",
                                    [](TProbeButton& b, QWidget& other) {
                                        other.show();
                                        QTest::mouseRelease(&other, Qt::LeftButton, {}, QPoint(5, 5));
                                        ASSERT_FALSE(QGuiApplication::mouseButtons() & Qt::LeftButton);
                                        b.TimerExpired();
                                    }}),
    [](const auto& row) { return row.param.Name; });

// --- hot tracking
// -------------------------------------------------------------------------------------------

TEST_F(SpeedButtonTest, HotTrackingFollowsThePointerAndStartsAgainAfterAClick)
{
    ShowForm();
    TProbeButton& button = AddButton();
    button.SetFlat(true);
    bool foreground = false;
    button.SetPointerQuery({[&] { return foreground; }, [&]() -> QWidget* { return &button; }});
    int entered = 0;
    int left = 0;
    button.OnMouseEnter = [&](QObject*) { ++entered; };
    button.OnMouseLeave = [&](QObject*) { ++left; };

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(entered, 0) << "not while another program is in front";
    foreground = true;
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(button.MouseInside());
    Click(button);
    EXPECT_EQ(entered, 2) << "hot again after the click, the pointer still being over it";
    EXPECT_EQ(left, 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(left, 1);
    EXPECT_FALSE(button.MouseInside());
}

// --- drop-down menu
// -----------------------------------------------------------------------------------------

class TRecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override { shownAt.push_back(QPoint(x, y)); }
    std::vector<QPoint> shownAt;
};

TEST_F(SpeedButtonTest, APressWithADropDownMenuShowsItInsteadOfClicking)
{
    ShowForm();
    TProbeButton& button = AddButton();
    TRecordingMenu menu;
    button.SetDropDownMenu(&menu);
    Click(button);
    ASSERT_EQ(menu.shownAt.size(), 1U);
    EXPECT_EQ(menu.shownAt[0], button.mapToGlobal(QPoint(-1, 25)));
    EXPECT_EQ(menu.PopupComponent(), &button);
    EXPECT_EQ(Clicks(button), 0);
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.MenuShowing());
    EXPECT_EQ(button.State(), S::sbsUp);

    menu.SetAutoPopup(false);
    Click(button);
    EXPECT_EQ(menu.shownAt.size(), 1U);
    EXPECT_EQ(Clicks(button), 1);
}

TEST_F(SpeedButtonTest, TheMenuOpensWhereItsPositionAndAlignmentSay)
{
    TProbeButton& button = AddButton();
    EXPECT_EQ(button.GetDropDownMenuPos(), (TPoint{0, 0})) << "without a menu";
    TRecordingMenu menu;
    button.SetDropDownMenu(&menu);
    using P = TUiDropDownMenuPos;
    using A = TPopupAlignment;
    const struct {
        P position;
        A alignment;
        TPoint expected;
    } rows[] = {{P::dmpBottom, A::paLeft, {-1, 25}},   {P::dmpBottom, A::paRight, {26, 25}},
                {P::dmpBottom, A::paCenter, {12, 25}}, {P::dmpRight, A::paLeft, {25, -1}},
                {P::dmpRight, A::paRight, {-1, -1}},   {P::dmpRight, A::paCenter, {12, 25}}};
    for (const auto& row : rows) {
        button.SetMenuPosition(row.position);
        menu.SetAlignment(row.alignment);
        EXPECT_EQ(button.GetDropDownMenuPos(), row.expected)
            << int(row.position) << "/" << int(row.alignment);
    }
}

TEST_F(SpeedButtonTest, ARealMenuIsTrackedUntilItCloses)
{
    ShowForm();
    TProbeButton& button = AddButton();
    TPopupMenu menu;
    menu.addAction(QStringLiteral("One"));
    button.SetDropDownMenu(&menu);
    bool wasShowing = false;
    QTimer::singleShot(0, &menu, [&] {
        wasShowing = menu.isVisible() && button.MenuShowing();
        menu.close();
    });
    Click(button);
    EXPECT_TRUE(wasShowing);
    EXPECT_FALSE(button.MenuShowing());
    EXPECT_EQ(Clicks(button), 0);
}

// --- form, accelerator, properties
// --------------------------------------------------------------------------

TEST_F(SpeedButtonTest, AClickHandsTheModalResultToTheFormEvenZero)
{
    TProbeButton& button = AddButton();
    button.SetModalResult(mrCancel);
    QTimer::singleShot(0, &button, [&] { Click(button); });
    EXPECT_EQ(form_.exec(), mrCancel);

    form_.SetModalResult(mrOk);
    button.SetModalResult(mrNone);
    button.OnClick = [this](QObject*) { EXPECT_EQ(form_.ModalResult(), mrNone) << "set before OnClick"; };
    button.Click();
    EXPECT_EQ(form_.ModalResult(), mrNone);
}

TEST_F(SpeedButtonTest, TheCaptionsAcceleratorClicksAnEnabledButton)
{
    TProbeButton& button = AddButton();
    button.SetCaption(QStringLiteral("&Apply"));
    EXPECT_TRUE(form_.BroadcastDialogChar(QLatin1Char('a')));
    EXPECT_FALSE(form_.BroadcastDialogChar(QLatin1Char('p')));
    button.SetCaption(QStringLiteral("&&Apply"));
    EXPECT_FALSE(form_.BroadcastDialogChar(QLatin1Char('a')));
    button.SetCaption(QStringLiteral("&Apply"));
    button.setEnabled(false);
    EXPECT_FALSE(form_.BroadcastDialogChar(QLatin1Char('a')));
    EXPECT_EQ(Clicks(button), 1);
}

TEST_F(SpeedButtonTest, StartsWithTheStoredDefaultsAndIgnoresValuesOutOfRange)
{
    TProbeButton& button = AddButton(0, 0);
    EXPECT_EQ(button.geometry(), QRect(0, 0, 25, 25));
    EXPECT_EQ(button.Layout(), TButtonLayout::blGlyphTop);
    EXPECT_EQ(button.Spacing(), 1);
    EXPECT_EQ(button.Margin(), -1);
    EXPECT_EQ(button.InitPause(), 500);
    EXPECT_EQ(button.RepeatInterval(), 100);
    EXPECT_EQ(button.Style(), TButtonStyle::bsAutoDetect);
    EXPECT_TRUE(button.MarkDropDown() && button.GrayedInactive() && button.ShowHint() && button.ParentFont());
    EXPECT_FALSE(button.ParentShowHint() || button.Flat() || button.Transparent() || button.AllowTimer());
    EXPECT_EQ(button.Alignment(), TAlignment::taCenter);
    button.SetMargin(-2);
    EXPECT_EQ(button.Margin(), -1);
    button.SetNumGlyphs(7);
    EXPECT_EQ(button.NumGlyphs(), 5);
}

// --- a descendant
// -------------------------------------------------------------------------------------------

// Built the way the calendar's and the edits' buttons are: style and timer from the constructor, its own
// lines after the inherited paint, its own press and click.
class TEdgedButton : public TUiSpeedButton {
public:
    explicit TEdgedButton(QWidget* parent)
        : TUiSpeedButton(parent)
    {
        SetStyle(TButtonStyle::bsWin31);
        SetAllowTimer(true);
    }
    int presses = 0;
    int clicks = 0;
    using TUiSpeedButton::RepeatTimer;

protected:
    void Paint(TCanvas& canvas) override
    {
        TUiSpeedButton::Paint(canvas);
        if (State() != TUiSpeedButtonState::sbsDown) {
            canvas.Pen().SetColor(clRed);
            canvas.MoveTo(0, 0);
            canvas.LineTo(width(), 0);
        }
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        ++presses;
        TUiSpeedButton::MouseDown(button, shift, x, y);
    }
    void Click() override
    {
        ++clicks;
        TUiSpeedButton::Click();
    }
};

TEST_F(SpeedButtonTest, ADescendantExtendsPaintPressAndClick)
{
    ShowForm();
    auto* button = new TEdgedButton(&form_);
    button->show();
    EXPECT_TRUE(PixelIs(RenderWidget(*button), 5, 0, clRed, "edge_up"));
    QTest::mousePress(button, Qt::LeftButton, {}, kIn);
    EXPECT_TRUE(PixelIs(RenderWidget(*button), 5, 0, clWindowFrame, "no_edge_while_down"));
    EXPECT_TRUE(button->RepeatTimer()->isActive());
    QTest::mouseRelease(button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(button->presses, 1);
    EXPECT_EQ(button->clicks, 1);
}

// --- looks
// --------------------------------------------------------------------------------------------------

// 16 x 16: a transparent fuchsia border, red on the left and black on the right inside.
TBitmap LookGlyph()
{
    std::vector<std::string> rows(16, "frrrrrrrXXXXXXXf");
    rows.front() = rows.back() = std::string(16, 'f');
    TBitmap glyph(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = rows[std::size_t(y)][std::size_t(x)];
            glyph.Canvas().SetPixel(x, y, c == 'f' ? clFuchsia : c == 'r' ? clRed : clBlack);
        }
    return glyph;
}

const TColor kGreyRed = RGBToColor(76, 76, 76);

struct TLookCase {
    std::string Name;
    std::function<void(TProbeButton&)> Setup;
    std::vector<TPixelProbe> Probes;
    bool Pressed = false;
};

class Looks : public SpeedButtonTest, public ::testing::WithParamInterface<TLookCase> {};

TEST_P(Looks, PaintFrameFaceAndGlyph)
{
    const TLookCase& c = GetParam();
    ShowForm();
    TProbeButton& button = AddButton();
    button.SetGlyph(LookGlyph());
    c.Setup(button);
    if (c.Pressed)
        QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    const QImage image = RenderWidget(button);
    SaveTestImage(image, c.Name + ".png");
    EXPECT_TRUE(PixelsAre(image, c.Probes, c.Name));
    if (c.Pressed)
        QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
}

const std::vector<TPixelProbe> kRaisedFrame = {{0, 0, clBtnHighlight, "outer top-left"},
                                               {24, 24, clWindowFrame, "outer bottom-right"},
                                               {24, 0, clWindowFrame, "outer top-right corner"},
                                               {1, 1, clBtnFace, "inner top-left"},
                                               {23, 23, clBtnShadow, "inner bottom-right"}};

std::vector<TPixelProbe> With(std::vector<TPixelProbe> base, const std::vector<TPixelProbe>& more)
{
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, Looks,
    ::testing::Values(
        TLookCase{"up", [](TProbeButton&) {},
                  With(kRaisedFrame, {{4, 4, clBtnFace, "transparent glyph border"},
                                      {5, 5, clRed, "glyph at (4, 4)"},
                                      {12, 5, clBlack, "black part"},
                                      {19, 19, clBtnFace, "border"}})},
        TLookCase{"disabled", [](TProbeButton& b) { b.setEnabled(false); },
                  With(kRaisedFrame, {{5, 5, clBtnFace, "red part gone"},
                                      {12, 5, clBtnShadow, "black part in shadow"},
                                      {19, 6, clBtnHighlight, "highlight copy right of it"},
                                      {13, 19, clBtnHighlight, "highlight copy below it"}})},
        TLookCase{"down",
                  [](TProbeButton&) {},
                  {{0, 0, clWindowFrame, "outer top-left"},
                   {24, 24, clBtnHighlight, "outer bottom-right"},
                   {1, 1, clBtnShadow, "inner top-left"},
                   {23, 23, clBtnFace, "inner bottom-right"},
                   {5, 5, clBtnFace, "glyph border, moved"},
                   {6, 6, clRed, "glyph at (5, 5)"}},
                  true},
        TLookCase{"staying_down",
                  [](TProbeButton& b) {
                      b.SetGroupIndex(1);
                      b.SetDown(true);
                  },
                  {{0, 0, clWindowFrame, "outer top-left"},
                   {1, 1, clBtnShadow, "inner top-left"},
                   {2, 2, clBtnFace, "checker, even"},
                   {3, 2, clBtnHighlight, "checker, odd"},
                   {5, 6, clBtnHighlight, "checker under the glyph border"},
                   {6, 6, clRed, "glyph at (5, 5)"}}},
        TLookCase{"flat_away_grey",
                  [](TProbeButton& b) { b.SetFlat(true); },
                  {{0, 0, clBtnFace, "no frame"},
                   {24, 24, clBtnFace, "no frame"},
                   {5, 5, kGreyRed, "grey glyph"},
                   {12, 5, clBlack, "black stays black"}}},
        TLookCase{"flat_away_not_grayed",
                  [](TProbeButton& b) {
                      b.SetFlat(true);
                      b.SetGrayedInactive(false);
                  },
                  {{0, 0, clBtnFace, "no frame"}, {5, 5, clRed, "normal glyph"}}},
        TLookCase{"flat_hot",
                  [](TProbeButton& b) {
                      b.SetFlat(true);
                      b.SetPointerQuery({[] { return true; }, [&b]() -> QWidget* { return &b; }});
                      b.UpdateTracking();
                  },
                  {{0, 0, clBtnHighlight, "frame top-left"},
                   {24, 24, clBtnShadow, "frame bottom-right"},
                   {1, 1, clBtnFace, "one frame only"},
                   {5, 5, clRed, "normal glyph"}}},
        TLookCase{"flat_staying_down",
                  [](TProbeButton& b) {
                      b.SetFlat(true);
                      b.SetGroupIndex(1);
                      b.SetDown(true);
                  },
                  {{0, 0, clWindowFrame, "frame top-left"},
                   {24, 24, clBtnHighlight, "frame bottom-right"},
                   {2, 2, clBtnFace, "checker, even"},
                   {3, 2, clBtnHighlight, "checker, odd"}}},
        TLookCase{"new_style",
                  [](TProbeButton& b) { b.SetStyle(TButtonStyle::bsNew); }, kRaisedFrame},
        TLookCase{"win31",
                  [](TProbeButton& b) { b.SetStyle(TButtonStyle::bsWin31); },
                  {{0, 0, clWindowFrame, "outer"},
                   {24, 24, clWindowFrame, "outer"},
                   {1, 1, clBtnHighlight, "inner top-left"},
                   {23, 23, clBtnShadow, "inner bottom-right"}}},
        TLookCase{"win31_down",
                  [](TProbeButton& b) { b.SetStyle(TButtonStyle::bsWin31); },
                  {{0, 0, clWindowFrame, "outer"},
                   {1, 23, clBtnShadow, "shadow down the left"},
                   {23, 1, clBtnShadow, "shadow along the top"},
                   {1, 24, clWindowFrame, "outer"},
                   {23, 23, clBtnFace, "no bottom-right line"}},
                  true}),
    [](const auto& row) { return row.param.Name; });

TEST_F(SpeedButtonTest, TheCalendarsSmallWin31ButtonPlacesItsGlyph)
{
    ShowForm();
    TProbeButton& button = AddButton();
    button.resize(14, 14);
    button.SetStyle(TButtonStyle::bsWin31);
    button.SetGlyph(LoadBitmapResource(QStringLiteral("PREV1")));
    const QImage up = RenderWidget(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    const QImage down = RenderWidget(button);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
    SaveTestImage(up, "win31_prev1_up.png");
    SaveTestImage(down, "win31_prev1_down.png");
    EXPECT_TRUE(PixelsAre(up,
                          {{7, 4, clBlack, "first row's black pixel"}, {6, 4, clBtnFace, "white is clear"}},
                          "win31_prev1_up"));
    EXPECT_TRUE(PixelsAre(down, {{8, 5, clBlack, "moved by one"}, {7, 4, clBtnFace, "moved away"}},
                          "win31_prev1_down"));
}

TEST_F(SpeedButtonTest, CaptionsDropDownMarkAndTransparency)
{
    ShowForm();
    QPalette palette;
    palette.setColor(QPalette::Window, ToQColor(clNavy));
    form_.setPalette(palette);
    form_.setAutoFillBackground(true);
    TProbeButton& button = AddButton();
    button.resize(75, 25);
    button.SetLayout(TButtonLayout::blGlyphLeft);
    button.SetGlyph(LookGlyph());
    button.SetCaption(QStringLiteral("&Apply"));
    const QRect textArea(24, 3, 48, 19);
    const QImage normal = RenderWidget(button);
    EXPECT_GT(CountPixels(normal, textArea, clBtnText), 0);

    button.setEnabled(false);
    const QImage disabled = RenderWidget(button);
    EXPECT_GT(CountPixels(disabled, textArea, clBtnShadow), 0) << "embossed caption";
    EXPECT_GT(CountPixels(disabled, textArea, clBtnHighlight), 0);
    EXPECT_EQ(CountPixels(disabled, textArea, clBtnText), 0);
    button.setEnabled(true);

    TRecordingMenu menu;
    button.SetDropDownMenu(&menu);
    const QImage marked = RenderWidget(button);
    // The caption moves left to make room for the 16-pixel triangle after it.
    EXPECT_EQ(CountPixels(marked, QRect(57, 3, 15, 19), clBtnText), 16);
    button.SetDropDownMenu(nullptr);

    button.SetTransparent(true);
    const QImage transparent = RenderWidget(button);
    EXPECT_TRUE(PixelsAre(
        transparent, {{2, 2, clNavy, "the form shows through the face"}, {0, 0, clBtnHighlight, "frame"}},
        "caption_transparent"));

    for (const auto& [name, image] :
         {std::pair{"caption", &normal}, std::pair{"caption_disabled", &disabled},
          std::pair{"caption_drop_down_mark", &marked}, std::pair{"caption_transparent", &transparent}})
        SaveTestImage(*image, std::string(name) + ".png");
}

struct TRepaintCase {
    std::string Name;
    std::function<void(TUiSpeedButton&)> Change;
};

class RepaintAfterChange : public SpeedButtonTest, public ::testing::WithParamInterface<TRepaintCase> {};

// A button painted before a change looks exactly like one that never had the old settings.
TEST_P(RepaintAfterChange, LooksLikeAFreshButton)
{
    const auto setUp = [](TUiSpeedButton& b) {
        b.resize(75, 25);
        b.SetLayout(TButtonLayout::blGlyphLeft);
        b.SetGlyph(LookGlyph());
        b.SetCaption(QStringLiteral("&Apply"));
    };
    TProbeButton& painted = AddButton();
    setUp(painted);
    RenderWidget(painted);
    GetParam().Change(painted);
    TProbeButton& fresh = AddButton();
    setUp(fresh);
    GetParam().Change(fresh);
    EXPECT_TRUE(ImagesEqual(RenderWidget(painted), RenderWidget(fresh), GetParam().Name));
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, RepaintAfterChange,
    ::testing::Values(TRepaintCase{"caption", [](TUiSpeedButton& b) { b.SetCaption(QStringLiteral("Go")); }},
                      TRepaintCase{"font_colour",
                                   [](TUiSpeedButton& b) {
                                       TFont font;
                                       font.SetColor(clMaroon);
                                       b.SetFont(font);
                                   }},
                      TRepaintCase{"font_height",
                                   [](TUiSpeedButton& b) {
                                       TFont font;
                                       font.SetHeight(-14);
                                       b.SetFont(font);
                                   }},
                      TRepaintCase{"disabled", [](TUiSpeedButton& b) { b.setEnabled(false); }},
                      TRepaintCase{"layout",
                                   [](TUiSpeedButton& b) { b.SetLayout(TButtonLayout::blGlyphRight); }},
                      TRepaintCase{"glyph",
                                   [](TUiSpeedButton& b) {
                                       b.SetGlyph(TBitmap::FromRows({"X.", ".X"}));
                                   }},
                      TRepaintCase{"size", [](TUiSpeedButton& b) { b.resize(60, 30); }}),
    [](const auto& row) { return row.param.Name; });

} // namespace
} // namespace carlume::test
