#pragma once

// Keys as the class library hands them to KeyDown and KeyPress: a virtual-key code, a shift state and a
// character, made from Qt's key events.

#include <QChar>
#include <QString>
#include <Qt>

#include <cstdint>

class QKeyEvent;

namespace carlume {

/// Virtual-key code, with the Windows values.
using TVirtualKey = std::uint16_t;

constexpr TVirtualKey VK_BACK = 0x08;
constexpr TVirtualKey VK_TAB = 0x09;
constexpr TVirtualKey VK_RETURN = 0x0D;
constexpr TVirtualKey VK_SHIFT = 0x10;
constexpr TVirtualKey VK_CONTROL = 0x11;
constexpr TVirtualKey VK_MENU = 0x12;
constexpr TVirtualKey VK_ESCAPE = 0x1B;
constexpr TVirtualKey VK_SPACE = 0x20;
constexpr TVirtualKey VK_PRIOR = 0x21;
constexpr TVirtualKey VK_NEXT = 0x22;
constexpr TVirtualKey VK_END = 0x23;
constexpr TVirtualKey VK_HOME = 0x24;
constexpr TVirtualKey VK_LEFT = 0x25;
constexpr TVirtualKey VK_UP = 0x26;
constexpr TVirtualKey VK_RIGHT = 0x27;
constexpr TVirtualKey VK_DOWN = 0x28;
constexpr TVirtualKey VK_INSERT = 0x2D;
constexpr TVirtualKey VK_DELETE = 0x2E;
constexpr TVirtualKey VK_NUMPAD0 = 0x60;
constexpr TVirtualKey VK_MULTIPLY = 0x6A;
constexpr TVirtualKey VK_ADD = 0x6B;
constexpr TVirtualKey VK_SUBTRACT = 0x6D;
constexpr TVirtualKey VK_DECIMAL = 0x6E;
constexpr TVirtualKey VK_DIVIDE = 0x6F;
constexpr TVirtualKey VK_F1 = 0x70;

/// Shift-state flags, combined in `TShiftState`.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
/// A set of `TShiftFlag` values.
using TShiftState = unsigned;

/// A shortcut: a virtual key plus scShift, scCtrl and scAlt.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

/// One key event the class library's way. `Key` is 0 for keys without a virtual-key code here.
struct TKeyInfo {
    /// Virtual-key code.
    TVirtualKey Key = 0;
    /// Modifier keys held.
    TShiftState Shift = 0;
    /// The character the key types (control characters included), or a null character.
    QChar Char;
};

/// The shift state of keyboard modifiers and mouse buttons. The keypad and meta modifiers do not count.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

/// The virtual-key code of a Qt key; keypad plus and minus become VK_ADD and VK_SUBTRACT only with
/// `keypad` set. 0 when the key has no code here.
TVirtualKey VirtualKeyOf(int qtKey, bool keypad);

/// The class library's view of a key event.
TKeyInfo ToClassKey(const QKeyEvent& event);

/// Offers a key first to `keyDown` and, unless that consumed it (set the key to 0), its character to
/// `keyPress` (which consumes it by clearing the character); true when either consumed it.
template <class KeyDown, class KeyPress>
bool DispatchKeyDownAndPress(TKeyInfo& info, KeyDown&& keyDown, KeyPress&& keyPress)
{
    if (info.Key != 0) {
        keyDown(info.Key, info.Shift);
        if (info.Key == 0)
            return true;
    }
    if (info.Char.isNull())
        return false;
    keyPress(info.Char);
    return info.Char.isNull();
}

/// The shortcut made of a key and a shift state.
TShortCut ShortCutOf(TVirtualKey key, TShiftState shift);

/// True when `character` is the caption's accelerator: the character after the first "&" that is not part
/// of a "&&" pair, compared without regard to case.
bool IsCaptionAccel(QChar character, const QString& caption);

} // namespace carlume
