// The lookup window's date field as people use it: a date typed in the locale's order, or picked from the
// calendar dropped from the field, is the date the engine searches with, the one the result and the report
// show, and the one handed back in cquery.dat.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/test_output.h"

#include "components/date_edit.h"
#include "components/date_util.h"
#include "components/pick_date.h"
#include "lookup/carquery.h"
#include "lookup/command_line.h"
#include "lookup/ui/qt_carquery_ui.h"
#include "platform/files.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>

#include <string>

namespace carlume::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

struct LocaleCase {
    std::string Name;
    std::string ShortDateFormat;
    bool FourDigits;
    QString Typed;
    std::string Shown; // the short date in the result, the report and cquery.dat
};

// 15 March 2024 is day 45366.
const TDateTime kTyped = EncodeDate(2024, 3, 15);

class LookupWindowDateTest : public LookupWindowTest, public ::testing::WithParamInterface<LocaleCase> {
protected:
    TFormatSettings Settings() const
    {
        TFormatSettings settings = USFormatSettings();
        settings.ShortDateFormat = GetParam().ShortDateFormat;
        return settings;
    }
    std::string TypedEff() const { return "eff=" + std::to_string(int(kTyped)); }
};

TEST_P(LookupWindowDateTest, ATypedDateIsSearchedShownAndPrinted)
{
    const ScopedFormatSettings locale(Settings());
    const ScopedFourDigitYear digits(GetParam().FourDigits);
    record_.Clear();
    Open(false);
    Show();
    Control<QTabWidget>("PageSearchType").setCurrentIndex(0);
    auto& date = Control<TDateEdit>("txtEffective");
    date.setFocus();
    date.selectAll();
    QTest::keyClicks(&date, GetParam().Typed);
    QTest::keyClick(&date, Qt::Key_Tab);
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    ResetJournal();
    QTest::mouseClick(&Control<QPushButton>("btnSearchByVIN"), Qt::LeftButton);

    EXPECT_THAT(Calls("ChassixGetRecordByVIN"), Contains(HasSubstr(TypedEff())));
    EXPECT_EQ(record_.Effective, kTyped);
    EXPECT_THAT(ResultRows(), Contains("Effective| " + GetParam().Shown));
    printer_->QueueDialogAnswer(true);
    QTest::mouseClick(&Control<QPushButton>("btnPrint"), Qt::LeftButton);
    EXPECT_THAT(PdfText(printer_->File()), HasSubstr(GetParam().Shown));
}

TEST_P(LookupWindowDateTest, AWholeRunHandsTheTypedDateBack)
{
    const ScopedFormatSettings locale(Settings());
    const ScopedFourDigitYear digits(GetParam().FourDigits);
    std::filesystem::create_directory(program_ / "Data");
    std::vector<std::string> searched;
    TModalDriver driver;
    driver.ThenOn<TfrmCarquery>([&](TfrmCarquery&, TModalWindow& w) {
        w.Find<QTabWidget>(QStringLiteral("PageSearchType")).setCurrentIndex(0);
        w.Type(QStringLiteral("txtEffective"), GetParam().Typed);
        w.Type(QStringLiteral("txtVIN"), QStringLiteral("1avql14s1a"));
        w.Click(QStringLiteral("btnSearchByVIN"));
        searched = Calls("ChassixGetRecordByVIN");
        w.Click(QStringLiteral("btnClose"));
    });
    TQtCarqueryUi ui;
    const std::string program = program_ / "cquery";
    const char* argv[] = {program.c_str()};
    EXPECT_EQ(RunCarquery(ui, TCommandLine::FromArgs(1, argv)), 0);
    EXPECT_THAT(searched, Contains(HasSubstr(TypedEff())));
    EXPECT_THAT(ReadAll(program_ / "Data/cquery.dat"),
                HasSubstr("\r\nEffective=" + GetParam().Shown + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LookupWindowDateTest,
    ::testing::Values(LocaleCase{"en_US", "M/d/yyyy", true, QStringLiteral("03/15/2024"), "3/15/2024"},
                      LocaleCase{"en_GB", "dd/MM/yy", false, QStringLiteral("15/03/24"), "15/03/24"}),
    [](const auto& row) { return row.param.Name; });

TEST_F(LookupWindowTest, TheOriginalSymbolUnderTwoDigitYearsStillSends1950)
{
    TFormatSettings british = USFormatSettings();
    british.ShortDateFormat = "dd/MM/yy";
    const ScopedFormatSettings locale(british);
    const ScopedFourDigitYear digits(false);
    record_.Clear();
    record_.VIN = "1AVQL14S1A";
    record_.Effective = OriginalSymbolDate();
    Open(true);
    Show();
    ASSERT_TRUE(Control<QCheckBox>("chkOrigSym").isChecked());
    EXPECT_EQ(Control<TDateEdit>("txtEffective").Text(), "01/01/50");
    ResetJournal();
    window_->btnSearchByVINClick();
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"), Contains(HasSubstr("eff=18264")));
}

TEST_F(LookupWindowTest, ADayPickedFromTheDroppedCalendarIsSearched)
{
    record_.Clear();
    record_.VIN = "1AVQL14S1A";
    Open(false);
    Show();
    auto& date = Control<TDateEdit>("txtEffective");
    date.setFocus();
    QTest::keyClick(&date, Qt::Key_Down, Qt::AltModifier);
    auto& popup = *dynamic_cast<TPopupCalendar*>(date.Popup());
    ASSERT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.y(), date.mapToGlobal(QPoint(0, date.height())).y()) << "below the field";

    // The window with the calendar over it, as the user sees them.
    const QPoint windowAt = window_->mapToGlobal(QPoint(0, 0));
    const QRect all = QRect(windowAt, window_->size()).united(popup.geometry());
    QImage scene(all.size(), QImage::Format_ARGB32);
    scene.fill(Qt::darkGray);
    QPainter painter(&scene);
    painter.drawImage(windowAt - all.topLeft(), RenderWidget(*window_));
    painter.drawImage(popup.pos() - all.topLeft(), RenderWidget(popup));
    painter.end();
    SaveTestImage(scene, "lookup_window_calendar.png");

    // December 2026 from Monday: the 24th is in column 3 of row 4.
    const TRect cell = popup.Calendar().CellRect(3, 4);
    QTest::mouseClick(&popup.Calendar(), Qt::LeftButton, {}, QPoint(cell.Left + 5, cell.Top + 5));
    EXPECT_EQ(date.Text(), "12/24/2026");
    ResetJournal();
    QTest::mouseClick(&Control<QPushButton>("btnSearchByVIN"), Qt::LeftButton);
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"), Contains(HasSubstr("eff=46380")));
}

} // namespace
} // namespace carlume::test
