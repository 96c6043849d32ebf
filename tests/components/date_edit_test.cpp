// The date edit driven by typed keys and clicks: every date order and year width, the two-digit-year
// window, empty, partial and unreadable text, the keys with the calendar open and closed, the dialog
// style, the exit check, and its look.

#include "components/date_edit.h"

#include "components/select_date_dialog.h"
#include "platform/gui/form.h"
#include "tests/support/fake_services.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_error_dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

const auto kName = [](const auto& row) { return row.param.Name; };
const TDateTime kToday = D(2026, 12, 6);

struct Locale {
    std::string ShortDateFormat;
    char Separator;
    bool FourDigits;
};
const Locale kUS{"M/d/yyyy", '/', true};
const Locale kGerman{"dd.MM.yyyy", '.', true};
const Locale kIso{"yyyy-MM-dd", '-', true};
const Locale kBritish{"dd/MM/yy", '/', false};

TFormatSettings SettingsOf(const Locale& locale)
{
    TFormatSettings settings = USFormatSettings();
    settings.ShortDateFormat = locale.ShortDateFormat;
    settings.DateSeparator = locale.Separator;
    return settings;
}

// A form with the date edit and another edit to leave it for; errors of handlers go to fake dialogs.
struct Window {
    explicit Window(const Locale& locale = kUS)
        : settings(SettingsOf(locale))
        , digits(locale.FourDigits)
    {
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(edit = new TDateEdit(&form));
        layout->addWidget(other = new QLineEdit(&form));
        layout->addWidget(new QLabel(QStringLiteral("Date of Lookup"), &form));
        edit->OnChange = [this] { ++changes; };
        form.move(40, 40);
        form.show();
        QApplication::setActiveWindow(&form);
        edit->setFocus();
    }
    // Replaces the text by typing; an empty text is deleted.
    void Type(const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(edit, key, modifiers); }
    TPopupCalendar& Popup() { return *dynamic_cast<TPopupCalendar*>(edit->Popup()); }
    void ClickDay(int col, int row)
    {
        const TRect r = Popup().Calendar().CellRect(col, row);
        QTest::mouseClick(&Popup().Calendar(), Qt::LeftButton, {},
                          QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }

    ScopedClock clock{kToday + 0.5};
    ScopedFormatSettings settings;
    ScopedFourDigitYear digits;
    TFakeServices fakes;
    TScopedHandlerErrorDialogs errors{&fakes.Dialogs};
    TForm form;
    TDateEdit* edit;
    QLineEdit* other;
    int changes = 0;
};

// --- text and value ----------------------------------------------------------------------------------------

struct TypedCase {
    std::string Name;
    Locale Where;
    QString Typed;
    TDateTime Date; // NullDate: no date
    std::string Text;
};

class DateEditTyping : public ::testing::TestWithParam<TypedCase> {};

TEST_P(DateEditTyping, ReadsTheTypedTextAndLeavesItAsTyped)
{
    const TypedCase& c = GetParam();
    Window w(c.Where);
    w.Type(c.Typed);
    EXPECT_EQ(w.edit->GetDate(), c.Date);
    w.Key(Qt::Key_Tab);
    EXPECT_TRUE(w.other->hasFocus());
    EXPECT_EQ(w.edit->Text(), c.Text);
    EXPECT_THAT(w.fakes.Dialogs.Requests(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateEditTyping,
    ::testing::Values(
        TypedCase{"month_first", kUS, QStringLiteral("03/15/2024"), D(2024, 3, 15), "03/15/2024"},
        TypedCase{"digits_only", kUS, QStringLiteral("03152024"), D(2024, 3, 15), "03/15/2024"},
        TypedCase{"day_first_dots", kGerman, QStringLiteral("15.03.2024"), D(2024, 3, 15), "15.03.2024"},
        TypedCase{"year_first_dashes_swallowed", kIso, QStringLiteral("2024-03-15"), D(2024, 3, 15),
                  "2024-03-15"},
        TypedCase{"british_two_digit_year", kBritish, QStringLiteral("15/03/24"), D(2024, 3, 15), "15/03/24"},
        TypedCase{"window_ends_39_years_on", kBritish, QStringLiteral("15/03/65"), D(2065, 3, 15),
                  "15/03/65"},
        TypedCase{"window_starts_60_years_back", kBritish, QStringLiteral("15/03/66"), D(1966, 3, 15),
                  "15/03/66"},
        TypedCase{"empty", kUS, QString(), NullDate, "  /  /    "},
        TypedCase{"partial", kUS, QStringLiteral("12/0"), NullDate, "12/0 /    "},
        TypedCase{"no_such_day_stays", kUS, QStringLiteral("02/30/2024"), NullDate, "02/30/2024"}),
    kName);

struct ValueCase {
    std::string Name;
    Locale Where;
    TDateTime Value;
    std::string Shown;
    TDateTime ReadBack;
};

class DateEditValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DateEditValue, ShowsTheDayAndReadsItBackWhileTheTextStays)
{
    const ValueCase& c = GetParam();
    Window w(c.Where);
    w.edit->SetDate(c.Value);
    EXPECT_EQ(w.edit->Text(), c.Shown);
    EXPECT_EQ(w.edit->GetDate(), c.ReadBack);
    EXPECT_EQ(w.edit->Modified(), c.ReadBack != NullDate);
    w.edit->SetDate(c.Value);
    EXPECT_FALSE(w.edit->Modified()) << "the same date again";
}

INSTANTIATE_TEST_SUITE_P(
    Values, DateEditValue,
    ::testing::Values(
        ValueCase{"time_of_day_dropped", kUS, D(2024, 2, 29) + 0.75, "02/29/2024", D(2024, 2, 29)},
        ValueCase{"two_digit_year_outside_the_window", kBritish, D(1950, 1, 1), "01/01/50", D(1950, 1, 1)},
        ValueCase{"null_date_is_blank", kUS, NullDate, "  /  /    ", NullDate},
        ValueCase{"before_year_1_is_no_date", kUS, -700000, "  /  /    ", NullDate}),
    kName);

TEST(DateEdit, TextAndFormatFollowTypingYearDigitsDefaultTodayAndTheLocale)
{
    Window w(kBritish);
    w.edit->SetDate(D(1950, 1, 1));
    w.Type(QStringLiteral("02/01/50"));
    EXPECT_EQ(w.edit->GetDate(), D(2050, 1, 2)) << "typed: the year window";
    w.Type(QStringLiteral("01/01/50"));
    EXPECT_EQ(w.edit->GetDate(), D(1950, 1, 1)) << "the text it was shown as again";
    w.Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(w.Popup().Calendar().CalendarDate(), D(1950, 1, 1)) << "the calendar opens on it too";
    w.Key(Qt::Key_Escape);

    w.edit->SetYearDigits(TYearDigits::dyFour);
    EXPECT_EQ(w.edit->Text(), "01/01/1950");
    w.edit->SetBlanksChar('\t');
    EXPECT_EQ(w.edit->EditMask(), "!99/99/9999;1; ");
    SetFormatSettings(SettingsOf(kIso));
    EXPECT_EQ(w.edit->Text(), "1950-01-01");
    w.edit->SetCalendarHints({"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(w.edit->CalendarHints().size(), 4U);
    EXPECT_EQ(w.Popup().Button(3).toolTip(), QStringLiteral("d"));
    w.edit->SetDefaultToday(true);
    w.Type(QStringLiteral("2024-02-30"));
    EXPECT_EQ(w.edit->GetDate(), kToday);
}

// --- keys --------------------------------------------------------------------------------------------------

struct Press {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers = {};
};
const Press kAltDown{Qt::Key_Down, Qt::AltModifier};
const Press kPlus{Qt::Key_Plus, Qt::KeypadModifier};

struct KeyCase {
    std::string Name;
    std::vector<Press> Keys;
    TDateTime Date;
    bool Changed;
    std::function<void(TDateEdit&)> Setup = nullptr;
};

class DateEditKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DateEditKeys, StepTypeOrGoToTheCalendar)
{
    Window w;
    w.edit->SetDate(D(2024, 2, 29));
    if (GetParam().Setup)
        GetParam().Setup(*w.edit);
    w.changes = 0;
    for (const Press& press : GetParam().Keys)
        w.Key(press.Key, press.Modifiers);
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_EQ(w.edit->GetDate(), GetParam().Date);
    EXPECT_EQ(w.changes, GetParam().Changed ? 1 : 0);
}

// From 29 February 2024; Alt+Down opens the calendar, and goes to it while it is open.
INSTANTIATE_TEST_SUITE_P(
    Keys, DateEditKeys,
    ::testing::Values(
        KeyCase{"keypad_plus", {kPlus}, D(2024, 3, 1), true},
        KeyCase{"keypad_minus", {{Qt::Key_Minus, Qt::KeypadModifier}}, D(2024, 2, 28), true},
        KeyCase{"keypad_plus_on_empty_is_tomorrow",
                {kPlus},
                kToday + 1,
                true,
                [](TDateEdit& e) { e.SetDate(NullDate); }},
        KeyCase{"keypad_plus_without_direct_input",
                {kPlus},
                D(2024, 2, 29),
                false,
                [](TDateEdit& e) { e.SetDirectInput(false); }},
        KeyCase{"keypad_plus_read_only",
                {kPlus},
                D(2024, 2, 29),
                false,
                [](TDateEdit& e) { e.SetReadOnly(true); }},
        KeyCase{"main_plus_and_minus_swallowed",
                {{Qt::Key_Home}, {Qt::Key_Plus}, {Qt::Key_Minus}},
                D(2024, 2, 29),
                false},
        KeyCase{"t_is_today", {{Qt::Key_T}}, kToday, true},
        KeyCase{"open_arrows_Enter",
                {kAltDown, {Qt::Key_Right}, {Qt::Key_Down}, {Qt::Key_Return}},
                D(2024, 3, 8),
                true},
        KeyCase{"open_year_day_AltDown_Enter",
                {kAltDown, {Qt::Key_PageDown, Qt::ControlModifier}, kPlus, kAltDown, {Qt::Key_Return}},
                D(2025, 3, 8),
                true},
        KeyCase{"open_t_then_Esc_keeps_the_text",
                {kAltDown, {Qt::Key_T}, {Qt::Key_Escape}},
                D(2024, 2, 29),
                false}),
    kName);

// --- popup and dialog --------------------------------------------------------------------------------------

TEST(DateEdit, ADayClickedIsTakenOnceOrRefusedAndTheDialogStyleClosesTheCalendar)
{
    Window w;
    w.edit->SetDate(D(2026, 3, 4));
    w.changes = 0;
    w.Key(Qt::Key_Down, Qt::AltModifier);
    w.ClickDay(2, 4); // March 2026 from Monday: the 18th
    EXPECT_EQ(w.edit->Text(), "03/18/2026");
    EXPECT_EQ(w.changes, 1);

    w.edit->OnAcceptDate = [](QObject*, TDateTime&, bool& action) { action = false; };
    w.Key(Qt::Key_Down, Qt::AltModifier);
    w.ClickDay(3, 4);
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_EQ(w.edit->Text(), "03/18/2026");

    w.Key(Qt::Key_Down, Qt::AltModifier);
    w.edit->SetCalendarStyle(TCalendarStyle::csDialog);
    EXPECT_EQ(w.edit->Popup(), nullptr);
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_FALSE(w.edit->isReadOnly()) << "typing works again";
    w.edit->SetCalendarStyle(TCalendarStyle::csPopup);
    w.Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(w.edit->GetPopupVisible()) << "a new calendar, which goes with the edit while open";
}

struct DialogCase {
    std::string Name;
    std::vector<Press> Keys;
    TDateTime Date;
    bool DoubleClickThe24th = false;
};

class DateEditDialog : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DateEditDialog, TheButtonOpensTheDialogOnTheDate)
{
    Window w;
    w.edit->SetCalendarStyle(TCalendarStyle::csDialog);
    w.edit->SetDate(D(2016, 3, 15));
    TModalDriver driver;
    driver.ThenOn<TSelectDateDlg>([&](TSelectDateDlg& dialog, TModalWindow& window) {
        EXPECT_EQ(dialog.TitleLabel().text(), QStringLiteral("March, 2016"));
        for (const Press& press : GetParam().Keys)
            window.Key(press.Key, press.Modifiers);
        if (GetParam().DoubleClickThe24th) {
            // March 2016 from Monday: the 24th is in column 3 of row 4.
            const TRect r = dialog.Calendar().CellRect(3, 4);
            QTest::mouseClick(&dialog.Calendar(), Qt::LeftButton, {}, QPoint(r.Left + 5, r.Top + 5));
            QTest::mouseDClick(&dialog.Calendar(), Qt::LeftButton, {}, QPoint(r.Left + 5, r.Top + 5));
        }
    });
    QTest::mouseClick(&w.edit->Button(), Qt::LeftButton);
    EXPECT_EQ(driver.StepsWaiting(), 0);
    EXPECT_EQ(w.edit->GetDate(), GetParam().Date);
    EXPECT_EQ(w.form.focusWidget(), w.edit);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, DateEditDialog,
    ::testing::Values(
        DialogCase{"PageUp_steps_the_month_only", {{Qt::Key_PageUp}, {Qt::Key_Return}}, D(2016, 2, 15)},
        DialogCase{"Tab_Tab_Shift_Tab",
                   {{Qt::Key_Tab}, {Qt::Key_Tab}, {Qt::Key_Backtab}, {Qt::Key_Return}},
                   D(2016, 4, 15)},
        DialogCase{"Ctrl_PageDown_then_Esc",
                   {{Qt::Key_PageDown, Qt::ControlModifier}, {Qt::Key_Escape}},
                   D(2016, 3, 15)},
        DialogCase{"double_click_on_a_day", {}, D(2016, 3, 24), true}),
    kName);

TEST(SelectDate, NoDateOpensOnTodayWithTheHintsGivenAndCancelLeavesIt)
{
    const ScopedClock clock(kToday + 0.5);
    TModalDriver driver;
    QString seen;
    driver.ThenOn<TSelectDateDlg>([&](TSelectDateDlg& dialog, TModalWindow& window) {
        seen = dialog.TitleLabel().text();
        for (int i = 0; i < 4; ++i)
            seen += QLatin1Char(';') + dialog.Button(i).toolTip();
        window.Close();
    });
    TDateTime date = NullDate;
    const std::vector<std::string> hints{"", "Back", "", "Year on", "ignored"};
    EXPECT_FALSE(SelectDate(date, {}, TDayOfWeekName::Sun, {}, clRed, &hints));
    EXPECT_EQ(date, NullDate);
    EXPECT_EQ(seen, QStringLiteral("December, 2026;Previous Year;Back;Next Month;Year on"));
}

TEST(DateEdit, TheExitCheckShowsTheErrorAndKeepsTheFocus)
{
    Window w;
    w.edit->SetCheckOnExit(true);
    w.Type(QStringLiteral("2/3/2024"));
    w.Key(Qt::Key_Tab);
    EXPECT_EQ(w.edit->Text(), "02/03/2024") << "written back in the edit's format";
    w.Type(QString());
    w.Key(Qt::Key_Tab);
    w.Type(QStringLiteral("02/30/2024"));
    w.Key(Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_THAT(w.fakes.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre("''02/30/2024'' is not a valid date"));
    EXPECT_TRUE(w.edit->hasFocus());
}

// --- look --------------------------------------------------------------------------------------------------

TEST(DateEdit, TheFieldWithItsButtonAndTheDialogLook)
{
    Window w;
    w.edit->SetDate(kToday);
    w.edit->resize(97, 21);
    const QImage enabled = RenderWidget(*w.edit);
    w.edit->setEnabled(false);
    const QImage disabled = RenderWidget(*w.edit);
    SaveTestImage(enabled, "date_edit.png");
    SaveTestImage(disabled, "date_edit_disabled.png");
    const QRect button = w.edit->ButtonHolder().geometry();
    EXPECT_EQ(button.width(), 21);
    // The calendar glyph's maroon top shows only while enabled.
    EXPECT_GT(CountPixels(enabled, button, TColor(0x000080)), 0);
    EXPECT_EQ(CountPixels(disabled, button, TColor(0x000080)), 0);

    std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog({}));
    dialog->SetDate(kToday);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    const QImage look = RenderWidget(*dialog);
    SaveTestImage(look, "date_dialog.png");
    EXPECT_EQ(look.size(), QSize(222, 154));
    EXPECT_TRUE(PixelsAre(look,
                          {{0, 0, ColorToRGB(clBtnHighlight), "raised outer bevel"},
                           {1, 1, ColorToRGB(clBtnShadow), "lowered inner bevel"}},
                          "date_dialog"));
    EXPECT_GT(CountPixels(look, QRect(35, 4, 152, 14), clBlue), 0) << "the blue title";
    EXPECT_GT(CountPixels(look, QRect(2, 24, 218, 107), clRed), 0) << "Sundays in red";
}

} // namespace
} // namespace carlume::test
