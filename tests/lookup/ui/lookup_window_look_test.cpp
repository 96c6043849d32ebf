// How the lookup window and the chooser look: pictures for people under $CARLUME_TEST_OUTPUT, and pixel
// probes on the geometry, colours and owner drawing that matter.

#include "tests/lookup/ui/lookup_window_fixture.h"
#include "tests/support/image_check.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include "lookup/vehicle_detail.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gmock/gmock.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

// Where a control lies in the window's own coordinates.
QRect InWindow(const QWidget& window, const QWidget& control)
{
    return QRect(control.mapTo(&window, QPoint(0, 0)), control.size());
}

class LookupWindowLookTest : public LookupWindowTest {
protected:
    void OpenWithResult()
    {
        record_.Clear();
        Open(true);
        Show();
        Control<QTabWidget>("PageSearchType").setCurrentIndex(0);
        Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
        window_->btnSearchByVINClick();
        ASSERT_TRUE(window_->ResultShown());
    }
    int MenuHeight() const { return window_->MenuBarHeight(); }
};

TEST_F(LookupWindowLookTest, TheWindowHasItsCaptionSizeColourAndFont)
{
    record_.Clear();
    Open(true);
    EXPECT_EQ(window_->Caption(), QStringLiteral("Tamsel Software Carlume"));
    EXPECT_EQ(window_->Color(), LookupWindowColor);
    EXPECT_EQ(window_->Font().Name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(window_->Font().Size(), 8);
    EXPECT_EQ(window_->ClientWidth(), 466);
    EXPECT_EQ(window_->ClientHeight(), 490);
    Show();
    // Each show fits the window to its aligned panels, 3 pixels beyond them.
    EXPECT_EQ(window_->ClientWidth(), 469);
    EXPECT_EQ(window_->ClientHeight(), 493);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(window_->x(), (screen.width() - 466) / 2, 2) << "centred when shown";
}

TEST_F(LookupWindowLookTest, ThePanelsStackAsLaidOut)
{
    record_.Clear();
    Open(true);
    window_->layout()->activate();
    Control<QWidget>("Panel2").layout()->activate();
    const QWidget& w = *window_;
    const int top = MenuHeight();
    EXPECT_EQ(InWindow(w, Control<QWidget>("PageSearchType")), QRect(0, top, 466, 89));
    EXPECT_EQ(InWindow(w, Control<QWidget>("Panel1")), QRect(0, top + 89, 466, 490 - 89 - 77 - 17));
    EXPECT_EQ(InWindow(w, Control<QWidget>("Panel4")), QRect(0, top + 490 - 77 - 17, 466, 77));
    EXPECT_EQ(InWindow(w, Control<QWidget>("Panel2")), QRect(0, top + 490 - 17, 466, 17));
    EXPECT_EQ(Control<QWidget>("Panel3").width(), 18);
    EXPECT_EQ(Control<QWidget>("Panel3").x(), 1);
    EXPECT_EQ(Control<QWidget>("imgSuccess").size(), QSize(16, 13));

    struct Expected {
        const char* Name;
        QRect Place;
    };
    const Expected controls[] = {
        {"txtVIN", QRect(32, 32, 233, 21)},     {"btnSearchByVIN", QRect(272, 33, 65, 22)},
        {"lstYear", QRect(32, 32, 73, 21)},     {"lstMake", QRect(108, 32, 137, 21)},
        {"lstModel", QRect(248, 32, 129, 21)},  {"btnSearchByYMM", QRect(384, 31, 65, 22)},
        {"grdDetail", QRect(36, 31, 400, 252)}, {"txtEffective", QRect(96, 4, 97, 21)},
        {"Button1", QRect(212, 32, 17, 17)},    {"btnPrint", QRect(236, 28, 75, 25)},
        {"btnClose", QRect(310, 28, 75, 25)},   {"btnCancel", QRect(384, 28, 75, 25)},
    };
    for (const Expected& control : controls)
        EXPECT_EQ(Control<QWidget>(control.Name).geometry(), control.Place) << control.Name;
    EXPECT_EQ(Control<QWidget>("chkOrigSym").pos(), QPoint(16, 32));
    EXPECT_EQ(Control<QWidget>("chkShowAllDetail").pos(), QPoint(16, 52));
    EXPECT_EQ(Control<QWidget>("Label3").pos(), QPoint(16, 13));
}

TEST_F(LookupWindowLookTest, CaptionsAndMenusAreThoseOfTheLayout)
{
    record_.Clear();
    Open(true);
    const auto& pages = Control<QTabWidget>("PageSearchType");
    EXPECT_EQ(pages.tabText(0), QStringLiteral("          Search by VIN          "));
    EXPECT_EQ(pages.tabText(1), QStringLiteral("     Search by Year, Make and Model     "));
    EXPECT_EQ(Control<QPushButton>("btnSearchByVIN").text(), QStringLiteral("&Search..."));
    EXPECT_EQ(Control<QPushButton>("btnPrint").text(), QStringLiteral("&Print"));
    EXPECT_EQ(Control<QPushButton>("Button1").text(), QStringLiteral("?"));
    EXPECT_EQ(Control<QPushButton>("Button1").focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(Control<QWidget>("grdDetail").focusPolicy(), Qt::ClickFocus);
    EXPECT_TRUE(Control<QLabel>("Label3").font().bold()) << "Search Results";
    EXPECT_FALSE(Control<QLabel>("Label4").font().bold());
    EXPECT_EQ(Control<QLabel>("Label4").text(),
              QStringLiteral("Click a row to put it's value on the Windows Clipboard"));
    for (const char* name : {"chkOrigSym", "chkShowAllDetail"}) {
        const auto& box = Control<QCheckBox>(name);
        const int room = box.width() - box.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &box) -
                         box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &box);
        EXPECT_LE(box.fontMetrics().horizontalAdvance(box.text()), room)
            << name << " shows its whole caption";
        EXPECT_LE(box.x() + box.width(), Control<QWidget>("Button1").x()) << name;
    }
    EXPECT_EQ(window_->MenuBar(), &Control<QMenuBar>("MainMenu1"));
    struct Item {
        const char* Name;
        const char* Text;
        bool Enabled;
    };
    const Item items[] = {{"mnuPrint", "&Print", false},
                          {"PrintoutFontSize1", "Printout &Font Size", true},
                          {"mnuClose", "&Close", true},
                          {"mnuWebUpdate", "&Update from the Web", true},
                          {"mnuAbout", "&About", true}};
    for (const Item& item : items) {
        const auto* action = window_->findChild<QAction*>(QString::fromLatin1(item.Name));
        ASSERT_NE(action, nullptr) << item.Name;
        EXPECT_EQ(action->text(), QString::fromLatin1(item.Text));
        EXPECT_EQ(action->isEnabled(), item.Enabled) << item.Name;
    }
    const auto* separator = window_->findChild<QAction*>(QStringLiteral("N1"));
    ASSERT_NE(separator, nullptr);
    EXPECT_TRUE(separator->isSeparator());
}

TEST_F(LookupWindowLookTest, TheResultGridIsDrawnByTheWindow)
{
    OpenWithResult();
    auto& grid = Control<QTableWidget>("grdDetail");
    EXPECT_EQ(grid.columnWidth(0), 133);
    EXPECT_EQ(grid.columnWidth(1), 237);
    EXPECT_EQ(grid.rowHeight(0), 18);
    // Row 1's value ("Arvelo") gets the focus.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(1, 1)).center());
    ASSERT_TRUE(grid.hasFocus());
    const QImage image = RenderWidget(*window_);
    SaveTestImage(image, "lookup_window.png");

    const QPoint origin = grid.viewport()->mapTo(window_.get(), QPoint(0, 0));
    const QRect focused = grid.visualRect(grid.model()->index(1, 1)).translated(origin);
    const QRect value = grid.visualRect(grid.model()->index(2, 1)).translated(origin);
    const QRect label = grid.visualRect(grid.model()->index(2, 0)).translated(origin);
    EXPECT_TRUE(PixelsAre(image,
                          {{focused.right() - 2, focused.top() + 1, FocusedValueColor, "focused value"},
                           {value.right() - 2, value.top() + 1, clWhite, "other value"},
                           {label.right() - 2, label.top() + 1, clWhite, "label"},
                           {origin.x() - 3, origin.y() + 10, LookupWindowColor, "left of the grid"}},
                          "result_grid"));
    EXPECT_GT(CountPixels(image, focused, clWhite), 10) << "white text on navy";
    EXPECT_GT(CountPixels(image, value, ValueTextColor), 10) << "blue text";
    EXPECT_GT(CountPixels(image, label, clBlack), 10) << "black text";
    EXPECT_EQ(CountPixels(image, label, ValueTextColor), 0);
    // Text at 6 pixels from the cell's left edge (a value's leading blank moves its ink further).
    const QRect labelInk = InkBounds(image, label, clWhite);
    EXPECT_GE(labelInk.left() - label.left(), 6);
    EXPECT_LE(labelInk.left() - label.left(), 7);
    EXPECT_GT(InkBounds(image, value, clWhite).left(), value.left() + 7);
}

TEST_F(LookupWindowLookTest, TheCurrentTabsCaptionIsOnItsOwnColour)
{
    OpenWithResult();
    const QImage image = RenderWidget(*window_);
    const auto& bar = *Control<QTabWidget>("PageSearchType").tabBar();
    const QPoint origin = bar.mapTo(window_.get(), QPoint(0, 0));
    const QRect current = bar.tabRect(bar.currentIndex()).translated(origin);
    const QRect other = bar.tabRect(1 - bar.currentIndex()).translated(origin);
    // The caption's cell starts 5 right and 3 below the tab's corner; its first blanks are background.
    EXPECT_TRUE(PixelsAre(image,
                          {{current.left() + 6, current.top() + 5, ActiveTabColor, "current tab"},
                           {other.left() + 6, other.top() + 5, LookupWindowColor, "other tab"}},
                          "tabs"));
    EXPECT_GT(CountPixels(image, current, ActiveTabColor), 200);
    EXPECT_EQ(CountPixels(image, other, ActiveTabColor), 0);
}

TEST_F(LookupWindowLookTest, TheStatusStripShowsTheMarkAndTheCriteriaInBlue)
{
    OpenWithResult();
    QImage image = RenderWidget(*window_);
    const QRect criteria = InWindow(*window_, Control<QWidget>("pnlCriteria"));
    const QRect mark = InWindow(*window_, Control<QWidget>("imgSuccess"));
    EXPECT_GT(CountPixels(image, criteria, CriteriaTextColor), 20);
    const QImage success = window_->ImageList1().Image(riSuccess);
    EXPECT_GT(CountPixels(image, mark, FromQRgb(success.pixel(13, 1))), 5) << "the success mark";
    // Around the tick the strip shows through, not a black square.
    EXPECT_EQ(CountPixels(image, mark, clBlack), 0);
    EXPECT_GT(
        CountPixels(image, mark, FromQColor(Control<QWidget>("Panel3").palette().color(QPalette::Window))),
        100);

    Control<QLineEdit>("txtVIN").setText(QStringLiteral("9ZZZZ99Z9Z"));
    window_->btnSearchByVINClick();
    image = RenderWidget(*window_);
    const QImage failure = window_->ImageList1().Image(riFailure);
    EXPECT_GT(CountPixels(image, mark, FromQRgb(failure.pixel(2, 1))), 5) << "the failure mark";
    EXPECT_EQ(CountPixels(image, mark, FromQRgb(success.pixel(13, 1))), 0);
    EXPECT_EQ(CountPixels(image, mark, clBlack), 0);
}

// The controls of the layout (Qt's own parts left out) that show in the window and overlap another within
// their parent or reach outside it.
std::set<std::string> Collisions(const QWidget& window)
{
    std::vector<const QWidget*> controls;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&window) && !control->isWindow() && !control->objectName().isEmpty() &&
            !control->objectName().startsWith(QStringLiteral("qt_")))
            controls.push_back(control);
    }
    std::set<std::string> found;
    for (const QWidget* control : controls) {
        const std::string name = control->objectName().toStdString();
        if (!control->parentWidget()->rect().contains(control->geometry()))
            found.insert(name + " outside its parent");
        for (const QWidget* other : controls) {
            if (other->parentWidget() == control->parentWidget() &&
                name < other->objectName().toStdString() && control->geometry().intersects(other->geometry()))
                found.insert(name + " over " + other->objectName().toStdString());
        }
    }
    return found;
}

// How the window was sized before the check: as the screen lets it show, or made shorter still (what a
// shorter screen would do).
struct TFitCase {
    const char* Name;
    int ClientHeight; // 0: as shown
};

class LookupWindowFitTest : public LookupWindowLookTest, public ::testing::WithParamInterface<TFitCase> {};

TEST_P(LookupWindowFitTest, TheContentsKeepApartAndInsideTheWindow)
{
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    if (const char* screen = std::getenv("CARLUME_TEST_SCREEN")) {
        ASSERT_EQ(QStringLiteral("%1x%2").arg(free.width()).arg(free.height()), QString::fromLatin1(screen));
    }
    // As placed, the bottom buttons share a pixel column with their neighbours; nothing else touches.
    const std::set<std::string> designed = {"btnCancel over btnClose", "btnClose over btnPrint"};
    record_.Clear();
    Open(true);
    Show();
    Control<QLineEdit>("txtVIN").setText(QStringLiteral("1AVQL14S1A"));
    QTest::mouseClick(&Control<QPushButton>("btnSearchByVIN"), Qt::LeftButton);
    QTest::mouseClick(&Control<QCheckBox>("chkShowAllDetail"), Qt::LeftButton);
    ASSERT_TRUE(window_->ResultShown());
    if (GetParam().ClientHeight > 0)
        window_->SetClientHeight(GetParam().ClientHeight);
    QApplication::processEvents();
    SaveTestImage(RenderWidget(*window_), std::string("lookup_window_fit_") + GetParam().Name + ".png");

    EXPECT_TRUE(free.contains(window_->frameGeometry()));
    EXPECT_EQ(Collisions(*window_), designed);
    const auto& grid = Control<QTableWidget>("grdDetail");
    const QScrollBar& bar = *grid.verticalScrollBar();
    ASSERT_TRUE(bar.isVisible()) << "more rows than the grid shows";
    EXPECT_TRUE(grid.rect().contains(QRect(bar.mapTo(&grid, QPoint(0, 0)), bar.size())));
    EXPECT_GE(bar.height(), 2 * bar.width()) << "room for both arrows";
}

INSTANTIATE_TEST_SUITE_P(Sizes, LookupWindowFitTest,
                         ::testing::Values(TFitCase{"AsShown", 0}, TFitCase{"Shorter", 360}), ByName);

TEST_F(LookupWindowLookTest, TheChooserRendersForPeopleToLookAt)
{
    TVehicleDetail chooser;
    TVehicleDetailGrid grid;
    grid.SetCaption("ISO: 2BMMR55X1C Choices");
    grid.SetDefaultColWidth(25);
    const char* titles[] = {"Model Name", "Body Style", "Comp", "Coll"};
    const char* rows[][4] = {{"Morrow SE", "Sedan 4 Door", "15", "14"},
                             {"Morrow Limited", "Sedan 4 Door", "16", "15"}};
    grid.SetColCount(4);
    grid.SetRowCount(3);
    for (int column = 0; column < 4; ++column) {
        grid.SetCell(column, 0, titles[column]);
        grid.FitColumnTo(column, titles[column]);
        for (int row = 0; row < 2; ++row) {
            grid.SetCell(column, row + 1, rows[row][column]);
            grid.FitColumnTo(column, rows[row][column]);
        }
    }
    LoadVehicleDetailWindow(grid, chooser);
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    const QImage image = RenderWidget(chooser);
    SaveTestImage(image, "vehicle_detail_window.png");
    EXPECT_EQ(image.size(), QSize(325, 91 - 30 + 4 * VehicleDetailRowHeight + 25));
    // The window colour beside the grid, the grid's white inside it.
    const auto& table = *chooser.findChild<QTableWidget*>(QStringLiteral("InfoGrid"));
    EXPECT_TRUE(PixelsAre(image,
                          {{4, 30, VehicleDetailColor, "left of the grid"},
                           {table.x() + table.width() - 4, table.y() + table.height() - 4, clWhite, "grid"}},
                          "chooser"));
}

} // namespace
} // namespace carlume::test
