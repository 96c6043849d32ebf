// The lookup window's lists and searches on the stand-in engine (see standins/chassix/chassix_data.cpp for
// its vehicles), offscreen and without a modal loop; choosers are driven by the modal driver.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include "components/date_edit.h"
#include "components/date_util.h"
#include "lookup/vin_search.h"
#include "platform/files.h"
#include "tests/support/fake_chassix.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gmock/gmock.h>

#include <algorithm>
#include <ostream>

namespace carlume::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;

const QStringList kMakes = {QStringLiteral("Arvelo"), QStringLiteral("Brenmoor"), QStringLiteral("Caldrix")};

QStringList Years(int first, int last)
{
    QStringList years;
    for (int year = first; year <= last; ++year)
        years << QString::number(year);
    return years;
}

bool HasRow(const std::vector<std::string>& rows, const std::string& row)
{
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

// --- opening ----------------------------------------------------------------------------------------------

TEST_F(LookupWindowTest, StartedByHandOpensOnTheYearMakeModelTabWithNothingSelected)
{
    record_.Clear();
    Open(false);
    EXPECT_EQ(Entries("lstYear"), Years(2009, 2027));
    EXPECT_EQ(Entries("lstMake"), kMakes) << "sorted, letter case ignored";
    // Filled for next year and the first make, which the stand-in has no models for.
    EXPECT_EQ(Selected("lstYear"), QStringLiteral("2027"));
    EXPECT_EQ(Selected("lstMake"), QStringLiteral("Arvelo"));
    EXPECT_THAT(Calls("ChassixGetListOfModels"),
                ElementsAre("ChassixGetListOfModels make=ARVELO year=2027 -> 0"));
    Show();

    EXPECT_EQ(Control<QTabWidget>("PageSearchType").currentWidget(), &Control<QWidget>("tabYMM"));
    EXPECT_FALSE(window_->VinTabShown());
    EXPECT_EQ(Selected("lstYear"), QString());
    EXPECT_EQ(Selected("lstMake"), QString());
    EXPECT_EQ(QApplication::focusWidget(), &Control<QComboBox>("lstYear"));
    EXPECT_EQ(Control<TDateEdit>("txtEffective").Text(), "12/06/2026");
    EXPECT_EQ(window_->GetEffectiveDate(), kTodayDate);
    EXPECT_TRUE(Control<QPushButton>("btnCancel").isHidden());
    EXPECT_EQ(Control<QPushButton>("btnPrint").x(), 310);
    EXPECT_EQ(Control<QPushButton>("btnClose").x(), 384);
    EXPECT_FALSE(window_->ResultShown());
    EXPECT_EQ(window_->PrintFontSize(), 10);
}

TEST_F(LookupWindowTest, ARecordWithAVinOpensOnTheVinTabWithTheVinInUpperCase)
{
    record_.Clear();
    record_.VIN = "2bmmr55x1c";
    Open(true);
    Show();
    EXPECT_EQ(Control<QTabWidget>("PageSearchType").currentWidget(), &Control<QWidget>("tabVin"));
    EXPECT_TRUE(window_->VinTabShown());
    EXPECT_EQ(Control<QLineEdit>("txtVIN").text(), QStringLiteral("2BMMR55X1C"));
    EXPECT_EQ(QApplication::focusWidget(), &Control<QLineEdit>("txtVIN"));
    EXPECT_FALSE(Control<QPushButton>("btnCancel").isHidden());
    EXPECT_EQ(Control<QPushButton>("btnPrint").x(), 236);
    EXPECT_EQ(Control<QPushButton>("btnClose").x(), 310);
    EXPECT_EQ(Control<QPushButton>("btnCancel").x(), 384);
}

TEST_F(LookupWindowTest, ARecordWithoutVinSelectsItsYearMakeAndModel)
{
    record_.Clear();
    record_.ModelYear = 2010;
    record_.Make = " arvelo ";
    record_.Model = "TESSOR";
    Open(true);
    Show();
    EXPECT_EQ(Control<QTabWidget>("PageSearchType").currentWidget(), &Control<QWidget>("tabYMM"));
    EXPECT_EQ(Selected("lstYear"), QStringLiteral("2010"));
    EXPECT_EQ(Selected("lstMake"), QStringLiteral("Arvelo"));
    EXPECT_EQ(Entries("lstModel"), QStringList({QStringLiteral("Quillon"), QStringLiteral("Tessor")}));
    EXPECT_EQ(Selected("lstModel"), QStringLiteral("Tessor"));
}

// --- lists ------------------------------------------------------------------------------------------------

TEST_F(LookupWindowTest, TheListsAreFilledOnceAndEachMakeSendsItsOwnKey)
{
    OpenShown(false);
    ResetJournal();
    window_->FillLists();
    window_->hide();
    Show();
    EXPECT_THAT(Journal(), IsEmpty()) << "neither the second fill nor the second show asks the engine";
    EXPECT_EQ(Entries("lstYear"), Years(2009, 2027));

    Pick("lstYear", QStringLiteral("2012"));
    EXPECT_THAT(Calls("ChassixGetListOfModels"), IsEmpty()) << "no make is selected after the show";
    Pick("lstMake", QStringLiteral("Caldrix"));
    EXPECT_THAT(Calls("ChassixGetListOfModels"),
                ElementsAre("ChassixGetListOfModels make=CALDRIX year=2012 -> 0"));
    EXPECT_EQ(Entries("lstModel"), QStringList({QStringLiteral("Kestrane"), QStringLiteral("Ostrel R&S"),
                                                QStringLiteral("Vantle")}));
    ResetJournal();
    Control<QComboBox>("lstYear").setCurrentIndex(1);
    Control<QComboBox>("lstMake").setCurrentIndex(2);
    EXPECT_THAT(Journal(), IsEmpty()) << "only the user's choice refills the models";
}

TEST_F(LookupWindowTest, EveryRefillFreesTheEngineObjectsOfTheListBefore)
{
    OpenShown(false);
    EXPECT_EQ(LiveEntries(), 3) << "three makes, no model";
    Pick("lstYear", QStringLiteral("2012"));
    Pick("lstMake", QStringLiteral("Caldrix"));
    EXPECT_EQ(LiveEntries(), 3 + 3);
    Pick("lstMake", QStringLiteral("Brenmoor"));
    EXPECT_EQ(LiveEntries(), 3 + 1);
    Pick("lstYear", QStringLiteral("2009"));
    EXPECT_EQ(LiveEntries(), 3);
    Pick("lstYear", QStringLiteral("2010"));
    Pick("lstMake", QStringLiteral("Arvelo"));
    EXPECT_EQ(LiveEntries(), 3 + 2);
    window_->FreeModelObjects();
    EXPECT_EQ(LiveEntries(), 3);
    EXPECT_THAT(Entries("lstModel"), IsEmpty());
    Pick("lstYear", QStringLiteral("2010"));
    window_.reset();
    EXPECT_EQ(LiveEntries(), 0) << "closing the window frees both lists before the engine goes";
    EXPECT_THAT(Journal(), Not(Contains(testing::HasSubstr("BAD DESTROY"))));
}

struct FailedFillCase {
    std::string Name;
    std::string Entry;
};

class LookupWindowFailedFillTest : public LookupWindowTest,
                                   public ::testing::WithParamInterface<FailedFillCase> {};

TEST_P(LookupWindowFailedFillTest, AWindowThatCannotBeFilledLeavesNoEngineObjectBehind)
{
    setenv(CHASSIX_FAKE_ENV_THROW, GetParam().Entry.c_str(), 1);
    record_.Clear();
    record_.ModelYear = 2010;
    record_.Make = "Arvelo";
    EXPECT_THROW(Open(true), std::exception);
    EXPECT_EQ(window_, nullptr);
    EXPECT_EQ(LiveEntries(), 0);
    unsetenv(CHASSIX_FAKE_ENV_THROW);
}

INSTANTIATE_TEST_SUITE_P(Entries, LookupWindowFailedFillTest,
                         ::testing::Values(FailedFillCase{"Makes", "ChassixGetListOfMakes"},
                                           FailedFillCase{"Years", "ChassixGetEarliestSymbolYearAvailable"},
                                           FailedFillCase{"Models", "ChassixGetListOfModels"}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowTest, AModelListTheEngineFailsToFillIsEmptiedAndTheErrorShown)
{
    OpenShown(false);
    Pick("lstYear", QStringLiteral("2010"));
    Pick("lstMake", QStringLiteral("Arvelo"));
    ASSERT_EQ(LiveEntries(), 3 + 2);
    ThrowIn("ChassixGetListOfModels");
    Pick("lstYear", QStringLiteral("2012"));
    EXPECT_THAT(fakes_.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre(testing::HasSubstr("Chassix stand-in failure in ChassixGetListOfModels")));
    EXPECT_THAT(Entries("lstModel"), IsEmpty());
    EXPECT_EQ(LiveEntries(), 3);
}

TEST_F(LookupWindowTest, AChangedYearOrMakeEmptiesTheResult)
{
    OpenShown(false);
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    window_->btnSearchByVINClick();
    ASSERT_TRUE(window_->ResultShown());
    Pick("lstYear", QStringLiteral("2011"));
    EXPECT_FALSE(window_->ResultShown());
    EXPECT_THAT(ResultRows(), ElementsAre("|"));
    EXPECT_FALSE(Control<QPushButton>("btnPrint").isEnabled());
}

// --- searches by VIN --------------------------------------------------------------------------------------

TEST_F(LookupWindowTest, AVinFoundAtOnceIsListedWithItsLabels)
{
    OpenShown(false);
    ResetJournal();
    QTest::keyClicks(&Control<QLineEdit>("txtVIN"), QStringLiteral(" 1avql14s1a "));
    EXPECT_EQ(Control<QLineEdit>("txtVIN").text(), QStringLiteral(" 1AVQL14S1A "));
    Control<QPushButton>("btnSearchByVIN").click();

    EXPECT_THAT(Calls("ChassixGetRecordByVIN"),
                ElementsAre("ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=46362 -> 1",
                            "ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=46362 -> 1"));
    EXPECT_TRUE(window_->ResultShown());
    EXPECT_EQ(window_->ResultImage(), riSuccess);
    EXPECT_EQ(Criteria(), QStringLiteral(" Lookup By: 1AVQL14S1A"));
    EXPECT_TRUE(Control<QPushButton>("btnPrint").isEnabled());
    const std::vector<std::string> rows = ResultRows();
    ASSERT_THAT(rows, Not(IsEmpty()));
    EXPECT_EQ(rows.front(), "Model Year| 2010");
    EXPECT_TRUE(HasRow(rows, "Model| Quillon"));
    EXPECT_TRUE(HasRow(rows, "VIN| 1AVQL14S1A"));
    EXPECT_FALSE(HasRow(rows, "Other Info| ")) << "empty values only with Show all Detail Items";
    EXPECT_EQ(record_.Model, "Quillon");
    EXPECT_EQ(QApplication::focusWidget(), &Control<QPushButton>("btnSearchByVIN"));
}

TEST_F(LookupWindowTest, AVinNotFoundShowsTheFailureAndNoResult)
{
    OpenShown(false);
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    window_->btnSearchByVINClick();
    ASSERT_TRUE(window_->ResultShown());
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("9ZZZZ99Z9Z"));
    window_->btnSearchByVINClick();
    EXPECT_FALSE(window_->ResultShown());
    EXPECT_EQ(window_->ResultImage(), riFailure);
    EXPECT_THAT(ResultRows(), ElementsAre("|"));
    EXPECT_FALSE(Control<QPushButton>("btnPrint").isEnabled());
    EXPECT_EQ(Criteria(), QStringLiteral(" Lookup By: 9ZZZZ99Z9Z"));
    EXPECT_EQ(record_.ModelYear, 0);
}

TEST_F(LookupWindowTest, AVinShorterThanTheEnginesMinimumIsNoSearch)
{
    record_.Clear();
    record_.Make = "untouched";
    Open(false);
    Show();
    ResetJournal();
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("  1AVQL14S1  "));
    window_->btnSearchByVINClick();
    EXPECT_THAT(Messages(), ElementsAre(ShortVinMessage(10)));
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"), IsEmpty());
    EXPECT_EQ(Criteria(), QStringLiteral(" Invalid VIN Specified"));
    EXPECT_EQ(window_->ResultImage(), riFailure);
    EXPECT_EQ(record_.Make, "untouched");
}

TEST_F(LookupWindowTest, EnterInTheVinFieldSearchesOnce)
{
    OpenShown(false);
    ResetJournal();
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    QTest::keyClick(&Control<QLineEdit>("txtVIN"), Qt::Key_Return);
    EXPECT_THAT(Calls("ChassixGetMinVinSizePermitted"), SizeIs(1));
    EXPECT_TRUE(window_->ResultShown());
    ASSERT_EQ(QApplication::focusWidget(), &Control<QPushButton>("btnSearchByVIN"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_THAT(Calls("ChassixGetMinVinSizePermitted"), SizeIs(2)) << "Enter on the focused button clicks it";
}

TEST_F(LookupWindowTest, AnEngineErrorInTheVinSearchIsShownAndTheEngineMaySpeakAgain)
{
    OpenShown(false);
    ResetJournal();
    ThrowIn("ChassixGetFirstVIN");
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    Control<QPushButton>("btnSearchByVIN").click();

    EXPECT_THAT(fakes_.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre(testing::HasSubstr("Chassix stand-in failure in ChassixGetFirstVIN")));
    const std::vector<std::string> switches = Calls("ChassixSetSuppressMessages");
    ASSERT_THAT(switches, Not(IsEmpty()));
    EXPECT_EQ(switches.back(), "ChassixSetSuppressMessages suppress=0 -> 0");
    EXPECT_FALSE(window_->ResultShown());
    EXPECT_TRUE(window_->isVisible()) << "the window stays open";
}

TEST_F(LookupWindowTest, TheSilentSearchUsesTheRecordsOwnDate)
{
    record_.Clear();
    record_.VIN = "1AVTS26G1A";
    record_.Effective = EncodeDate(2014, 5, 1);
    Open(true);
    ResetJournal();
    window_->SearchByVIN(true);
    EXPECT_EQ(Control<TDateEdit>("txtEffective").Text(), "05/01/2014");
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"),
                Contains("ChassixGetRecordByVIN vin=1AVTS26G1A mode=1 eff=41760 -> 1"));
    EXPECT_EQ(record_.ModelYear, 2010);
    EXPECT_EQ(record_.Model, "Tessor GT");
    EXPECT_TRUE(window_->ResultShown());
}

// --- original symbol --------------------------------------------------------------------------------------

struct LocaleCase {
    std::string Name;
    std::string ShortDateFormat;
    char Separator;
    std::string Shown;
};

class LookupWindowLocaleTest : public LookupWindowTest, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(LookupWindowLocaleTest, TheOriginalSymbolDateIsTheSameInEveryDateOrder)
{
    TFormatSettings locale = USFormatSettings();
    locale.ShortDateFormat = GetParam().ShortDateFormat;
    locale.DateSeparator = GetParam().Separator;
    ScopedFormatSettings scoped(locale);
    ScopedFourDigitYear fourDigits(true);
    record_.Clear();
    record_.VIN = "1AVQL14S1A";
    record_.Effective = EncodeDate(1950, 1, 1);
    Open(true);
    Show();
    auto& date = Control<TDateEdit>("txtEffective");
    EXPECT_TRUE(Control<QCheckBox>("chkOrigSym").isChecked());
    EXPECT_FALSE(date.isEnabled());
    EXPECT_EQ(date.Text(), GetParam().Shown);
    EXPECT_EQ(window_->GetEffectiveDate(), OriginalSymbolDate());

    ResetJournal();
    window_->btnSearchByVINClick();
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"),
                Contains("ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=18264 -> 1"));
    EXPECT_EQ(record_.Symbol, 9) << "the symbol before its change";

    Control<QCheckBox>("chkOrigSym").click();
    EXPECT_TRUE(date.isEnabled());
    EXPECT_EQ(window_->GetEffectiveDate(), kTodayDate);
}

INSTANTIATE_TEST_SUITE_P(DateOrders, LookupWindowLocaleTest,
                         ::testing::Values(LocaleCase{"MonthFirst", "M/d/yyyy", '/', "01/01/1950"},
                                           LocaleCase{"DayFirst", "dd.MM.yyyy", '.', "01.01.1950"},
                                           LocaleCase{"YearFirst", "yyyy-MM-dd", '-', "1950-01-01"}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowTest, ARunStartedByHandIgnoresTheOriginalSymbolDate)
{
    record_.Clear();
    record_.Effective = OriginalSymbolDate();
    Open(false);
    EXPECT_FALSE(Control<QCheckBox>("chkOrigSym").isChecked());
    EXPECT_EQ(window_->GetEffectiveDate(), kTodayDate);
}

// --- searches by year, make and model ---------------------------------------------------------------------

class LookupWindowYmmTest : public LookupWindowTest {
protected:
    void Choose(const QString& year, const QString& make, const QString& model)
    {
        Pick("lstYear", year);
        Pick("lstMake", make);
        Pick("lstModel", model);
    }
    void Search() { Control<QPushButton>("btnSearchByYMM").click(); }
};

TEST_F(LookupWindowYmmTest, AModelWithOneSubModelIsFoundWithoutAChooser)
{
    OpenShown(false);
    Choose(QStringLiteral("2010"), QStringLiteral("Arvelo"), QStringLiteral("Quillon"));
    ResetJournal();
    TModalDriver driver; // any window that comes up is a failure
    Search();
    EXPECT_TRUE(window_->ResultShown());
    EXPECT_EQ(window_->ResultImage(), riSuccess);
    EXPECT_EQ(Criteria(), QStringLiteral(" Lookup by 2010 Arvelo Quillon"));
    EXPECT_EQ(record_.Model, "Quillon");
    EXPECT_EQ(record_.LookupMode, 1);
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"),
                ElementsAre("ChassixGetRecordByVIN vin=1AVQL14S&A mode=1 eff=46362 -> 1"));
    EXPECT_EQ(QApplication::focusWidget(), &Control<QPushButton>("btnSearchByYMM"));
}

TEST_F(LookupWindowYmmTest, ACancelledSubModelChooserEmptiesAnEarlierResult)
{
    OpenShown(false);
    Choose(QStringLiteral("2010"), QStringLiteral("Arvelo"), QStringLiteral("Quillon"));
    Search();
    ASSERT_TRUE(window_->ResultShown());
    Pick("lstModel", QStringLiteral("Tessor"));
    TModalDriver driver;
    driver.Then([](TModalWindow& chooser) { chooser.Click(QStringLiteral("Cancel1")); });
    Search();
    EXPECT_FALSE(window_->ResultShown());
    EXPECT_EQ(window_->ResultImage(), riFailure);
    EXPECT_THAT(ResultRows(), ElementsAre("|"));
    EXPECT_FALSE(Control<QPushButton>("btnPrint").isEnabled());
    EXPECT_EQ(record_.ModelYear, 0) << "nothing of the earlier vehicle is left";
    EXPECT_EQ(record_.Make, "");
}

TEST_F(LookupWindowYmmTest, AModelWithoutSubModelsIsNotFound)
{
    OpenShown(false);
    Choose(QStringLiteral("2010"), QStringLiteral("Arvelo"), QStringLiteral("Quillon"));
    Search();
    Choose(QStringLiteral("2012"), QStringLiteral("Caldrix"), QStringLiteral("Vantle"));
    Search();
    EXPECT_FALSE(window_->ResultShown());
    EXPECT_EQ(window_->ResultImage(), riFailure);
    EXPECT_EQ(record_.ModelYear, 0);
    EXPECT_EQ(record_.Effective, kTodayDate) << "the cleared record keeps the lookup date";
    EXPECT_EQ(Criteria(), QStringLiteral(" Lookup by 2012 Caldrix Vantle"));
}

TEST_F(LookupWindowYmmTest, ANewerModelIsLookedUpInModeThreeAndItsAmpersandShowsOnce)
{
    OpenShown(false);
    Choose(QStringLiteral("2012"), QStringLiteral("Caldrix"), QStringLiteral("Ostrel R&S"));
    ResetJournal();
    Search();
    EXPECT_THAT(Calls("ChassixGetRecordByVIN"),
                ElementsAre("ChassixGetRecordByVIN vin=3CXOS21C&C mode=3 eff=46362 -> 1"));
    EXPECT_TRUE(window_->ResultShown());
    EXPECT_EQ(Criteria(), QStringLiteral(" Lookup by 2012 Caldrix Ostrel R&S"));
    EXPECT_TRUE(HasRow(ResultRows(), "Model| Ostrel R&S"));
}

TEST_F(LookupWindowYmmTest, EnterInTheModelListSearchesOnce)
{
    OpenShown(false);
    Choose(QStringLiteral("2010"), QStringLiteral("Arvelo"), QStringLiteral("Quillon"));
    ResetJournal();
    QTest::keyClick(&Control<QComboBox>("lstModel"), Qt::Key_Return);
    EXPECT_THAT(Calls("ChassixGetFirstSubModel"), SizeIs(1));
    EXPECT_TRUE(window_->ResultShown());
}

struct MissingCase {
    std::string Name;
    bool Year;
    bool Make;
    bool Model;
    const char* Focus;
};

class LookupWindowMissingTest : public LookupWindowYmmTest,
                                public ::testing::WithParamInterface<MissingCase> {};

TEST_P(LookupWindowMissingTest, ASearchWithoutYearMakeOrModelAsksForThem)
{
    OpenShown(false);
    Choose(QStringLiteral("2010"), QStringLiteral("Arvelo"), QStringLiteral("Quillon"));
    Search();
    ASSERT_TRUE(window_->ResultShown());
    if (!GetParam().Year)
        Control<QComboBox>("lstYear").setCurrentIndex(-1);
    if (!GetParam().Make)
        Control<QComboBox>("lstMake").setCurrentIndex(-1);
    if (!GetParam().Model)
        Control<QComboBox>("lstModel").setCurrentIndex(-1);
    ResetJournal();
    Search();
    EXPECT_THAT(Messages(), ElementsAre(std::string(YmmRequiredMessage)));
    EXPECT_THAT(Journal(), IsEmpty()) << "no entry that is not selected is read";
    EXPECT_EQ(QApplication::focusWidget(), &Control<QComboBox>(GetParam().Focus));
    EXPECT_TRUE(window_->ResultShown()) << "the shown result stays";
}

INSTANTIATE_TEST_SUITE_P(Selections, LookupWindowMissingTest,
                         ::testing::Values(MissingCase{"NoYear", false, true, true, "lstYear"},
                                           MissingCase{"NoMake", true, false, true, "lstMake"},
                                           MissingCase{"NoModel", true, true, false, "lstModel"},
                                           MissingCase{"NoYearNoMake", false, false, true, "lstYear"}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowYmmTest, TheSearchButtonFollowsTheModelSelection)
{
    OpenShown(false);
    Pick("lstYear", QStringLiteral("2010"));
    Pick("lstMake", QStringLiteral("Arvelo"));
    Pick("lstModel", QStringLiteral("Tessor"));
    EXPECT_TRUE(Control<QPushButton>("btnSearchByYMM").isEnabled());
    Control<QComboBox>("lstModel").setCurrentIndex(-1);
    Q_EMIT Control<QComboBox>("lstModel").activated(-1);
    EXPECT_FALSE(Control<QPushButton>("btnSearchByYMM").isEnabled());
}

// --- settings -------------------------------------------------------------------------------------------

// --- the result -------------------------------------------------------------------------------------------

TEST_F(LookupWindowTest, ShowAllDetailItemsListsOnlyAResultThatIsShown)
{
    record_.Clear();
    record_.VIN = "1AVQL14S1A";
    record_.ModelYear = 2010;
    Open(true);
    Show();
    auto& showAll = Control<QCheckBox>("chkShowAllDetail");
    showAll.click();
    EXPECT_FALSE(window_->ResultShown()) << "a fragment from the command line is no result";
    EXPECT_THAT(ResultRows(), ElementsAre("|"));
    EXPECT_FALSE(Control<QPushButton>("btnPrint").isEnabled());
    showAll.click();

    window_->btnSearchByVINClick();
    const std::size_t shortList = ResultRows().size();
    EXPECT_FALSE(HasRow(ResultRows(), "Other Info| "));
    showAll.click();
    const std::vector<std::string> full = ResultRows();
    EXPECT_TRUE(HasRow(full, "Other Info| "));
    EXPECT_TRUE(HasRow(full, "State Exceptions| "));
    EXPECT_EQ(full.size(), shortList + 2);
    showAll.click();
    EXPECT_EQ(ResultRows().size(), shortList);
    EXPECT_TRUE(window_->ResultShown());
}

TEST_F(LookupWindowTest, AClickOnARowPutsItsValueOnTheClipboard)
{
    OpenShown(false);
    auto& grid = Control<QTableWidget>("grdDetail");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(0, 1)).center());
    EXPECT_THAT(fakes_.Clipboard.Writes(), ElementsAre("")) << "the empty grid's cell";

    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    window_->btnSearchByVINClick();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(2, 0)).center());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(0, 1)).center());
    EXPECT_THAT(fakes_.Clipboard.Writes(), ElementsAre("", " Quillon", " 2010"));
}

} // namespace
} // namespace carlume::test
