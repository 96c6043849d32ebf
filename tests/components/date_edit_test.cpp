// The date edit driven by typed keys and clicks: every date order and year width, the two-digit-year
// window, empty, partial and unreadable text, the keys with the popup open and closed, the dialog style,
// the exit check, and its look.

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

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

const auto kName = [](const auto& row) { return row.param.Name; };

// Sunday 6 December 2026, noon.
const TDateTime kToday = D(2026, 12, 6);

struct Locale {
    std::string ShortDateFormat = "M/d/yyyy";
    char Separator = '/';
    bool FourDigits = true;
};

const Locale kUS{};
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

// A window with the date edit, another edit to leave it for, and a label.
struct Window {
    explicit Window(const Locale& locale = kUS)
        : settings(SettingsOf(locale))
        , digits(locale.FourDigits)
    {
        auto* layout = new QVBoxLayout(&form);
        edit = new TDateEdit(&form);
        edit->setObjectName(QStringLiteral("edit"));
        other = new QLineEdit(&form);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addWidget(new QLabel(QStringLiteral("Date of Lookup"), &form));
        edit->OnChange = [this] { ++changes; };
        form.resize(220, 100);
        form.move(40, 40);
        form.show();
        QApplication::setActiveWindow(&form);
        edit->setFocus();
    }
    // Replaces the text by typing, as a person does; an empty text is deleted.
    void Type(const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void Leave() { QTest::keyClick(edit, Qt::Key_Tab); }
    void AltDown() { QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier); }
    TPopupCalendar& Popup() { return *dynamic_cast<TPopupCalendar*>(edit->Popup()); }
    QPoint DayMiddle(int col, int row)
    {
        const TRect r = Popup().Calendar().CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
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

// --- masks -------------------------------------------------------------------------------------------------

struct MaskCase {
    std::string Name;
    std::string EditMask;
    char DateSeparator;
    QString Expected;
};

class QtMaskOfTheDateMask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(QtMaskOfTheDateMask, HasTheSeparatorAndTheBlankAndOptionalDigits)
{
    EXPECT_EQ(QtInputMask(GetParam().EditMask, GetParam().DateSeparator, ':'), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, QtMaskOfTheDateMask,
    ::testing::Values(
        MaskCase{"month_first", "!99/99/9999;1; ", '/', QStringLiteral("00/00/0000; ")},
        MaskCase{"underscore_blank_dots", "!99/99/9999;1;_", '.', QStringLiteral("00.00.0000;_")},
        MaskCase{"year_first", "!9999/99/99;1; ", '-', QStringLiteral("0000-00-00; ")},
        MaskCase{"separator_that_means_a_digit", "!99/99/99;1; ", '9', QStringLiteral("00\\900\\900; ")},
        MaskCase{"required_digits_and_escapes", "0\\9:a", '/', QStringLiteral("9\\9:\\a; ")}),
    kName);

// --- typed text --------------------------------------------------------------------------------------------

struct TypedCase {
    std::string Name;
    Locale Where;
    QString Typed;
    TDateTime Date; // NullDate: no date
    std::string Text;
};

class DateEditTyping : public ::testing::TestWithParam<TypedCase> {};

TEST_P(DateEditTyping, ReadsTheTypedTextAndKeepsItAsTypedWhenLeft)
{
    const TypedCase& c = GetParam();
    Window w(c.Where);
    w.Type(c.Typed);
    EXPECT_EQ(w.edit->Text(), c.Text);
    EXPECT_EQ(w.edit->GetDate(), c.Date);
    w.Leave();
    EXPECT_TRUE(w.other->hasFocus());
    EXPECT_EQ(w.edit->Text(), c.Text) << "nothing is checked or rewritten on the way out";
    EXPECT_THAT(w.fakes.Dialogs.Requests(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Orders, DateEditTyping,
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
        TypedCase{"no_such_day", kUS, QStringLiteral("02/30/2024"), NullDate, "02/30/2024"},
        TypedCase{"letters_refused", kBritish, QStringLiteral("ab"), NullDate, "  /  /  "}),
    kName);

// --- set by value ------------------------------------------------------------------------------------------

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
        ValueCase{"day_first", kGerman, D(2024, 2, 29), "29.02.2024", D(2024, 2, 29)},
        ValueCase{"year_first", kIso, D(24, 2, 29), "0024-02-29", D(24, 2, 29)},
        ValueCase{"two_digit_year_outside_the_window", kBritish, D(1950, 1, 1), "01/01/50", D(1950, 1, 1)},
        ValueCase{"null_date_is_blank", kUS, NullDate, "  /  /    ", NullDate},
        ValueCase{"before_year_1_is_no_date", kUS, -700000, "  /  /    ", NullDate},
        ValueCase{"after_9999_is_no_date", kUS, 3e6, "  /  /    ", NullDate}),
    kName);

TEST(DateEdit, ATwoDigitYearSetByValueReadsAsTypedOnceTheTextChanges)
{
    Window w(kBritish);
    w.edit->SetDate(D(1950, 1, 1));
    w.Type(QStringLiteral("02/01/50"));
    EXPECT_EQ(w.edit->GetDate(), D(2050, 1, 2));
    w.Type(QStringLiteral("01/01/50"));
    EXPECT_EQ(w.edit->GetDate(), D(1950, 1, 1)) << "the text it was shown as again";
}

TEST(DateEdit, DefaultTodayReadsAndWritesNoDateAsToday)
{
    Window w;
    w.edit->SetDefaultToday(true);
    w.edit->SetDate(NullDate);
    EXPECT_EQ(w.edit->Text(), "12/06/2026");
    w.Type(QStringLiteral("02/30/2024"));
    EXPECT_EQ(w.edit->GetDate(), kToday);
}

TEST(DateEdit, FormatAndMaskFollowYearDigitsBlanksAndTheLocale)
{
    Window w;
    w.edit->SetDate(D(2024, 2, 29));
    w.edit->SetYearDigits(TYearDigits::dyTwo);
    EXPECT_EQ(w.edit->DateFormat(), "MM/DD/YY");
    EXPECT_EQ(w.edit->EditMask(), "!99/99/99;1; ");
    EXPECT_EQ(w.edit->Text(), "02/29/24");
    EXPECT_EQ(w.edit->GetDate(), D(2024, 2, 29));
    w.edit->SetBlanksChar('\t');
    EXPECT_EQ(w.edit->BlanksChar(), ' ');
    w.edit->SetBlanksChar('_');
    EXPECT_EQ(w.edit->EditMask(), "!99/99/99;1;_");

    w.edit->SetYearDigits(TYearDigits::dyFour);
    SetFormatSettings(SettingsOf(kGerman));
    EXPECT_EQ(w.edit->EditText(), "29.02.2024");
    EXPECT_EQ(w.edit->GetDate(), D(2024, 2, 29));
    w.edit->SetCalendarHints({"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(w.edit->CalendarHints().size(), 4U);
}

// --- keys --------------------------------------------------------------------------------------------------

struct KeyCase {
    std::string Name;
    std::function<void(Window&)> Setup;
    std::function<void(Window&)> Keys;
    TDateTime Date;
    int Changes;
};

class DateEditKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DateEditKeys, StepTypeOrGoToTheCalendar)
{
    Window w;
    w.edit->SetDate(D(2024, 2, 29));
    if (GetParam().Setup)
        GetParam().Setup(w);
    w.changes = 0;
    GetParam().Keys(w);
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_EQ(w.edit->GetDate(), GetParam().Date);
    EXPECT_EQ(w.changes, GetParam().Changes);
}

const auto kEmpty = [](Window& w) { w.edit->SetDate(NullDate); };
const auto kKeypadPlus = [](Window& w) { QTest::keyClick(w.edit, Qt::Key_Plus, Qt::KeypadModifier); };

INSTANTIATE_TEST_SUITE_P(
    Keys, DateEditKeys,
    ::testing::Values(KeyCase{"keypad_plus_steps_a_day", nullptr, kKeypadPlus, D(2024, 3, 1), 1},
                      KeyCase{"keypad_minus_steps_back", nullptr,
                              [](Window& w) { QTest::keyClick(w.edit, Qt::Key_Minus, Qt::KeypadModifier); },
                              D(2024, 2, 28), 1},
                      KeyCase{"keypad_plus_on_empty_is_tomorrow", kEmpty, kKeypadPlus, kToday + 1, 1},
                      KeyCase{"keypad_plus_without_direct_input",
                              [](Window& w) { w.edit->SetDirectInput(false); }, kKeypadPlus, D(2024, 2, 29),
                              0},
                      KeyCase{"keypad_plus_read_only", [](Window& w) { w.edit->SetReadOnly(true); },
                              kKeypadPlus, D(2024, 2, 29), 0},
                      KeyCase{"main_plus_and_minus_swallowed", nullptr,
                              [](Window& w) {
                                  w.edit->setCursorPosition(0);
                                  QTest::keyClicks(w.edit, QStringLiteral("+-"));
                              },
                              D(2024, 2, 29), 0},
                      KeyCase{"t_is_today", nullptr,
                              [](Window& w) { QTest::keyClicks(w.edit, QStringLiteral("t")); }, kToday, 1},
                      KeyCase{"popup_arrows_then_Enter", nullptr,
                              [](Window& w) {
                                  w.AltDown();
                                  QTest::keyClick(w.edit, Qt::Key_Right);
                                  QTest::keyClick(w.edit, Qt::Key_Down);
                                  ASSERT_EQ(w.Popup().Calendar().CalendarDate(), D(2024, 3, 8));
                                  QTest::keyClick(w.edit, Qt::Key_Return);
                              },
                              D(2024, 3, 8), 1},
                      KeyCase{"popup_page_and_keypad_plus_then_AltDown_stays", nullptr,
                              [](Window& w) {
                                  w.AltDown();
                                  QTest::keyClick(w.edit, Qt::Key_PageDown, Qt::ControlModifier);
                                  QTest::keyClick(w.edit, Qt::Key_Plus, Qt::KeypadModifier);
                                  w.AltDown();
                                  EXPECT_TRUE(w.edit->GetPopupVisible()) << "Alt+Down goes to the calendar";
                                  QTest::keyClick(w.edit, Qt::Key_Return);
                              },
                              D(2025, 3, 8), 1},
                      KeyCase{"popup_t_then_Esc_keeps_the_text", nullptr,
                              [](Window& w) {
                                  w.AltDown();
                                  QTest::keyClicks(w.edit, QStringLiteral("t"));
                                  EXPECT_EQ(w.Popup().Calendar().CalendarDate(), kToday);
                                  QTest::keyClick(w.edit, Qt::Key_Escape);
                              },
                              D(2024, 2, 29), 0},
                      KeyCase{"popup_on_empty_opens_on_today", kEmpty,
                              [](Window& w) {
                                  w.AltDown();
                                  EXPECT_EQ(w.Popup().Calendar().CalendarDate(), kToday);
                                  QTest::keyClick(w.edit, Qt::Key_Return);
                              },
                              kToday, 1}),
    kName);

// --- popup and dialog --------------------------------------------------------------------------------------

TEST(DateEdit, ADayClickedInThePopupIsTakenOnceOrRefused)
{
    Window w;
    w.edit->SetDate(D(2026, 3, 4));
    w.changes = 0;
    w.AltDown();
    // March 2026, weeks from Monday: the 18th in column 2 of row 4.
    QTest::mouseClick(&w.Popup().Calendar(), Qt::LeftButton, {}, w.DayMiddle(2, 4));
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_EQ(w.edit->Text(), "03/18/2026");
    EXPECT_EQ(w.changes, 1);

    w.edit->OnAcceptDate = [](QObject*, TDateTime&, bool& action) { action = false; };
    w.AltDown();
    QTest::mouseClick(&w.Popup().Calendar(), Qt::LeftButton, {}, w.DayMiddle(3, 4));
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_EQ(w.edit->Text(), "03/18/2026");
    EXPECT_EQ(w.changes, 1);
}

TEST(DateEdit, SwitchingToTheDialogWhileTheCalendarIsOpenClosesItFirst)
{
    Window w;
    w.AltDown();
    ASSERT_TRUE(w.edit->GetPopupVisible());
    w.edit->SetCalendarStyle(TCalendarStyle::csDialog);
    EXPECT_EQ(w.edit->Popup(), nullptr);
    EXPECT_FALSE(w.edit->GetPopupVisible());
    EXPECT_FALSE(w.edit->isReadOnly()) << "typing works again";
    w.edit->SetCalendarStyle(TCalendarStyle::csPopup);
    w.AltDown();
    EXPECT_TRUE(w.edit->GetPopupVisible());
}

struct DialogCase {
    std::string Name;
    std::function<void(TModalWindow&)> Use;
    TDateTime Date;
};

class DateEditDialog : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DateEditDialog, TheButtonOpensTheDialogOnTheDate)
{
    Window w;
    w.edit->SetCalendarStyle(TCalendarStyle::csDialog);
    w.edit->SetDate(D(2016, 3, 15));
    TModalDriver driver;
    driver.ThenOn<TSelectDateDlg>([&](TSelectDateDlg& dialog, TModalWindow& window) {
        EXPECT_EQ(dialog.Caption(), QStringLiteral("Select a Date"));
        EXPECT_EQ(dialog.TitleLabel().text(), QStringLiteral("March, 2016"));
        EXPECT_EQ(dialog.ClientWidth(), 222);
        EXPECT_EQ(dialog.ClientHeight(), 154);
        GetParam().Use(window);
    });
    QTest::mouseClick(&w.edit->Button(), Qt::LeftButton, {}, w.edit->Button().rect().center());
    EXPECT_EQ(driver.StepsDone(), 1);
    EXPECT_EQ(w.edit->GetDate(), GetParam().Date);
    EXPECT_EQ(w.form.focusWidget(), w.edit);
}

// March 2016, weeks from Monday: the 15th is in column 1 of row 3.
INSTANTIATE_TEST_SUITE_P(
    Dialog, DateEditDialog,
    ::testing::Values(DialogCase{"Enter_unchanged", [](TModalWindow& d) { d.Key(Qt::Key_Return); },
                                 D(2016, 3, 15)},
                      DialogCase{"PageUp_steps_a_month_only",
                                 [](TModalWindow& d) {
                                     d.Key(Qt::Key_PageUp);
                                     d.Key(Qt::Key_Return);
                                 },
                                 D(2016, 2, 15)},
                      DialogCase{"Ctrl_PageDown_a_year",
                                 [](TModalWindow& d) {
                                     d.Key(Qt::Key_PageDown, Qt::ControlModifier);
                                     d.ClickButton(QStringLiteral("OK"));
                                 },
                                 D(2017, 3, 15)},
                      DialogCase{"Tab_and_Shift_Tab",
                                 [](TModalWindow& d) {
                                     d.Key(Qt::Key_Tab);
                                     d.Key(Qt::Key_Tab);
                                     d.Key(Qt::Key_Backtab);
                                     d.Key(Qt::Key_Return);
                                 },
                                 D(2016, 4, 15)},
                      DialogCase{"double_click_on_a_day",
                                 [](TModalWindow& d) {
                                     auto& calendar = d.As<TSelectDateDlg>().Calendar();
                                     const TRect r = calendar.CellRect(3, 4);
                                     const QPoint at((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
                                     QTest::mouseClick(&calendar, Qt::LeftButton, {}, at);
                                     QTest::mouseDClick(&calendar, Qt::LeftButton, {}, at);
                                 },
                                 D(2016, 3, 24)},
                      DialogCase{"Esc", [](TModalWindow& d) { d.Key(Qt::Key_Escape); }, D(2016, 3, 15)},
                      DialogCase{"Cancel_after_a_step",
                                 [](TModalWindow& d) {
                                     d.Key(Qt::Key_PageDown);
                                     d.ClickButton(QStringLiteral("Cancel"));
                                 },
                                 D(2016, 3, 15)}),
    kName);

TEST(SelectDate, NoDateOpensOnTodayAndCancelLeavesIt)
{
    const ScopedClock clock(kToday + 0.5);
    TModalDriver driver;
    QString title;
    QString hints;
    driver.ThenOn<TSelectDateDlg>([&](TSelectDateDlg& dialog, TModalWindow& window) {
        title = dialog.TitleLabel().text();
        for (int i = 0; i < 4; ++i)
            hints += dialog.Button(i).toolTip() + QLatin1Char(';');
        window.Key(Qt::Key_PageDown, Qt::ControlModifier);
        window.Close();
    });
    TDateTime date = NullDate;
    const std::vector<std::string> lines{"", "Back", "", "Year on", "ignored"};
    EXPECT_FALSE(SelectDate(date, {}, TDayOfWeekName::Sun, {}, clRed, &lines));
    EXPECT_EQ(date, NullDate);
    EXPECT_EQ(title, QStringLiteral("December, 2026"));
    EXPECT_EQ(hints, QStringLiteral("Previous Year;Back;Next Month;Year on;"));
}

// --- leaving with the check --------------------------------------------------------------------------------

TEST(DateEdit, TheExitCheckShowsTheErrorAndKeepsTheFocus)
{
    Window w;
    w.edit->SetCheckOnExit(true);
    w.Type(QString());
    w.Leave();
    EXPECT_TRUE(w.other->hasFocus()) << "blank passes";

    w.Type(QStringLiteral("2/3/2024"));
    w.Leave();
    EXPECT_EQ(w.edit->Text(), "02/03/2024") << "written back in the edit's format";

    w.Type(QStringLiteral("02/30/2024"));
    w.Leave();
    QApplication::processEvents();
    EXPECT_THAT(w.fakes.Dialogs.Messages(TMsgDlgType::mtError),
                ::testing::ElementsAre("''02/30/2024'' is not a valid date"));
    EXPECT_TRUE(w.edit->hasFocus());
    EXPECT_EQ(w.edit->Text(), "02/30/2024");
}

// --- look --------------------------------------------------------------------------------------------------

TEST(DateEdit, LooksLikeADateFieldWithItsCalendarButton)
{
    Window w;
    w.edit->SetDate(D(2026, 12, 6));
    w.edit->resize(97, 21);
    const QImage enabled = RenderWidget(*w.edit);
    w.edit->setEnabled(false);
    const QImage disabled = RenderWidget(*w.edit);
    SaveTestImage(enabled, "date_edit.png");
    SaveTestImage(disabled, "date_edit_disabled.png");
    EXPECT_EQ(w.edit->ButtonWidth(), 21);
    const QRect button = w.edit->ButtonHolder().geometry();
    // The glyph's dark red calendar top (maroon) only in the enabled picture.
    EXPECT_GT(CountPixels(enabled, button, TColor(0x000080)), 0);
    EXPECT_EQ(CountPixels(disabled, button, TColor(0x000080)), 0);
    EXPECT_FALSE(InkBounds(enabled, QRect(2, 2, button.left() - 4, 17), clWindow).isEmpty());
}

TEST(SelectDate, LooksLikeTheDateDialog)
{
    const ScopedClock clock(kToday + 0.5);
    const ScopedFormatSettings locale(USFormatSettings());
    std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog({}));
    dialog->SetDate(D(2026, 12, 6));
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    const QImage look = RenderWidget(*dialog);
    SaveTestImage(look, "date_dialog.png");
    EXPECT_EQ(look.size(), QSize(222, 154));
    EXPECT_TRUE(PixelsAre(look,
                          {{0, 0, ColorToRGB(clBtnHighlight), "raised outer bevel"},
                           {1, 1, ColorToRGB(clBtnShadow), "lowered inner bevel"},
                           {36, 5, ColorToRGB(clBtnFace), "title background"}},
                          "date_dialog"));
    EXPECT_GT(CountPixels(look, QRect(35, 4, 152, 14), clBlue), 0) << "the blue title";
    EXPECT_GT(CountPixels(look, QRect(2, 24, 218, 107), clWhite), 1000) << "the white grid";
    EXPECT_GT(CountPixels(look, QRect(2, 24, 218, 107), clRed), 0) << "Sundays in red";
}

} // namespace
} // namespace carlume::test
