#pragma once

// Input for the styled-button tests, sent straight to the control so that no pointer or focus state of
// QTest carries over from one case to the next.

#include <QPoint>
#include <Qt>

class QWidget;

namespace carlume::test {

/// One input step: a mouse step at `At`, a key step with `Key`, or a focus or hover change.
struct TInput {
    enum Kind {
        Press,
        Move,
        Release,
        DoubleClick,
        RightPress,
        RightRelease,
        Enter,
        Leave,
        KeyDown,
        KeyUp,
        RepeatKeyDown,
        RepeatKeyUp,
        FocusIn,
        FocusOut
    };
    Kind What;
    QPoint At = {};
    Qt::Key Key = Qt::Key_Space;
};

/// Sends the step to the widget (key events go on to its parents when it leaves them).
void Send(QWidget& widget, const TInput& input);

} // namespace carlume::test
