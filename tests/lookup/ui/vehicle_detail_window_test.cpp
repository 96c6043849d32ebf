// The chooser window: its layout, how it is filled and sized, and how a line is chosen.

#include "lookup/ui/vehicle_detail_window.h"

#include "lookup/vehicle_detail.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include <gmock/gmock.h>

#include <ostream>
#include <utility>

namespace carlume::test {
namespace {

QRect Place(const TVehicleDetail& window, const char* name)
{
    const auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
    return control != nullptr ? control->geometry() : QRect();
}

// A grid as the choosers fill it: titles in row 0, then `rows` lines of `columns` cells.
TVehicleDetailGrid Lines(int columns, int rows, const std::string& cellText = "cell")
{
    TVehicleDetailGrid grid;
    grid.SetCaption("ISO: 2010 ARVELO TESSOR Choices");
    grid.SetDefaultColWidth(25);
    grid.SetColCount(columns);
    grid.SetRowCount(rows + 1);
    for (int column = 0; column < columns; ++column) {
        grid.SetCell(column, 0, "Title " + std::to_string(column));
        grid.FitColumnTo(column, "Title " + std::to_string(column));
        for (int row = 1; row <= rows; ++row) {
            const std::string text = cellText + " " + std::to_string(column) + "," + std::to_string(row);
            grid.SetCell(column, row, text);
            grid.FitColumnTo(column, text);
        }
    }
    return grid;
}

TEST(VehicleDetailWindow, IsLaidOutAndFittedToItsControls)
{
    TVehicleDetail window;
    EXPECT_EQ(window.Caption(), QStringLiteral("Vehicle Details"));
    EXPECT_EQ(window.Color(), VehicleDetailColor);
    EXPECT_EQ(window.Font().Name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(window.Font().Size(), 8);
    // 410 x 109 as laid out; the fit leaves 3 pixels beyond the right-most and lowest controls. The grid and
    // the buttons keep their right edges, as the right anchors are lifted while fitting, and follow the
    // lower bottom edge.
    EXPECT_EQ(window.ClientWidth(), 408);
    EXPECT_EQ(window.ClientHeight(), 108);
    EXPECT_EQ(Place(window, "Label1").topLeft(), QPoint(8, 8));
    EXPECT_EQ(Place(window, "InfoGrid"), QRect(8, 24, 395, 47));
    EXPECT_EQ(Place(window, "Ok1"), QRect(252, 79, 75, 25));
    EXPECT_EQ(Place(window, "Cancel1"), QRect(330, 79, 75, 25));
    EXPECT_TRUE(window.findChild<QPushButton*>(QStringLiteral("Ok1"))->isDefault());
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Choose the line that best describes the vehicle to be insured:"));

    // Anchored on every side, the grid grows with the window; the buttons move along.
    window.show();
    window.resize(508, 208);
    EXPECT_EQ(Place(window, "InfoGrid"), QRect(8, 24, 495, 147));
    EXPECT_EQ(Place(window, "Ok1"), QRect(352, 179, 75, 25));
    EXPECT_EQ(Place(window, "Cancel1"), QRect(430, 179, 75, 25));
    window.hide();
}

TEST(VehicleDetailWindow, TakesTheGridOfTheChoosersWithTheTitlesInRowZero)
{
    TVehicleDetail window;
    LoadVehicleDetailWindow(Lines(3, 2), window);
    EXPECT_EQ(window.Caption(), QStringLiteral("ISO: 2010 ARVELO TESSOR Choices"));
    EXPECT_EQ(window.ColCount(), 3);
    EXPECT_EQ(window.RowCount(), 3);
    EXPECT_EQ(window.Cell(1, 0), "Title 1");
    EXPECT_EQ(window.Cell(2, 2), "cell 2,2");
    const auto& grid = *window.findChild<QTableWidget*>(QStringLiteral("InfoGrid"));
    EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), QStringLiteral("Title 0"));
    EXPECT_EQ(grid.item(0, 0)->text(), QStringLiteral("cell 0,1"));
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(window.ColWidth(column),
                  window.TextWidth("cell 0,1") + TVehicleDetailGrid::ColumnTextMargin);
    EXPECT_EQ(window.Row(), 0) << "no line is current before the show";

    window.SetDefaultColWidth(40);
    EXPECT_EQ(window.ColWidth(2), 40) << "every column goes back to the default width";
}

struct SizeCase {
    std::string Name;
    int Columns;
    int Rows;
    std::string CellText;
};

class VehicleDetailSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(VehicleDetailSizeTest, IsSizedToItsGridWithinTheScreen)
{
    const SizeCase& c = GetParam();
    TVehicleDetail window;
    const TVehicleDetailGrid grid = Lines(c.Columns, c.Rows, c.CellText);
    LoadVehicleDetailWindow(grid, window);
    int columnWidths = 0;
    for (int column = 0; column < c.Columns; ++column)
        columnWidths += window.ColWidth(column);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    window.show();
    // At the starting height of 91 the grid is 17 + 61 pixels shorter than the window; then the rows and
    // titles at 16 pixels, and 25 more. The width: the columns, plus 13 beside the grid and 35 more.
    const int height = std::min(91 - 30 + (c.Rows + 2) * VehicleDetailRowHeight + 25, screen.height() - 100);
    const int width = std::max(std::min(408 - 395 + columnWidths + 35, screen.width() - 100), 325);
    EXPECT_EQ(window.ClientHeight(), height);
    EXPECT_EQ(window.ClientWidth(), width);
    EXPECT_EQ(window.x(), (screen.width() - window.frameGeometry().width()) / 2);
    EXPECT_EQ(window.y(), (screen.height() - window.frameGeometry().height()) / 2);
    EXPECT_EQ(window.Row(), 1) << "the first line is current once shown";
    window.hide();
}

INSTANTIATE_TEST_SUITE_P(Grids, VehicleDetailSizeTest,
                         ::testing::Values(SizeCase{"TwoLinesNarrow", 2, 2, "x"},
                                           SizeCase{"FiveWide", 5, 3, "a much longer cell text"},
                                           SizeCase{"Huge", 16, 100, "a very long cell text that is wide"}),
                         [](const auto& param) { return param.param.Name; });

struct ChoiceCase {
    std::string Name;
    std::function<void(TModalWindow&)> Act;
    TModalResult Result;
    int Row;
};

class VehicleDetailChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(VehicleDetailChoiceTest, ALineIsChosenWithOkEnterOrADoubleClick)
{
    TVehicleDetail window;
    LoadVehicleDetailWindow(Lines(2, 3), window);
    TModalDriver driver;
    driver.Then(GetParam().Act);
    EXPECT_EQ(window.ShowModal(), GetParam().Result);
    EXPECT_EQ(window.Row(), GetParam().Row);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, VehicleDetailChoiceTest,
    ::testing::Values(
        ChoiceCase{"OkOnTheSecondLine",
                   [](TModalWindow& w) {
                       w.Find<QTableWidget>(QStringLiteral("InfoGrid")).setCurrentCell(1, 1);
                       w.Click(QStringLiteral("Ok1"));
                   },
                   mrOk, 2},
        ChoiceCase{"EnterOnTheFirstLine",
                   [](TModalWindow& w) {
                       // The grid has the focus when the window opens.
                       EXPECT_EQ(QApplication::focusWidget(),
                                 &w.Find<QTableWidget>(QStringLiteral("InfoGrid")));
                       w.Key(Qt::Key_Return);
                   },
                   mrOk, 1},
        ChoiceCase{"DoubleClickOnTheThirdLine",
                   [](TModalWindow& w) {
                       w.DoubleClickItem(QStringLiteral("InfoGrid"), QStringLiteral("cell 1,3"));
                   },
                   mrOk, 3},
        ChoiceCase{"Esc", [](TModalWindow& w) { w.Key(QStringLiteral("InfoGrid"), Qt::Key_Escape); },
                   mrCancel, 1},
        ChoiceCase{"CancelButton", [](TModalWindow& w) { w.Click(QStringLiteral("Cancel1")); }, mrCancel, 1},
        ChoiceCase{"CloseBox", [](TModalWindow& w) { w.Close(); }, mrCancel, 1}),
    [](const auto& param) { return param.param.Name; });

TEST(VehicleDetailWindow, TheChosenLineStaysSelectedWhateverIsClicked)
{
    TVehicleDetail window;
    LoadVehicleDetailWindow(Lines(2, 2), window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto& grid = *window.findChild<QTableWidget*>(QStringLiteral("InfoGrid"));
    QWidget& cells = *grid.viewport();
    const QPoint secondLine = grid.visualItemRect(grid.item(1, 0)).center();
    QTest::mouseClick(&cells, Qt::LeftButton, {}, secondLine);
    ASSERT_EQ(grid.selectedItems().size(), 2) << "the click on the second line";
    const QPoint besideTheLines(secondLine.x(), grid.visualItemRect(grid.item(1, 0)).bottom() + 10);
    ASSERT_FALSE(grid.indexAt(besideTheLines).isValid());
    for (const auto& [modifiers, at] : {std::pair{Qt::KeyboardModifiers{}, besideTheLines},
                                        std::pair{Qt::KeyboardModifiers{Qt::ControlModifier}, secondLine}}) {
        // Through the window, as the window system delivers it.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, modifiers, cells.mapTo(&window, at));
        ASSERT_EQ(grid.selectedItems().size(), 2) << "modifiers " << int(modifiers);
        EXPECT_EQ(grid.selectedItems().front()->row(), 1);
        EXPECT_EQ(grid.currentRow(), 1);
    }
    QTest::keyClick(&grid, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(grid.selectedItems().size(), 2) << "Ctrl+Space";
}

} // namespace
} // namespace carlume::test
