#pragma once

// A push button that paints itself: a rounded frame around a light-to-lavender gradient face, a hover ring,
// a caption with a soft shadow and a hand-drawn accelerator underline, and a flat disabled look; without
// the gradient a plain face with 3-D edges. It keeps its own caption, font and enabled flag: a disabled
// button still takes the focus.

#include "components/styled_push_button.h"
#include "platform/gui/font.h"
#include "platform/modal_result.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace carlume {

// The published properties are Qt properties too, so that window layouts can set them (stdset="0").
class TGradientButton : public TStyledPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    /// 75 x 25, caption "XP Button", bold navy font, enabled, gradient on, not a tab stop.
    explicit TGradientButton(QWidget* owner = nullptr);

    /// The text shown; the first "&" marks the accelerator and is not shown.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    /// The button's own font (bold navy "MS Sans Serif" 8 points at first); every change repaints.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    /// Copies the font.
    void SetFont(const TFont& font);
    /// The button's own enabled flag: a disabled button paints flat, ignores the mouse and clicks nothing,
    /// but its window stays focusable.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    /// Gradient look (on) or plain face with 3-D edges.
    bool Gradient() const { return gradient_; }
    void SetGradient(bool gradient);
    /// Kept for layouts (on at first); the button always draws with its own font.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont) { parentFont_ = parentFont; }

    /// Runs OnClick when enabled, then hands a non-zero ModalResult to the form. Tab does not reach the
    /// button at first.
    virtual void Click();

    /// Own events; OnMouseDown and OnMouseUp see only the middle button (the left one is the button's own,
    /// the right one is swallowed).
    std::function<void()> OnClick;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TShiftState, int, int)> OnMouseMove;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;

    /// The look flags, for tests and the form's paint.
    bool Hovering() const { return hover_; }
    bool Pressed() const { return pressed_; }
    bool Focused() const { return focused_; }

protected:
    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    void KeyUp(TVirtualKey& key, TShiftState shift) override;
    void FocusIn(Qt::FocusReason reason) override;
    void FocusOut(Qt::FocusReason reason) override;
    void CancelMode() override;
    bool DialogKey(TVirtualKey key, TShiftState shift) override;
    bool DialogChar(QChar character) override;

private:
    // Everything the look depends on; the last look painted is kept and copied while it stays the same.
    struct TLook {
        QSize Size;
        bool Enabled, Hover, Pressed, Focused, Gradient;
        QString Caption;
        QString FontName;
        int FontHeight;
        TFontStyles FontStyle;
        TColor FontColor;
        bool operator==(const TLook&) const = default;
    };
    TLook CurrentLook() const;
    void PaintLook(TCanvas& canvas) override;
    void SetHover(bool hover);
    void PaintEnabled(TCanvas& canvas, const QString& text, int textX, int textY);
    void PaintDisabled(TCanvas& canvas, const QString& text, int textX, int textY);

    QString caption_;
    TFont font_;
    bool hover_ = false;
    bool pressed_ = false;
    // Where the press came from: a left press on this button, or Enter/Space.
    bool mousePress_ = false;
    bool keyPress_ = false;
    bool enabled_ = true;
    bool focused_ = false;
    bool gradient_ = true;
    bool parentFont_ = true;
    TLook look_{};
};

} // namespace carlume
