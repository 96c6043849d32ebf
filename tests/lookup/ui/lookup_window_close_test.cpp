// How the lookup window ends (Close, Cancel, Esc, the close box) and whole runs of the program through
// the Qt desktop, with the lookup window and its choosers driven by the modal driver.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"
#include "tests/support/user_lookalikes.h"

#include "lookup/carquery.h"
#include "lookup/command_line.h"
#include "lookup/ui/qt_carquery_ui.h"
#include "platform/files.h"
#include "platform/gui/resources.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gmock/gmock.h>

#include <ostream>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class LookupWindowCloseTest : public LookupWindowTest {
protected:
    std::string IniFile() const { return windows_ / "cquery.ini"; }
    /// Opens the window on a cleared record.
    void OpenWith(bool startedWithParams)
    {
        record_.Clear();
        Open(startedWithParams);
    }
    /// Finds the Quillon in the shown window (each show empties the result).
    static void FindQuillon(TModalWindow& window)
    {
        window.Find<QTabWidget>(QStringLiteral("PageSearchType")).setCurrentIndex(0);
        window.Type(QStringLiteral("txtVIN"), QStringLiteral("1AVQL14S1A"));
        window.Click(QStringLiteral("btnSearchByVIN"));
        ASSERT_TRUE(window.As<TfrmCarquery>().ResultShown());
    }
};

struct EndCase {
    std::string Name;
    bool StartedWithParams;
    int How; // 0 Cancel button, 1 Esc, 2 close box
    TModalResult Expected;
};

class LookupWindowEndTest : public LookupWindowCloseTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(LookupWindowEndTest, CancelEscAndTheCloseBoxEndWithoutAResultQuestionOrNote)
{
    const EndCase& c = GetParam();
    OpenWith(c.StartedWithParams);
    TModalDriver driver;
    driver.Then([&](TModalWindow& window) {
        FindQuillon(window);
        switch (c.How) {
        case 0:
            window.Click(QStringLiteral("btnCancel"));
            break;
        case 1:
            window.Key(QStringLiteral("txtVIN"), Qt::Key_Escape);
            if (!c.StartedWithParams) {
                QApplication::processEvents();
                EXPECT_TRUE(window.Widget().isVisible()) << "Esc does nothing without the Cancel button";
                window.Close();
            }
            break;
        default:
            window.Close();
            break;
        }
    });
    EXPECT_EQ(window_->ShowModal(), c.Expected);
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_FALSE(FileExists(IniFile()));
}

INSTANTIATE_TEST_SUITE_P(Ways, LookupWindowEndTest,
                         ::testing::Values(EndCase{"CancelButton", true, 0, mrCancel},
                                           EndCase{"Esc", true, 1, mrCancel},
                                           EndCase{"EscWithoutCancelButton", false, 1, mrCancel},
                                           EndCase{"CloseBox", true, 2, mrCancel},
                                           EndCase{"CloseBoxByHand", false, 2, mrCancel}),
                         [](const auto& param) { return param.param.Name; });

TEST_F(LookupWindowCloseTest, AnUnwritableNoteIsShownAndTheWindowStillCloses)
{
    OpenWith(false);
    // A folder where the file should be: it cannot be written.
    std::filesystem::create_directory(IniFile());
    TModalDriver driver;
    driver.Then([](TModalWindow& window) {
        FindQuillon(window);
        window.Click(QStringLiteral("btnClose"));
    });
    EXPECT_EQ(window_->ShowModal(), mrOk);
    EXPECT_THAT(fakes_.Dialogs.Messages(TMsgDlgType::mtError),
                ElementsAre("Unable to write to " + IniFile() + ". Is a directory"));
}

// --- whole runs through the Qt desktop --------------------------------------------------------------------

class QtDesktopRunTest : public LookupWindowTest {
protected:
    int Run(const std::vector<std::string>& params)
    {
        std::vector<const char*> argv{programArg_.c_str()};
        for (const std::string& param : params)
            argv.push_back(param.c_str());
        return RunCarquery(ui_, TCommandLine::FromArgs(int(argv.size()), argv.data()));
    }
    std::string DataFile() const { return program_ / "Data/cquery.dat"; }

    std::string programArg_ = program_ / "cquery";
    TQtCarqueryUi ui_;
};

TEST_F(QtDesktopRunTest, TheDesktopHasTheHandCursorsRegistered)
{
    // Nothing else in the program registers them.
    EXPECT_EQ(CursorFor(crUiHand).hotSpot(), QPoint(6, 16));
    EXPECT_EQ(CursorFor(crUiDragHand).hotSpot(), QPoint(15, 16));
}

TEST_F(QtDesktopRunTest, WithoutSwitchesAPersonSearchesPicksAndClosesWithTheVehicle)
{
    std::filesystem::create_directory(program_ / "Data");
    const std::vector<std::string> folders{program_.Path(), program_ / "Data", windows_.Path()};
    for (const std::string& folder : folders)
        PlantUserLookalikes(folder);
    TModalDriver driver;
    driver.ThenOn<TfrmCarquery>([](TfrmCarquery& window, TModalWindow& w) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Tamsel Software Carlume"));
        // A year, make and model with a chooser first, then a VIN with one.
        w.Pick(QStringLiteral("lstYear"), QStringLiteral("2010"));
        w.Pick(QStringLiteral("lstMake"), QStringLiteral("Arvelo"));
        w.Pick(QStringLiteral("lstModel"), QStringLiteral("Tessor"));
        w.Click(QStringLiteral("btnSearchByYMM"));
    });
    driver.ThenOn<TVehicleDetail>([](TVehicleDetail&, TModalWindow& chooser) {
        chooser.DoubleClickItem(QStringLiteral("InfoGrid"), QStringLiteral("1AVTS22L&A"));
    });
    driver.ThenAgain([](TModalWindow& w) {
        EXPECT_TRUE(w.As<TfrmCarquery>().ResultShown());
        w.Find<QTabWidget>(QStringLiteral("PageSearchType")).setCurrentIndex(0);
        w.Type(QStringLiteral("txtVIN"), QStringLiteral("2bmmr55x1c"));
        w.Click(QStringLiteral("btnSearchByVIN"));
    });
    driver.ThenOn<TVehicleDetail>([](TVehicleDetail&, TModalWindow& chooser) {
        chooser.DoubleClickItem(QStringLiteral("InfoGrid"), QStringLiteral("Morrow SE"));
    });
    driver.ThenAgain([](TModalWindow& w) { w.Click(QStringLiteral("btnClose")); });

    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(driver.StepsWaiting(), 0);
    const std::string file = ReadAll(DataFile());
    EXPECT_THAT(file, HasSubstr("\r\nModel=Morrow SE\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nVIN=2BMMR55X1C\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nComp_Symbol=15\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nEffective=12/6/2026\r\n"));
    EXPECT_THAT(ReadAll(windows_ / "cquery.ini"), HasSubstr("[Settings]\r\nUseOrigSymbol=0\r\n"));
    EXPECT_EQ(ChassixLibHandle(), nullptr);
    for (const std::string& folder : folders)
        EXPECT_THAT(LostUserLookalikes(folder), IsEmpty()) << folder;
}

TEST_F(QtDesktopRunTest, PrintOpensThePrintDialogOfTheDesktopsPrinter)
{
    std::filesystem::create_directory(program_ / "Data");
    QString dialogClass;
    TModalDriver driver;
    driver.ThenOn<TfrmCarquery>([](TfrmCarquery&, TModalWindow& w) {
        w.Find<QTabWidget>(QStringLiteral("PageSearchType")).setCurrentIndex(0);
        w.Type(QStringLiteral("txtVIN"), QStringLiteral("1AVQL14S1A"));
        w.Click(QStringLiteral("btnSearchByVIN"));
        w.Click(QStringLiteral("btnPrint"));
    });
    driver.Then([&](TModalWindow& dialog) {
        dialogClass = QString::fromLatin1(dialog.Widget().metaObject()->className());
        dialog.Close();
    });
    driver.ThenAgain([](TModalWindow& w) { w.Click(QStringLiteral("btnClose")); });
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(driver.StepsWaiting(), 0);
    EXPECT_EQ(dialogClass, QStringLiteral("QPrintDialog"));
    EXPECT_THAT(ReadAll(DataFile()), HasSubstr("\r\nVIN=1AVQL14S1A\r\n")) << "nothing printed, still found";
}

TEST_F(QtDesktopRunTest, AVinNotFoundOnTheCommandLineOpensTheWindowOnIt)
{
    std::filesystem::create_directory(program_ / "Data");
    TModalDriver driver;
    driver.ThenOn<TfrmCarquery>([](TfrmCarquery& window, TModalWindow& w) {
        EXPECT_TRUE(window.VinTabShown());
        EXPECT_EQ(w.Find<QLineEdit>(QStringLiteral("txtVIN")).text(), QStringLiteral("9ZZZZ99Z9Z"));
        w.Click(QStringLiteral("btnCancel"));
    });
    EXPECT_EQ(Run({"/VIN=9ZZZZ99Z9Z"}), 0);
    EXPECT_EQ(driver.StepsWaiting(), 0);
    EXPECT_FALSE(FileExists(DataFile()));
}

} // namespace
} // namespace carlume::test
