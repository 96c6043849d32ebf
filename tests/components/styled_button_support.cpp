#include "tests/components/styled_button_support.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace carlume::test {

namespace {

void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    const QPointF local(at);
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void SendKey(QWidget& widget, QEvent::Type type, Qt::Key key, bool repeat)
{
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent event(type, key, Qt::NoModifier, text, repeat);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

void Send(QWidget& widget, const TInput& input)
{
    switch (input.What) {
    case TInput::Press:
        SendMouse(widget, QEvent::MouseButtonPress, input.At, Qt::LeftButton, Qt::LeftButton);
        break;
    case TInput::Move:
        SendMouse(widget, QEvent::MouseMove, input.At, Qt::NoButton, Qt::LeftButton);
        break;
    case TInput::Release:
        SendMouse(widget, QEvent::MouseButtonRelease, input.At, Qt::LeftButton, Qt::NoButton);
        break;
    case TInput::DoubleClick:
        SendMouse(widget, QEvent::MouseButtonDblClick, input.At, Qt::LeftButton, Qt::LeftButton);
        break;
    case TInput::RightPress:
        SendMouse(widget, QEvent::MouseButtonPress, input.At, Qt::RightButton, Qt::RightButton);
        break;
    case TInput::RightRelease:
        SendMouse(widget, QEvent::MouseButtonRelease, input.At, Qt::RightButton, Qt::NoButton);
        break;
    case TInput::Enter: {
        const QPointF local(input.At);
        QEnterEvent event(local, local, widget.mapToGlobal(local));
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case TInput::Leave: {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    case TInput::KeyDown:
    case TInput::RepeatKeyDown:
        SendKey(widget, QEvent::KeyPress, input.Key, input.What == TInput::RepeatKeyDown);
        break;
    case TInput::KeyUp:
    case TInput::RepeatKeyUp:
        SendKey(widget, QEvent::KeyRelease, input.Key, input.What == TInput::RepeatKeyUp);
        break;
    case TInput::FocusIn:
    case TInput::FocusOut: {
        QFocusEvent event(input.What == TInput::FocusIn ? QEvent::FocusIn : QEvent::FocusOut,
                          Qt::TabFocusReason);
        QApplication::sendEvent(&widget, &event);
        break;
    }
    }
}

} // namespace carlume::test
