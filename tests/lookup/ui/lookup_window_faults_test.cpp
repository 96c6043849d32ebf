// The lookup window as people use it: two-digit-year locales, a lookup date that is no date, and a web
// update whose page cannot be opened.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/modal_driver.h"

#include "components/date_edit.h"
#include "components/date_util.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gmock/gmock.h>

namespace carlume::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct TwoDigitCase {
    std::string Name;
    std::string ShortDateFormat;
    std::string Shown;
};

class LookupWindowTwoDigitYearTest : public LookupWindowTest,
                                     public ::testing::WithParamInterface<TwoDigitCase> {};

TEST_P(LookupWindowTwoDigitYearTest, TheOriginalSymbolDateReadsBackAsSet)
{
    TFormatSettings locale = USFormatSettings();
    locale.ShortDateFormat = GetParam().ShortDateFormat;
    const ScopedFormatSettings scoped(locale);
    const ScopedFourDigitYear twoDigits(false);
    record_.Clear();
    record_.VIN = "1AVQL14S1A";
    record_.Effective = OriginalSymbolDate();
    Open(true);
    Show();
    auto& date = Control<TDateEdit>("txtEffective");
    ASSERT_TRUE(Control<QCheckBox>("chkOrigSym").isChecked());
    EXPECT_EQ(date.Text(), GetParam().Shown);
    ResetJournal();
    window_->btnSearchByVINClick();
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"),
                Contains("ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=18264 -> 1"));
    EXPECT_EQ(record_.Effective, OriginalSymbolDate());

    // Text the user changes is read as typed, through the two-digit-year window.
    Control<QCheckBox>("chkOrigSym").click();
    date.SetText(GetParam().Shown);
    EXPECT_EQ(window_->GetEffectiveDate(), EncodeDate(2050, 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Locales, LookupWindowTwoDigitYearTest,
                         ::testing::Values(TwoDigitCase{"enGB", "dd/MM/yy", "01/01/50"},
                                           TwoDigitCase{"MonthFirst", "M/d/yy", "01/01/50"},
                                           TwoDigitCase{"YearFirst", "yy/MM/dd", "50/01/01"}),
                         [](const auto& param) { return param.param.Name; });

struct BadDateCase {
    std::string Name;
    bool ByVin;
    std::string Text;
};

class LookupWindowBadDateTest : public LookupWindowTest, public ::testing::WithParamInterface<BadDateCase> {};

TEST_P(LookupWindowBadDateTest, ASearchWithoutLookupDateReadsNothing)
{
    const BadDateCase& c = GetParam();
    record_.Clear();
    Open(false);
    Show();
    if (c.ByVin) {
        Control<QTabWidget>("PageSearchType").setCurrentIndex(0);
        Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    } else {
        Pick("lstYear", QStringLiteral("2010"));
        Pick("lstMake", QStringLiteral("Arvelo"));
        Pick("lstModel", QStringLiteral("Tessor"));
    }
    auto& date = Control<TDateEdit>("txtEffective");
    date.SetText(c.Text);
    ResetJournal();
    TModalDriver noChooser; // a chooser would be a search that ran
    Control<QPushButton>(c.ByVin ? "btnSearchByVIN" : "btnSearchByYMM").click();
    QApplication::processEvents();
    EXPECT_THAT(Messages(), ElementsAre(std::string(LookupDateRequiredMessage)));
    EXPECT_THAT(Journal(), IsEmpty());
    EXPECT_EQ(QApplication::focusWidget(), &date);
}

INSTANTIATE_TEST_SUITE_P(Searches, LookupWindowBadDateTest,
                         ::testing::Values(BadDateCase{"VinUnreadable", true, "13/45/2014"},
                                           BadDateCase{"VinEmpty", true, ""},
                                           BadDateCase{"YmmUnreadable", false, "13/45/2014"},
                                           BadDateCase{"YmmBlankYear", false, "12/04/    "}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowTest, AWebUpdatePageThatCannotOpenKeepsTheWindow)
{
    record_.Clear();
    Open(false);
    Show();
    fakes_.Dialogs.QueueYesNo(true);
    fakes_.Shell.QueueResult(false);
    window_->findChild<QAction*>(QStringLiteral("mnuWebUpdate"))->trigger();
    QApplication::processEvents();
    EXPECT_THAT(Messages(), ElementsAre(std::string(WebUpdateQuestion), WebUpdateFailedMessage()));
    EXPECT_NE(WebUpdateFailedMessage().find(WebUpdateAddress), std::string::npos);
    EXPECT_EQ(window_->ModalResult(), mrNone);
    EXPECT_TRUE(window_->isVisible());
}

} // namespace
} // namespace carlume::test
