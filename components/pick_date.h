#pragma once

// The month calendars: `TUiCalendar`, a 7 x 7 grid of day names and day numbers whose current cell is the
// calendar date; `TLocCalendar`, its borderless variant without keyboard focus that frames today; and
// `TPopupCalendar`, the drop-down calendar of the date edit with its month and year buttons.

#include "components/date_util.h"
#include "components/speed_button.h"
#include "components/tool_edit.h"
#include "platform/date_time.h"
#include "platform/gui/grid.h"

#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QFrame;

namespace carlume {

class TUiCalendar : public TCustomGrid {
    Q_OBJECT
public:
    /// Today, weeks from Monday, Sundays in red.
    explicit TUiCalendar(QWidget* parent = nullptr);

    TDateTime CalendarDate() const { return date_; }
    /// A different date is stored, laid out and announced; a value that is no date raises `EConvertError`.
    void SetCalendarDate(TDateTime value);
    int Day() const { return GetDateElement(3); }
    void SetDay(int value) { SetDateElement(3, value); }
    int Month() const { return GetDateElement(2); }
    void SetMonth(int value) { SetDateElement(2, value); }
    int Year() const { return GetDateElement(1); }
    void SetYear(int value) { SetDateElement(1, value); }

    /// With `ReadOnly` the mouse and the grid's own keys cannot move the current cell.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TDayOfWeekName day);
    bool UseCurrentDate() const { return useCurrentDate_; }
    /// Writing True goes back to today without a change event.
    void SetUseCurrentDate(bool value);
    TColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(TColor color);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek days);

    /// Fired once for every change of the date.
    std::function<void()> OnChange;

    /// Month and year steps; the day is shortened to the length of the new month. Steps that would leave
    /// the years 1..9999 do nothing.
    void PrevMonth() { ChangeMonth(-1); }
    void NextMonth() { ChangeMonth(1); }
    void PrevYear();
    void NextYear();

    /// Lays the month out again and repaints.
    virtual void UpdateCalendar();
    /// Shares the client area out among the 7 x 7 cells, as every resize does.
    void FitCellsToSize();
    /// Days in the calendar date's month.
    int DaysThisMonth() const;
    /// The day name (row 0) or day number of a cell; empty before the 1st and after the last day.
    QString GetCellText(int col, int row) const;
    /// True for the columns of weekend days, the day-name row included.
    bool IsWeekend(int col, int row) const;
    /// The day number that column 0 of row 1 stands for (-5..1).
    int MonthOffset() const { return monthOffset_; }

    /// Left, Right and the keypad plus and minus step a day; other keys go to the grid. Public, so that the
    /// popup can hand on the keys its edit receives.
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    /// "T" and "t" go to today.
    void KeyPress(QChar& key) override;

protected:
    /// Fires `OnChange`.
    virtual void Change();
    bool SelectCell(int col, int row) override;
    void DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state) override;
    void Click() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int GetDateElement(int index) const;
    void SetDateElement(int index, int value);
    void UpdateMonthOffset(bool dayOnly);
    void ChangeMonth(int delta);
    /// A step by whole days; ignored when it would leave the years 1..9999.
    void StepDays(int days);

    TDateTime date_ = 0;
    int monthOffset_ = 1;
    bool readOnly_ = false;
    TDayOfWeekName startOfWeek_ = TDayOfWeekName::Mon;
    bool updating_ = false;
    bool useCurrentDate_ = true;
    TDaysOfWeek weekends_{TDayOfWeekName::Sun};
    TColor weekendColor_ = clRed;
};

/// The calendar of the drop-down: no border, no keyboard focus, no lines but the one under the day names,
/// today framed.
class TLocCalendar : public TUiCalendar {
    Q_OBJECT
public:
    explicit TLocCalendar(QWidget* parent = nullptr);

    /// The cell under a client point, as `MouseCoord` gives it.
    void MouseToCell(int x, int y, int& col, int& row) const { MouseCoord(x, y, col, row); }
    /// The colour of the cells; the day-name row follows it.
    void SetParentColor(TColor color);

protected:
    void DrawCell(TCanvas& canvas, int col, int row, const TRect& rect, TGridDrawState state) override;
};

/// Size of a new popup calendar (at least 180 x 120).
inline TPoint PopupCalendarSize{187, 124};

/// Hint texts of the month and year buttons (the part after "|" is the long hint).
inline constexpr const char* SPrevMonth = "Previous Month|";
inline constexpr const char* SPrevYear = "Previous Year|";
inline constexpr const char* SNextMonth = "Next Month|";
inline constexpr const char* SNextYear = "Next Year|";

/// The font: the desktop's message font, or "MS Sans Serif" 8 points in clWindowText when there is none.
void FontSetDefault(TFont& font);

/// The speed button that repeats its click while held down: after `InitPause`, then every
/// `RepeatInterval`.
class TUiTimerSpeedButton : public TUiSpeedButton {
    Q_OBJECT
public:
    explicit TUiTimerSpeedButton(QWidget* parent = nullptr);
};

/// The drop-down calendar: a title with the month and year between four step buttons, above a
/// `TLocCalendar`. A plain left click on a day closes it, accepting that day.
class TPopupCalendar : public TPopupWindow {
    Q_OBJECT
public:
    explicit TPopupCalendar(QWidget* editor);
    ~TPopupCalendar() override;

    /// The calendar date.
    TPopupValue GetValue() override;
    /// Empty, Null, a blank text or `NullDate` mean today; a value that is no date means today too.
    void SetValue(const TPopupValue& value) override;

    /// PageUp and PageDown step a month (with Ctrl a year); other keys go to the calendar.
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    /// Characters go to the calendar.
    void KeyPress(QChar& key) override;

    TLocCalendar& Calendar() { return *calendar_; }
    QLabel& TitleLabel() { return *title_; }
    /// Button 0 previous year, 1 previous month, 2 next month, 3 next year.
    TUiTimerSpeedButton& Button(int index) { return *buttons_.at(index); }
    /// The hint of a button: the text up to "|" is the tooltip.
    void SetButtonHint(int index, const QString& hint);
    /// The popup's colour; the panels and the calendar take it.
    void SetColor(TColor color);
    TColor Color() const { return color_; }

protected:
    void Paint(TCanvas& canvas) override;
    /// The back panel: the popup's border and the panel's bevel around it are frame.
    QRect ClientRect() const override;
    /// Fits the font to the cells again: the day names or the desktop's font may have changed.
    void showEvent(QShowEvent* event) override;

private:
    void CalendarChange();
    void FitFont();
    void CalendarMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void TopPanelDblClick();
    void CreateButtons(int panelWidth);

    TLocCalendar* calendar_ = nullptr;
    QLabel* title_ = nullptr;
    QFrame* backPanel_ = nullptr;
    QWidget* topPanel_ = nullptr;
    std::array<TUiTimerSpeedButton*, 4> buttons_{};
    TColor color_ = clBtnFace;
    TFont font_;
};

/// A popup calendar owned by `editor`.
TPopupCalendar* CreatePopupCalendar(QWidget* editor);

/// Applies the calendar settings of a date edit to a popup calendar (anything else is left alone): first
/// day of the week, weekend days and colour, and the non-empty lines among the first four of `hints` as
/// the buttons' hints. The year-digit choice does not matter to the popup.
void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                        TColor weekendColor, const std::vector<std::string>* hints, bool fourDigitYear);

} // namespace carlume
