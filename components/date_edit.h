#pragma once

// The date edit: a combo edit whose text is shaped by an edit mask and a display format in the locale's
// date order, whose button drops down the popup calendar (or opens the date dialog), and which is read
// and set as a date, `NullDate` standing for an empty field.

#include "components/date_util.h"
#include "components/select_date_dialog.h"
#include "components/tool_edit.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/gui/color.h"
#include "platform/gui/form.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace carlume {

/// Year width of the date edit's format and mask: the locale's (`FourDigitYear`), four or two digits.
enum class TYearDigits { dyDefault, dyFour, dyTwo };

/// How the date edit's button shows a calendar: dropped down below the edit, or in the date dialog.
enum class TCalendarStyle { csPopup, csDialog };

/// Run when a date was picked in the popup or the dialog; may change the date or refuse it (`action`
/// False).
using TExecDateDialog = std::function<void(QObject* sender, TDateTime& date, bool& action)>;

class TCustomDateEdit : public TCustomComboEdit, public IFormControl {
    Q_OBJECT
public:
    /// An empty field in the locale's format, with the calendar button and a popup calendar.
    explicit TCustomDateEdit(QWidget* parent = nullptr);
    ~TCustomDateEdit() override;

    /// The date shown, as a whole day; the default (`NullDate`, or today with `DefaultToday`) when the text
    /// holds none. A date set by value reads back as that value while the text is the one it was shown as,
    /// whatever a two-digit year in it would read as. Never raises.
    TDateTime GetDate() const;
    /// Shows the day of `value`; a value that is no date, and `NullDate`, mean the default. `Modified`
    /// tells whether the date read changed.
    void SetDate(TDateTime value);
    /// `SetDate`, then the whole text selected when the user may type.
    virtual void ApplyDate(TDateTime value);
    /// Takes the format and mask of the locale and `YearDigits` again; the date shown is kept.
    virtual void UpdateMask();
    /// Raises `EConvertError` (and takes the focus back) when the text is neither blank nor a date;
    /// a date is written back in the edit's format.
    void CheckValidDate();

    /// True for four-digit years: `dyFour`, or `dyDefault` in a locale that shows them.
    bool FourDigitYear() const;
    /// The display and reading format ("MM/DD/YYYY" in a month-first locale).
    const std::string& DateFormat() const { return format_; }
    /// The class-library edit mask of the current format and `BlanksChar`.
    std::string GetDateMask() const;

    /// Check the text when the focus moves to another control of the form.
    bool CheckOnExit() const { return checkOnExit_; }
    void SetCheckOnExit(bool value) { checkOnExit_ = value; }
    /// Shown in the mask's empty places; a control character becomes " ".
    char BlanksChar() const { return blanksChar_; }
    void SetBlanksChar(char value);
    /// Hints of the popup's four month and year buttons; at most four lines are kept.
    const std::vector<std::string>& CalendarHints() const { return hints_; }
    void SetCalendarHints(const std::vector<std::string>& hints);
    /// An empty or unreadable date reads, and is written, as today instead of `NullDate`.
    bool DefaultToday() const { return defaultToday_; }
    void SetDefaultToday(bool value) { defaultToday_ = value; }
    /// Caption of the date dialog.
    const QString& DialogTitle() const { return dialogTitle_; }
    void SetDialogTitle(const QString& title) { dialogTitle_ = title; }
    /// Colour of the popup calendar.
    TColor PopupColor() const { return popupColor_; }
    void SetPopupColor(TColor color);
    /// `csPopup` while a popup calendar exists; switching to `csDialog` closes and frees it.
    TCalendarStyle CalendarStyle() const
    {
        return Popup() != nullptr ? TCalendarStyle::csPopup : TCalendarStyle::csDialog;
    }
    void SetCalendarStyle(TCalendarStyle style);
    TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeekName day);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek days);
    TColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(TColor color);
    TYearDigits YearDigits() const { return yearDigits_; }
    void SetYearDigits(TYearDigits digits);

    /// May change or refuse a date picked in the popup or the dialog.
    TExecDateDialog OnAcceptDate;

    /// The check of the text when the focus moves to another control of the form (`CheckOnExit`).
    void DoExit() override;

protected:
    TBitmap* GetDefaultBitmap(bool& destroyNeeded) override;
    bool AcceptPopup(TPopupValue& value) override;
    void AcceptValue(const TPopupValue& value) override;
    void SetPopupValue(const TPopupValue& value) override;
    void ButtonClick() override;
    void Change() override;
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;

    /// The format from `FourDigitYear`.
    void UpdateFormat();
    /// Hands the calendar settings to the popup.
    void UpdatePopup();

private:
    TDateTime DefaultDate() const;
    /// The date of `text`: the value set while the text is still the one it was shown as; else read
    /// under the format. False when the text holds none.
    bool ReadDate(const std::string& text, TDateTime& date) const;
    void CreatePopup();

    std::string format_;
    QString dialogTitle_ = QString::fromLatin1(SDateDlgCaption);
    bool defaultToday_ = false;
    TColor popupColor_ = clBtnFace;
    bool checkOnExit_ = false;
    char blanksChar_ = ' ';
    std::vector<std::string> hints_;
    TDayOfWeekName startOfWeek_ = TDayOfWeekName::Mon;
    TDaysOfWeek weekends_{TDayOfWeekName::Sun};
    TColor weekendColor_ = clRed;
    TYearDigits yearDigits_ = TYearDigits::dyDefault;
    bool formatting_ = false;
    std::optional<TDateTime> setDate_;
    std::string setText_;
    TFormatSettingsSubscription localeChanges_;
};

/// The date edit as placed on forms; the lookup window's date field.
class TDateEdit : public TCustomDateEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr);
};

} // namespace carlume
