// The colour-scheme push button: scheme tables and quirks, the looks of every scheme, glyph placement,
// input, and the result handed to the form before OnClick. Also saves a sheet of every look.

#include "components/gradient_button.h"
#include "components/scheme_button.h"
#include "tests/components/styled_button_support.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using In = TInput;

const char* const kSchemeNames[] = {"NeoDesert", "NeoSky",   "NeoGrass", "NeoSilver", "NeoRose",
                                    "NeoSun",    "NeoLilac", "Desert",   "Grass",     "Sky",
                                    "Sun",       "Rose",     "Silver"};

// --- schemes ----------------------------------------------------------------------------------------------

TEST(SchemeButton, ConstructionKeepsTheSchemeNameWithWhiteGradientColours)
{
    TSchemeButton button;
    EXPECT_EQ(button.ColorScheme(), csNeoDesert);
    EXPECT_TRUE(button.Gradient());
    EXPECT_EQ(button.ColorGrad(), 0x37BEFF);
    EXPECT_EQ(button.OverColorGrad(), clWhite);
    EXPECT_EQ(button.DownColorGrad(), clWhite);
    EXPECT_EQ(button.DisabledColorGrad(), clWhite);
    EXPECT_EQ(button.width(), 75);
    EXPECT_EQ(button.height(), 25);

    button.SetColorText(clRed);
    EXPECT_EQ(button.ColorScheme(), csCustom);
    button.SetColorScheme(csNeoLilac);
    EXPECT_EQ(button.ColorScheme(), csNeoLilac);
    EXPECT_EQ(button.ColorText(), clBlack);

    // A plain scheme keeps the gradient colours it finds and turns the gradient off.
    button.SetColorScheme(csSky);
    EXPECT_FALSE(button.Gradient());
    EXPECT_EQ(button.ColorGrad(), 0xF0C4B3);
    EXPECT_EQ(button.DownColorGrad(), 0xC1FFFF);
    EXPECT_EQ(button.ColorFace(), 0xFFE0C1);
    button.SetColorScheme(csCustom);
    EXPECT_EQ(button.ColorFace(), 0xFFE0C1);
    EXPECT_EQ(button.ColorScheme(), csCustom);
}

struct SpotCase {
    std::string Name;
    TColorScheme Scheme;
    int Index;
    TColor Expected;
};

class SchemeSpotValues : public ::testing::TestWithParam<SpotCase> {};

TEST_P(SchemeSpotValues, ReadBackAsPublished)
{
    TSchemeButton button;
    button.SetColorScheme(GetParam().Scheme);
    EXPECT_EQ(button.Color(GetParam().Index), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SchemeSpotValues,
    ::testing::Values(SpotCase{"NeoDesertDownLight", csNeoDesert, sciDown + sciLight, 0x0077B7},
                      SpotCase{"NeoDesertOverGrad", csNeoDesert, sciOver + sciGrad, 0x00A3F0},
                      SpotCase{"NeoSkyBorder", csNeoSky, sciBorder, 0xB35900},
                      SpotCase{"NeoSkyDownFace", csNeoSky, sciDown + sciFace, 0xFFB366},
                      SpotCase{"NeoGrassOverBorder", csNeoGrass, sciOver + sciBorder, 0x17793D},
                      SpotCase{"NeoSilverFocus", csNeoSilver, sciFocusRect, 0xADADAD},
                      SpotCase{"NeoRoseOverDark", csNeoRose, sciOver + sciDark, 0x6A6AFF},
                      SpotCase{"NeoSunLight", csNeoSun, sciLight, 0xF2FFFF},
                      SpotCase{"NeoSunDownGrad", csNeoSun, sciDown + sciGrad, 0x66F0FB},
                      SpotCase{"NeoLilacOverText", csNeoLilac, sciOver + sciText, 0xFFFFFF},
                      SpotCase{"NeoLilacDownGrad", csNeoLilac, sciDown + sciGrad, 0xC1FFFF},
                      SpotCase{"NeoLilacFocus", csNeoLilac, sciFocusRect, 0xA8864D},
                      SpotCase{"NeoDisabledDark", csNeoGrass, sciDisabled + sciDark, 0xD2D2D2},
                      SpotCase{"DesertOverFace", csDesert, sciOver + sciFace, 0x6FD0FF},
                      SpotCase{"GrassFocus", csGrass, sciFocusRect, 0x00A421},
                      SpotCase{"SkyDownLight", csSky, sciDown + sciLight, 0xFF9122},
                      SpotCase{"SunDownFace", csSun, sciDown + sciFace, 0x22EEFF},
                      SpotCase{"RoseDownDark", csRose, sciDown + sciDark, 0x8888FF},
                      SpotCase{"SilverOverDark", csSilver, sciOver + sciDark, 0x797979},
                      SpotCase{"SilverBorder", csSilver, sciBorder, 0x626262},
                      SpotCase{"PlainDisabledBorder", csSun, sciDisabled + sciBorder, 0xC4C4C4},
                      SpotCase{"PlainOverText", csRose, sciOver + sciText, 0x000000}));

// --- looks ------------------------------------------------------------------------------------------------

enum class TLook { Normal, Hot, Down, Disabled, Focused };
const char* const kLookNames[] = {"Normal", "Hot", "Down", "Disabled", "Focused"};

// Puts the button into the look through its own input.
void Apply(TSchemeButton& button, TLook look)
{
    switch (look) {
    case TLook::Normal:
        break;
    case TLook::Hot:
        Send(button, MouseAt(In::Enter, 3, 3));
        break;
    case TLook::Down:
        Send(button, MouseAt(In::Press, 5, 5));
        break;
    case TLook::Disabled:
        button.SetEnabled(false);
        Send(button, MouseAt(In::Enter, 3, 3)); // still hot, yet painted disabled
        break;
    case TLook::Focused:
        Send(button, Step(In::FocusIn));
        break;
    }
}

struct SchemeLook {
    TColorScheme Scheme;
    TLook Look;
};

std::string SchemeLookName(const ::testing::TestParamInfo<SchemeLook>& info)
{
    return std::string(kSchemeNames[info.param.Scheme]) + kLookNames[int(info.param.Look)];
}

std::vector<SchemeLook> AllSchemeLooks()
{
    std::vector<SchemeLook> all;
    for (int s = csNeoDesert; s <= csSilver; ++s) {
        for (int l = 0; l < 5; ++l) {
            all.push_back({TColorScheme(s), TLook(l)});
        }
    }
    return all;
}

bool Near(TColor actual, double r, double g, double b)
{
    return std::abs(GetRValue(actual) - r) <= 1.0 && std::abs(GetGValue(actual) - g) <= 1.0 &&
           std::abs(GetBValue(actual) - b) <= 1.0;
}

class SchemeButtonLook : public ::testing::TestWithParam<SchemeLook> {};

// 22 x 20 as the About box uses it: border, 3-D lines, face rows and focus ring from the state's colours.
TEST_P(SchemeButtonLook, ProbesWhereTheRulesDecideTheColour)
{
    const auto [scheme, look] = GetParam();
    TSchemeButton button;
    button.PaintToImage(); // the look painted before must not linger
    button.resize(22, 20);
    button.SetCaption(QStringLiteral("?"));
    button.SetColorScheme(scheme);
    Apply(button, look);
    const int set = look == TLook::Disabled ? sciDisabled
                    : look == TLook::Hot    ? sciOver
                    : look == TLook::Down   ? sciDown
                                            : 0;
    const QImage image = button.PaintToImage().convertToFormat(QImage::Format_RGB32);
    const TColor border = button.Color(set + sciBorder);
    EXPECT_TRUE(PixelsAre(image,
                          {{0, 0, border, "border"},
                           {21, 1, border, "border beside the light line's left-out end"},
                           {1, 1, button.Color(set + sciLight), "light line"},
                           {20, 18, button.Color(set + sciDark), "dark line"}},
                          SchemeLookName({GetParam(), 0})));

    const TColor face = button.Color(set + sciFace);
    const TColor grad = button.Gradient() ? button.Color(set + sciGrad) : face;
    for (int y : {2, 3, 17}) {
        const double t = y / 20.0;
        const TColor at = PixelAt(image, y == 3 ? 3 : 2, y);
        if (y == 3 && look == TLook::Focused) {
            EXPECT_EQ(at, button.ColorFocusRect()) << "focus ring";
            continue;
        }
        EXPECT_TRUE(Near(at, GetRValue(face) + t * (GetRValue(grad) - GetRValue(face)),
                         GetGValue(face) + t * (GetGValue(grad) - GetGValue(face)),
                         GetBValue(face) + t * (GetBValue(grad) - GetBValue(face))))
            << "row " << y << ": " << ColorText(at);
    }
}

INSTANTIATE_TEST_SUITE_P(EverySchemeAndLook, SchemeButtonLook, ::testing::ValuesIn(AllSchemeLooks()),
                         SchemeLookName);

TEST(SchemeButton, DownShiftsTheCaptionByOnePixel)
{
    auto inkOf = [](bool down) {
        TSchemeButton button;
        button.SetColorScheme(csSilver);
        button.SetCaption(QStringLiteral("Go"));
        if (down) {
            Send(button, KeyStep(In::KeyDown, Qt::Key_Space));
        }
        const QImage image = button.PaintToImage();
        return InkBounds(image, QRect(4, 4, 67, 17), down ? button.DownColorFace() : button.ColorFace());
    };
    const QRect normal = inkOf(false);
    ASSERT_FALSE(normal.isEmpty());
    EXPECT_EQ(inkOf(true), normal.translated(1, 1));
}

TEST(SchemeButton, ZeroHeightPaintsNothing)
{
    TSchemeButton button;
    button.resize(75, 0);
    EXPECT_TRUE(button.PaintToImage().isNull());
}

// --- glyph ------------------------------------------------------------------------------------------------

struct GlyphCase {
    std::string Name;
    TButtonLayout Layout;
    QString Caption;
    bool Down;
    // Where the glyph lands, or where it lies against the caption ink.
    std::function<void(const QRect& glyph, const QRect& text)> Check;
};

class SchemeButtonGlyph : public ::testing::TestWithParam<GlyphCase> {};

TEST_P(SchemeButtonGlyph, IsPlacedByLayoutAndSpacing)
{
    const GlyphCase& c = GetParam();
    TSchemeButton button;
    button.resize(75, 41);
    button.SetColorScheme(csSilver);
    button.SetCtl3D(false);
    button.SetSpacing(9);
    button.SetLayout(c.Layout);
    button.SetCaption(c.Caption);
    // 10 x 8 of red with a blue top-left pixel, which becomes the transparent colour.
    TBitmap glyph(10, 8);
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(Rect(0, 0, 10, 8));
    glyph.Canvas().SetPixel(0, 0, clBlue);
    button.SetGlyph(glyph);
    if (c.Down) {
        Send(button, KeyStep(In::KeyDown, Qt::Key_Space));
    }
    const QImage image = button.PaintToImage().convertToFormat(QImage::Format_RGB32);
    const TColor face = c.Down ? button.DownColorFace() : button.ColorFace();
    QRect red;
    QRect text;
    for (int y = 1; y < 40; ++y) {
        for (int x = 1; x < 74; ++x) {
            const TColor p = PixelAt(image, x, y);
            if (p == clRed) {
                red |= QRect(x, y, 1, 1);
            } else if (p != face) {
                text |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_EQ(PixelAt(image, red.left(), red.top()), face) << "transparent corner";
    c.Check(red, text);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SchemeButtonGlyph,
    ::testing::Values(
        GlyphCase{"NoCaptionCentredWithoutSpacing",
                  TButtonLayout::blGlyphLeft,
                  {},
                  false,
                  [](const QRect& glyph, const QRect&) { EXPECT_EQ(glyph, QRect(32, 16, 10, 8)); }},
        GlyphCase{"NoCaptionRight",
                  TButtonLayout::blGlyphRight,
                  {},
                  false,
                  [](const QRect& glyph, const QRect&) { EXPECT_EQ(glyph, QRect(32, 16, 10, 8)); }},
        GlyphCase{"NoCaptionDown",
                  TButtonLayout::blGlyphLeft,
                  {},
                  true,
                  [](const QRect& glyph, const QRect&) { EXPECT_EQ(glyph, QRect(33, 17, 10, 8)); }},
        GlyphCase{"Left", TButtonLayout::blGlyphLeft, QStringLiteral("Go"), false,
                  [](const QRect& glyph, const QRect& text) { EXPECT_GE(text.left() - glyph.right(), 5); }},
        GlyphCase{"Right", TButtonLayout::blGlyphRight, QStringLiteral("Go"), false,
                  [](const QRect& glyph, const QRect& text) { EXPECT_GE(glyph.left() - text.right(), 5); }},
        GlyphCase{"Top", TButtonLayout::blGlyphTop, QStringLiteral("Go"), false,
                  [](const QRect& glyph, const QRect& text) { EXPECT_LT(glyph.bottom(), text.top()); }},
        GlyphCase{"Bottom", TButtonLayout::blGlyphBottom, QStringLiteral("Go"), false,
                  [](const QRect& glyph, const QRect& text) { EXPECT_GT(glyph.top(), text.bottom()); }}));

// --- input ------------------------------------------------------------------------------------------------

struct InputCase {
    std::string Name;
    std::vector<TInput> Input;
    std::string States; // after each step: N normal, H hot, D down
    int Clicks;
    bool HotTrack = true;
};

class SchemeButtonInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(SchemeButtonInput, FollowsTheStatesAndClicks)
{
    const InputCase& c = GetParam();
    TSchemeButton button;
    button.SetHotTrack(c.HotTrack);
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    std::string states;
    for (const TInput& input : c.Input) {
        Send(button, input);
        states += "NHD"[button.State()];
    }
    EXPECT_EQ(states, c.States);
    EXPECT_EQ(clicks, c.Clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SchemeButtonInput,
    ::testing::Values(
        InputCase{"PressReleaseInside", {MouseAt(In::Press, 9, 9), MouseAt(In::Release, 9, 9)}, "DN", 1},
        InputCase{"OutAndBackThenReleaseOutside",
                  {MouseAt(In::Press, 9, 9), MouseAt(In::Move, 90, 9), MouseAt(In::Move, 9, 9),
                   MouseAt(In::Move, 90, 9), MouseAt(In::Release, 90, 9)},
                  "DNDNN",
                  0},
        InputCase{"OutAndBackWithoutHotTracking",
                  {MouseAt(In::Press, 9, 9), MouseAt(In::Move, 90, 9), MouseAt(In::Move, 9, 9),
                   MouseAt(In::Release, 9, 9)},
                  "DNNN",
                  1,
                  false},
        InputCase{"HotWhileOver", {MouseAt(In::Enter, 9, 9), Step(In::Leave)}, "HN", 0},
        InputCase{"DoubleClickSequenceClicksOnce",
                  {MouseAt(In::Press, 9, 9), MouseAt(In::Release, 9, 9), MouseAt(In::DoubleClick, 9, 9),
                   MouseAt(In::Release, 9, 9)},
                  "DNDN",
                  1},
        InputCase{"SpaceDownAndUp",
                  {KeyStep(In::KeyDown, Qt::Key_Space), KeyStep(In::KeyUp, Qt::Key_Space)},
                  "DN",
                  1},
        InputCase{"FocusLeftBetweenSpaceDownAndUp",
                  {KeyStep(In::KeyDown, Qt::Key_Space), Step(In::FocusOut), Step(In::FocusIn),
                   KeyStep(In::KeyUp, Qt::Key_Space)},
                  "DNNN",
                  0},
        InputCase{"EnterWithoutAForm", {KeyStep(In::KeyDown, Qt::Key_Return)}, "N", 1}));

struct FormCase {
    std::string Name;
    std::function<void(TModalWindow&)> Act;
};

class SchemeButtonOnAForm : public ::testing::TestWithParam<FormCase> {};

// The result is on the form before OnClick runs, the form is still open then, and it ends with it after.
TEST_P(SchemeButtonOnAForm, TheResultComesFirstAndOneActionClicksOnce)
{
    TForm form;
    TSchemeButton other(&form);
    TSchemeButton button(&form);
    button.setObjectName(QStringLiteral("details"));
    button.move(0, 30);
    button.SetModalResult(mrRetry);
    int clicks = 0;
    int otherClicks = 0;
    bool open = false;
    TModalResult seen = mrNone;
    button.OnClick = [&] {
        ++clicks;
        open = form.isVisible();
        seen = form.ModalResult();
    };
    other.OnClick = [&] { ++otherClicks; };
    TModalDriver driver;
    driver.Then(GetParam().Act);
    EXPECT_EQ(form.ShowModal(), mrRetry);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(otherClicks, 0);
    EXPECT_TRUE(open);
    EXPECT_EQ(seen, mrRetry);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SchemeButtonOnAForm,
    ::testing::Values(FormCase{"Mouse", [](TModalWindow& w) { w.Click(QStringLiteral("details")); }},
                      FormCase{"EnterWhileFocused",
                               [](TModalWindow& w) {
                                   w.Find(QStringLiteral("details")).setFocus(Qt::TabFocusReason);
                                   w.Key(Qt::Key_Return);
                               }},
                      FormCase{"Space", [](TModalWindow& w) {
                                   w.Find(QStringLiteral("details")).setFocus(Qt::TabFocusReason);
                                   w.Key(Qt::Key_Space);
                               }}));

// --- layouts ----------------------------------------------------------------------------------------------

TEST(StyledButtons, LayoutsSetThePublishedPropertiesByName)
{
    TSchemeButton scheme;
    EXPECT_TRUE(scheme.setProperty("ColorScheme", int(csNeoLilac)));
    EXPECT_TRUE(scheme.setProperty("Caption", QStringLiteral("?")));
    EXPECT_TRUE(scheme.setProperty("Layout", int(TButtonLayout::blGlyphTop)));
    EXPECT_EQ(scheme.ColorScheme(), csNeoLilac);
    EXPECT_EQ(scheme.Caption(), QStringLiteral("?"));
    EXPECT_EQ(scheme.Layout(), TButtonLayout::blGlyphTop);
    EXPECT_TRUE(scheme.setProperty("DownColorText", 0x0000FF));
    EXPECT_EQ(scheme.ColorScheme(), csCustom);

    TGradientButton gradient;
    EXPECT_TRUE(gradient.setProperty("Caption", QStringLiteral("&Close")));
    EXPECT_TRUE(gradient.setProperty("ModalResult", mrCancel));
    EXPECT_TRUE(gradient.setProperty("Default", true));
    EXPECT_EQ(gradient.Caption(), QStringLiteral("&Close"));
    EXPECT_EQ(gradient.ModalResult(), mrCancel);
    EXPECT_TRUE(gradient.Default());
}

// --- the sheet of looks
// -------------------------------------------------------------------------------------

// Every scheme in every look, and the gradient button's looks, on one picture for a person to look at.
TEST(StyledButtonSheet, SavesEveryLook)
{
    constexpr int cellW = 90;
    constexpr int cellH = 34;
    constexpr int labelW = 80;
    QImage sheet(labelW + 5 * cellW, 22 + 15 * cellH, QImage::Format_RGB32);
    sheet.fill(ToQRgb(clBtnFace));
    QPainter painter(&sheet);
    painter.setFont(TFont().ToQFont());
    painter.setPen(Qt::black);
    for (int l = 0; l < 5; ++l) {
        painter.drawText(labelW + l * cellW, 14, QString::fromLatin1(kLookNames[l]));
    }
    for (int s = csNeoDesert; s <= csSilver; ++s) {
        const int top = 22 + s * cellH;
        painter.drawText(4, top + 17, QString::fromLatin1(kSchemeNames[s]));
        for (int l = 0; l < 5; ++l) {
            TSchemeButton button;
            button.SetColorScheme(TColorScheme(s));
            button.SetCaption(QStringLiteral("&Button"));
            Apply(button, TLook(l));
            painter.drawImage(labelW + l * cellW, top, button.PaintToImage());
        }
    }
    const std::vector<std::pair<const char*, std::function<void(TGradientButton&)>>> gradientLooks = {
        {"Normal", [](TGradientButton&) {}},
        {"Hover", [](TGradientButton& b) { Send(b, MouseAt(In::Enter, 3, 3)); }},
        {"Pressed", [](TGradientButton& b) { Send(b, MouseAt(In::Press, 5, 5)); }},
        {"Disabled", [](TGradientButton& b) { b.SetEnabled(false); }},
        {"Focused", [](TGradientButton& b) { Send(b, Step(In::FocusIn)); }}};
    for (int plain = 0; plain < 2; ++plain) {
        const int top = 22 + (13 + plain) * cellH;
        painter.drawText(4, top + 17, plain != 0 ? QStringLiteral("Plain") : QStringLiteral("Gradient"));
        for (int l = 0; l < 5; ++l) {
            TGradientButton button;
            button.SetCaption(QStringLiteral("&Close"));
            button.SetGradient(plain == 0);
            gradientLooks[std::size_t(l)].second(button);
            painter.drawImage(labelW + l * cellW, top, button.PaintToImage());
        }
    }
    painter.end();
    const auto path = SaveTestImage(sheet, "styled_buttons.png");
    EXPECT_TRUE(std::filesystem::exists(path));
}

} // namespace
} // namespace carlume::test
