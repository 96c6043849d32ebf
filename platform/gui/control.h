#pragma once

// Bases of the self-painting controls. A control paints its whole rectangle through a canvas on an
// off-screen image, which is then copied to the screen in one step, and receives Qt's events as the
// class library's notifications. Every notification runs inside the error guard.

#include "platform/gui/canvas.h"
#include "platform/gui/form.h"
#include "platform/gui/keys.h"

#include <QImage>
#include <QWidget>

namespace carlume {

/// Mouse buttons the controls react to.
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

/// A control with a window of its own in the class library's sense: it can take the focus.
class TCustomControl : public QWidget, public IFormControl {
    Q_OBJECT
public:
    explicit TCustomControl(QWidget* parent = nullptr);

    /// Paints the control at once.
    void Repaint() { repaint(); }
    /// Asks for a paint through the event queue.
    void Invalidate() { update(); }
    /// The form holding the control, or null.
    TForm* Form() const { return ParentForm(this); }
    /// The picture of the control as `Paint` draws it now, without showing it.
    QImage PaintToImage();

protected:
    /// Draws the whole control; the canvas covers (0, 0, width, height) of an off-screen image.
    virtual void Paint(TCanvas& canvas);
    /// A button went down (with ssDouble in `shift` for the second press of a double click).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    /// The second press of a double click; by default `DblClick`, then `MouseDown` with ssDouble.
    virtual void MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    /// The mouse came over the control / left it (held back by Qt while a button is down).
    virtual void MouseEnter();
    virtual void MouseLeave();
    /// Key down; set the key to 0 to consume it. Unconsumed keys go on to KeyPress and then to the form.
    virtual void KeyDown(TVirtualKey& key, TShiftState shift);
    /// Character typed; set it to a null character to consume it.
    virtual void KeyPress(QChar& key);
    /// Key up; auto-repeat releases never arrive here.
    virtual void KeyUp(TVirtualKey& key, TShiftState shift);
    /// The control got or lost the keyboard focus (every reason, also window switches).
    virtual void FocusIn(Qt::FocusReason reason);
    virtual void FocusOut(Qt::FocusReason reason);
    virtual void EnabledChanged();
    virtual void FontChanged();
    /// The mouse capture ends without a release: the control was hidden, disabled, or its window lost the
    /// activation.
    virtual void CancelMode();

    void paintEvent(QPaintEvent* event) final;
    void mousePressEvent(QMouseEvent* event) final;
    void mouseMoveEvent(QMouseEvent* event) final;
    void mouseReleaseEvent(QMouseEvent* event) final;
    void mouseDoubleClickEvent(QMouseEvent* event) final;
    void enterEvent(QEnterEvent* event) final;
    void leaveEvent(QEvent* event) final;
    void keyPressEvent(QKeyEvent* event) final;
    void keyReleaseEvent(QKeyEvent* event) final;
    void focusInEvent(QFocusEvent* event) final;
    void focusOutEvent(QFocusEvent* event) final;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QImage offscreen_;
};

/// A control without focus of its own (the class library's graphic control).
class TGraphicControl : public TCustomControl {
    Q_OBJECT
public:
    explicit TGraphicControl(QWidget* parent = nullptr);
};

} // namespace carlume
