#include "platform/gui/control.h"

#include "platform/gui/error_guard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <optional>

namespace carlume {

namespace {

std::optional<TMouseButton> ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return TMouseButton::mbLeft;
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return std::nullopt;
    }
}

// Hands a button event to `handler` (button, shift, x, y) inside the guard; other buttons go on to the
// parent.
template <class Handler> void DispatchButtonEvent(QMouseEvent* event, Handler&& handler)
{
    const auto button = ButtonOf(event->button());
    if (!button) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    RunGuarded([&] { handler(*button, shift, at.x(), at.y()); });
}

} // namespace

TCustomControl::TCustomControl(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

QImage TCustomControl::PaintToImage()
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TCanvas canvas(&image);
    RunGuarded([&] { Paint(canvas); });
    return image;
}

void TCustomControl::paintEvent(QPaintEvent*)
{
    if (offscreen_.size() != size()) {
        offscreen_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    }
    offscreen_.fill(Qt::transparent);
    {
        TCanvas canvas(&offscreen_);
        RunGuarded([&] { Paint(canvas); });
    }
    QPainter painter(this);
    painter.drawImage(0, 0, offscreen_);
}

void TCustomControl::mousePressEvent(QMouseEvent* event)
{
    DispatchButtonEvent(event, [this](TMouseButton button, TShiftState shift, int x, int y) {
        MouseDown(button, shift, x, y);
    });
}

void TCustomControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
    RunGuarded([&] { MouseMove(shift, at.x(), at.y()); });
}

void TCustomControl::mouseReleaseEvent(QMouseEvent* event)
{
    DispatchButtonEvent(event, [this](TMouseButton button, TShiftState shift, int x, int y) {
        MouseUp(button, shift, x, y);
    });
}

void TCustomControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    DispatchButtonEvent(event, [this](TMouseButton button, TShiftState shift, int x, int y) {
        MouseDoubleClick(button, shift, x, y);
    });
}

void TCustomControl::enterEvent(QEnterEvent*)
{
    RunGuarded([this] { MouseEnter(); });
}

void TCustomControl::leaveEvent(QEvent*)
{
    RunGuarded([this] { MouseLeave(); });
}

void TCustomControl::keyPressEvent(QKeyEvent* event)
{
    TKeyInfo info = ToClassKey(*event);
    bool consumed = false;
    RunGuarded([&] {
        consumed = DispatchKeyDownAndPress(
            info, [this](TVirtualKey& key, TShiftState shift) { KeyDown(key, shift); },
            [this](QChar& key) { KeyPress(key); });
    });
    // What the control leaves goes on to its parents and finally to the form (Enter, Esc, accelerators).
    event->setAccepted(consumed);
}

void TCustomControl::keyReleaseEvent(QKeyEvent* event)
{
    // X11 sends auto-repeat as press and release pairs; Windows sends only the presses.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    TKeyInfo info = ToClassKey(*event);
    bool consumed = false;
    RunGuarded([&] {
        const TVirtualKey before = info.Key;
        KeyUp(info.Key, info.Shift);
        consumed = before != 0 && info.Key == 0;
    });
    event->setAccepted(consumed);
}

void TCustomControl::focusInEvent(QFocusEvent* event)
{
    RunGuarded([&] { FocusIn(event->reason()); });
}

void TCustomControl::focusOutEvent(QFocusEvent* event)
{
    RunGuarded([&] { FocusOut(event->reason()); });
}

void TCustomControl::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            RunGuarded([this] { CancelMode(); });
        }
        RunGuarded([this] { EnabledChanged(); });
        break;
    case QEvent::FontChange:
        RunGuarded([this] { FontChanged(); });
        break;
    case QEvent::ActivationChange:
        if (!isActiveWindow()) {
            RunGuarded([this] { CancelMode(); });
        }
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TCustomControl::hideEvent(QHideEvent* event)
{
    RunGuarded([this] { CancelMode(); });
    QWidget::hideEvent(event);
}

void TCustomControl::Paint(TCanvas& canvas)
{
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(Rect(0, 0, width(), height()));
}

void TCustomControl::MouseDown(TMouseButton, TShiftState, int, int) {}
void TCustomControl::MouseMove(TShiftState, int, int) {}
void TCustomControl::MouseUp(TMouseButton, TShiftState, int, int) {}

void TCustomControl::MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    DblClick();
    MouseDown(button, shift | ssDouble, x, y);
}

void TCustomControl::DblClick() {}
void TCustomControl::MouseEnter() {}
void TCustomControl::MouseLeave() {}
void TCustomControl::KeyDown(TVirtualKey&, TShiftState) {}
void TCustomControl::KeyPress(QChar&) {}
void TCustomControl::KeyUp(TVirtualKey&, TShiftState) {}
void TCustomControl::FocusIn(Qt::FocusReason) {}
void TCustomControl::FocusOut(Qt::FocusReason) {}
void TCustomControl::EnabledChanged()
{
    update();
}
void TCustomControl::FontChanged()
{
    update();
}
void TCustomControl::CancelMode() {}

TGraphicControl::TGraphicControl(QWidget* parent)
    : TCustomControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

} // namespace carlume
