// The month calendar: layout by first day of the week, steps and their range ends, keys, clicks and the
// read-only rule, and its look.

#include "components/pick_date.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "tests/support/image_check.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace carlume::test {
namespace {

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

// A calendar 7 cells of 20 x 16 in size, counting its change events.
struct Fixture {
    explicit Fixture(TDateTime date, TDayOfWeekName start = TDayOfWeekName::Mon)
    {
        calendar.resize(7 * 21 + 1, 7 * 17 + 1);
        calendar.SetStartOfWeek(start);
        calendar.SetCalendarDate(date);
        calendar.OnChange = [this] { ++changes; };
    }
    TUiCalendar calendar;
    int changes = 0;
};

struct LayoutCase {
    std::string Name;
    TDateTime Date;
    TDayOfWeekName Start;
    int Offset;
    int FirstCol, FirstRow, LastCol, LastRow;
    QString Header0, Header6;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.Name;
}

class CalendarLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CalendarLayout, PlacesTheMonthByTheFirstDayOfTheWeek)
{
    const LayoutCase& c = GetParam();
    const ScopedFormatSettings locale(USFormatSettings());
    Fixture f(c.Date, c.Start);
    TUiCalendar& cal = f.calendar;
    EXPECT_EQ(cal.MonthOffset(), c.Offset);
    EXPECT_EQ(cal.GetCellText(c.FirstCol, c.FirstRow), QStringLiteral("1"));
    EXPECT_EQ(cal.GetCellText(c.LastCol, c.LastRow), QString::number(cal.DaysThisMonth()));
    EXPECT_EQ(cal.GetCellText(0, 0), c.Header0);
    EXPECT_EQ(cal.GetCellText(6, 0), c.Header6);
    // The current cell is the date's cell.
    EXPECT_EQ(cal.GetCellText(cal.Col(), cal.Row()), QString::number(cal.Day()));
}

INSTANTIATE_TEST_SUITE_P(Months, CalendarLayout,
                         ::testing::Values(LayoutCase{"Feb2015_Sunday_first_fills_four_rows", D(2015, 2, 10),
                                                      TDayOfWeekName::Sun, 1, 0, 1, 6, 4,
                                                      QStringLiteral("Sun"), QStringLiteral("Sat")},
                                           LayoutCase{"Mar2015_Monday_first_starts_in_the_last_column",
                                                      D(2015, 3, 31), TDayOfWeekName::Mon, -5, 6, 1, 1, 6,
                                                      QStringLiteral("Mon"), QStringLiteral("Sun")}),
                         [](const auto& row) { return row.param.Name; });

TEST(Calendar, DayNamesComeFromTheLocale)
{
    TFormatSettings german = USFormatSettings();
    german.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    const ScopedFormatSettings locale(german);
    Fixture f(D(2015, 3, 1));
    EXPECT_EQ(f.calendar.GetCellText(0, 0), QStringLiteral("Mo"));
    EXPECT_EQ(f.calendar.GetCellText(6, 0), QStringLiteral("So"));
    EXPECT_TRUE(f.calendar.IsWeekend(6, 0));
    f.calendar.SetWeekends({TDayOfWeekName::Sat, TDayOfWeekName::Sun});
    EXPECT_TRUE(f.calendar.IsWeekend(5, 3));
    EXPECT_FALSE(f.calendar.IsWeekend(4, 3));
}

struct StepCase {
    std::string Name;
    TDateTime From;
    std::function<void(TUiCalendar&)> Step;
    TDateTime To;
    int Changes;
};

void PrintTo(const StepCase& c, std::ostream* os)
{
    *os << c.Name;
}

void Key(TUiCalendar& cal, TVirtualKey key, TShiftState shift = 0)
{
    cal.KeyDown(key, shift);
}

class CalendarSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(CalendarSteps, MoveTheDateAndAnnounceEachChange)
{
    const StepCase& c = GetParam();
    Fixture f(c.From);
    EXPECT_NO_THROW(c.Step(f.calendar));
    EXPECT_EQ(f.calendar.CalendarDate(), c.To);
    EXPECT_EQ(f.changes, c.Changes);
}

const auto kNextMonth = [](TUiCalendar& c) { c.NextMonth(); };
const auto kPrevMonth = [](TUiCalendar& c) { c.PrevMonth(); };
const auto kNextYear = [](TUiCalendar& c) { c.NextYear(); };
const auto kPrevYear = [](TUiCalendar& c) { c.PrevYear(); };

INSTANTIATE_TEST_SUITE_P(Steps, CalendarSteps,
                         ::testing::
                             Values(StepCase{"NextMonth_shortens_the_day", D(2015, 1, 31), kNextMonth,
                                             D(2015, 2, 28), 1},
                                    StepCase{"NextMonth_twice_keeps_the_shortened_day", D(2015, 1, 31),
                                             [](TUiCalendar& c) {
                                                 c.NextMonth();
                                                 c.NextMonth();
                                             },
                                             D(2015, 3, 28), 2},
                                    StepCase{"PrevMonth_into_a_leap_February", D(2016, 3, 31), kPrevMonth,
                                             D(2016, 2, 29), 1},
                                    StepCase{"NextMonth_across_the_year", D(2015, 12, 15), kNextMonth,
                                             D(2016, 1, 15), 1},
                                    StepCase{"NextYear_from_29_February", D(2016, 2, 29), kNextYear,
                                             D(2017, 2, 28), 2},
                                    StepCase{"PrevYear_from_29_February", D(2016, 2, 29), kPrevYear,
                                             D(2015, 2, 28), 2},
                                    StepCase{"Left_on_the_first", D(2015, 3, 1),
                                             [](TUiCalendar& c) { Key(c, VK_LEFT); }, D(2015, 2, 28), 1},
                                    StepCase{"Keypad_plus_on_the_last", D(2015, 2, 28),
                                             [](TUiCalendar& c) { Key(c, VK_ADD); }, D(2015, 3, 1), 1},
                                    StepCase{"Shift_Left_goes_to_the_grid", D(2015, 3, 3),
                                             [](TUiCalendar& c) { Key(c, VK_LEFT, ssShift); }, D(2015, 3, 2),
                                             1},
                                    StepCase{"Shift_Left_stays_in_the_row", D(2015, 3, 2),
                                             [](TUiCalendar& c) { Key(c, VK_LEFT, ssShift); }, D(2015, 3, 2),
                                             0},
                                    StepCase{"Down_never_leaves_the_month", D(2015, 3, 25),
                                             [](TUiCalendar& c) { Key(c, VK_DOWN); }, D(2015, 3, 25), 0},
                                    StepCase{"Same_date_written_again", D(2015, 3, 30),
                                             [](TUiCalendar& c) { c.SetCalendarDate(D(2015, 3, 30)); },
                                             D(2015, 3, 30), 0},
                                    StepCase{"Month_13_and_day_0_are_ignored", D(2015, 3, 30),
                                             [](TUiCalendar& c) {
                                                 c.SetMonth(13);
                                                 c.SetDay(0);
                                                 c.SetDay(32);
                                             },
                                             D(2015, 3, 30), 0},
                                    // The ends of the date range: the step is ignored and the date stays
                                    // valid.
                                    StepCase{"PrevMonth_at_year_1", D(1, 1, 15), kPrevMonth, D(1, 1, 15), 0},
                                    StepCase{"PrevYear_at_year_1", D(1, 1, 15), kPrevYear, D(1, 1, 15), 0},
                                    StepCase{"Left_on_1_January_0001", D(1, 1, 1),
                                             [](TUiCalendar& c) { Key(c, VK_LEFT); }, D(1, 1, 1), 0},
                                    StepCase{"Keypad_minus_on_1_January_0001", D(1, 1, 1),
                                             [](TUiCalendar& c) { Key(c, VK_SUBTRACT); }, D(1, 1, 1), 0},
                                    StepCase{"NextMonth_at_year_9999", D(9999, 12, 31), kNextMonth,
                                             D(9999, 12, 31), 0},
                                    StepCase{"NextYear_at_year_9999", D(9999, 12, 31), kNextYear,
                                             D(9999, 12, 31), 0},
                                    StepCase{"Right_on_31_December_9999", D(9999, 12, 31),
                                             [](TUiCalendar& c) { Key(c, VK_RIGHT); }, D(9999, 12, 31), 0},
                                    StepCase{"Year_10000_written", D(9999, 6, 1),
                                             [](TUiCalendar& c) { c.SetYear(10000); }, D(9999, 6, 1), 0}),
                         [](const auto& row) { return row.param.Name; });

TEST(Calendar, AYearWriteFrom29FebruaryToACommonYearFailsAndChangesNothing)
{
    Fixture f(D(2016, 2, 29));
    EXPECT_THROW(f.calendar.SetYear(2017), EConvertError);
    EXPECT_EQ(f.calendar.CalendarDate(), D(2016, 2, 29));
    EXPECT_EQ(f.changes, 0);
}

// Clicks with the real mouse: cell (col, row) of 21 x 17 pixels including its grid lines.
void ClickCell(TUiCalendar& cal, int col, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const TRect r = cal.CellRect(col, row);
    QTest::mouseClick(&cal, Qt::LeftButton, modifiers,
                      QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

TEST(Calendar, ClicksAndKeysFollowTheReadOnlyRule)
{
    const ScopedClock clock(D(2026, 3, 15) + 0.5);
    Fixture f(D(2015, 3, 10)); // Monday first: the 1st in column 6 of row 1
    f.calendar.show();
    ClickCell(f.calendar, 3, 0); // day names
    ClickCell(f.calendar, 0, 1); // empty
    EXPECT_EQ(f.changes, 0);
    ClickCell(f.calendar, 2, 3); // the 11th
    EXPECT_EQ(f.calendar.CalendarDate(), D(2015, 3, 11));
    ClickCell(f.calendar, 2, 3);
    EXPECT_EQ(f.changes, 1) << "a click on the date itself changes nothing";

    f.calendar.SetReadOnly(true);
    ClickCell(f.calendar, 0, 2);
    QTest::keyClick(&f.calendar, Qt::Key_Up);
    EXPECT_EQ(f.calendar.CalendarDate(), D(2015, 3, 11)) << "mouse and grid keys are held";
    QTest::keyClick(&f.calendar, Qt::Key_Right);
    EXPECT_EQ(f.calendar.CalendarDate(), D(2015, 3, 12));
    QTest::keyClick(&f.calendar, Qt::Key_T);
    EXPECT_EQ(f.calendar.CalendarDate(), D(2026, 3, 15));
    EXPECT_EQ(f.changes, 3);
}

TEST(Calendar, UseCurrentDateIsClearedByElementWritesOnly)
{
    const ScopedClock clock(D(2026, 3, 15) + 0.5);
    Fixture f(D(2015, 3, 10));
    EXPECT_TRUE(f.calendar.UseCurrentDate()) << "a CalendarDate write keeps it";
    f.calendar.SetDay(11);
    EXPECT_FALSE(f.calendar.UseCurrentDate());
    f.calendar.SetUseCurrentDate(true);
    EXPECT_EQ(f.calendar.CalendarDate(), D(2026, 3, 15));
    EXPECT_EQ(f.changes, 1) << "the reset to today is not announced";
}

TEST(Calendar, DrawsWeekendsTodayAndTheCurrentCell)
{
    const ScopedFormatSettings locale(USFormatSettings());
    const ScopedClock clock(D(2026, 3, 15) + 0.5); // a Sunday
    TLocCalendar loc;
    loc.resize(183, 102);
    loc.SetCalendarDate(D(2026, 3, 18));
    const QImage image = RenderWidget(loc);
    SaveTestImage(image, "loc_calendar.png");
    // Today (the 15th, Sunday, column 6 of row 3) is framed: shadow top-left, highlight bottom-right.
    const TRect today = loc.CellRect(6, 3);
    const TRect current = loc.CellRect(2, 4);
    EXPECT_TRUE(PixelsAre(image,
                          {{today.Left, today.Top + 3, clBtnShadow, "today's frame, left"},
                           {today.Right - 1, today.Top + 3, clBtnHighlight, "today's frame, right"},
                           {current.Left + 1, current.Top + 1, clHighlight, "the current cell"}},
                          "loc_calendar"));
    const TRect sunday = loc.CellRect(6, 0);
    EXPECT_GT(CountPixels(image, sunday.ToQRect(), clRed), 0) << "the weekend's day name in red";
    EXPECT_EQ(CountPixels(image, loc.CellRect(5, 0).ToQRect(), clRed), 0);

    TUiCalendar plain;
    plain.resize(7 * 30 + 2, 7 * 20 + 2);
    plain.SetCalendarDate(D(2026, 3, 18));
    SaveTestImage(RenderWidget(plain), "ui_calendar.png");
}

} // namespace
} // namespace carlume::test
