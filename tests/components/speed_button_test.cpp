// The speed button: clicks, groups, auto-repeat, cut-short presses, hot tracking, the drop-down menu, the
// modal result and every look.

#include "components/speed_button.h"
#include "platform/gui/form.h"
#include "platform/gui/resources.h"
#include "tests/support/fake_services.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using S = TUiSpeedButtonState;

// An expected pixel; failures name it by its place.
struct TDot {
    int X;
    int Y;
    TColor Color;
};

std::vector<TPixelProbe> Dots(const std::vector<TDot>& dots)
{
    std::vector<TPixelProbe> probes;
    for (const TDot& d : dots)
        probes.push_back({d.X, d.Y, d.Color, "(" + std::to_string(d.X) + ", " + std::to_string(d.Y) + ")"});
    return probes;
}

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

const QPoint kIn(5, 5);

// A shown form; each button counts its clicks and double clicks.
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
    static void Click(TProbeButton& button) { QTest::mouseClick(&button, Qt::LeftButton, {}, kIn); }

    TForm form_;
    std::map<TProbeButton*, int> clicks_;
    int dblClicks_ = 0;
};

// "p x,y" left press, "r" release, "m" move, "d" double click, "P"/"R" right press/release.
void Play(QWidget& w, const std::string& script)
{
    std::istringstream in(script);
    char step = 0;
    char comma = 0;
    QPoint at;
    while (in >> step >> at.rx() >> comma >> at.ry()) {
        const Qt::MouseButton button = std::isupper(step) ? Qt::RightButton : Qt::LeftButton;
        if (step == 'm')
            QTest::mouseMove(&w, at);
        else if (step == 'd')
            QTest::mouseDClick(&w, button, {}, at);
        else if (step == 'p' || step == 'P')
            QTest::mousePress(&w, button, {}, at);
        else
            QTest::mouseRelease(&w, button, {}, at);
    }
}

struct TClickCase {
    std::string Name;
    std::string Script;
    int Clicks = 0;
    int DblClicks = 0;
    bool Grouped = false;
    bool Enabled = true;
};

class ClickPaths : public SpeedButtonTest, public ::testing::WithParamInterface<TClickCase> {};

TEST_P(ClickPaths, ClickOnlyOnAReleaseInside)
{
    const TClickCase& c = GetParam();
    ShowForm();
    TProbeButton& button = AddButton();
    button.setEnabled(c.Enabled);
    button.SetGroupIndex(c.Grouped ? 1 : 0);
    button.SetAllowAllUp(c.Grouped);
    Play(button, c.Script);
    EXPECT_EQ(Clicks(button), c.Clicks);
    EXPECT_EQ(dblClicks_, c.DblClicks);
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(button.State(), button.Down() ? S::sbsExclusive : S::sbsUp);
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, ClickPaths,
    ::testing::Values(TClickCase{"inside", "p5,5 r5,5", 1}, TClickCase{"one_pixel_below", "p5,5 r5,25", 0},
                      TClickCase{"one_pixel_right", "p5,5 r25,5", 0},
                      TClickCase{"last_pixel", "p5,5 r24,24", 1},
                      TClickCase{"out_and_released_out", "p5,5 m30,5 r30,5", 0},
                      TClickCase{"out_and_back_in", "p5,5 m30,5 m5,5 r5,5", 1},
                      TClickCase{"right_button", "P5,5 R5,5", 0},
                      TClickCase{"disabled", "p5,5 r5,5", 0, 0, false, false},
                      TClickCase{"double_click_ungrouped", "p5,5 r5,5 d5,5 r5,5", 2, 0},
                      TClickCase{"double_click_on_a_down_button", "p5,5 r5,5 d5,5 r5,5", 2, 1, true}),
    [](const auto& row) { return row.param.Name; });

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

// --- auto-repeat and cut-short presses ------------------------------------------------------------------

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
    button.TimerExpired();
    EXPECT_EQ(Clicks(button), 2);

    QTest::mouseMove(&button, QPoint(30, 5));
    button.TimerExpired();
    EXPECT_EQ(Clicks(button), 2) << "outside the repeats pause";
    EXPECT_TRUE(button.RepeatTimer()->isActive());
    Play(button, "m5,5 r5,5");
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
    if (button.isVisible() && button.isEnabled()) {
        EXPECT_EQ(button.State(), S::sbsUp);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
    }
    EXPECT_EQ(Clicks(button), 0) << "not even for a late release over the button";
}

void Activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, CutShortPress,
    ::testing::Values(TCutShortCase{"hidden", [](TProbeButton& b, QWidget&) { b.hide(); }},
                      TCutShortCase{"disabled", [](TProbeButton& b, QWidget&) { b.setEnabled(false); }},
                      TCutShortCase{"another_window_takes_the_activation",
                                    [](TProbeButton& b, QWidget& other) {
                                        Activate(*b.window());
                                        Activate(other);
                                    }},
                      TCutShortCase{"a_popup_opens",
                                    [](TProbeButton& b, QWidget&) {
                                        Activate(*b.window());
                                        auto* popup = new QMenu(b.window());
                                        popup->addAction(QStringLiteral("One"));
                                        popup->popup(b.mapToGlobal(QPoint(0, 30)));
                                        QApplication::processEvents();
                                    }},
                      TCutShortCase{"released_elsewhere_before_the_timer_fires",
                                    [](TProbeButton& b, QWidget& other) {
                                        other.show();
                                        QTest::mouseRelease(&other, Qt::LeftButton, {}, kIn);
                                        b.TimerExpired();
                                    }}),
    [](const auto& row) { return row.param.Name; });

// --- hot tracking, drop-down menu, form --------------------------------------------------------------------

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
    Click(button);
    EXPECT_EQ(entered, 2) << "hot again after the click, the pointer still being over it";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(left, 1);
    EXPECT_FALSE(button.MouseInside());
}

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
    EXPECT_FALSE(button.Pressed() || button.MenuShowing());
    EXPECT_EQ(button.State(), S::sbsUp);

    menu.SetAutoPopup(false);
    Click(button);
    EXPECT_EQ(menu.shownAt.size(), 1U);
    EXPECT_EQ(Clicks(button), 1);

    menu.SetAutoPopup(true);
    using P = TUiDropDownMenuPos;
    using A = TPopupAlignment;
    const struct {
        P position;
        A alignment;
        TPoint expected;
    } rows[] = {{P::dmpBottom, A::paRight, {26, 25}},
                {P::dmpBottom, A::paCenter, {12, 25}},
                {P::dmpRight, A::paLeft, {25, -1}},
                {P::dmpRight, A::paRight, {-1, -1}},
                {P::dmpRight, A::paCenter, {12, 25}}};
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
        wasShowing = menu.isVisible() && button.MenuShowing() && button.State() == S::sbsDown;
        menu.close();
    });
    Click(button);
    EXPECT_TRUE(wasShowing);
    EXPECT_FALSE(button.MenuShowing());
    EXPECT_EQ(Clicks(button), 0);
}

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

TEST_F(SpeedButtonTest, MarginBelowMinusOneIsIgnoredAndNumGlyphsStopsAtFive)
{
    TProbeButton& button = AddButton();
    button.SetMargin(-2);
    EXPECT_EQ(button.Margin(), -1);
    button.SetNumGlyphs(7);
    EXPECT_EQ(button.NumGlyphs(), 5);
}

// Built the way the calendar's and the edits' buttons are: style and timer from the constructor, its own
// lines after the inherited paint, its own click.
class TEdgedButton : public TUiSpeedButton {
public:
    explicit TEdgedButton(QWidget* parent)
        : TUiSpeedButton(parent)
    {
        SetStyle(TButtonStyle::bsWin31);
        SetAllowTimer(true);
    }
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
    void Click() override
    {
        ++clicks;
        TUiSpeedButton::Click();
    }
};

TEST_F(SpeedButtonTest, ADescendantExtendsPaintAndClick)
{
    ShowForm();
    auto* button = new TEdgedButton(&form_);
    button->show();
    EXPECT_TRUE(PixelIs(RenderWidget(*button), 5, 0, clRed, "edge_up"));
    QTest::mousePress(button, Qt::LeftButton, {}, kIn);
    EXPECT_TRUE(PixelIs(RenderWidget(*button), 5, 0, clWindowFrame, "no_edge_while_down"));
    EXPECT_TRUE(button->RepeatTimer()->isActive());
    QTest::mouseRelease(button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(button->clicks, 1);
}

// --- looks
// --------------------------------------------------------------------------------------------------

// 16 x 16: a transparent fuchsia border, red on the left and black on the right inside.
TBitmap LookGlyph()
{
    TBitmap glyph(16, 16);
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(Rect(0, 0, 16, 16));
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(Rect(1, 1, 8, 15));
    glyph.Canvas().Brush().SetColor(clBlack);
    glyph.Canvas().FillRect(Rect(8, 1, 15, 15));
    return glyph;
}

void Flat(TUiSpeedButton& b)
{
    b.SetFlat(true);
}

void StayDown(TUiSpeedButton& b)
{
    b.SetGroupIndex(1);
    b.SetDown(true);
}

struct TLookCase {
    std::string Name;
    std::function<void(TProbeButton&)> Setup;
    std::vector<TDot> Probes;
    bool Pressed = false;
};

class Looks : public SpeedButtonTest, public ::testing::WithParamInterface<TLookCase> {};

// The probes sit where the frame table, the checker, the one-pixel shift and the glyph looks decide.
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
    EXPECT_TRUE(PixelsAre(image, Dots(c.Probes), c.Name));
    if (c.Pressed)
        QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
}

const TColor kGreyRed = RGBToColor(76, 76, 76);

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, Looks,
    ::testing::Values(
        TLookCase{"up",
                  [](TProbeButton&) {},
                  {{0, 0, clBtnHighlight},
                   {24, 0, clWindowFrame},
                   {24, 24, clWindowFrame},
                   {1, 1, clBtnFace},
                   {23, 23, clBtnShadow},
                   {4, 4, clBtnFace},
                   {5, 5, clRed},
                   {12, 5, clBlack}}},
        TLookCase{"disabled",
                  [](TProbeButton& b) { b.setEnabled(false); },
                  {{0, 0, clBtnHighlight},
                   {5, 5, clBtnFace},
                   {12, 5, clBtnShadow},
                   {19, 6, clBtnHighlight},
                   {13, 19, clBtnHighlight}}},
        TLookCase{"down",
                  [](TProbeButton&) {},
                  {{0, 0, clWindowFrame},
                   {24, 24, clBtnHighlight},
                   {1, 1, clBtnShadow},
                   {23, 23, clBtnFace},
                   {5, 5, clBtnFace},
                   {6, 6, clRed}},
                  true},
        TLookCase{"staying_down",
                  StayDown,
                  {{0, 0, clWindowFrame},
                   {1, 1, clBtnShadow},
                   {2, 2, clBtnFace},
                   {3, 2, clBtnHighlight},
                   {5, 6, clBtnHighlight},
                   {6, 6, clRed}}},
        TLookCase{"flat_away_grey", Flat, {{0, 0, clBtnFace}, {24, 24, clBtnFace}, {5, 5, kGreyRed}}},
        TLookCase{"flat_away_not_grayed",
                  [](TProbeButton& b) {
                      Flat(b);
                      b.SetGrayedInactive(false);
                  },
                  {{0, 0, clBtnFace}, {5, 5, clRed}}},
        TLookCase{"flat_hot",
                  [](TProbeButton& b) {
                      Flat(b);
                      b.SetPointerQuery({[] { return true; }, [&b]() -> QWidget* { return &b; }});
                      b.UpdateTracking();
                  },
                  {{0, 0, clBtnHighlight}, {24, 24, clBtnShadow}, {1, 1, clBtnFace}, {5, 5, clRed}}},
        TLookCase{
            "flat_staying_down",
            [](TProbeButton& b) {
                Flat(b);
                StayDown(b);
            },
            {{0, 0, clWindowFrame}, {24, 24, clBtnHighlight}, {2, 2, clBtnFace}, {3, 2, clBtnHighlight}}},
        TLookCase{
            "win31",
            [](TProbeButton& b) { b.SetStyle(TButtonStyle::bsWin31); },
            {{0, 0, clWindowFrame}, {24, 24, clWindowFrame}, {1, 1, clBtnHighlight}, {23, 23, clBtnShadow}}},
        TLookCase{"win31_down",
                  [](TProbeButton& b) { b.SetStyle(TButtonStyle::bsWin31); },
                  {{0, 0, clWindowFrame}, {1, 23, clBtnShadow}, {23, 1, clBtnShadow}, {23, 23, clBtnFace}},
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
    // The first row's black pixel, from a glyph cell at (3, 4) and at (4, 5) while down.
    EXPECT_TRUE(PixelsAre(up, Dots({{7, 4, clBlack}, {6, 4, clBtnFace}}), "win31_prev1_up"));
    EXPECT_TRUE(PixelsAre(down, Dots({{8, 5, clBlack}, {7, 4, clBtnFace}}), "win31_prev1_down"));
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
    EXPECT_TRUE(
        PixelsAre(transparent, Dots({{2, 2, clNavy}, {0, 0, clBtnHighlight}}), "caption_transparent"));

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

TFont Maroon()
{
    TFont font;
    font.SetColor(clMaroon);
    return font;
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, RepaintAfterChange,
    ::testing::Values(TRepaintCase{"caption", [](TUiSpeedButton& b) { b.SetCaption(QStringLiteral("Go")); }},
                      TRepaintCase{"font_colour", [](TUiSpeedButton& b) { b.SetFont(Maroon()); }},
                      TRepaintCase{"glyph",
                                   [](TUiSpeedButton& b) {
                                       b.SetGlyph(TBitmap::FromRows({"X.", ".X"}));
                                   }},
                      TRepaintCase{"size", [](TUiSpeedButton& b) { b.resize(60, 30); }}),
    [](const auto& row) { return row.param.Name; });

} // namespace
} // namespace carlume::test
