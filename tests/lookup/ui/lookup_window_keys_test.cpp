// The lookup window and the chooser with the keyboard alone, and the look of focus, disabled buttons and
// the application title.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/print_case_name.h"
#include "tests/support/test_output.h"

#include "lookup/ui/qt_carquery_ui.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gmock/gmock.h>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;

// --- the chooser
// --------------------------------------------------------------------------------------------

struct ChooserKeyCase {
    std::string Name;
    const char* Start;
    Qt::Key Key;
    const char* Focus; // where the focus is afterwards
    TModalResult Result;
};

class ChooserKeyTest : public ::testing::TestWithParam<ChooserKeyCase> {};

TEST_P(ChooserKeyTest, KeysGoWhereAPersonExpects)
{
    const ChooserKeyCase& c = GetParam();
    TVehicleDetail chooser;
    chooser.SetColCount(2);
    chooser.SetRowCount(3);
    for (int row = 0; row < 3; ++row) {
        chooser.SetCell(0, row, "model " + std::to_string(row));
        chooser.SetCell(1, row, "symbol " + std::to_string(row));
    }
    chooser.show();
    chooser.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    auto* start = chooser.findChild<QWidget*>(QString::fromLatin1(c.Start));
    start->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(start, c.Key);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), c.Focus);
    EXPECT_EQ(chooser.ModalResult(), c.Result);
    EXPECT_EQ(chooser.Row(), 1) << "Tab never moves the chosen row";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ChooserKeyTest,
    ::testing::Values(ChooserKeyCase{"TabLeavesTheGrid", "InfoGrid", Qt::Key_Tab, "Ok1", mrNone},
                      ChooserKeyCase{"TabFromOkToCancel", "Ok1", Qt::Key_Tab, "Cancel1", mrNone},
                      ChooserKeyCase{"EnterOnCancelCancels", "Cancel1", Qt::Key_Return, "Cancel1", mrCancel},
                      ChooserKeyCase{"EnterOnOkChooses", "Ok1", Qt::Key_Return, "Ok1", mrOk},
                      ChooserKeyCase{"EnterInTheGridChooses", "InfoGrid", Qt::Key_Enter, "InfoGrid", mrOk}),
    [](const auto& param) { return param.param.Name; });

TEST(ApplicationTitleTest, GivenOnlyWhenTheRunIsOver)
{
    const QString before = QGuiApplication::applicationDisplayName();
    {
        TQtCarqueryUi ui;
        EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Carlume"))
            << "Qt would add it to every window title of the run";
        ui.SetApplicationTitle("Carlume");
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Carlume"));
    }
    QGuiApplication::setApplicationDisplayName(before);
}

// --- the lookup window
// ----------------------------------------------------------------------------------------

class LookupWindowKeysTest : public LookupWindowTest {
protected:
    void OpenAndShow(bool startedWithParams)
    {
        record_.Clear();
        Open(startedWithParams);
        Show();
    }
    void FindQuillon()
    {
        Control<QTabWidget>("PageSearchType").setCurrentIndex(0);
        Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
        window_->btnSearchByVINClick();
        ASSERT_TRUE(window_->ResultShown());
    }
};

TEST_F(LookupWindowKeysTest, EnterOnAFocusedButtonClicksIt)
{
    OpenAndShow(false);
    auto& close = Control<QPushButton>("btnClose");
    close.setFocus(Qt::OtherFocusReason);
    QTest::keyClick(&close, Qt::Key_Return);
    EXPECT_EQ(window_->ModalResult(), mrCancel);
}

TEST_F(LookupWindowKeysTest, ASharedAcceleratorClicksTheFirstButton)
{
    OpenAndShow(true);
    ASSERT_TRUE(Control<QPushButton>("btnCancel").isVisible());
    fakes_.Dialogs.QueueYesNo(false);
    QTest::keyClick(window_.get(), Qt::Key_C, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_THAT(Messages(), ElementsAre(std::string(CancelLookupQuestion))) << "&Close, before &Cancel";
    EXPECT_EQ(window_->ModalResult(), mrNone);
}

TEST_F(LookupWindowKeysTest, ArrowKeysInTheResultCopyLikeAClick)
{
    OpenAndShow(false);
    FindQuillon();
    auto& grid = Control<QTableWidget>("grdDetail");
    grid.setFocus(Qt::OtherFocusReason);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Down);
    ASSERT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(fakes_.Clipboard.Text(), window_->ResultCell(1, 2));
    EXPECT_EQ(fakes_.Clipboard.Writes().size(), 2U);
}

struct GridTabCase {
    std::string Name;
    int Column;                  // of the clicked cell, in row 1
    Qt::KeyboardModifiers Shift; // with the Tab key
    const char* Focus;           // where the focus is afterwards
};

class LookupWindowGridTab : public LookupWindowKeysTest, public ::testing::WithParamInterface<GridTabCase> {};

// The result grid is no tab stop: after a click in it, Tab and Shift+Tab go on to the next and the
// previous control, and only the click put a value on the clipboard.
TEST_P(LookupWindowGridTab, TabLeavesTheGrid)
{
    const GridTabCase& c = GetParam();
    OpenAndShow(false);
    FindQuillon();
    auto& grid = Control<QTableWidget>("grdDetail");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(1, c.Column)).center());
    ASSERT_TRUE(grid.hasFocus());
    QTest::keyClick(&grid, Qt::Key_Tab, c.Shift);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), c.Focus);
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(grid.currentColumn(), c.Column);
    EXPECT_THAT(fakes_.Clipboard.Writes(), ElementsAre(window_->ResultCell(1, 1)));
}

INSTANTIATE_TEST_SUITE_P(Keys, LookupWindowGridTab,
                         ::testing::Values(GridTabCase{"TabFromAValue", 1, Qt::NoModifier, "txtEffective"},
                                           GridTabCase{"TabFromALabel", 0, Qt::NoModifier, "txtEffective"},
                                           GridTabCase{"ShiftTabFromAValue", 1, Qt::ShiftModifier,
                                                       "btnSearchByVIN"}),
                         ByName);

TEST_F(LookupWindowKeysTest, AFocusedLabelShowsTheFocus)
{
    OpenAndShow(false);
    FindQuillon();
    auto& grid = Control<QTableWidget>("grdDetail");
    const QRect label = grid.visualRect(grid.model()->index(1, 0));
    const QImage unfocused = grid.viewport()->grab().toImage();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, label.center());
    ASSERT_TRUE(grid.hasFocus());
    const QImage focused = grid.viewport()->grab().toImage();
    focused.save(QString::fromStdString((TestOutputFolder() / "grid_label_focused.png").string()));
    int framed = 0;
    for (int x = label.left(); x <= label.right(); ++x)
        framed += focused.pixel(x, label.top()) != unfocused.pixel(x, label.top()) ? 1 : 0;
    EXPECT_GT(framed, label.width() / 3) << "a dotted frame along the label's top edge";
    EXPECT_EQ(focused.pixel(label.center()), unfocused.pixel(label.center()))
        << "the label keeps its colours";
}

TEST_F(LookupWindowKeysTest, TheTabStripShowsWhenItHasTheFocus)
{
    OpenAndShow(false);
    QTabBar& tabs = *Control<QTabWidget>("PageSearchType").tabBar();
    const QImage unfocused = tabs.grab().toImage();
    tabs.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(tabs.hasFocus());
    const QImage focused = tabs.grab().toImage();
    focused.save(QString::fromStdString((TestOutputFolder() / "tabs_focused.png").string()));
    EXPECT_NE(focused, unfocused);
}

TEST_F(LookupWindowKeysTest, DisabledButtonsLookDisabled)
{
    OpenAndShow(false);
    const QPalette palette = Control<QPushButton>("btnPrint").palette();
    ASSERT_FALSE(Control<QPushButton>("btnPrint").isEnabled());
    EXPECT_NE(palette.color(QPalette::Disabled, QPalette::ButtonText),
              palette.color(QPalette::Active, QPalette::ButtonText));
}

// The darkness of a label's text drawn on white.
long Ink(QLabel& label)
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    long ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    }
    return ink;
}

TEST_F(LookupWindowKeysTest, SearchResultsReadsAsBold)
{
    OpenAndShow(false);
    QLabel& heading = Control<QLabel>("Label3");
    QLabel regular(heading.text());
    regular.setFont(window_->font());
    regular.resize(heading.size());
    // Bold text carries about a fifth more ink; a bold face drawn with one-pixel stems only a tenth.
    EXPECT_GT(double(Ink(heading)), 1.17 * double(Ink(regular)));
}

TEST_F(LookupWindowKeysTest, TheWindowIsNeverSmallerThanItsLayout)
{
    OpenAndShow(true);
    const QSize laidOut = window_->size();
    window_->resize(200, 150);
    QApplication::processEvents();
    EXPECT_GE(window_->width(), laidOut.width());
    EXPECT_GE(window_->height(), laidOut.height());
    EXPECT_GE(window_->ClientWidth(), 466);
}

} // namespace
} // namespace carlume::test
