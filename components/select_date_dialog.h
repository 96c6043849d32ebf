#pragma once

// The date dialog: a small modal window with the month title between the four month and year buttons,
// a month grid, and OK and Cancel. Built in code; `SelectDate` shows it and hands back the date.

#include "components/date_util.h"
#include "components/pick_date.h"
#include "platform/date_time.h"
#include "platform/gui/color.h"
#include "platform/gui/form.h"

#include <QString>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace carlume {

/// Caption of the dialog.
inline constexpr const char* SDateDlgCaption = "Select a Date";

class TSelectDateDlg : public TForm {
    Q_OBJECT
public:
    /// The dialog on today, client area 222 x 154, centred on the screen.
    explicit TSelectDateDlg(QWidget* owner = nullptr);

    /// `NullDate` means today; a value that is no date means today as well.
    void SetDate(TDateTime date);
    /// The calendar date.
    TDateTime GetDate() const;

    TUiCalendar& Calendar() { return *calendar_; }
    QLabel& TitleLabel() { return *title_; }
    /// Button 0 previous year, 1 previous month, 2 next month, 3 next year.
    TUiTimerSpeedButton& Button(int index) { return *buttons_.at(static_cast<std::size_t>(index)); }
    /// The hint of a button: the text up to "|" is the tooltip.
    void SetButtonHint(int index, const QString& hint);

    void PrevMonthBtnClick();
    void NextMonthBtnClick();
    void PrevYearBtnClick();
    void NextYearBtnClick();
    /// The title follows the calendar date.
    void CalendarChange();
    /// A double click on a day ends the dialog with OK.
    void CalendarDblClick();
    /// A double click on the title goes to today.
    void TopPanelDblClick();
    /// Sees every key first: Esc and Enter end the dialog, Tab and Shift+Tab step a month (the focus moves
    /// on as well), PageUp and PageDown a month, with Ctrl a year. A page key that stepped goes no further.
    void FormKeyDown(TVirtualKey& key, TShiftState shift);

private:
    void Step(void (TUiCalendar::*step)());

    TUiCalendar* calendar_ = nullptr;
    QLabel* title_ = nullptr;
    std::array<TUiTimerSpeedButton*, 4> buttons_{};
};

/// The dialog with `caption` (when not empty) in place of its own.
TSelectDateDlg* CreateDateDialog(const QString& caption);

/// Shows the date dialog on `date` (today for `NullDate`) with the given calendar settings and the
/// non-empty lines among the first four of `hints` as button hints. True, and `date` set, when the user
/// chose OK; `date` is left alone otherwise.
bool SelectDate(TDateTime& date, const QString& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                TColor weekendColor, const std::vector<std::string>* hints);

} // namespace carlume
