// The drop-down calendar in a combo edit: the value handed in and out, its keys, which clicks close it,
// its buttons, and its look when dropped.

#include "components/pick_date.h"

#include "platform/format_settings.h"
#include "platform/gui/form.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace carlume::test {
namespace {

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

const TDateTime kToday = D(2026, 3, 15);

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

struct Fixture {
    Fixture()
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

struct ValueCase {
    std::string Name;
    TPopupValue Value;
    TDateTime Shown;
    QString Title;
};

class PopupValueIn : public ::testing::TestWithParam<ValueCase> {};

TEST_P(PopupValueIn, ShowsTheDateOrTodayAndAlwaysSetsTheTitle)
{
    const ScopedFormatSettings locale(USFormatSettings());
    const ScopedClock clock(kToday + 0.25);
    QWidget owner;
    TPopupCalendar* popup = CreatePopupCalendar(&owner);
    popup->SetValue(GetParam().Value);
    EXPECT_EQ(popup->Calendar().CalendarDate(), GetParam().Shown);
    EXPECT_EQ(popup->TitleLabel().text(), GetParam().Title);
    EXPECT_EQ(popup->GetValue().ToDateTime(), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PopupValueIn,
    ::testing::Values(
        ValueCase{"empty", TPopupValue(), kToday, QStringLiteral("March, 2026")},
        ValueCase{"null", TPopupValue::Null(), kToday, QStringLiteral("March, 2026")},
        ValueCase{"blank_mask_text", TPopupValue::FromText("  /  /    "), kToday,
                  QStringLiteral("March, 2026")},
        ValueCase{"NullDate_opens_on_today", TPopupValue::FromDate(NullDate), kToday,
                  QStringLiteral("March, 2026")},
        ValueCase{"no_date", TPopupValue::FromText("13/45/2026"), kToday, QStringLiteral("March, 2026")},
        ValueCase{"today_itself", TPopupValue::FromDate(kToday), kToday, QStringLiteral("March, 2026")},
        ValueCase{"a_date", TPopupValue::FromDate(D(2016, 2, 29)), D(2016, 2, 29),
                  QStringLiteral("February, 2016")},
        ValueCase{"a_text", TPopupValue::FromText("7/4/1999"), D(1999, 7, 4), QStringLiteral("July, 1999")}),
    [](const auto& row) { return row.param.Name; });

struct LocaleCase {
    std::string Name;
    std::string ShortDateFormat;
    char Separator;
    std::string Text;
};

class PopupValueLocale : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(PopupValueLocale, ReadsTheTextInTheLocalesOrderAndNamesTheMonth)
{
    TFormatSettings settings = USFormatSettings();
    settings.ShortDateFormat = GetParam().ShortDateFormat;
    settings.DateSeparator = GetParam().Separator;
    settings.LongMonthNames[2] = "M\xC3\xA4rz";
    const ScopedFormatSettings locale(settings);
    QWidget owner;
    TPopupCalendar* popup = CreatePopupCalendar(&owner);
    popup->SetValue(TPopupValue::FromText(GetParam().Text));
    EXPECT_EQ(popup->Calendar().CalendarDate(), D(2026, 3, 18));
    EXPECT_EQ(popup->TitleLabel().text(), QStringLiteral("M\u00E4rz, 2026"));
}

INSTANTIATE_TEST_SUITE_P(Orders, PopupValueLocale,
                         ::testing::Values(LocaleCase{"month_first", "M/d/yyyy", '/', "3/18/2026"},
                                           LocaleCase{"day_first", "dd.MM.yyyy", '.', "18.03.2026"},
                                           LocaleCase{"year_first", "yyyy-MM-dd", '-', "2026-03-18"}),
                         [](const auto& row) { return row.param.Name; });

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
    std::function<void(Fixture&)> Click;
    bool StaysOpen;
    TDateTime Date;
};

class PopupClicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(PopupClicks, OnlyAPlainLeftClickOnADayCloses)
{
    Fixture f;
    f.Drop();
    ASSERT_TRUE(f.Open());
    ASSERT_EQ(f.Cal().CalendarDate(), D(2026, 3, 4));
    GetParam().Click(f);
    EXPECT_EQ(f.Open(), GetParam().StaysOpen);
    EXPECT_EQ(f.Cal().CalendarDate(), GetParam().Date);
    EXPECT_TRUE(f.combo->hasFocus());
    EXPECT_EQ(QApplication::activeWindow(), &f.form);
    const bool accepted = !GetParam().StaysOpen;
    EXPECT_EQ(f.combo->Text(), accepted ? "3/18/2026" : "3/4/2026");
    EXPECT_EQ(f.combo->changes, accepted ? 1 : 0);
}

// March 2026, weeks from Monday: the 18th in column 2 of row 4; column 0 of row 1 is empty.
INSTANTIATE_TEST_SUITE_P(
    Clicks, PopupClicks,
    ::testing::Values(
        ClickCase{"left_on_a_day",
                  [](Fixture& f) { QTest::mouseClick(&f.Cal(), Qt::LeftButton, {}, f.CellMiddle(2, 4)); },
                  false, D(2026, 3, 18)},
        ClickCase{"shift_left_sets_the_day_and_stays",
                  [](Fixture& f) {
                      QTest::mouseClick(&f.Cal(), Qt::LeftButton, Qt::ShiftModifier, f.CellMiddle(2, 4));
                  },
                  true, D(2026, 3, 18)},
        ClickCase{"right_changes_nothing",
                  [](Fixture& f) { QTest::mouseClick(&f.Cal(), Qt::RightButton, {}, f.CellMiddle(2, 4)); },
                  true, D(2026, 3, 4)},
        ClickCase{"day_names",
                  [](Fixture& f) { QTest::mouseClick(&f.Cal(), Qt::LeftButton, {}, f.CellMiddle(3, 0)); },
                  true, D(2026, 3, 4)},
        ClickCase{"empty_cell",
                  [](Fixture& f) { QTest::mouseClick(&f.Cal(), Qt::LeftButton, {}, f.CellMiddle(0, 1)); },
                  true, D(2026, 3, 4)},
        ClickCase{"title",
                  [](Fixture& f) {
                      QTest::mouseClick(&f.combo->popup->TitleLabel(), Qt::LeftButton, {}, QPoint(10, 5));
                  },
                  true, D(2026, 3, 4)},
        ClickCase{"top_panel_between_the_buttons",
                  [](Fixture& f) {
                      QWidget* panel = f.combo->popup->TitleLabel().parentWidget();
                      QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(27, 8));
                  },
                  true, D(2026, 3, 4)},
        ClickCase{"next_month_button",
                  [](Fixture& f) {
                      TUiTimerSpeedButton& next = f.combo->popup->Button(2);
                      QTest::mouseClick(&next, Qt::LeftButton, {}, QPoint(7, 7));
                      EXPECT_EQ(f.combo->popup->TitleLabel().text(), QStringLiteral("April, 2026"));
                  },
                  true, D(2026, 4, 4)},
        ClickCase{"title_double_click_goes_to_today",
                  [](Fixture& f) {
                      QTest::mouseDClick(&f.combo->popup->TitleLabel(), Qt::LeftButton, {}, QPoint(10, 5));
                  },
                  true, kToday}),
    [](const auto& row) { return row.param.Name; });

TEST(PopupCalendar, ClosingMidPressStopsTheRepeat)
{
    Fixture f;
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
    Fixture f;
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

TEST(PopupCalendar, DroppedBelowTheEdit)
{
    Fixture f;
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
