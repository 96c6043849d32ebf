// The month calendar: layout by first day of the week, steps and their range ends, keys, clicks and the
// read-only rule, and its look; and the drop-down calendar in a combo edit: the value handed in and out, its
// keys, which clicks close it, its buttons, and its look when dropped.

#include "components/pick_date.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "platform/gui/form.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

const TDateTime kToday = D(2026, 3, 15); // a Sunday

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

TEST(Calendar, PlacesTheMonthByTheFirstDayOfTheWeekWithTheLocalesDayNames)
{
    const struct {
        const char* name;
        TDateTime date;
        TDayOfWeekName start;
        int offset, firstCol, firstRow, lastCol, lastRow;
        const char *header0, *header6;
    } rows[] = {{"Feb2015_Sunday_first_fills_four_rows", D(2015, 2, 10), TDayOfWeekName::Sun, 1, 0, 1, 6, 4,
                 "So", "Sa"},
                {"Mar2015_Monday_first_starts_in_the_last_column", D(2015, 3, 31), TDayOfWeekName::Mon, -5, 6,
                 1, 1, 6, "Mo", "So"}};
    TFormatSettings german = USFormatSettings();
    german.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    const ScopedFormatSettings locale(german);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f(row.date, row.start);
        TUiCalendar& cal = f.calendar;
        EXPECT_EQ(cal.MonthOffset(), row.offset);
        EXPECT_EQ(cal.GetCellText(row.firstCol, row.firstRow), QStringLiteral("1"));
        EXPECT_EQ(cal.GetCellText(row.lastCol, row.lastRow), QString::number(cal.DaysThisMonth()));
        EXPECT_EQ(cal.GetCellText(0, 0), QString::fromLatin1(row.header0));
        EXPECT_EQ(cal.GetCellText(6, 0), QString::fromLatin1(row.header6));
        EXPECT_EQ(cal.GetCellText(cal.Col(), cal.Row()), QString::number(cal.Day())) << "the date's cell";
    }
    Fixture f(D(2015, 3, 1));
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

class CalendarSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(CalendarSteps, MoveTheDateAndAnnounceEachChange)
{
    const StepCase& c = GetParam();
    Fixture f(c.From);
    EXPECT_NO_THROW(c.Step(f.calendar));
    EXPECT_EQ(f.calendar.CalendarDate(), c.To);
    EXPECT_EQ(f.changes, c.Changes);
}

std::function<void(TUiCalendar&)> Key(TVirtualKey key, TShiftState shift = 0)
{
    return [=](TUiCalendar& c) {
        TVirtualKey k = key;
        c.KeyDown(k, shift);
    };
}

const auto kNextMonth = [](TUiCalendar& c) { c.NextMonth(); };
const auto kPrevMonth = [](TUiCalendar& c) { c.PrevMonth(); };
const auto kNextYear = [](TUiCalendar& c) { c.NextYear(); };
const auto kPrevYear = [](TUiCalendar& c) { c.PrevYear(); };
const auto kTwoNextMonths = [](TUiCalendar& c) {
    c.NextMonth();
    c.NextMonth();
};
const auto kBadElements = [](TUiCalendar& c) {
    c.SetMonth(13);
    c.SetDay(0);
    c.SetDay(32);
};

// At the ends of the date range the step is ignored and the date stays valid.
INSTANTIATE_TEST_SUITE_P(
    Steps, CalendarSteps,
    ::testing::ValuesIn(std::vector<StepCase>{
        {"NextMonth_shortens_the_day", D(2015, 1, 31), kNextMonth, D(2015, 2, 28), 1},
        {"NextMonth_twice_keeps_the_shortened_day", D(2015, 1, 31), kTwoNextMonths, D(2015, 3, 28), 2},
        {"PrevMonth_into_a_leap_February", D(2016, 3, 31), kPrevMonth, D(2016, 2, 29), 1},
        {"NextMonth_across_the_year", D(2015, 12, 15), kNextMonth, D(2016, 1, 15), 1},
        {"NextYear_from_29_February", D(2016, 2, 29), kNextYear, D(2017, 2, 28), 2},
        {"PrevYear_from_29_February", D(2016, 2, 29), kPrevYear, D(2015, 2, 28), 2},
        {"Left_on_the_first", D(2015, 3, 1), Key(VK_LEFT), D(2015, 2, 28), 1},
        {"Keypad_plus_on_the_last", D(2015, 2, 28), Key(VK_ADD), D(2015, 3, 1), 1},
        {"Shift_Left_goes_to_the_grid", D(2015, 3, 3), Key(VK_LEFT, ssShift), D(2015, 3, 2), 1},
        {"Shift_Left_stays_in_the_row", D(2015, 3, 2), Key(VK_LEFT, ssShift), D(2015, 3, 2), 0},
        {"Down_never_leaves_the_month", D(2015, 3, 25), Key(VK_DOWN), D(2015, 3, 25), 0},
        {"Same_date_written_again", D(2015, 3, 30), [](TUiCalendar& c) { c.SetCalendarDate(D(2015, 3, 30)); },
         D(2015, 3, 30), 0},
        {"Month_13_and_day_0_are_ignored", D(2015, 3, 30), kBadElements, D(2015, 3, 30), 0},
        {"PrevMonth_at_year_1", D(1, 1, 15), kPrevMonth, D(1, 1, 15), 0},
        {"PrevYear_at_year_1", D(1, 1, 15), kPrevYear, D(1, 1, 15), 0},
        {"Keypad_minus_on_1_January_0001", D(1, 1, 1), Key(VK_SUBTRACT), D(1, 1, 1), 0},
        {"NextMonth_at_year_9999", D(9999, 12, 31), kNextMonth, D(9999, 12, 31), 0},
        {"NextYear_at_year_9999", D(9999, 12, 31), kNextYear, D(9999, 12, 31), 0},
        {"Right_on_31_December_9999", D(9999, 12, 31), Key(VK_RIGHT), D(9999, 12, 31), 0},
        {"Year_10000_written", D(9999, 6, 1), [](TUiCalendar& c) { c.SetYear(10000); }, D(9999, 6, 1), 0}}),
    ByName);

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
    const ScopedClock clock(kToday + 0.5);
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
    const ScopedClock clock(kToday + 0.5);
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
    const ScopedClock clock(kToday + 0.5);
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

// --- the drop-down calendar in a combo edit ----------------------------------------------------------------

// A combo edit with the popup calendar wired in, as the date edit does it.
class DateCombo : public TCustomComboEdit {
public:
    explicit DateCombo(QWidget* parent)
        : TCustomComboEdit(parent)
        , popup(CreatePopupCalendar(this))
    {
        SetPopup(popup);
        popup->OnCloseUp = [this](TPopupWindow* sender, bool accept) { PopupCloseUp(sender, accept); };
        OnChange = [this] { ++changes; };
    }
    TPopupCalendar* popup;
    int changes = 0;
};

struct Dropped {
    Dropped()
    {
        auto* layout = new QVBoxLayout(&form);
        combo = new DateCombo(&form);
        layout->addWidget(combo);
        layout->addWidget(new QLabel(QStringLiteral("Effective date"), &form));
        form.resize(220, 90);
        form.move(40, 40);
        form.show();
        QApplication::setActiveWindow(&form);
        combo->setFocus();
        combo->SetText("3/4/2026");
        combo->changes = 0;
    }
    TUiCalendar& Cal() { return combo->popup->Calendar(); }
    bool Open() const { return combo->GetPopupVisible(); }
    QPoint CellMiddle(int col, int row)
    {
        const TRect r = Cal().CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void Drop() { QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier); }

    const ScopedFormatSettings locale{USFormatSettings()};
    const ScopedClock clock{kToday + 0.25};
    TForm form;
    DateCombo* combo;
};

// What the popup shows for the edit's value; March is named in German, the text is read in the locale's
// order.
TEST(PopupCalendar, ShowsTheDateOrTodayAndAlwaysSetsTheTitle)
{
    const TPopupValue kDate = TPopupValue::FromDate(D(2016, 2, 29));
    const struct {
        const char* name;
        const char* format;
        char separator;
        TPopupValue value;
        TDateTime shown;
        const char* title;
    } rows[] = {
        {"empty", "M/d/yyyy", '/', TPopupValue(), kToday, "M\xC3\xA4rz, 2026"},
        {"null", "M/d/yyyy", '/', TPopupValue::Null(), kToday, "M\xC3\xA4rz, 2026"},
        {"blank_mask_text", "M/d/yyyy", '/', TPopupValue::FromText("  /  /    "), kToday,
         "M\xC3\xA4rz, 2026"},
        {"NullDate_opens_on_today", "M/d/yyyy", '/', TPopupValue::FromDate(NullDate), kToday,
         "M\xC3\xA4rz, 2026"},
        {"no_date", "M/d/yyyy", '/', TPopupValue::FromText("13/45/2026"), kToday, "M\xC3\xA4rz, 2026"},
        {"a_date", "M/d/yyyy", '/', kDate, D(2016, 2, 29), "February, 2016"},
        {"a_text", "M/d/yyyy", '/', TPopupValue::FromText("7/4/1999"), D(1999, 7, 4), "July, 1999"},
        {"day_first", "dd.MM.yyyy", '.', TPopupValue::FromText("18.03.2026"), D(2026, 3, 18),
         "M\xC3\xA4rz, 2026"},
        {"year_first", "yyyy-MM-dd", '-', TPopupValue::FromText("2026-03-18"), D(2026, 3, 18),
         "M\xC3\xA4rz, 2026"}};
    const ScopedClock clock(kToday + 0.25);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TFormatSettings settings = USFormatSettings();
        settings.ShortDateFormat = row.format;
        settings.DateSeparator = row.separator;
        settings.LongMonthNames[2] = "M\xC3\xA4rz";
        const ScopedFormatSettings locale(settings);
        QWidget owner;
        TPopupCalendar* popup = CreatePopupCalendar(&owner);
        popup->SetValue(row.value);
        EXPECT_EQ(popup->Calendar().CalendarDate(), row.shown);
        EXPECT_EQ(popup->TitleLabel().text(), QString::fromUtf8(row.title));
        EXPECT_EQ(popup->GetValue().ToDateTime(), row.shown);
    }
}

TEST(PopupCalendar, KeysStepMonthsYearsAndDays)
{
    const ScopedFormatSettings locale(USFormatSettings());
    QWidget owner;
    TPopupCalendar* popup = CreatePopupCalendar(&owner);
    popup->SetValue(TPopupValue::FromDate(D(2016, 2, 29)));
    const auto key = [&](TVirtualKey k, TShiftState shift = 0) { popup->KeyDown(k, shift); };
    const auto chr = [&](char c) {
        QChar ch = QLatin1Char(c);
        popup->KeyPress(ch);
    };
    key(VK_PRIOR, ssCtrl);
    EXPECT_EQ(popup->Calendar().CalendarDate(), D(2015, 2, 28));
    EXPECT_EQ(popup->TitleLabel().text(), QStringLiteral("February, 2015"));
    key(VK_NEXT);
    EXPECT_EQ(popup->Calendar().CalendarDate(), D(2015, 3, 28)) << "a month, not a page of the grid";
    chr('+');
    chr('-');
    EXPECT_EQ(popup->Calendar().CalendarDate(), D(2015, 3, 28));
    key(VK_ADD);
    EXPECT_EQ(popup->Calendar().CalendarDate(), D(2015, 3, 29));
    key(VK_UP);
    EXPECT_EQ(popup->Calendar().CalendarDate(), D(2015, 3, 22));
}

struct ClickCase {
    std::string Name;
    std::string Target; // "cell" (At is column and row), "title", "panel", "frame" (the popup's border and
                        // bevel) or "next" (the next-month button)
    QPoint At;
    bool StaysOpen;
    TDateTime Date;
    Qt::MouseButton Button = Qt::LeftButton;
    Qt::KeyboardModifiers Modifiers = {};
    bool Double = false;
};

class PopupClicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(PopupClicks, OnlyAPlainLeftClickOnADayCloses)
{
    const ClickCase& c = GetParam();
    Dropped f;
    f.Drop();
    ASSERT_TRUE(f.Open());
    ASSERT_EQ(f.Cal().CalendarDate(), D(2026, 3, 4));
    QLabel& title = f.combo->popup->TitleLabel();
    QWidget* target = c.Target == "cell"    ? &f.Cal()
                      : c.Target == "title" ? &title
                      : c.Target == "panel" ? title.parentWidget()
                      : c.Target == "frame" ? static_cast<QWidget*>(f.combo->popup)
                                            : &f.combo->popup->Button(2);
    const QPoint at = c.Target == "cell" ? f.CellMiddle(c.At.x(), c.At.y()) : c.At;
    if (c.Double)
        QTest::mouseDClick(target, c.Button, c.Modifiers, at);
    else
        QTest::mouseClick(target, c.Button, c.Modifiers, at);
    EXPECT_EQ(f.Open(), c.StaysOpen);
    EXPECT_EQ(f.Cal().CalendarDate(), c.Date);
    EXPECT_EQ(title.text(),
              c.Date == D(2026, 4, 4) ? QStringLiteral("April, 2026") : QStringLiteral("March, 2026"));
    EXPECT_TRUE(f.combo->hasFocus());
    EXPECT_EQ(QApplication::activeWindow(), &f.form);
    EXPECT_EQ(f.combo->Text(), c.StaysOpen ? "3/4/2026" : "3/18/2026");
    EXPECT_EQ(f.combo->changes, c.StaysOpen ? 0 : 1);
}

// March 2026, weeks from Monday: the 18th in column 2 of row 4; column 0 of row 1 is empty.
INSTANTIATE_TEST_SUITE_P(
    Clicks, PopupClicks,
    ::testing::ValuesIn(std::vector<ClickCase>{
        {"left_on_a_day", "cell", {2, 4}, false, D(2026, 3, 18)},
        {"shift_left_no_close", "cell", {2, 4}, true, D(2026, 3, 18), Qt::LeftButton, Qt::ShiftModifier},
        {"right_changes_nothing", "cell", {2, 4}, true, D(2026, 3, 4), Qt::RightButton},
        {"day_names", "cell", {3, 0}, true, D(2026, 3, 4)},
        {"empty_cell", "cell", {0, 1}, true, D(2026, 3, 4)},
        {"title", "title", {10, 5}, true, D(2026, 3, 4)},
        {"top_panel_between_the_buttons", "panel", {27, 8}, true, D(2026, 3, 4)},
        {"left_border", "frame", {0, 60}, true, D(2026, 3, 4)},
        {"left_bevel", "frame", {1, 60}, true, D(2026, 3, 4)},
        {"bottom_border", "frame", {90, 123}, true, D(2026, 3, 4)},
        {"next_month_button", "next", {7, 7}, true, D(2026, 4, 4)},
        {"title_double_click_goes_to_today", "title", {10, 5}, true, kToday, Qt::LeftButton, {}, true}}),
    ByName);

TEST(PopupCalendar, ClosingMidPressStopsTheRepeat)
{
    Dropped f;
    f.Drop();
    TUiTimerSpeedButton& next = f.combo->popup->Button(3);
    QTest::mousePress(&next, Qt::LeftButton, {}, QPoint(7, 7));
    auto* timer = next.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    QTest::keyClick(f.combo, Qt::Key_Escape);
    EXPECT_FALSE(f.Open());
    EXPECT_FALSE(timer->isActive());
}

TEST(PopupCalendar, LayoutHintsAndSettings)
{
    Dropped f;
    TPopupCalendar& popup = *f.combo->popup;
    EXPECT_EQ(popup.size(), QSize(187, 124));
    EXPECT_EQ(popup.Button(0).toolTip(), QStringLiteral("Previous Year"));
    EXPECT_EQ(popup.Button(3).geometry(), QRect(183 - 13, -1, 14, 14));
    const std::vector<std::string> hints{"A", "", "C", "D", "E"};
    SetupPopupCalendar(&popup, TDayOfWeekName::Sun, {TDayOfWeekName::Sat}, clBlue, &hints, true);
    EXPECT_EQ(popup.Button(0).toolTip(), QStringLiteral("A"));
    EXPECT_EQ(popup.Button(1).toolTip(), QStringLiteral("Previous Month")) << "an empty line keeps the hint";
    EXPECT_EQ(popup.Button(3).toolTip(), QStringLiteral("D"));
    EXPECT_EQ(popup.Calendar().StartOfWeek(), TDayOfWeekName::Sun);
    EXPECT_TRUE(popup.Calendar().IsWeekend(6, 0));
}

struct FontCase {
    std::string Name;
    const char* Family;
    int Pixels; // of the desktop's font
};

class PopupCalendarFont : public ::testing::TestWithParam<FontCase> {};

// Whatever the desktop's font, the dropped calendar keeps its size, and every day name and number stays
// inside its cell with a pixel to spare on each side (no "WedThu"); the month fits the title.
TEST_P(PopupCalendarFont, FitsItsCellsAtItsSize)
{
    const FontCase& c = GetParam();
    const QFont before = QApplication::font();
    QFont desktop(QString::fromLatin1(c.Family));
    desktop.setPixelSize(c.Pixels);
    QApplication::setFont(desktop);
    {
        Dropped f;
        f.combo->SetText("9/4/2026"); // the widest month name
        f.Drop();
        ASSERT_TRUE(f.Open());
        TPopupCalendar& popup = *f.combo->popup;
        EXPECT_EQ(popup.size(), QSize(187, 124));
        const QImage image = RenderWidget(popup.Calendar());
        SaveTestImage(image, "popup_font_" + c.Name + ".png");
        // Row 0 holds the day names; row 4 the 21st to the 27th, none of them current or today.
        for (int row : {0, 4}) {
            for (int col = 0; col < 7; ++col) {
                SCOPED_TRACE(testing::Message() << "cell " << col << ", " << row);
                const QRect cell = f.Cal().CellRect(col, row).ToQRect();
                const QRect ink = InkBounds(image, cell, clBtnFace);
                ASSERT_FALSE(ink.isEmpty());
                EXPECT_GT(ink.left(), cell.left());
                EXPECT_LT(ink.right(), cell.right());
                EXPECT_GT(ink.top(), cell.top());
                EXPECT_LT(ink.bottom(), cell.bottom());
            }
        }
        const QLabel& title = popup.TitleLabel();
        EXPECT_LE(QFontMetrics(title.font()).horizontalAdvance(title.text()), title.width());
        EXPECT_LE(QFontInfo(title.font()).pixelSize(), c.Pixels) << "never larger than the desktop's";
    }
    QApplication::setFont(before);
}

INSTANTIATE_TEST_SUITE_P(Desktops, PopupCalendarFont,
                         ::testing::Values(FontCase{"DejaVu9pt", "DejaVu Sans", 12},
                                           FontCase{"DejaVuLarge", "DejaVu Sans", 18},
                                           FontCase{"Liberation9pt", "Liberation Sans", 12},
                                           FontCase{"LiberationLarge", "Liberation Sans", 18}),
                         ByName);

TEST(PopupCalendar, ASmallDesktopFontIsKept)
{
    const QFont before = QApplication::font();
    QFont desktop(QStringLiteral("Liberation Sans"));
    desktop.setPixelSize(9);
    QApplication::setFont(desktop);
    {
        QWidget owner;
        TPopupCalendar* popup = CreatePopupCalendar(&owner);
        EXPECT_EQ(QFontInfo(popup->TitleLabel().font()).pixelSize(), 9);
        EXPECT_EQ(popup->Calendar().Font().ToQFont().pixelSize(), 9);
    }
    QApplication::setFont(before);
}

TEST(PopupCalendar, DroppedBelowTheEdit)
{
    Dropped f;
    f.combo->SetText("3/18/2026");
    f.Drop();
    ASSERT_TRUE(f.Open());
    const QPoint below = f.combo->mapToGlobal(QPoint(0, f.combo->height()));
    EXPECT_EQ(f.combo->popup->pos().y(), below.y());
    EXPECT_EQ(f.combo->popup->geometry().right(), f.combo->mapToGlobal(QPoint(f.combo->width() - 1, 0)).x());

    // The window with the popup over it, as the user sees them.
    const QImage window = RenderWidget(f.form);
    const QImage popup = RenderWidget(*f.combo->popup);
    const QPoint formAt = f.form.mapToGlobal(QPoint(0, 0));
    const QRect all = QRect(formAt, window.size()).united(f.combo->popup->geometry());
    QImage scene(all.size(), QImage::Format_ARGB32);
    scene.fill(Qt::darkGray);
    {
        QPainter painter(&scene);
        painter.drawImage(formAt - all.topLeft(), window);
        painter.drawImage(f.combo->popup->pos() - all.topLeft(), popup);
    }
    SaveTestImage(scene, "dropped_popup.png");
    SaveTestImage(popup, "popup_calendar.png");
    EXPECT_GT(CountPixels(popup, QRect(0, 0, 187, 124), clRed), 0) << "Sundays in red";
}

} // namespace
} // namespace carlume::test
