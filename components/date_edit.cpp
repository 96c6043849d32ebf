#include "components/date_edit.h"

#include "components/pick_date.h"
#include "components/ui_str_utils.h"
#include "platform/gui/error_guard.h"
#include "platform/gui/resources.h"

#include <QTimer>

#include <cmath>

namespace carlume {

namespace {

bool IsCalendarKey(TVirtualKey key)
{
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_ADD:
    case VK_SUBTRACT:
        return true;
    default:
        return false;
    }
}

bool IsCalendarChar(QChar key)
{
    return key == QLatin1Char('+') || key == QLatin1Char('-') || key == QLatin1Char('T') ||
           key == QLatin1Char('t');
}

} // namespace

// --- TCustomDateEdit ---------------------------------------------------------------------------------------

TCustomDateEdit::TCustomDateEdit(QWidget* parent)
    : TCustomComboEdit(parent)
    , localeChanges_([this] { RunGuarded([this] { UpdateMask(); }); })
{
    SetDefaultNumGlyphs(2);
    UpdateFormat();
    CreatePopup();
    SetGlyphKind(TGlyphKind::gkDefault);
    // Where the class library does this once the window exists.
    UpdateMask();
}

TCustomDateEdit::~TCustomDateEdit()
{
    if (TPopupWindow* popup = Popup()) {
        popup->OnCloseUp = nullptr;
        SetPopup(nullptr);
        delete popup;
    }
}

TDateTime TCustomDateEdit::DefaultDate() const
{
    return defaultToday_ ? Date() : NullDate;
}

bool TCustomDateEdit::ReadDate(const std::string& text, TDateTime& date) const
{
    // A two-digit year shown may read back in another century: the value set stands while its text does.
    if (setDate_ && text == setText_) {
        date = *setDate_;
        return true;
    }
    return InternalStrToDate(format_, text, date);
}

TDateTime TCustomDateEdit::GetDate() const
{
    TDateTime date = NullDate;
    if (ReadDate(Text(), date))
        return date;
    return std::trunc(DefaultDate());
}

void TCustomDateEdit::SetDate(TDateTime value)
{
    if (!ValidDate(value) || value == NullDate)
        value = DefaultDate();
    const TDateTime old = GetDate();
    setDate_.reset();
    if (value == NullDate) {
        SetText({});
    } else {
        SetText(FormatDateTime(format_, value));
        setDate_ = std::trunc(value);
        setText_ = Text();
    }
    SetModified(GetDate() != old);
}

void TCustomDateEdit::ApplyDate(TDateTime value)
{
    SetDate(value);
    SelectAllIfDirect();
}

bool TCustomDateEdit::FourDigitYear() const
{
    switch (yearDigits_) {
    case TYearDigits::dyFour:
        return true;
    case TYearDigits::dyTwo:
        return false;
    case TYearDigits::dyDefault:
        break;
    }
    return carlume::FourDigitYear();
}

std::string TCustomDateEdit::GetDateMask() const
{
    return DefDateMask(blanksChar_, FourDigitYear());
}

void TCustomDateEdit::UpdateFormat()
{
    format_ = DefDateFormat(FourDigitYear());
}

void TCustomDateEdit::UpdateMask()
{
    const TDateTime date = GetDate();
    const std::string oldFormat = format_;
    UpdateFormat();
    const std::string mask = GetDateMask();
    // The separator is part of the mask Qt is given, so a new separator alone needs a new mask as well.
    const TFormatSettings& settings = FormatSettings();
    const QString qtMask = QtInputMask(mask, settings.DateSeparator, settings.TimeSeparator);
    if (mask != EditMask() || qtMask != inputMask() || format_ != oldFormat)
        SetEditMask(mask);
    UpdatePopup();
    SetDate(date);
}

void TCustomDateEdit::UpdatePopup()
{
    if (Popup() != nullptr)
        SetupPopupCalendar(Popup(), startOfWeek_, weekends_, weekendColor_, &hints_, FourDigitYear());
}

void TCustomDateEdit::CheckValidDate()
{
    const std::string text = Text();
    const char blanks[] = {' ', FormatSettings().DateSeparator, blanksChar_, '\0'};
    if (StrHasOnlyChars(text, std::string_view(blanks, sizeof blanks)))
        return;
    formatting_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{formatting_};
    try {
        TDateTime date = NullDate;
        if (!ReadDate(text, date))
            date = StrToDateFmt(format_, text);
        SetDate(date);
    } catch (...) {
        // Queued: this runs while the focus is moving away, and the move has to finish first.
        QTimer::singleShot(0, this, [this] {
            if (isEnabled() && isVisible())
                setFocus(Qt::OtherFocusReason);
        });
        throw;
    }
}

void TCustomDateEdit::DoExit()
{
    if (checkOnExit_)
        CheckValidDate();
}

void TCustomDateEdit::SetBlanksChar(char value)
{
    if (static_cast<unsigned char>(value) < 0x20)
        value = ' ';
    if (value == blanksChar_)
        return;
    blanksChar_ = value;
    UpdateMask();
}

void TCustomDateEdit::SetYearDigits(TYearDigits digits)
{
    if (digits == yearDigits_)
        return;
    yearDigits_ = digits;
    UpdateMask();
}

void TCustomDateEdit::SetCalendarHints(const std::vector<std::string>& hints)
{
    hints_ = hints;
    if (hints_.size() > 4)
        hints_.resize(4);
    UpdatePopup();
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName day)
{
    if (day == startOfWeek_)
        return;
    startOfWeek_ = day;
    UpdatePopup();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek days)
{
    if (days == weekends_)
        return;
    weekends_ = days;
    UpdatePopup();
}

void TCustomDateEdit::SetWeekendColor(TColor color)
{
    if (color == weekendColor_)
        return;
    weekendColor_ = color;
    UpdatePopup();
}

void TCustomDateEdit::SetPopupColor(TColor color)
{
    if (color == popupColor_)
        return;
    popupColor_ = color;
    if (auto* popup = dynamic_cast<TPopupCalendar*>(Popup()))
        popup->SetColor(color);
}

void TCustomDateEdit::CreatePopup()
{
    TPopupCalendar* popup = CreatePopupCalendar(this);
    popup->OnCloseUp = [this](TPopupWindow* sender, bool accept) { PopupCloseUp(sender, accept); };
    popup->SetColor(popupColor_);
    SetPopup(popup);
    UpdatePopup();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle style)
{
    if (style == CalendarStyle())
        return;
    if (style == TCalendarStyle::csPopup) {
        CreatePopup();
        return;
    }
    TPopupWindow* popup = Popup();
    // An open popup closes first, without its value: freeing it open would leave the edit read-only.
    SetPopup(nullptr);
    popup->OnCloseUp = nullptr;
    delete popup;
}

TBitmap* TCustomDateEdit::GetDefaultBitmap(bool& destroyNeeded)
{
    // One picture for every date edit of the process, loaded on first need.
    static TBitmap bitmap = LoadBitmapResource(QStringLiteral("DEDITBMP"));
    destroyNeeded = false;
    return &bitmap;
}

bool TCustomDateEdit::AcceptPopup(TPopupValue& value)
{
    bool action = true;
    if (!OnAcceptDate)
        return action;
    TDateTime date = NullDate;
    if (!value.IsNull() && !value.IsEmpty()) {
        try {
            date = value.ToDateTime();
        } catch (const std::exception&) {
            date = DefaultDate();
        }
    }
    OnAcceptDate(this, date, action);
    if (action)
        value = TPopupValue::FromDate(date);
    return action;
}

void TCustomDateEdit::AcceptValue(const TPopupValue& value)
{
    SetDate(value.ToDateTime());
    UpdatePopupVisible();
    // The text changed while the popup was still open, which announced nothing: once now.
    if (Modified())
        DoChange();
}

void TCustomDateEdit::SetPopupValue(const TPopupValue& value)
{
    TDateTime date = NullDate;
    if (!ReadDate(value.ToText(), date))
        date = Date();
    TCustomComboEdit::SetPopupValue(TPopupValue::FromDate(date));
}

void TCustomDateEdit::ButtonClick()
{
    TCustomComboEdit::ButtonClick();
    if (CalendarStyle() != TCalendarStyle::csDialog)
        return;
    TDateTime date = GetDate();
    bool action = SelectDate(date, dialogTitle_, startOfWeek_, weekends_, weekendColor_, &hints_);
    if (isEnabled() && isVisible())
        setFocus(Qt::OtherFocusReason);
    if (!action)
        return;
    if (OnAcceptDate)
        OnAcceptDate(this, date, action);
    if (!action)
        return;
    SetDate(date);
    if (Focused())
        SelectAllIfDirect();
}

void TCustomDateEdit::Change()
{
    if (!formatting_)
        TCustomComboEdit::Change();
}

void TCustomDateEdit::KeyDown(TVirtualKey& key, TShiftState shift)
{
    if (GetPopupVisible() && IsCalendarKey(key)) {
        Popup()->KeyDown(key, shift);
        key = 0;
    } else if (shift == 0 && DirectInput() && (key == VK_ADD || key == VK_SUBTRACT)) {
        // Not in a read-only field: the date would change where the user may not change it.
        if (EditCanModify())
            ApplyDate(NvlDate(GetDate(), Now()) + (key == VK_ADD ? 1.0 : -1.0));
        key = 0;
    }
    TCustomComboEdit::KeyDown(key, shift);
}

void TCustomDateEdit::KeyPress(QChar& key)
{
    if (IsCalendarChar(key)) {
        if (GetPopupVisible()) {
            Popup()->KeyPress(key);
            key = QChar();
        } else if (DirectInput()) {
            // "+" and "-" are never typed into the text; the keypad's step the day in KeyDown.
            if ((key == QLatin1Char('T') || key == QLatin1Char('t')) && EditCanModify())
                ApplyDate(std::trunc(Now()));
            key = QChar();
        }
    }
    TCustomComboEdit::KeyPress(key);
}

// --- TDateEdit ---------------------------------------------------------------------------------------------

TDateEdit::TDateEdit(QWidget* parent)
    : TCustomDateEdit(parent)
{
}

} // namespace carlume
