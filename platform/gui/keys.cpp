#include "platform/gui/keys.h"

#include <QKeyEvent>

namespace carlume {

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) {
        shift |= ssShift;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= ssAlt;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= ssCtrl;
    }
    if (buttons & Qt::LeftButton) {
        shift |= ssLeft;
    }
    if (buttons & Qt::RightButton) {
        shift |= ssRight;
    }
    if (buttons & Qt::MiddleButton) {
        shift |= ssMiddle;
    }
    return shift;
}

TVirtualKey VirtualKeyOf(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return TVirtualKey(qtKey); // Qt uses the ASCII capitals, as the virtual keys do
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return keypad ? TVirtualKey(VK_NUMPAD0 + (qtKey - Qt::Key_0)) : TVirtualKey(qtKey);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return TVirtualKey(VK_F1 + (qtKey - Qt::Key_F1));
    }
    switch (qtKey) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Plus:
        return keypad ? VK_ADD : 0;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Slash:
        return keypad ? VK_DIVIDE : 0;
    case Qt::Key_Period:
        return keypad ? VK_DECIMAL : 0;
    default:
        return 0;
    }
}

TKeyInfo ToClassKey(const QKeyEvent& event)
{
    TKeyInfo info;
    const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
    info.Key = VirtualKeyOf(event.key(), keypad);
    info.Shift = ShiftStateOf(event.modifiers());
    if (event.key() == Qt::Key_Backtab) {
        info.Shift |= ssShift;
    }
    const QString text = event.text();
    if (!text.isEmpty()) {
        info.Char = text.front();
    } else if (info.Key == VK_RETURN) {
        info.Char = QChar(13);
    } else if (info.Key == VK_ESCAPE) {
        info.Char = QChar(27);
    }
    return info;
}

TShortCut ShortCutOf(TVirtualKey key, TShiftState shift)
{
    TShortCut result = key;
    if (shift & ssShift) {
        result |= scShift;
    }
    if (shift & ssCtrl) {
        result |= scCtrl;
    }
    if (shift & ssAlt) {
        result |= scAlt;
    }
    return result;
}

bool IsCaptionAccel(QChar character, const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            continue;
        }
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper() == character.toUpper();
    }
    return false;
}

} // namespace carlume
