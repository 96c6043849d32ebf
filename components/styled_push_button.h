#pragma once

// What the two styled push buttons share: the form's Esc and Enter roles, the modal result they hand to the
// form, the tab stop and the hint.

#include "platform/gui/canvas.h"
#include "platform/gui/control.h"
#include "platform/modal_result.h"

#include <QImage>
#include <QString>

#include <functional>

namespace carlume {

class TStyledPushButton : public TCustomControl {
public:
    /// A button that Tab reaches when `tabStop` is on.
    TStyledPushButton(QWidget* owner, bool tabStop)
        : TCustomControl(owner)
    {
        SetTabStop(tabStop);
    }

    /// Esc clicks a Cancel button, Enter a Default one, unless a button has the focus: the focused button
    /// takes Enter itself.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    bool Default() const { return default_; }
    void SetDefault(bool isDefault) { default_ = isDefault; }
    /// What a click hands to the form (mrNone at first).
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }
    /// Tab reaches the button; a press focuses it through the button's own handler either way, so that Qt's
    /// click focus stays off.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop)
    {
        tabStop_ = tabStop;
        setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
    }
    /// Run when the button becomes, and stops being, the form's active control.
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

    /// The hint, shown as a tool tip while ShowHint is on (off at first).
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint)
    {
        hint_ = hint;
        UpdateToolTip();
    }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool showHint)
    {
        showHint_ = showHint;
        UpdateToolTip();
    }

protected:
    /// Draws the picture of the button's look, which `PaintLook` paints again only when the look `changed`
    /// (or the size did): a button repaints far more often than its look changes.
    void DrawLook(TCanvas& canvas, bool changed)
    {
        if (changed || lookImage_.size() != size()) {
            if (lookImage_.size() != size())
                lookImage_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
            lookImage_.fill(Qt::transparent);
            TCanvas lookCanvas(&lookImage_);
            PaintLook(lookCanvas);
        }
        canvas.DrawImage(0, 0, lookImage_);
    }
    void DoEnter() override
    {
        if (OnEnter)
            OnEnter();
    }
    void DoExit() override
    {
        if (OnExit)
            OnExit();
    }
    /// Paints the whole look onto a transparent picture of the button's size.
    virtual void PaintLook(TCanvas& canvas) = 0;

    bool cancel_ = false;
    bool default_ = false;
    TModalResult modalResult_ = mrNone;
    bool tabStop_ = false;

private:
    void UpdateToolTip() { setToolTip(showHint_ ? hint_ : QString()); }

    QString hint_;
    bool showHint_ = false;
    QImage lookImage_;
};

} // namespace carlume
