#include "components/gradient_button.h"

#include "components/gradient_util.h"

#include <algorithm>

namespace carlume {

namespace {

constexpr TColor kOuterFrame = 0xD3D3D6;
constexpr TColor kInnerFrame = 0x743C00;
constexpr TColor kFaceLight = 0xFDFDFD;
constexpr TColor kFaceDark = 0xDFCCCD;
constexpr TColor kTopEdge = 0xFFE7CE;
constexpr TColor kBottomEdge = 0xEE8269;
constexpr TColor kSideEdge = 0xF6D4BC;
constexpr TColor kHoverRing = 0x30B3F8;
constexpr TColor kShadow = 0xC0C0C0;
constexpr TColor kDisabledFace = 0xEDF1F1;
constexpr TColor kDisabledFrame = 0xBFC3C4;
constexpr TColor kDisabledText = 0x92A1A1;

} // namespace

TGradientButton::TGradientButton(QWidget* owner)
    : TStyledPushButton(owner, false)
    , caption_(QStringLiteral("XP Button"))
{
    resize(75, 25);
    setFocusPolicy(Qt::NoFocus);
    // The rounded face leaves its corners unpainted: the parent's background shows there.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    font_.SetStyle(fsBold);
    font_.SetColor(clNavy);
    font_.OnChange = [this] { Invalidate(); };
}

void TGradientButton::SetCaption(const QString& caption)
{
    if (caption != caption_) {
        caption_ = caption;
        Repaint();
    }
}

void TGradientButton::SetFont(const TFont& font)
{
    font_.Assign(font);
    Repaint();
}

void TGradientButton::SetEnabled(bool enabled)
{
    if (enabled == enabled_) {
        return;
    }
    if (!enabled) {
        // A press or hover still going on would otherwise outlive the disabled spell.
        CancelMode();
    }
    enabled_ = enabled;
    Invalidate();
}

void TGradientButton::SetGradient(bool gradient)
{
    if (gradient != gradient_) {
        gradient_ = gradient;
        Repaint();
    }
}

void TGradientButton::Click()
{
    if (enabled_ && OnClick) {
        OnClick();
    }
    if (enabled_ && modalResult_ != mrNone) {
        if (TForm* form = Form()) {
            form->SetModalResult(modalResult_);
        }
    }
}

void TGradientButton::SetHover(bool hover)
{
    if (hover != hover_) {
        hover_ = hover;
        Repaint();
    }
}

// --- mouse --------------------------------------------------------------------------------------------

void TGradientButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbMiddle && OnMouseDown) {
        OnMouseDown(button, shift, x, y);
    }
    if (button != TMouseButton::mbLeft || !enabled_) {
        return;
    }
    mousePress_ = true;
    // The press is over the button, also when no Enter came first (the pointer was already there).
    hover_ = true;
    if (!pressed_) {
        pressed_ = true;
        if (!hasFocus()) {
            setFocus(Qt::MouseFocusReason);
        }
    }
    Repaint();
}

void TGradientButton::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) {
        OnMouseMove(shift, x, y);
    }
    // While the button is held, Qt holds Enter and Leave back until the release.
    if (mousePress_ && enabled_) {
        SetHover(rect().contains(x, y));
    }
}

void TGradientButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbMiddle && OnMouseUp) {
        OnMouseUp(button, shift, x, y);
    }
    if (button != TMouseButton::mbLeft) {
        return;
    }
    // Only a press that began on this button clicks, and only when it is released over it.
    const bool armed = mousePress_;
    mousePress_ = false;
    if (!enabled_ || !pressed_) {
        return;
    }
    const bool inside = rect().contains(x, y);
    pressed_ = false;
    keyPress_ = false;
    hover_ = inside;
    Repaint();
    if (armed && inside) {
        Click();
    }
}

void TGradientButton::MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft) {
        Click();
    } else if (button == TMouseButton::mbMiddle && OnMouseDown) {
        OnMouseDown(button, shift | ssDouble, x, y);
    }
}

void TGradientButton::MouseEnter()
{
    if (enabled_) {
        SetHover(true);
    }
}

void TGradientButton::MouseLeave()
{
    if (enabled_) {
        SetHover(false);
    }
}

void TGradientButton::CancelMode()
{
    if (!pressed_ && !mousePress_ && !hover_) {
        return;
    }
    pressed_ = false;
    mousePress_ = false;
    keyPress_ = false;
    hover_ = false;
    Invalidate();
}

// --- keys and focus -----------------------------------------------------------------------------------

void TGradientButton::KeyDown(TVirtualKey& key, TShiftState)
{
    if (key != VK_RETURN && key != VK_SPACE) {
        return;
    }
    if (!pressed_) {
        pressed_ = true;
        keyPress_ = true;
        Invalidate();
    }
    // The focused button takes Enter itself (it clicks when the key goes up); the form's Default buttons
    // act on it only when no button has the focus.
    if (key == VK_RETURN) {
        key = 0;
    }
}

void TGradientButton::KeyUp(TVirtualKey&, TShiftState)
{
    if (!pressed_) {
        return;
    }
    pressed_ = false;
    keyPress_ = false;
    mousePress_ = false;
    Invalidate();
    Click();
}

void TGradientButton::FocusIn(Qt::FocusReason)
{
    if (!focused_) {
        focused_ = true;
        Invalidate();
    }
}

void TGradientButton::FocusOut(Qt::FocusReason)
{
    // A key press must not survive the focus going away: its key-up may come after the focus is back.
    if (keyPress_) {
        pressed_ = false;
        keyPress_ = false;
    }
    if (focused_) {
        focused_ = false;
    }
    Invalidate();
}

bool TGradientButton::DialogKey(TVirtualKey key, TShiftState)
{
    // Never taken, so every Default (or Cancel) button of the form acts on the key.
    if (enabled_ && isVisibleTo(window()) &&
        ((key == VK_ESCAPE && cancel_) || (key == VK_RETURN && default_))) {
        Click();
    }
    return false;
}

bool TGradientButton::DialogChar(QChar character)
{
    if (isVisibleTo(window()) && IsCaptionAccel(character, caption_)) {
        Click();
    }
    return false;
}

// --- paint --------------------------------------------------------------------------------------------

TGradientButton::TLook TGradientButton::CurrentLook() const
{
    return {size(),   enabled_,     hover_,         pressed_,      focused_,     gradient_,
            caption_, font_.Name(), font_.Height(), font_.Style(), font_.Color()};
}

void TGradientButton::Paint(TCanvas& canvas)
{
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const TLook look = CurrentLook();
    const bool changed = !(look == look_);
    look_ = look;
    DrawLook(canvas, changed);
}

void TGradientButton::PaintLook(TCanvas& canvas)
{
    const int w = width();
    const int h = height();
    canvas.Font().Assign(font_);
    const qsizetype amp = caption_.indexOf(QLatin1Char('&'));
    QString text = caption_;
    if (amp >= 0) {
        text.remove(amp, 1);
    }
    const TSize textSize = canvas.TextExtent(text);
    const int textW = textSize.cx;
    const int textH = textSize.cy;
    const int p = pressed_ ? 1 : 0;
    const int textX = (w - textW) / 2;
    const int textY = (h - textH) / 2;
    if (enabled_) {
        PaintEnabled(canvas, text, textX + p, textY + p);
    } else {
        PaintDisabled(canvas, text, textX, textY);
    }
    if (amp >= 0) {
        // Under the character that followed the "&", in the colour the caption was drawn in.
        canvas.Pen().SetColor(canvas.Font().Color());
        canvas.Pen().SetWidth(1);
        const int y = textY + textH + p;
        canvas.MoveTo(canvas.TextWidth(text.left(amp)) + textX + p, y);
        canvas.LineTo(canvas.TextWidth(text.left(amp + 1)) + textX + p, y);
    }
}

void TGradientButton::PaintEnabled(TCanvas& canvas, const QString& text, int textX, int textY)
{
    const int w = width();
    const int h = height();
    const TRect face = Rect(4, 4, w - 4, h - 4);
    TPen& pen = canvas.Pen();
    TBrush& brush = canvas.Brush();
    pen.SetWidth(1);
    brush.SetStyle(TBrushStyle::bsSolid);
    if (gradient_) {
        brush.SetColor(kOuterFrame);
        pen.SetColor(kOuterFrame);
        canvas.RoundRect(0, 0, w, h, 3, 3);
        brush.SetStyle(TBrushStyle::bsClear);
        pen.SetColor(kInnerFrame);
        canvas.RoundRect(1, 1, w - 1, h - 1, 5, 5);
        // The count is a byte: capped, so that a tall button keeps its bands.
        const bool down = pressed_ && hover_;
        const int colors = std::min(255, down ? h / 2 : h / 3);
        DrawGradient(canvas, face, kFaceLight, kFaceDark, down ? gsBottomToTop : gsTopToBottom,
                     static_cast<std::uint8_t>(colors));

        pen.SetColor(kTopEdge);
        canvas.MoveTo(3, 2);
        canvas.LineTo(w - 3, 2);
        pen.SetColor(kBottomEdge);
        canvas.MoveTo(3, h - 3);
        canvas.LineTo(w - 3, h - 3);
        pen.SetColor(kSideEdge);
        canvas.Rectangle(2, 3, w - 2, h - 3);
        pen.SetColor(clWhite);
        canvas.MoveTo(3, 4);
        canvas.LineTo(3, h - 4);
        canvas.MoveTo(w - 4, 4);
        canvas.LineTo(w - 4, h - 4);
        canvas.MoveTo(3, h - 1);
        canvas.LineTo(w - 3, h - 1);
        canvas.MoveTo(w - 1, h - 4);
        canvas.LineTo(w - 1, 2);
    } else {
        brush.SetColor(clBtnFace);
        pen.SetColor(clBlack);
        canvas.FillRect(Rect(0, 0, w, h));
        pen.SetColor(pressed_ ? clWhite : cl3DDkShadow);
        canvas.Polyline({{1, h - 1}, {w - 1, h - 1}, {w - 1, 1}});
        pen.SetColor(pressed_ ? cl3DDkShadow : clWhite);
        canvas.Polyline({{1, h - 1}, {1, 1}, {w - 1, 1}});
    }
    if (hover_) {
        brush.SetStyle(TBrushStyle::bsClear);
        pen.SetColor(gradient_ ? kHoverRing : kShadow);
        pen.SetWidth(1);
        canvas.RoundRect(3, 3, w - 3, h - 3, 2, 2);
    }
    // A solid brush (plain face, no hover) fills the face before each text, covering the shadow.
    canvas.Font().SetColor(kShadow);
    canvas.TextRect(face, textX + 1, textY + 1, text);
    canvas.Font().SetColor(font_.Color());
    canvas.TextRect(face, textX, textY, text);
    if (focused_) {
        brush.SetStyle(TBrushStyle::bsSolid);
        pen.SetColor(clWhite);
        pen.SetWidth(2);
        canvas.DrawFocusRect(face);
    }
}

void TGradientButton::PaintDisabled(TCanvas& canvas, const QString& text, int textX, int textY)
{
    const int w = width();
    const int h = height();
    TPen& pen = canvas.Pen();
    TBrush& brush = canvas.Brush();
    pen.SetWidth(1);
    brush.SetColor(kDisabledFace);
    pen.SetColor(kOuterFrame);
    canvas.RoundRect(0, 0, w, h, 3, 3);
    canvas.SetPixel(0, 0, clBtnFace);
    canvas.SetPixel(w - 1, 0, clBtnFace);
    canvas.SetPixel(w - 1, h - 1, clBtnFace);
    canvas.SetPixel(0, h - 1, clBtnFace);
    brush.SetStyle(TBrushStyle::bsClear);
    pen.SetColor(kDisabledFrame);
    canvas.RoundRect(1, 1, w - 1, h - 1, 5, 5);
    canvas.Font().SetColor(kDisabledText);
    canvas.TextRect(Rect(4, 4, w - 4, h - 4), textX, textY, text);
}

} // namespace carlume
