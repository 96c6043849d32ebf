#include "components/speed_button.h"

#include "components/ui_draw_utils.h"
#include "platform/gui/error_guard.h"
#include "platform/gui/form.h"

#include <QGuiApplication>
#include <QTimer>
#include <QVariant>
#include <QWindow>

namespace carlume {

namespace {

bool IsDownLooking(TUiSpeedButtonState state)
{
    return state == TUiSpeedButtonState::sbsDown || state == TUiSpeedButtonState::sbsExclusive;
}

// The character after the first single "&" of a caption ("&&" shows one "&").
QChar AcceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return caption.at(i + 1);
        ++i;
    }
    return {};
}

bool IsAccel(QChar character, const QString& caption)
{
    const QChar accelerator = AcceleratorOf(caption);
    return !accelerator.isNull() && accelerator.toUpper() == character.toUpper();
}

} // namespace

TRect DrawButtonFrame(TCanvas& canvas, const TRect& client, bool isDown, bool isFlat, TButtonStyle style)
{
    const bool newStyle =
        style == TButtonStyle::bsNew || (style == TButtonStyle::bsAutoDetect && NewStyleControls());
    TRect rect = client;
    if (!isDown) {
        if (newStyle && !isFlat) {
            Frame3D(canvas, rect, clBtnHighlight, clWindowFrame, 1);
            Frame3D(canvas, rect, clBtnFace, clBtnShadow, 1);
        } else if (newStyle) {
            Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
        } else if (!isFlat) {
            Frame3D(canvas, rect, clWindowFrame, clWindowFrame, 1);
            Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
        } else {
            Frame3D(canvas, rect, clBtnHighlight, clWindowFrame, 1);
        }
    } else if (newStyle && !isFlat) {
        Frame3D(canvas, rect, clWindowFrame, clBtnHighlight, 1);
        Frame3D(canvas, rect, clBtnShadow, clBtnFace, 1);
    } else if (!newStyle && !isFlat) {
        Frame3D(canvas, rect, clWindowFrame, clWindowFrame, 1);
        canvas.Pen().SetColor(clBtnShadow);
        canvas.Polyline({{rect.Left, rect.Bottom - 1}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
    } else {
        Frame3D(canvas, rect, clWindowFrame, clBtnHighlight, 1);
    }
    return rect.Inflated(-1, -1);
}

TUiSpeedButton::TUiSpeedButton(QWidget* parent)
    : TGraphicControl(parent)
{
    setGeometry(0, 0, 25, 25);
    glyphPainter_.OnChange = [this] { update(); };
    ApplyHint();
    // A popup or a modal window that opens while we are held takes the release from us.
    ConnectGuarded(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (pressed_ && !menuShowing_ && focus != nullptr && focus != window()->windowHandle() &&
            (focus->type() == Qt::Popup || focus->modality() != Qt::NonModal))
            CancelMode();
    });
}

TUiSpeedButton::~TUiSpeedButton()
{
    StopTimer();
}

void TUiSpeedButton::Loaded()
{
    glyphPainter_.CreateButtonGlyph(StartingLook());
}

TUiSpeedButtonState TUiSpeedButton::StartingLook() const
{
    if (!isEnabled())
        return TUiSpeedButtonState::sbsDisabled;
    return flat_ ? TUiSpeedButtonState::sbsInactive : TUiSpeedButtonState::sbsUp;
}

// --- properties
// ---------------------------------------------------------------------------------------------

void TUiSpeedButton::SetAlignment(TAlignment value)
{
    if (value != glyphPainter_.Alignment()) {
        glyphPainter_.SetAlignment(value);
        update();
    }
}

void TUiSpeedButton::SetAllowAllUp(bool value)
{
    if (value != allowAllUp_) {
        allowAllUp_ = value;
        UpdateExclusive();
    }
}

void TUiSpeedButton::SetAllowTimer(bool value)
{
    allowTimer_ = value;
    if (!value && repeatTimer_ != nullptr) {
        repeatTimer_->stop();
        delete repeatTimer_;
        repeatTimer_ = nullptr;
    }
}

void TUiSpeedButton::SetGroupIndex(int value)
{
    if (value != groupIndex_) {
        groupIndex_ = value;
        UpdateExclusive();
    }
}

void TUiSpeedButton::SetDown(bool value)
{
    if (groupIndex_ == 0)
        value = false;
    if (value == down_)
        return;
    if (down_ && !allowAllUp_)
        return;
    down_ = value;
    if (value) {
        if (state_ == TUiSpeedButtonState::sbsUp)
            update();
        state_ = TUiSpeedButtonState::sbsExclusive;
    } else {
        state_ = TUiSpeedButtonState::sbsUp;
    }
    repaint();
    if (value)
        UpdateExclusive();
    update();
}

void TUiSpeedButton::SetDropDownMenu(TPopupMenu* menu)
{
    dropDownMenu_ = menu;
    if (markDropDown_)
        update();
}

void TUiSpeedButton::SetCaption(const QString& value)
{
    if (value != caption_) {
        caption_ = value;
        update();
    }
}

void TUiSpeedButton::SetFlat(bool value)
{
    if (value != flat_) {
        flat_ = value;
        update();
    }
}

const TFont& TUiSpeedButton::Font() const
{
    if (parentFont_) {
        if (const TForm* form = ParentForm(this))
            return form->Font();
    }
    return font_;
}

void TUiSpeedButton::SetFont(const TFont& font)
{
    font_.Assign(font);
    parentFont_ = false;
    update();
}

void TUiSpeedButton::SetParentFont(bool value)
{
    if (value != parentFont_) {
        if (!value)
            font_.Assign(Font());
        parentFont_ = value;
        update();
    }
}

void TUiSpeedButton::SetGlyph(const TBitmap& value)
{
    glyphPainter_.SetGlyph(value);
    update();
}

void TUiSpeedButton::SetGrayedInactive(bool value)
{
    if (value != grayedInactive_) {
        grayedInactive_ = value;
        update();
    }
}

void TUiSpeedButton::SetLayout(TButtonLayout value)
{
    if (value != layout_) {
        layout_ = value;
        update();
    }
}

void TUiSpeedButton::SetMargin(int value)
{
    if (value != margin_ && value >= -1) {
        margin_ = value;
        update();
    }
}

void TUiSpeedButton::SetMarkDropDown(bool value)
{
    if (value != markDropDown_) {
        markDropDown_ = value;
        update();
    }
}

void TUiSpeedButton::SetNumGlyphs(int value)
{
    value = std::min(value, 5);
    if (value != glyphPainter_.NumGlyphs()) {
        glyphPainter_.SetNumGlyphs(value);
        update();
    }
}

void TUiSpeedButton::SetHint(const QString& value)
{
    hint_ = value;
    ApplyHint();
}

void TUiSpeedButton::SetShowHint(bool value)
{
    showHint_ = value;
    parentShowHint_ = false;
    ApplyHint();
}

void TUiSpeedButton::SetParentShowHint(bool value)
{
    parentShowHint_ = value;
    ApplyHint();
}

void TUiSpeedButton::ApplyHint()
{
    bool show = showHint_;
    if (parentShowHint_) {
        // The nearest container that says whether hints show decides; Qt shows them everywhere else.
        show = true;
        for (const QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
            const QVariant own = w->property("showHint");
            if (own.isValid()) {
                show = own.toBool();
                break;
            }
        }
    }
    setToolTip(show ? hint_ : QString());
}

void TUiSpeedButton::SetSpacing(int value)
{
    if (value != spacing_) {
        spacing_ = value;
        update();
    }
}

void TUiSpeedButton::SetStyle(TButtonStyle value)
{
    if (value != style_) {
        style_ = value;
        update();
    }
}

void TUiSpeedButton::SetTransparent(bool value)
{
    if (value != transparent_) {
        transparent_ = value;
        update();
    }
}

void TUiSpeedButton::SetWordWrap(bool value)
{
    if (value != glyphPainter_.WordWrap()) {
        glyphPainter_.SetWordWrap(value);
        update();
    }
}

void TUiSpeedButton::SetPointerQuery(TPointerQuery query)
{
    pointer_ = std::move(query);
}

// --- painting
// -----------------------------------------------------------------------------------------------

void TUiSpeedButton::Paint(TCanvas& canvas)
{
    if (!isEnabled()) {
        state_ = TUiSpeedButtonState::sbsDisabled;
        pressed_ = false;
    } else if (state_ == TUiSpeedButtonState::sbsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? TUiSpeedButtonState::sbsExclusive : TUiSpeedButtonState::sbsUp;
    }
    TUiSpeedButtonState look = state_;
    if (flat_ && !mouseInside_)
        look = TUiSpeedButtonState::sbsInactive;

    TRect face = Rect(0, 0, width(), height());
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(clBtnFace);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.FillRect(face);
    if (transparent_)
        CopyParentImage(this, canvas);

    const bool exclusive = state_ == TUiSpeedButtonState::sbsExclusive;
    if (look != TUiSpeedButtonState::sbsInactive || exclusive)
        face = DrawButtonFrame(canvas, face, IsDownLooking(state_), flat_, style_);
    else if (flat_)
        face = face.Inflated(-2, -2);

    if (exclusive && !transparent_ && (!flat_ || look == TUiSpeedButtonState::sbsInactive)) {
        canvas.Brush().SetBitmap(&AllocPatternBitmap(clBtnFace, clBtnHighlight));
        canvas.FillRect(face.Inflated(1, 1));
        canvas.Brush().SetBitmap(nullptr);
    }
    if (IsDownLooking(state_))
        face = face.Offset(1, 1);

    const TUiSpeedButtonState glyphState =
        state_ == TUiSpeedButtonState::sbsDisabled || !grayedInactive_ ? state_ : look;
    PaintGlyph(canvas, face, glyphState, markDropDown_ && dropDownMenu_ != nullptr);
}

void TUiSpeedButton::PaintGlyph(TCanvas& canvas, const TRect& rect, TUiSpeedButtonState state, bool drawMark)
{
    glyphPainter_.Draw(canvas, rect, caption_, layout_, margin_, spacing_, drawMark, state,
                       ButtonTextFlags[std::size_t(glyphPainter_.Alignment())]);
}

// --- mouse
// --------------------------------------------------------------------------------------------------

void TUiSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (menuShowing_)
        return;
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    if (!mouseInside_ && isEnabled()) {
        mouseInside_ = true;
        repaint();
    }
    if (button == TMouseButton::mbLeft && isEnabled()) {
        if (!down_) {
            state_ = TUiSpeedButtonState::sbsDown;
            repaint();
        }
        pressed_ = true;
        menuShowing_ = true;
        struct TClearFlag {
            bool& flag;
            ~TClearFlag() { flag = false; }
        } clearMenuShowing{menuShowing_};
        if (CheckMenuDropDown(GetDropDownMenuPos(), false))
            DoMouseUp(button, shift, x, y);
        // A press that closed the menu over the button must not press it again.
        KillMessage(this, QEvent::MouseButtonPress);
        KillMessage(this, QEvent::MouseButtonDblClick);
    }
    if (allowTimer_) {
        if (repeatTimer_ == nullptr) {
            repeatTimer_ = new QTimer(this);
            ConnectGuarded(repeatTimer_, &QTimer::timeout, this, &TUiSpeedButton::TimerExpired);
        }
        repeatTimer_->setInterval(initPause_);
        repeatTimer_->start();
    }
    if (button == TMouseButton::mbRight)
        UpdateTracking();
}

void TUiSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
    if (!pressed_)
        return;
    TUiSpeedButtonState newState = TUiSpeedButtonState::sbsUp;
    if (down_)
        newState = TUiSpeedButtonState::sbsExclusive;
    else if (rect().contains(x, y))
        newState = TUiSpeedButtonState::sbsDown;
    if (newState != state_) {
        state_ = newState;
        repaint();
    }
}

void TUiSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    // The timer stops also when a handler below raises.
    struct TStopTimer {
        TUiSpeedButton& button;
        ~TStopTimer() { button.StopTimer(); }
    } stopTimer{*this};
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
    DoMouseUp(button, shift, x, y);
}

void TUiSpeedButton::DoMouseUp(TMouseButton button, TShiftState, int x, int y)
{
    if (pressed_ && button == TMouseButton::mbLeft) {
        pressed_ = false;
        // Both edges exclusive: a release just below the button is outside.
        const bool inside = rect().contains(x, y);
        if (groupIndex_ == 0) {
            state_ = TUiSpeedButtonState::sbsUp;
            mouseInside_ = false;
            if (inside)
                repaint();
            else
                update();
        } else if (inside) {
            SetDown(!down_);
            if (down_)
                repaint();
        } else {
            if (down_)
                state_ = TUiSpeedButtonState::sbsExclusive;
            repaint();
        }
        if (inside && !menuShowing_)
            Click();
    }
    UpdateTracking();
}

void TUiSpeedButton::MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    if (menuShowing_)
        return;
    MouseDown(button, shift | ssDouble, x, y);
    if (button == TMouseButton::mbLeft && down_)
        DblClick();
}

void TUiSpeedButton::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TUiSpeedButton::Click()
{
    if (TForm* form = ParentForm(this))
        form->SetModalResult(modalResult_);
    if (OnClick)
        OnClick(this);
}

bool TUiSpeedButton::DialogChar(QChar character)
{
    if (IsAccel(character, caption_) && isEnabled()) {
        Click();
        return true;
    }
    return false;
}

void TUiSpeedButton::CancelMode()
{
    if (pressed_) {
        if (!down_)
            state_ = TUiSpeedButtonState::sbsUp;
        DoMouseUp(TMouseButton::mbLeft, 0, -1, -1);
    }
    StopTimer();
}

void TUiSpeedButton::StopTimer()
{
    if (repeatTimer_ != nullptr)
        repeatTimer_->stop();
}

void TUiSpeedButton::TimerExpired()
{
    if (repeatTimer_ != nullptr)
        repeatTimer_->setInterval(repeatInterval_);
    // The press may have ended without a release reaching us (a window or popup took the mouse).
    if (!pressed_ || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        CancelMode();
        return;
    }
    if (state_ != TUiSpeedButtonState::sbsDown)
        return;
    try {
        Click();
    } catch (...) {
        StopTimer();
        throw;
    }
}

// --- groups
// -------------------------------------------------------------------------------------------------

void TUiSpeedButton::UpdateExclusive()
{
    if (groupIndex_ == 0 || parentWidget() == nullptr)
        return;
    const auto siblings = parentWidget()->findChildren<TUiSpeedButton*>(Qt::FindDirectChildrenOnly);
    for (TUiSpeedButton* sibling : siblings)
        sibling->GroupButtonDown(groupIndex_, this);
}

void TUiSpeedButton::GroupButtonDown(int groupIndex, TUiSpeedButton* sender)
{
    if (groupIndex != groupIndex_ || sender == this)
        return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = TUiSpeedButtonState::sbsUp;
        repaint();
    }
    allowAllUp_ = sender->allowAllUp_;
}

// --- hot tracking
// -------------------------------------------------------------------------------------------

void TUiSpeedButton::UpdateTracking()
{
    const bool foreground = pointer_.IsForegroundTask ? pointer_.IsForegroundTask() : IsForegroundTask();
    QWidget* target = pointer_.ControlAtCursor ? pointer_.ControlAtCursor() : ControlAtCursor();
    const bool inside = isEnabled() && target == this && foreground;
    if (inside == mouseInside_)
        return;
    mouseInside_ = inside;
    if (inside) {
        if (flat_)
            repaint();
        DoMouseEnter();
    } else {
        if (flat_)
            update();
        DoMouseLeave();
    }
}

void TUiSpeedButton::MouseEnter()
{
    const bool foreground = pointer_.IsForegroundTask ? pointer_.IsForegroundTask() : IsForegroundTask();
    if (!mouseInside_ && isEnabled() && foreground) {
        mouseInside_ = true;
        if (flat_)
            repaint();
        DoMouseEnter();
    }
}

void TUiSpeedButton::MouseLeave()
{
    if (mouseInside_ && isEnabled() && !pressed_) {
        mouseInside_ = false;
        if (flat_)
            update();
        DoMouseLeave();
    }
}

void TUiSpeedButton::DoMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TUiSpeedButton::DoMouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

// --- drop-down menu
// -----------------------------------------------------------------------------------------

TPoint TUiSpeedButton::GetDropDownMenuPos() const
{
    if (dropDownMenu_ == nullptr)
        return {};
    const bool bottom = menuPosition_ == TUiDropDownMenuPos::dmpBottom;
    switch (dropDownMenu_->Alignment()) {
    case TPopupAlignment::paLeft:
        return bottom ? TPoint{-1, height()} : TPoint{width(), -1};
    case TPopupAlignment::paRight:
        return bottom ? TPoint{width() + 1, height()} : TPoint{-1, -1};
    case TPopupAlignment::paCenter:
        break;
    }
    return {width() / 2, height()};
}

bool TUiSpeedButton::CheckMenuDropDown(TPoint pos, bool manual)
{
    if (dropDownMenu_ == nullptr || (!dropDownMenu_->AutoPopup() && !manual))
        return false;
    dropDownMenu_->SetPopupComponent(this);
    const QPoint global = mapToGlobal(QPoint(pos.X, pos.Y));
    dropDownMenu_->Popup(global.x(), global.y());
    return true;
}

// --- notifications
// ------------------------------------------------------------------------------------------

void TUiSpeedButton::EnabledChanged()
{
    glyphPainter_.CreateButtonGlyph(StartingLook());
    UpdateTracking();
    repaint();
}

void TUiSpeedButton::FontChanged()
{
    update();
}

void TUiSpeedButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        glyphPainter_.Invalidate();
        update();
    } else if (event->type() == QEvent::ParentChange) {
        ApplyHint();
    }
    TGraphicControl::changeEvent(event);
}

bool TUiSpeedButton::event(QEvent* event)
{
    // The window passes its deactivation down to its children; a press must not outlive it.
    if (event->type() == QEvent::WindowDeactivate)
        RunGuarded([this] { CancelMode(); });
    // Whether the containers show hints is known for sure only once they hold the button.
    if (event->type() == QEvent::ToolTip && parentShowHint_)
        ApplyHint();
    return TGraphicControl::event(event);
}

void TUiSpeedButton::showEvent(QShowEvent* event)
{
    TGraphicControl::showEvent(event);
    RunGuarded([this] { UpdateTracking(); });
}

} // namespace carlume
