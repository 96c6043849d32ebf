#pragma once

// Input for the styled-button tests: events sent straight to the control, so that no pointer or focus
// state of QTest carries over from one case to the next.

#include <QPoint>
#include <Qt>

#include <string>
#include <vector>

class QWidget;

namespace carlume::test {

/// One input step.
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
    /// Position for mouse steps, key for key steps.
    QPoint At;
    Qt::Key Key = Qt::Key_unknown;
};

inline TInput MouseAt(TInput::Kind kind, int x, int y)
{
    return {kind, QPoint(x, y)};
}
inline TInput KeyStep(TInput::Kind kind, Qt::Key key)
{
    return {kind, QPoint(), key};
}
inline TInput Step(TInput::Kind kind)
{
    return {kind, QPoint()};
}

/// Sends the step to the widget (key events go on to its parents when it leaves them).
void Send(QWidget& widget, const TInput& input);

} // namespace carlume::test
