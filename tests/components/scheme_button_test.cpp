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

// --- schemes
// ------------------------------------------------------------------------------------------------

TEST(SchemeButton, ConstructionKeepsTheSchemeNameWithWhiteGradientColours)
{
    TSchemeButton button;
    EXPECT_EQ(button.ColorScheme(), csNeoDesert);
    EXPECT_TRUE(button.Gradient());
    EXPECT_EQ(button.ColorGrad(), 0x37BEFF);
    EXPECT_EQ(button.OverColorGrad(), clWhite);
    EXPECT_EQ(button.DownColorGrad(), clWhite);
    EXPECT_EQ(button.DisabledColorGrad(), clWhite);

    button.SetColorText(clRed);
    EXPECT_EQ(button.ColorScheme(), csCustom);
    button.SetColorScheme(csNeoLilac);
    EXPECT_EQ(button.ColorScheme(), csNeoLilac);
    EXPECT_EQ(button.ColorText(), clBlack);

    // A plain scheme keeps the gradient colours it finds and turns the gradient off; csCustom sets nothing.
    button.SetColorScheme(csSky);
    EXPECT_FALSE(button.Gradient());
    EXPECT_EQ(button.ColorGrad(), 0xF0C4B3);
    EXPECT_EQ(button.DownColorGrad(), 0xC1FFFF);
    EXPECT_EQ(button.ColorFace(), 0xFFE0C1);
    button.SetColorScheme(csCustom);
    EXPECT_EQ(button.ColorFace(), 0xFFE0C1);
}

struct SpotCase {
    std::string Name;
    TColorScheme Scheme;
    int Index;
    TColor Expected;
};

class SchemeSpotValues : public ::testing::TestWithParam<SpotCase> {};

// One or two values of each published column, from different rows.
TEST_P(SchemeSpotValues, ReadBackAsPublished)
{
    TSchemeButton button;
    button.SetColorScheme(GetParam().Scheme);
    EXPECT_EQ(button.Color(GetParam().Index), GetParam().Expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tables, SchemeSpotValues, ::testing::Values(
    SpotCase{"NeoDesertDownLight", csNeoDesert, sciDown + sciLight, 0x0077B7},
    SpotCase{"NeoDesertOverGrad", csNeoDesert, sciOver + sciGrad, 0x00A3F0},
    SpotCase{"NeoSkyDownFace", csNeoSky, sciDown + sciFace, 0xFFB366},
    SpotCase{"NeoGrassOverBorder", csNeoGrass, sciOver + sciBorder, 0x17793D},
    SpotCase{"NeoSilverFocus", csNeoSilver, sciFocusRect, 0xADADAD},
    SpotCase{"NeoRoseOverDark", csNeoRose, sciOver + sciDark, 0x6A6AFF},
    SpotCase{"NeoSunDownGrad", csNeoSun, sciDown + sciGrad, 0x66F0FB},
    SpotCase{"NeoLilacOverText", csNeoLilac, sciOver + sciText, 0xFFFFFF},
    SpotCase{"NeoLilacFocus", csNeoLilac, sciFocusRect, 0xA8864D},
    SpotCase{"NeoDisabledDark", csNeoGrass, sciDisabled + sciDark, 0xD2D2D2},
    SpotCase{"DesertOverFace", csDesert, sciOver + sciFace, 0x6FD0FF},
    SpotCase{"GrassFocus", csGrass, sciFocusRect, 0x00A421},
    SpotCase{"SkyDownLight", csSky, sciDown + sciLight, 0xFF9122},
    SpotCase{"SunDownFace", csSun, sciDown + sciFace, 0x22EEFF},
    SpotCase{"RoseDownDark", csRose, sciDown + sciDark, 0x8888FF},
    SpotCase{"SilverOverDark", csSilver, sciOver + sciDark, 0x797979},
    SpotCase{"PlainDisabledBorder", csSun, sciDisabled + sciBorder, 0xC4C4C4}),
    ByName);
// clang-format on

// --- looks
// --------------------------------------------------------------------------------------------------

enum class TLook { Normal, Hot, Down, Disabled, Focused };
const char* const kLookNames[] = {"Normal", "Hot", "Down", "Disabled", "Focused"};

// Puts the button into the look through its own input.
void Apply(TSchemeButton& button, TLook look)
{
    if (look == TLook::Disabled) {
        button.SetEnabled(false);
    }
    if (look == TLook::Hot || look == TLook::Disabled) {
        Send(button, {In::Enter}); // a disabled button may be hot, yet paints disabled
    } else if (look == TLook::Down) {
        Send(button, {In::Press, {5, 5}});
    } else if (look == TLook::Focused) {
        Send(button, {In::FocusIn});
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

class SchemeButtonLook : public ::testing::TestWithParam<SchemeLook> {};

// 22 x 20 as the About box has it: border, 3-D lines, face rows and focus ring in the colours of the look.
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
    auto channelAt = [&](int y, int shift) {
        const int from = (face >> shift) & 0xFF;
        return from + y * (((grad >> shift) & 0xFF) - from) / 20.0;
    };
    for (const QPoint at : {QPoint(2, 2), QPoint(3, 3), QPoint(2, 17)}) {
        const TColor pixel = PixelAt(image, at.x(), at.y());
        if (at.y() == 3 && look == TLook::Focused) {
            EXPECT_EQ(pixel, button.ColorFocusRect()) << "focus ring";
            continue;
        }
        for (int shift : {0, 8, 16}) {
            EXPECT_NEAR((pixel >> shift) & 0xFF, channelAt(at.y(), shift), 1.0) << "row " << at.y();
        }
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
            Send(button, {In::KeyDown});
        }
        return InkBounds(button.PaintToImage(), QRect(4, 4, 67, 17),
                         down ? button.DownColorFace() : button.ColorFace());
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

// --- glyph
// --------------------------------------------------------------------------------------------------

struct GlyphCase {
    std::string Name;
    TButtonLayout Layout;
    QString Caption;
    bool Down;
    QRect Glyph; // empty: only its side of the caption counts
};

class SchemeButtonGlyph : public ::testing::TestWithParam<GlyphCase> {};

// A 10 x 8 red glyph with a blue top-left pixel, which becomes its transparent colour; spacing 9.
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
    TBitmap glyph(10, 8);
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(Rect(0, 0, 10, 8));
    glyph.Canvas().SetPixel(0, 0, clBlue);
    button.SetGlyph(glyph);
    if (c.Down) {
        Send(button, {In::KeyDown});
    }
    const QImage image = button.PaintToImage().convertToFormat(QImage::Format_RGB32);
    const TColor face = c.Down ? button.DownColorFace() : button.ColorFace();
    QRect red;
    QRect text;
    for (int y = 1; y < 40; ++y) {
        for (int x = 1; x < 74; ++x) {
            const TColor p = PixelAt(image, x, y);
            (p == clRed ? red : text) |= p == face ? QRect() : QRect(x, y, 1, 1);
        }
    }
    EXPECT_EQ(PixelAt(image, red.left(), red.top()), face) << "transparent corner";
    if (!c.Glyph.isEmpty()) {
        EXPECT_EQ(red, c.Glyph);
    } else if (c.Layout == TButtonLayout::blGlyphLeft) {
        EXPECT_GE(text.left() - red.right(), 5) << "spacing 9 splits into 5 before the caption";
    } else {
        EXPECT_GT(red.top(), text.bottom());
    }
}

// Without a caption the glyph is centred on the text position, without spacing: (75 - 10) / 2, (41 - 8) / 2.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Layouts, SchemeButtonGlyph, ::testing::Values(
    GlyphCase{"NoCaptionLeft", TButtonLayout::blGlyphLeft, {}, false, QRect(32, 16, 10, 8)},
    GlyphCase{"NoCaptionRight", TButtonLayout::blGlyphRight, {}, false, QRect(32, 16, 10, 8)},
    GlyphCase{"NoCaptionDown", TButtonLayout::blGlyphLeft, {}, true, QRect(33, 17, 10, 8)},
    GlyphCase{"LeftOfTheCaption", TButtonLayout::blGlyphLeft, QStringLiteral("Go"), false, {}},
    GlyphCase{"BelowTheCaption", TButtonLayout::blGlyphBottom, QStringLiteral("Go"), false, {}}),
    ByName);
// clang-format on

// --- input
// --------------------------------------------------------------------------------------------------

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

const QPoint kIn(9, 9);
const QPoint kOut(90, 9);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sequences, SchemeButtonInput, ::testing::Values(
    InputCase{"PressReleaseInside", {{In::Press, kIn}, {In::Release, kIn}}, "DN", 1},
    InputCase{"OutAndBackThenReleaseOutside",
              {{In::Press, kIn}, {In::Move, kOut}, {In::Move, kIn}, {In::Move, kOut}, {In::Release, kOut}},
              "DNDNN", 0},
    InputCase{"OutAndBackWithoutHotTracking",
              {{In::Press, kIn}, {In::Move, kOut}, {In::Move, kIn}, {In::Release, kIn}}, "DNNN", 1, false},
    InputCase{"HotWhileOver", {{In::Enter}, {In::Leave}}, "HN", 0},
    InputCase{"DoubleClickSequenceClicksOnce",
              {{In::Press, kIn}, {In::Release, kIn}, {In::DoubleClick, kIn}, {In::Release, kIn}}, "DNDN", 1},
    InputCase{"SpaceDownAndUp", {{In::KeyDown}, {In::KeyUp}}, "DN", 1},
    InputCase{"FocusLeftBetweenSpaceDownAndUp",
              {{In::KeyDown}, {In::FocusOut}, {In::FocusIn}, {In::KeyUp}}, "DNNN", 0},
    InputCase{"EnterWithoutAForm", {{In::KeyDown, {}, Qt::Key_Return}}, "N", 1}),
    ByName);
// clang-format on

class SchemeButtonOnAForm : public ::testing::TestWithParam<std::string> {};

// The result is on the form before OnClick runs, the form is still open then, and it ends with that result.
// One action is one click, also for Enter, which the focused button takes itself.
TEST_P(SchemeButtonOnAForm, TheResultComesFirstAndOneActionClicksOnce)
{
    TForm form;
    TSchemeButton other(&form);
    TSchemeButton button(&form);
    button.setObjectName(QStringLiteral("details"));
    button.move(0, 30);
    button.SetModalResult(mrRetry);
    int clicks = 0;
    bool open = false;
    TModalResult seen = mrNone;
    button.OnClick = [&] {
        ++clicks;
        open = form.isVisible();
        seen = form.ModalResult();
    };
    other.OnClick = [&] { clicks += 100; };
    TModalDriver driver;
    driver.Then([action = GetParam()](TModalWindow& w) {
        if (action == "Mouse") {
            w.Click(QStringLiteral("details"));
            return;
        }
        w.Find(QStringLiteral("details")).setFocus(Qt::TabFocusReason);
        w.Key(action == "Enter" ? Qt::Key_Return : Qt::Key_Space);
    });
    EXPECT_EQ(form.ShowModal(), mrRetry);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(open);
    EXPECT_EQ(seen, mrRetry);
}

INSTANTIATE_TEST_SUITE_P(Actions, SchemeButtonOnAForm, ::testing::Values("Mouse", "Enter", "Space"),
                         [](const auto& row) { return row.param; });

// --- layouts
// ------------------------------------------------------------------------------------------------

TEST(StyledButtons, LayoutsSetThePublishedPropertiesByName)
{
    TSchemeButton scheme;
    EXPECT_TRUE(scheme.setProperty("ColorScheme", int(csNeoLilac)));
    EXPECT_TRUE(scheme.setProperty("Layout", int(TButtonLayout::blGlyphTop)));
    EXPECT_EQ(scheme.ColorScheme(), csNeoLilac);
    EXPECT_EQ(scheme.Layout(), TButtonLayout::blGlyphTop);
    EXPECT_TRUE(scheme.setProperty("DownColorText", 0x0000FF));
    EXPECT_EQ(scheme.ColorScheme(), csCustom);

    TGradientButton gradient;
    EXPECT_TRUE(gradient.setProperty("Caption", QStringLiteral("&Close")));
    EXPECT_TRUE(gradient.setProperty("ModalResult", mrCancel));
    EXPECT_EQ(gradient.Caption(), QStringLiteral("&Close"));
    EXPECT_EQ(gradient.ModalResult(), mrCancel);
}

// --- the sheet of looks
// -------------------------------------------------------------------------------------

// Every scheme in every look, then the gradient button's looks with and without the gradient, on one picture
// for a person to look at.
TEST(StyledButtonSheet, SavesEveryLook)
{
    constexpr int cellW = 90;
    constexpr int cellH = 34;
    constexpr int labelW = 80;
    QImage sheet(labelW + 5 * cellW, 22 + 15 * cellH, QImage::Format_RGB32);
    sheet.fill(ToQRgb(clBtnFace));
    QPainter painter(&sheet);
    painter.setFont(TFont().ToQFont());
    for (int l = 0; l < 5; ++l) {
        painter.drawText(labelW + l * cellW, 14, QString::fromLatin1(kLookNames[l]));
    }
    for (int s = csNeoDesert; s <= csSilver; ++s) {
        painter.drawText(4, 22 + s * cellH + 17, QString::fromLatin1(kSchemeNames[s]));
        for (int l = 0; l < 5; ++l) {
            TSchemeButton button;
            button.SetColorScheme(TColorScheme(s));
            button.SetCaption(QStringLiteral("&Button"));
            Apply(button, TLook(l));
            painter.drawImage(labelW + l * cellW, 22 + s * cellH, button.PaintToImage());
        }
    }
    const std::vector<TInput> gradientLooks = {
        {In::Leave}, {In::Enter}, {In::Press, {5, 5}}, {In::Leave}, {In::FocusIn}};
    for (int plain = 0; plain < 2; ++plain) {
        const int top = 22 + (13 + plain) * cellH;
        painter.drawText(4, top + 17, plain != 0 ? QStringLiteral("Plain") : QStringLiteral("Gradient"));
        for (int l = 0; l < 5; ++l) {
            TGradientButton button;
            button.SetCaption(QStringLiteral("&Close"));
            button.SetGradient(plain == 0);
            button.SetEnabled(TLook(l) != TLook::Disabled);
            Send(button, gradientLooks[std::size_t(l)]);
            painter.drawImage(labelW + l * cellW, top, button.PaintToImage());
        }
    }
    painter.end();
    EXPECT_TRUE(std::filesystem::exists(SaveTestImage(sheet, "styled_buttons.png")));
}

} // namespace
} // namespace carlume::test
