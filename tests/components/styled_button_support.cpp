#include "tests/components/styled_button_support.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace carlume::test {

void Send(QWidget& widget, const TInput& input)
{
    using In = TInput;
    const QPointF at(input.At);
    auto mouse = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    };
    auto key = [&](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, input.Key, Qt::NoModifier,
                        input.Key == Qt::Key_Space ? QStringLiteral(" ") : QString(), repeat);
        QApplication::sendEvent(&widget, &event);
    };
    switch (input.What) {
    case In::Press:
    case In::DoubleClick:
        mouse(input.What == In::Press ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick,
              Qt::LeftButton, Qt::LeftButton);
        break;
    case In::Move:
        mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        break;
    case In::Release:
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        break;
    case In::RightPress:
        mouse(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
        break;
    case In::RightRelease:
        mouse(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
        break;
    case In::Enter: {
        QEnterEvent event(at, at, widget.mapToGlobal(at));
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case In::Leave: {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case In::KeyDown:
    case In::RepeatKeyDown:
        key(QEvent::KeyPress, input.What == In::RepeatKeyDown);
        break;
    case In::KeyUp:
    case In::RepeatKeyUp:
        key(QEvent::KeyRelease, input.What == In::RepeatKeyUp);
        break;
    case In::FocusIn:
    case In::FocusOut: {
        QFocusEvent event(input.What == In::FocusIn ? QEvent::FocusIn : QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    }
}

} // namespace carlume::test
