// The modal driver itself: steps on nested windows, and the reports that keep a missed or stuck window
// from passing unseen or hanging the run.

#include "platform/gui/form.h"
#include "tests/support/modal_driver.h"

#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace carlume {
namespace {

using namespace std::chrono_literals;
using test::TModalDriver;
using test::TModalWindow;

struct FailureCase {
    const char* Name;
    std::function<void(TModalDriver&)> Steps;
    bool Show;      // a window appears; else the steps wait for nothing
    bool RefuseEsc; // a form that Esc does not close, so a step leaves it open
    const char* Report;
};

class ModalDriverFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ModalDriverFailure, IsReportedOnceAndTheWindowClosed)
{
    const FailureCase& c = GetParam();
    std::vector<std::string> reports;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Stuck"));
    TForm form; // Esc without a Cancel control does nothing
    form.setWindowTitle(QStringLiteral("Stuck"));
    {
        TModalDriver driver(200ms);
        driver.SetFailureReporter([&](const std::string& message) { reports.push_back(message); });
        c.Steps(driver);
        if (c.Show && c.RefuseEsc) {
            form.ShowModal();
        } else if (c.Show) {
            dialog.exec();
        }
    }
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_NE(reports[0].find(c.Report), std::string::npos) << reports[0];
    if (c.Show) {
        EXPECT_NE(reports[0].find("\"Stuck\""), std::string::npos) << reports[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModalDriverFailure,
    ::testing::Values(
        FailureCase{"NoStep", [](TModalDriver&) {}, true, false, "appeared with no step for it"},
        FailureCase{"StepLeftItOpen",
                    [](TModalDriver& d) { d.Then([](TModalWindow& w) { w.Key(Qt::Key_Escape); }); }, true,
                    true, "still open after its step"},
        FailureCase{
            "StepFailed",
            [](TModalDriver& d) { d.Then([](TModalWindow& w) { w.Click(QStringLiteral("btnMissing")); }); },
            true, false, "btnMissing"},
        FailureCase{"WindowNeverAppeared",
                    [](TModalDriver& d) { d.Then([](TModalWindow&) {}).Then([](TModalWindow&) {}); }, false,
                    false, "2 modal step(s) never ran"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(ModalDriver, DrivesNestedWindowsAndComesBack)
{
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("Outer"));
    auto* ask = new QPushButton(QStringLiteral("Ask"), &outer);
    ask->setObjectName(QStringLiteral("btnAsk"));
    auto* list = new QListWidget(&outer);
    list->setObjectName(QStringLiteral("lstChoices"));
    list->addItems({QStringLiteral("One"), QStringLiteral("Two")});
    list->setGeometry(0, 30, 100, 60);
    auto* table = new QTableWidget(2, 1, &outer);
    table->setObjectName(QStringLiteral("InfoGrid"));
    table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("1TSCA")));
    table->setItem(1, 0, new QTableWidgetItem(QStringLiteral("2TSCB")));
    table->setGeometry(0, 100, 200, 100);
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QObject::connect(ask, &QPushButton::clicked, &outer, [&] {
        answer = QMessageBox::question(&outer, QStringLiteral("Question"), QStringLiteral("Sure?"));
    });
    int chosen = -1;
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &outer, [&](int row, int) {
        chosen = row;
        outer.accept();
    });
    std::vector<std::string> order;
    TModalDriver driver;
    driver.ThenOn<QDialog>([&](QDialog& dialog, TModalWindow& w) {
        order.push_back(w.Title().toStdString());
        EXPECT_EQ(&dialog, &outer);
        w.Click(QStringLiteral("btnAsk"));
        order.emplace_back("after ask");
    });
    driver.Then([&](TModalWindow& box) {
        order.push_back(box.Title().toStdString() + ": " + box.Text().toStdString());
        box.ClickButton(QStringLiteral("&No"));
    });
    driver.ThenAgain([&](TModalWindow& w) {
        order.push_back(w.Title().toStdString() + " again");
        w.Pick(QStringLiteral("lstChoices"), QStringLiteral("Two"));
        w.DoubleClickItem(QStringLiteral("InfoGrid"), QStringLiteral("2TSCB"));
    });
    EXPECT_EQ(outer.exec(), QDialog::Accepted);
    EXPECT_EQ(order, (std::vector<std::string>{"Outer", "Question: Sure?", "after ask", "Outer again"}));
    EXPECT_EQ(answer, QMessageBox::No);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(driver.StepsWaiting(), 0);
}

} // namespace
} // namespace carlume
