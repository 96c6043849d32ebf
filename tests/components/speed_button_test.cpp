// The speed button: clicks, groups, auto-repeat, cut-short presses, hot tracking, the drop-down menu, the
// modal result and every look; the glyph painter and its cache, and the drawing utilities they build on.

#include "components/button_glyph.h"
#include "components/speed_button.h"
#include "components/ui_draw_utils.h"
#include "platform/gui/control.h"
#include "platform/gui/form.h"
#include "platform/gui/resources.h"
#include "tests/support/fake_services.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using S = TUiSpeedButtonState;

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

INSTANTIATE_TEST_SUITE_P(SpeedButton, ClickPaths,
                         ::testing::ValuesIn(std::vector<TClickCase>{
                             {"inside", "p5,5 r5,5", 1},
                             {"one_pixel_below", "p5,5 r5,25", 0},
                             {"one_pixel_right", "p5,5 r25,5", 0},
                             {"last_pixel", "p5,5 r24,24", 1},
                             {"out_and_released_out", "p5,5 m30,5 r30,5", 0},
                             {"out_and_back_in", "p5,5 m30,5 m5,5 r5,5", 1},
                             {"right_button", "P5,5 R5,5", 0},
                             {"disabled", "p5,5 r5,5", 0, 0, false, false},
                             {"double_click_ungrouped", "p5,5 r5,5 d5,5 r5,5", 2, 0},
                             {"double_click_on_a_down_button", "p5,5 r5,5 d5,5 r5,5", 2, 1, true}}),
                         ByName);

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
    loose.SetMargin(-2);
    EXPECT_EQ(loose.Margin(), -1) << "a margin below -1 is ignored";
    loose.SetNumGlyphs(7);
    EXPECT_EQ(loose.NumGlyphs(), 5);
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

void Activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
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

INSTANTIATE_TEST_SUITE_P(SpeedButton, CutShortPress,
                         ::testing::ValuesIn(std::vector<TCutShortCase>{
                             {"hidden", [](TProbeButton& b, QWidget&) { b.hide(); }},
                             {"disabled", [](TProbeButton& b, QWidget&) { b.setEnabled(false); }},
                             {"another_window_takes_the_activation",
                              [](TProbeButton& b, QWidget& other) {
                                  Activate(*b.window());
                                  Activate(other);
                              }},
                             {"a_popup_opens",
                              [](TProbeButton& b, QWidget&) {
                                  Activate(*b.window());
                                  auto* popup = new QMenu(b.window());
                                  popup->addAction(QStringLiteral("One"));
                                  popup->popup(b.mapToGlobal(QPoint(0, 30)));
                                  QApplication::processEvents();
                              }},
                             {"released_elsewhere_before_the_timer_fires",
                              [](TProbeButton& b, QWidget& other) {
                                  other.show();
                                  QTest::mouseRelease(&other, Qt::LeftButton, {}, kIn);
                                  b.TimerExpired();
                              }}}),
                         ByName);

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

    // A real menu is tracked until it closes.
    TPopupMenu real;
    real.addAction(QStringLiteral("One"));
    button.SetDropDownMenu(&real);
    bool wasShowing = false;
    QTimer::singleShot(0, &real, [&] {
        wasShowing = real.isVisible() && button.MenuShowing() && button.State() == S::sbsDown;
        real.close();
    });
    Click(button);
    EXPECT_TRUE(wasShowing);
    EXPECT_FALSE(button.MenuShowing());
    EXPECT_EQ(Clicks(button), 1);
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

// --- looks -------------------------------------------------------------------------------------------------

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

// The settings a look is drawn with, by word: "flat", "hot", "not_grayed", "stay_down", "win31", "disabled",
// "small" (the calendar's 14 x 14 button with its 8 x 6 glyph) and "pressed".
void Apply(TProbeButton& b, const std::string& words)
{
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        b.SetFlat(b.Flat() || w == "flat" || w == "hot" || w == "not_grayed");
        b.SetGrayedInactive(w != "not_grayed");
        if (w == "hot") {
            b.SetPointerQuery({[] { return true; }, [&b]() -> QWidget* { return &b; }});
            b.UpdateTracking();
        }
        if (w == "stay_down") {
            b.SetGroupIndex(1);
            b.SetDown(true);
        }
        if (w == "win31" || w == "small")
            b.SetStyle(TButtonStyle::bsWin31);
        if (w == "small") {
            b.resize(14, 14);
            b.SetGlyph(LoadBitmapResource(QStringLiteral("PREV1")));
        }
        b.setEnabled(w != "disabled");
        if (w == "pressed")
            QTest::mousePress(&b, Qt::LeftButton, {}, kIn);
    }
}

struct TLookCase {
    std::string Name;
    std::string Settings;
    std::string Probes;
};

class Looks : public SpeedButtonTest, public ::testing::WithParamInterface<TLookCase> {};

// The probes sit where the frame table, the checker, the one-pixel shift and the glyph looks decide; $4C4C4C
// is the glyph's red greyed. The small button's glyph has its first black pixel at (3, 4) of the glyph.
TEST_P(Looks, PaintFrameFaceAndGlyph)
{
    const TLookCase& c = GetParam();
    ShowForm();
    TProbeButton& button = AddButton();
    button.SetGlyph(LookGlyph());
    Apply(button, c.Settings);
    const QImage image = RenderWidget(button);
    SaveTestImage(image, c.Name + ".png");
    EXPECT_TRUE(PixelsAre(image, Probes(c.Probes), c.Name));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-1, -1));
}

INSTANTIATE_TEST_SUITE_P(
    SpeedButton, Looks,
    ::testing::ValuesIn(std::vector<TLookCase>{
        {"up", "",
         "0,0=BtnHighlight 24,0=WindowFrame 24,24=WindowFrame 1,1=BtnFace 23,23=BtnShadow 4,4=BtnFace "
         "5,5=Red 12,5=Black"},
        {"disabled", "disabled",
         "0,0=BtnHighlight 5,5=BtnFace 12,5=BtnShadow 19,6=BtnHighlight 13,19=BtnHighlight"},
        {"down", "pressed",
         "0,0=WindowFrame 24,24=BtnHighlight 1,1=BtnShadow 23,23=BtnFace 5,5=BtnFace 6,6=Red"},
        {"staying_down", "stay_down",
         "0,0=WindowFrame 1,1=BtnShadow 2,2=BtnFace 3,2=BtnHighlight 5,6=BtnHighlight 6,6=Red"},
        {"flat_away_grey", "flat", "0,0=BtnFace 24,24=BtnFace 5,5=$4C4C4C"},
        {"flat_away_not_grayed", "not_grayed", "0,0=BtnFace 5,5=Red"},
        {"flat_hot", "hot", "0,0=BtnHighlight 24,24=BtnShadow 1,1=BtnFace 5,5=Red"},
        {"flat_staying_down", "flat stay_down",
         "0,0=WindowFrame 24,24=BtnHighlight 2,2=BtnFace 3,2=BtnHighlight"},
        {"win31", "win31", "0,0=WindowFrame 24,24=WindowFrame 1,1=BtnHighlight 23,23=BtnShadow"},
        {"win31_down", "win31 pressed", "0,0=WindowFrame 1,23=BtnShadow 23,1=BtnShadow 23,23=BtnFace"},
        {"win31_prev1_up", "small", "7,4=Black 6,4=BtnFace"},
        {"win31_prev1_down", "small pressed", "8,5=Black 7,4=BtnFace"}}),
    ByName);

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
    EXPECT_TRUE(PixelsAre(transparent, Probes("2,2=Navy 0,0=BtnHighlight"), "caption_transparent"));

    for (const auto& [name, image] :
         {std::pair{"caption", &normal}, std::pair{"caption_disabled", &disabled},
          std::pair{"caption_drop_down_mark", &marked}, std::pair{"caption_transparent", &transparent}})
        SaveTestImage(*image, std::string(name) + ".png");
}

TFont Maroon()
{
    TFont font;
    font.SetColor(clMaroon);
    return font;
}

// A button painted before a change looks exactly like one that never had the old settings.
TEST_F(SpeedButtonTest, RepaintAfterAChangeLooksLikeAFreshButton)
{
    const auto setUp = [](TUiSpeedButton& b) {
        b.resize(75, 25);
        b.SetLayout(TButtonLayout::blGlyphLeft);
        b.SetGlyph(LookGlyph());
        b.SetCaption(QStringLiteral("&Apply"));
    };
    const std::pair<const char*, std::function<void(TUiSpeedButton&)>> changes[] = {
        {"caption", [](TUiSpeedButton& b) { b.SetCaption(QStringLiteral("Go")); }},
        {"font_colour", [](TUiSpeedButton& b) { b.SetFont(Maroon()); }},
        {"glyph",
         [](TUiSpeedButton& b) {
             b.SetGlyph(TBitmap::FromRows({"X.", ".X"}));
         }},
        {"size", [](TUiSpeedButton& b) { b.resize(60, 30); }}};
    for (const auto& [name, change] : changes) {
        TProbeButton& painted = AddButton();
        setUp(painted);
        RenderWidget(painted);
        change(painted);
        TProbeButton& fresh = AddButton();
        setUp(fresh);
        change(fresh);
        EXPECT_TRUE(ImagesEqual(RenderWidget(painted), RenderWidget(fresh), name));
    }
}

// --- the glyph painter and its cache
// ------------------------------------------------------------------------

constexpr TColor kGround = clYellow;

// A picture on a ground colour that transparent pixels leave visible.
struct TSurface {
    explicit TSurface(int width = 40, int height = 40)
        : image(width, height, QImage::Format_RGB32)
        , canvas(&image)
    {
        image.fill(ToQRgb(kGround));
    }
    TColor At(int x, int y) const { return PixelAt(image, x, y); }
    QImage image;
    TCanvas canvas;
};

// One colour, with a fuchsia bottom-left pixel that makes fuchsia the transparent colour.
TBitmap Solid(int width, int height, TColor color)
{
    TBitmap bitmap(width, height);
    bitmap.Canvas().Brush().SetColor(color);
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
    bitmap.Canvas().SetPixel(0, height - 1, clFuchsia);
    return bitmap;
}

TEST(ButtonGlyph, TheStripsShapeGivesNumGlyphsAndItsCornerTheTransparentColour)
{
    const struct {
        int width, before, after;
    } rows[] = {{32, 1, 2}, {80, 1, 5}, {96, 3, 1}, {20, 3, 3}};
    for (const auto& row : rows) {
        TUiButtonGlyph painter;
        painter.SetNumGlyphs(row.before);
        painter.SetGlyph(Solid(row.width, 16, clRed));
        EXPECT_EQ(painter.NumGlyphs(), row.after) << row.width << " x 16";
        EXPECT_EQ(painter.TransparentColor(), clFuchsia);
    }
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows({"X.", "X."}));
    EXPECT_EQ(painter.TransparentColor(), clWhite) << "monochrome";
}

// Cell 0: red, a clBtnFace pixel and blue on fuchsia; cell 1: green. The ground is yellow; $4C4C4C and
// $1C1C1C are red and blue greyed.
TEST(ButtonGlyph, TwoCellLooksComeFromTheirCellOrTheGreyCopy)
{
    const struct {
        const char* name;
        S state;
        const char* probes;
    } rows[] = {{"up", S::sbsUp, "0,0=Red 2,1=Blue 3,3=Yellow"},
                {"pressed_shares_cell_0", S::sbsDown, "0,0=Red 3,3=Yellow"},
                {"disabled_is_cell_1", S::sbsDisabled, "0,0=Lime 3,3=Lime"},
                {"inactive_is_grey", S::sbsInactive, "0,0=$4C4C4C 1,0=BtnFace 2,1=$1C1C1C 3,3=Yellow"}};
    for (const auto& row : rows) {
        TUiButtonGlyph painter;
        painter.SetGlyph(TBitmap::FromRows(
            {"rFffgggg", "ffbfgggg", "ffffgggg", "ffffgggg"},
            {{'r', clRed}, {'F', ColorToRGB(clBtnFace)}, {'b', clBlue}, {'f', clFuchsia}, {'g', clLime}}));
        ASSERT_EQ(painter.NumGlyphs(), 2);
        TSurface surface;
        EXPECT_EQ(painter.DrawButtonGlyph(surface.canvas, 0, 0, row.state), (TSize{4, 4}));
        EXPECT_TRUE(PixelsAre(surface.image, Probes(row.probes), row.name));
    }
}

TEST(ButtonGlyph, OneCellDisabledKeepsOnlyTheBlackPixelsEmbossed)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows({"X..", "...", "..."}));
    TSurface surface;
    painter.DrawButtonGlyph(surface.canvas, 0, 0, S::sbsDisabled);
    EXPECT_TRUE(PixelsAre(surface.image, Probes("0,0=BtnShadow 1,1=BtnHighlight 1,0=Yellow 2,2=Yellow"),
                          "one_cell_disabled"));
}

TEST(ButtonGlyph, AStripNarrowerThanItsCellsGivesNoImage)
{
    TUiButtonGlyph painter;
    painter.SetNumGlyphs(5);
    painter.SetGlyph(Solid(3, 16, clRed));
    ASSERT_EQ(painter.NumGlyphs(), 5);
    EXPECT_EQ(painter.CreateButtonGlyph(S::sbsUp), -1);
    TSurface surface;
    painter.Draw(surface.canvas, Rect(0, 0, 25, 25), {}, TButtonLayout::blGlyphTop, -1, 1, false, S::sbsUp,
                 0);
    EXPECT_EQ(CountPixels(surface.image, QRect(0, 0, 25, 25), kGround), 25 * 25);
}

TEST(ButtonGlyph, GlyphsOfOneSizeShareAListAndTheCacheGoesWithTheLastPainter)
{
    ASSERT_EQ(SharedGlyphCache(), nullptr);
    {
        auto first = std::make_unique<TUiButtonGlyph>();
        TUiButtonGlyph second;
        first->SetGlyph(Solid(16, 16, clRed));
        second.SetGlyph(Solid(16, 16, clBlue));
        const int firstSlot = first->CreateButtonGlyph(S::sbsUp);
        second.CreateButtonGlyph(S::sbsUp);
        EXPECT_EQ(first->ListOf(S::sbsUp), second.ListOf(S::sbsUp));
        EXPECT_EQ(second.ListOf(S::sbsUp)->UsedCount(), 2);

        first->Invalidate();
        EXPECT_EQ(second.CreateButtonGlyph(S::sbsDisabled), firstSlot) << "a freed slot is reused";
        EXPECT_EQ(second.ListOf(S::sbsUp)->Count(), 2);
        first.reset();
        EXPECT_NE(SharedGlyphCache(), nullptr);
    }
    EXPECT_EQ(SharedGlyphCache(), nullptr);
}

TEST(ButtonGlyph, AnImageListLookNeverMovesTheGlyphsLooks)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(Solid(16, 16, clRed));
    painter.CreateButtonGlyph(S::sbsUp);
    TImageList images(8, 8);
    images.AddMasked(Solid(8, 8, clBlue), clFuchsia);

    TSurface surface;
    EXPECT_EQ(painter.DrawButtonImage(surface.canvas, 20, 20, S::sbsInactive, &images, 0), (TSize{8, 8}));
    EXPECT_EQ(surface.At(21, 20), RGBToColor(28, 28, 28)) << "blue greyed";
    EXPECT_EQ(painter.DrawButtonGlyph(surface.canvas, 0, 0, S::sbsUp), (TSize{16, 16}));
    EXPECT_EQ(surface.At(15, 15), clRed);
}

TEST(ButtonGlyph, ComputedMarginAndSpacingShareTheFreeRoomInThirds)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(Solid(16, 16, clRed));
    TSurface surface;
    const int textWidth = surface.canvas.TextWidth(QStringLiteral("Ab"));
    QString caption = QStringLiteral("Ab");
    TPoint glyph;
    TRect text;
    painter.CalcButtonLayout(surface.canvas, Rect(0, 0, 16 + textWidth + 10, 30), caption,
                             TButtonLayout::blGlyphLeft, -1, -1, false, glyph, text, DT_CENTER, nullptr, -1);
    EXPECT_EQ(glyph.X, 3);
    EXPECT_EQ(text.Left, 3 + 16 + 3);
    EXPECT_EQ(16 + textWidth + 10 - text.Right, 4);
}

TEST(ButtonGlyph, CaptionsAreShortenedLineByLineUnlessTheyWrap)
{
    TUiButtonGlyph painter;
    TSurface surface;
    const QString twoLines = QStringLiteral("abcdefgh\nABCDEFGH\n");
    const int room = surface.canvas.TextWidth(QStringLiteral("abcde..."));
    EXPECT_EQ(painter.MinimizeCaption(surface.canvas, twoLines, 255, room),
              MinimizeText(QStringLiteral("abcdefgh"), surface.canvas, room) + QLatin1Char('\n') +
                  MinimizeText(QStringLiteral("ABCDEFGH"), surface.canvas, room));
    EXPECT_EQ(painter.MinimizeCaption(surface.canvas, QString(300, QLatin1Char('i')), 255, 100000).size(),
              255);
    painter.SetWordWrap(true);
    EXPECT_EQ(painter.MinimizeCaption(surface.canvas, twoLines, 255, room), twoLines);
}

TEST(ButtonGlyph, PopupMarkIsATriangleEmbossedWhenDisabled)
{
    TUiButtonGlyph painter;
    TSurface surface;
    painter.DrawPopupMark(surface.canvas, 10, 10, S::sbsUp);
    painter.DrawPopupMark(surface.canvas, 20, 20, S::sbsDisabled);
    EXPECT_EQ(CountPixels(surface.image, QRect(0, 0, 20, 20), clBtnText), 7 + 5 + 3 + 1);
    EXPECT_TRUE(PixelsAre(surface.image,
                          Probes("10,9=BtnText 16,9=BtnText 13,12=BtnText 20,19=BtnShadow 27,20=BtnHighlight "
                                 "24,23=BtnHighlight"),
                          "popup_mark"));
}

// --- drawing utilities -------------------------------------------------------------------------------------

TEST(UiDrawUtils, DisabledBitmapEmbossesTheOutlinePixels)
{
    // A black pixel at (1, 1), a red one at (2, 2), a black one at the right edge.
    TBitmap source = TBitmap::FromRows({"....", ".X..", "..r.", "...X"}, {{'X', clBlack}, {'r', clRed}});
    const QImage with = CreateDisabledBitmapEx(source, clBlack, clSilver, clWhite, clGray, true).Image();
    EXPECT_TRUE(PixelsAre(with, Probes("1,1=Gray 2,2=White 0,0=Silver 3,3=Gray"), "with"));
    const QImage without = CreateDisabledBitmapEx(source, clBlack, clSilver, clWhite, clGray, false).Image();
    EXPECT_TRUE(PixelsAre(without, Probes("1,1=Gray 2,2=Silver"), "without_highlight"));
}

TEST(UiDrawUtils, MinimizeTextDropsTwoCharactersThenOneMore)
{
    TSurface surface;
    const auto width = [&](const char* text) { return surface.canvas.TextWidth(QString::fromLatin1(text)); };
    const struct {
        int maxWidth;
        const char* expected;
    } rows[] = {{width("abcdef"), "abcdef"},
                {width("abcd..."), "abcd..."},
                {width("abc..."), "abc..."},
                {width("a..."), "a..."},
                {0, "..."}};
    for (const auto& row : rows)
        EXPECT_EQ(MinimizeText(QStringLiteral("abcdef"), surface.canvas, row.maxWidth),
                  QString::fromLatin1(row.expected));
}

// Paints its colour over its whole rectangle.
class TSwatch : public TGraphicControl {
public:
    TSwatch(QWidget* parent, TColor color, const QRect& bounds)
        : TGraphicControl(parent)
        , color_(color)
    {
        setGeometry(bounds);
    }

protected:
    void Paint(TCanvas& canvas) override
    {
        canvas.Brush().SetColor(color_);
        canvas.FillRect(Rect(0, 0, width(), height()));
    }

private:
    TColor color_;
};

TEST(UiDrawUtils, CopyParentImageTakesTheParentAndTheEarlierSiblingsOnly)
{
    QWidget parent;
    parent.resize(40, 40);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, ToQColor(clNavy));
    parent.setPalette(palette);
    new TSwatch(&parent, clRed, QRect(0, 0, 15, 40));
    auto* control = new TSwatch(&parent, clBlack, QRect(10, 10, 20, 20));
    new TSwatch(&parent, clLime, QRect(20, 0, 20, 40));
    TSurface surface(20, 20);
    CopyParentImage(control, surface.canvas);
    EXPECT_TRUE(PixelsAre(surface.image, Probes("0,0=Red 8,0=Navy 15,0=Navy"), "copy_parent_image"));

    auto* first = new TSwatch(&parent, clBlack, QRect(0, 0, 5, 5));
    first->stackUnder(parent.findChildren<TSwatch*>().front());
    TSurface alone(5, 5);
    CopyParentImage(first, alone.canvas);
    EXPECT_EQ(alone.At(2, 2), clNavy) << "a first child gets only the parent's painting";
}

TEST(UiDrawUtils, KillMessageRemovesQueuedEventsOfOneKindButNeverQuit)
{
    struct TCounter : QObject {
        int seen = 0;
        bool event(QEvent*) override { return ++seen, true; }
    } counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Quit));
    KillMessage(&counter, QEvent::User);
    KillMessage(&counter, QEvent::Quit);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(counter.seen, 2);
}

} // namespace
} // namespace carlume::test
