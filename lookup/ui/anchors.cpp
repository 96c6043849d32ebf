#include "lookup/ui/anchors.h"

#include <algorithm>

namespace carlume {

void TAnchorSet::Measure(TAnchored& anchored)
{
    QWidget& control = *anchored.Control;
    const QWidget& parent = *control.parentWidget();
    anchored.Right = parent.width() - (control.x() + control.width());
    anchored.Bottom = parent.height() - (control.y() + control.height());
    anchored.Width = control.width();
    anchored.Height = control.height();
}

void TAnchorSet::Add(QWidget& control, unsigned anchors)
{
    if (control.parentWidget() == nullptr)
        return;
    TAnchored anchored;
    anchored.Control = &control;
    anchored.Anchors = anchors;
    Measure(anchored);
    controls_.push_back(anchored);
}

void TAnchorSet::Apply()
{
    for (const TAnchored& anchored : controls_) {
        QWidget* control = anchored.Control;
        if (control == nullptr)
            continue;
        const QWidget& parent = *control->parentWidget();
        QRect place = control->geometry();
        const bool right = (anchored.Anchors & akRight) != 0 && !rightLifted_;
        if (right) {
            const int newRight = parent.width() - anchored.Right;
            if ((anchored.Anchors & akLeft) != 0)
                place.setWidth(newRight - place.x());
            else
                place.moveLeft(newRight - anchored.Width);
        }
        if ((anchored.Anchors & akBottom) != 0) {
            const int newBottom = parent.height() - anchored.Bottom;
            if ((anchored.Anchors & akTop) != 0)
                place.setHeight(newBottom - place.y());
            else
                place.moveTop(newBottom - anchored.Height);
        }
        // A control never gets a negative size, it comes back as the parent grows again, and it grows no
        // larger than its maximum size.
        place.setWidth(std::clamp(place.width(), 0, control->maximumWidth()));
        place.setHeight(std::clamp(place.height(), 0, control->maximumHeight()));
        if (place != control->geometry())
            control->setGeometry(place);
    }
}

void TAnchorSet::LiftRight()
{
    rightLifted_ = true;
}

void TAnchorSet::RestoreRight()
{
    rightLifted_ = false;
    for (TAnchored& anchored : controls_) {
        if (anchored.Control != nullptr)
            Measure(anchored);
    }
}

} // namespace carlume
