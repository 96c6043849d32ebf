// Colours, fonts and the translation of Qt key events.

#include "platform/gui/color.h"
#include "platform/gui/font.h"
#include "platform/gui/keys.h"

#include <QFontInfo>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume {
namespace {

TEST(Color, ValuesAreBlueGreenRedAndSystemColoursResolve)
{
    EXPECT_EQ(ToQColor(clBtnFace), QColor(0xD4, 0xD0, 0xC8));
    EXPECT_EQ(ColorToRGB(clHighlight), RGBToColor(0x0A, 0x24, 0x6A));
    EXPECT_TRUE(IsSystemColor(clInfoBk));
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x800000FFU)), clBlack) << "an unknown index";
    EXPECT_EQ(ToQColor(0x743C00), QColor(0x00, 0x3C, 0x74));
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(GetRValue(0x563412) * 0x10000 + GetGValue(0x563412) * 0x100 + GetBValue(0x563412), 0x123456);
    EXPECT_EQ(ToQRgb(clFuchsia), qRgb(255, 0, 255));
    EXPECT_EQ(FromQRgb(qRgba(1, 2, 3, 0)), RGBToColor(1, 2, 3));
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
}

TEST(Font, MulDivRoundsHalvesAwayFromZero)
{
    const int cases[][4] = {{8, 96, 72, 11}, {-11, 72, 96, -8}, {5, 1, 2, 3},
                            {-5, 1, 2, -3},  {5, -1, 2, -3},    {7, 3, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << c[0] << "*" << c[1] << "/" << c[2];
    }
}

TEST(Font, SizeAndHeightFollowThePixelsPerInch)
{
    TFont font;
    EXPECT_EQ(font.Size(), 8);

    TFont printer;
    printer.SetPixelsPerInch(300);
    printer.SetSize(18);
    EXPECT_EQ(printer.Height(), -75);
    printer.Assign(font);
    EXPECT_EQ(printer.Size(), 8) << "the size in points survives the change of device";
    EXPECT_EQ(printer.Height(), -33);

    int changes = 0;
    font.OnChange = [&] { ++changes; };
    font.SetStyle(fsBold);
    font.SetStyle(fsBold);
    font.SetColor(clNavy);
    EXPECT_EQ(changes, 2);
}

TEST(Font, NamesResolveToTheFixedFamilies)
{
    struct Case {
        const char* name;
        const char* family;
    };
    for (const Case c : {Case{"MS Sans Serif", "Liberation Sans"}, Case{"arial", "Liberation Sans"},
                         Case{"Courier", "Liberation Mono"}, Case{"Courier New", "Liberation Mono"}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ResolveFontFamily(QString::fromLatin1(c.name)), QString::fromLatin1(c.family));
        TFont font;
        font.SetName(QString::fromLatin1(c.name));
        EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QString::fromLatin1(c.family));
        // Fonts named in window layouts get the same family through the substitutions.
        QFont layoutFont(QString::fromLatin1(c.name));
        EXPECT_EQ(QFontInfo(layoutFont).family(), QString::fromLatin1(c.family));
    }
    EXPECT_EQ(ResolveFontFamily(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
}

TEST(Font, TheQtFontHasThePixelSizeAndStyleWithoutAntiAliasing)
{
    TFont font;
    font.SetHeight(-13);
    font.SetStyle(fsBold | fsUnderline);
    const QFont qfont = font.ToQFont();
    EXPECT_EQ(qfont.pixelSize(), 13);
    EXPECT_TRUE(qfont.bold());
    EXPECT_TRUE(qfont.underline());
    EXPECT_FALSE(qfont.italic());
    EXPECT_EQ(qfont.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
}

TEST(Keys, QtKeyEventsBecomeVirtualKeysShiftStatesAndCharacters)
{
    struct Case {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        TVirtualKey vk;
        TShiftState shift;
        QChar character;
    };
    const std::vector<Case> cases = {
        {"Enter", Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), VK_RETURN, 0, QChar(13)},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, QString(), VK_RETURN, 0, QChar(13)},
        {"Esc", Qt::Key_Escape, Qt::NoModifier, QString(), VK_ESCAPE, 0, QChar(27)},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, QStringLiteral("+"), VK_ADD, 0, QChar(u'+')},
        {"main plus", Qt::Key_Plus, Qt::ShiftModifier, QStringLiteral("+"), 0, ssShift, QChar(u'+')},
        {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, QStringLiteral("-"), VK_SUBTRACT, 0, QChar(u'-')},
        {"Backtab", Qt::Key_Backtab, Qt::ShiftModifier, QString(), VK_TAB, ssShift, QChar()},
        {"Ctrl+PageUp", Qt::Key_PageUp, Qt::ControlModifier, QString(), VK_PRIOR, ssCtrl, QChar()},
        {"Alt+Down", Qt::Key_Down, Qt::AltModifier, QString(), VK_DOWN, ssAlt, QChar()},
        {"t", Qt::Key_T, Qt::NoModifier, QStringLiteral("t"), 'T', 0, QChar(u't')},
        {"keypad 5", Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"), VK_NUMPAD0 + 5, 0, QChar(u'5')},
        {"F2", Qt::Key_F2, Qt::MetaModifier, QString(), VK_F1 + 1, 0, QChar()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
        const TKeyInfo info = ToClassKey(event);
        EXPECT_EQ(info.Key, c.vk);
        EXPECT_EQ(info.Shift, c.shift);
        EXPECT_EQ(info.Char, c.character);
    }
}

TEST(Keys, ShortCutsAndMouseButtons)
{
    EXPECT_EQ(ShortCutOf(VK_DOWN, ssAlt), 32808);
    EXPECT_EQ(ShortCutOf('A', ssShift | ssCtrl), scShift | scCtrl | 'A');
    EXPECT_EQ(ShiftStateOf(Qt::NoModifier, Qt::LeftButton | Qt::RightButton), ssLeft | ssRight);
    EXPECT_EQ(ShiftStateOf(Qt::KeypadModifier | Qt::MetaModifier, Qt::MiddleButton), ssMiddle);
}

TEST(Keys, TheCaptionAcceleratorFollowsTheFirstSingleAmpersand)
{
    EXPECT_TRUE(IsCaptionAccel(u'c', QStringLiteral("&Close")));
    EXPECT_TRUE(IsCaptionAccel(u'L', QStringLiteral("C&lose")));
    EXPECT_FALSE(IsCaptionAccel(u'x', QStringLiteral("&Close")));
    EXPECT_FALSE(IsCaptionAccel(u'c', QStringLiteral("&&Close")));
    EXPECT_TRUE(IsCaptionAccel(u'c', QStringLiteral("&&&Close")));
    EXPECT_FALSE(IsCaptionAccel(u'&', QStringLiteral("Close&")));
}

} // namespace
} // namespace carlume
