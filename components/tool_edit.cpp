#include "components/tool_edit.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "platform/gui/error_guard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace carlume {

// --- TPopupValue -------------------------------------------------------------------------------------------

std::string TPopupValue::ToText() const
{
    switch (kind_) {
    case TKind::Text:
        return text_;
    case TKind::Date:
        return DateTimeToStr(date_);
    default:
        return {};
    }
}

TDateTime TPopupValue::ToDateTime() const
{
    switch (kind_) {
    case TKind::Date:
        return date_;
    case TKind::Text:
        return StrToDateTime(text_);
    default:
        throw EConvertError("Invalid variant type conversion");
    }
}

// --- placement ---------------------------------------------------------------------------------------------

QPoint ComputePopupOrigin(const QRect& edit, QSize popupSize, const QRect& screen, TPopupAlign align)
{
    const int w = popupSize.width();
    const int h = popupSize.height();
    const int left = screen.x();
    const int top = screen.y();
    const int right = screen.x() + screen.width();
    const int bottom = screen.y() + screen.height();
    int y = edit.y() + edit.height();
    if (y + h > bottom)
        y = edit.y() - h;
    int x = edit.x();
    if (align == TPopupAlign::epaRight) {
        x -= w - edit.width();
        if (x < left)
            x = edit.x();
    } else if (x + w > right) {
        x -= w - edit.width();
    }
    // The edit's own screen, not the primary one; and never off its top when the popup fits nowhere.
    x = std::max(left, std::min(x, right - w));
    y = std::max(top, std::min(y, bottom - h));
    return {x, y};
}

// --- TPopupWindow ------------------------------------------------------------------------------------------

TPopupWindow::TPopupWindow(QWidget* editor)
    : TCustomControl(editor)
    , editor_(editor)
{
    // An override-redirect window on X: no placement by the window manager, no activation, always on top.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TPopupWindow::CloseUp(bool accept)
{
    if (OnCloseUp)
        OnCloseUp(this, accept);
}

void TPopupWindow::Show(QPoint origin)
{
    move(origin);
    show();
    raise();
}

void TPopupWindow::Hide()
{
    hide();
}

void TPopupWindow::KeyDown(TVirtualKey& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
}

void TPopupWindow::KeyPress(QChar& key)
{
    TCustomControl::KeyPress(key);
}

void TPopupWindow::MouseDown(TMouseButton button, TShiftState, int x, int y)
{
    if (button == TMouseButton::mbLeft)
        contentPressed_ = ClientRect().contains(x, y);
}

void TPopupWindow::MouseUp(TMouseButton button, TShiftState, int x, int y)
{
    if (button != TMouseButton::mbLeft)
        return;
    // The border is no content: a click that began there does nothing, as on a window's frame.
    const bool fromContent = contentPressed_;
    contentPressed_ = false;
    if (fromContent)
        CloseUp(ClientRect().contains(x, y));
}

// --- TEditButton -------------------------------------------------------------------------------------------

TEditButton::TEditButton(TCustomComboEdit& edit, QWidget* holder)
    : TUiSpeedButton(holder)
    , edit_(edit)
{
    setObjectName(QStringLiteral("editButton"));
    SetParentShowHint(true);
}

void TEditButton::Click()
{
    if (noAction_) {
        noAction_ = false;
        return;
    }
    TUiSpeedButton::Click();
}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft)
        noAction_ = edit_.ButtonPressed();
    TUiSpeedButton::MouseDown(button, shift, x, y);
}

void TEditButton::Paint(TCanvas& canvas)
{
    TUiSpeedButton::Paint(canvas);
    if (State() == TUiSpeedButtonState::sbsDown)
        return;
    canvas.Pen().SetColor(clBtnFace);
    canvas.MoveTo(0, 0);
    canvas.LineTo(0, height() - 1);
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(1, 1);
    canvas.LineTo(1, height() - 2);
}

TBitmap EllipsisBitmap(int buttonWidth)
{
    const int w = std::max(1, buttonWidth - 6);
    TBitmap bitmap(w, 4);
    bitmap.SetMonochrome(true);
    const int gap = std::clamp((w - 6) / 2, 1, 3);
    const int start = (w - 6 - 2 * gap) / 2;
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clBlack);
    for (const int x : {start, start + gap + 2, start + 2 * gap + 4})
        canvas.FillRect(Bounds(x, 1, 2, 2));
    return bitmap;
}

// --- TCustomComboEdit --------------------------------------------------------------------------------------

TCustomComboEdit::TCustomComboEdit(QWidget* parent)
    : TCustomMaskEdit(parent)
    , holder_(new QWidget(this))
{
    holder_->setObjectName(QStringLiteral("buttonHolder"));
    holder_->setCursor(Qt::ArrowCursor);
    holder_->resize(21, 17);
    button_ = new TEditButton(*this, holder_);
    button_->setGeometry(0, 0, 21, 17);
    button_->OnClick = [this](QObject*) { DoClick(); };
    resize(width(), 21);
    setMinimumHeight(GetMinHeight());
    PlaceButton();
}

TCustomComboEdit::~TCustomComboEdit()
{
    button_->OnClick = nullptr;
    WatchOutside(false);
}

const QString& TCustomComboEdit::ButtonHint() const
{
    return button_->Hint();
}

void TCustomComboEdit::SetButtonHint(const QString& hint)
{
    button_->SetHint(hint);
}

const TBitmap& TCustomComboEdit::Glyph() const
{
    return button_->Glyph();
}

void TCustomComboEdit::SetGlyph(const TBitmap& glyph)
{
    button_->SetGlyph(glyph);
    glyphKind_ = TGlyphKind::gkCustom;
}

int TCustomComboEdit::NumGlyphs() const
{
    return button_->NumGlyphs();
}

void TCustomComboEdit::SetNumGlyphs(int count)
{
    switch (glyphKind_) {
    case TGlyphKind::gkDropDown:
    case TGlyphKind::gkEllipsis:
        count = 1;
        break;
    case TGlyphKind::gkDefault:
        count = defNumGlyphs_;
        break;
    case TGlyphKind::gkCustom:
        break;
    }
    button_->SetNumGlyphs(count);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    if (kind == glyphKind_)
        return;
    glyphKind_ = kind;
    RecreateGlyph();
    if (kind == TGlyphKind::gkDefault && !Glyph().Empty())
        SetButtonWidth(std::max(Glyph().Width() / std::max(NumGlyphs(), 1) + 6, buttonWidth_));
    else if (kind == TGlyphKind::gkDropDown)
        SetButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
}

TBitmap* TCustomComboEdit::GetDefaultBitmap(bool&)
{
    return nullptr;
}

void TCustomComboEdit::RecreateGlyph()
{
    switch (glyphKind_) {
    case TGlyphKind::gkDefault: {
        bool destroyNeeded = false;
        TBitmap* bitmap = GetDefaultBitmap(destroyNeeded);
        if (bitmap != nullptr) {
            button_->SetGlyph(*bitmap);
            if (destroyNeeded)
                delete bitmap;
        }
        button_->SetNumGlyphs(defNumGlyphs_);
        break;
    }
    case TGlyphKind::gkDropDown: {
        const int size = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        QImage arrow(size, size, QImage::Format_ARGB32);
        arrow.fill(Qt::transparent);
        {
            QPainter painter(&arrow);
            QStyleOption option;
            option.initFrom(button_);
            option.rect = QRect(0, 0, size, size);
            style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, button_);
        }
        TBitmap bitmap(arrow);
        bitmap.SetTransparent(true);
        button_->SetGlyph(bitmap);
        button_->SetNumGlyphs(1);
        break;
    }
    case TGlyphKind::gkEllipsis:
        button_->SetGlyph(EllipsisBitmap(buttonWidth_));
        button_->SetNumGlyphs(1);
        break;
    case TGlyphKind::gkCustom:
        break;
    }
}

void TCustomComboEdit::SetDirectInput(bool value)
{
    setReadOnly(!value || readOnly_);
    directInput_ = value;
}

void TCustomComboEdit::SetReadOnly(bool value)
{
    if (value == readOnly_)
        return;
    readOnly_ = value;
    setReadOnly(value || !directInput_);
}

void TCustomComboEdit::SetButtonWidth(int width)
{
    if (width == buttonWidth_ || width < 0)
        return;
    if (width >= this->width() && isVisible())
        return;
    buttonWidth_ = width;
    PlaceButton();
    RecreateGlyph();
}

void TCustomComboEdit::SetPopup(TPopupWindow* popup)
{
    if (popup_ != nullptr && popupVisible_)
        PopupCloseUp(popup_, false);
    popup_ = popup;
}

int TCustomComboEdit::GetMinHeight() const
{
    const int screenHeight = QFontMetrics(QApplication::font()).height();
    const int textHeight = std::min(screenHeight, fontMetrics().height());
    return textHeight + 4 + 1;
}

void TCustomComboEdit::PlaceButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    holder_->setGeometry(width() - buttonWidth_ - frame, frame, buttonWidth_, height() - 2 * frame);
    holder_->setVisible(buttonWidth_ > 1);
    for (QWidget* button : holder_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        button->setGeometry(0, 0, buttonWidth_, holder_->height());
    SetEditRect();
}

void TCustomComboEdit::SetEditRect()
{
    // The text never runs under the button.
    setTextMargins(0, 0, buttonWidth_ > 1 ? buttonWidth_ + 2 : 0, 0);
}

void TCustomComboEdit::SelectAllIfDirect()
{
    if (directInput_)
        selectAll();
}

bool TCustomComboEdit::ButtonPressed()
{
    const bool wasOpen = GetPopupVisible();
    if (wasOpen)
        PopupCloseUp(popup_, true);
    else if ((focusPolicy() & Qt::TabFocus) != 0 && isEnabled() && isVisible() && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    return wasOpen;
}

void TCustomComboEdit::UpdatePopupVisible()
{
    popupVisible_ = popup_ != nullptr && popup_->isVisible();
}

void TCustomComboEdit::DoClick()
{
    if (readOnly_ && !alwaysEnable_)
        return;
    ButtonClick();
}

void TCustomComboEdit::ButtonClick()
{
    if (OnButtonClick)
        OnButtonClick();
    if (popup_ == nullptr)
        return;
    if (popupVisible_)
        PopupCloseUp(popup_, true);
    else
        PopupDropDown(true);
}

void TCustomComboEdit::PopupDropDown(bool disableEdit)
{
    if (popup_ == nullptr || GetReadOnly() || popupVisible_)
        return;
    const QScreen* screen = this->screen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    const QPoint origin =
        ComputePopupOrigin(QRect(mapToGlobal(QPoint(0, 0)), size()), popup_->size(), available, popupAlign_);
    const std::string text = Text();
    SetPopupValue(text.empty() ? TPopupValue::Null() : TPopupValue::FromText(text));
    if (isEnabled() && isVisible())
        setFocus(Qt::OtherFocusReason);
    ShowPopup(origin);
    popupVisible_ = true;
    WatchOutside(true);
    if (disableEdit)
        setReadOnly(true); // also hides the caret
}

void TCustomComboEdit::PopupCloseUp(TPopupWindow*, bool accept)
{
    if (popup_ == nullptr || !popupVisible_)
        return;
    struct ClearVisible {
        bool& flag;
        ~ClearVisible() { flag = false; }
    } clear{popupVisible_};
    WatchOutside(false);
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    TPopupValue value = GetPopupValue();
    HidePopup();
    // Not when closing because the focus went elsewhere: taking it back would undo the user's move.
    if (focused_ && isEnabled() && isVisible())
        setFocus(Qt::OtherFocusReason);
    SetDirectInput(directInput_);
    update();
    if (accept && AcceptPopup(value) && EditCanModify()) {
        AcceptValue(value);
        if (focused_)
            selectAll();
    }
}

void TCustomComboEdit::ShowPopup(QPoint origin)
{
    popup_->Show(origin);
}

void TCustomComboEdit::HidePopup()
{
    popup_->Hide();
}

bool TCustomComboEdit::AcceptPopup(TPopupValue&)
{
    return true;
}

void TCustomComboEdit::AcceptValue(const TPopupValue& value)
{
    const std::string text = value.ToText();
    if (Text() == text)
        return;
    SetText(text);
    setModified(true);
    UpdatePopupVisible();
    DoChange();
}

void TCustomComboEdit::SetPopupValue(const TPopupValue& value)
{
    if (popup_ != nullptr)
        popup_->SetValue(value);
}

TPopupValue TCustomComboEdit::GetPopupValue()
{
    return popup_ != nullptr ? popup_->GetValue() : TPopupValue::FromText({});
}

void TCustomComboEdit::PopupChange() {}

bool TCustomComboEdit::EditCanModify()
{
    return !readOnly_;
}

void TCustomComboEdit::Change()
{
    if (GetPopupVisible())
        PopupChange();
    else
        DoChange();
}

void TCustomComboEdit::KeyDown(TVirtualKey& key, TShiftState shift)
{
    TCustomMaskEdit::KeyDown(key, shift);
    if (key != 0 && ShortCutOf(key, shift) == clickKey_ && buttonWidth_ > 0) {
        DoClick();
        key = 0;
    }
}

void TCustomComboEdit::KeyPress(QChar& key)
{
    if (key == QChar(13) || key == QChar(27)) {
        if (GetPopupVisible()) {
            PopupCloseUp(popup_, key == QChar(13));
            key = QChar();
            return;
        }
        // Closed: the key goes on to the window (its default or cancel button); Enter is never typed.
    }
    TCustomMaskEdit::KeyPress(key);
}

void TCustomComboEdit::SelectOnEnter()
{
    SelectAllIfDirect();
}

void TCustomComboEdit::mousePressEvent(QMouseEvent* event)
{
    bool goOn = true;
    RunGuarded([&] {
        if (popup_ == nullptr || event->button() != Qt::LeftButton)
            return;
        if (isEnabled() && isVisible() && !hasFocus())
            setFocus(Qt::MouseFocusReason);
        if (!focused_) {
            goOn = false;
            return;
        }
        if (popupVisible_)
            PopupCloseUp(popup_, false);
    });
    if (goOn)
        TCustomMaskEdit::mousePressEvent(event);
    else
        event->accept();
}

void TCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    focused_ = true;
    TCustomMaskEdit::focusInEvent(event);
}

void TCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    TCustomMaskEdit::focusOutEvent(event);
    focused_ = false;
    RunGuarded([this] { PopupCloseUp(popup_, false); });
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    TCustomMaskEdit::resizeEvent(event);
    PlaceButton();
}

void TCustomComboEdit::changeEvent(QEvent* event)
{
    TCustomMaskEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        holder_->setEnabled(isEnabled());
        break;
    case QEvent::FontChange:
        setMinimumHeight(GetMinHeight());
        SetEditRect();
        break;
    default:
        break;
    }
}

bool TCustomComboEdit::IsOwnWidget(const QWidget* widget) const
{
    if (widget == this || isAncestorOf(widget))
        return true;
    return popup_ != nullptr && (widget == popup_ || popup_->isAncestorOf(widget));
}

void TCustomComboEdit::WatchOutside(bool on)
{
    if (on == watching_ || qApp == nullptr)
        return;
    watching_ = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TCustomComboEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (!popupVisible_)
        return TCustomMaskEdit::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A press anywhere else cancels the popup; the press itself goes on to its target.
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && !IsOwnWidget(widget))
            RunGuarded([this] { PopupCloseUp(popup_, false); });
        break;
    }
    case QEvent::ApplicationStateChange:
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            RunGuarded([this] { PopupCloseUp(popup_, false); });
        break;
    case QEvent::WindowDeactivate:
        if (watched == window())
            RunGuarded([this] { PopupCloseUp(popup_, false); });
        break;
    default:
        break;
    }
    return TCustomMaskEdit::eventFilter(watched, event);
}

} // namespace carlume
