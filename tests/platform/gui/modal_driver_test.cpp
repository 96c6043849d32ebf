// The modal driver itself: steps on nested windows, and the watchdog that keeps a stuck window from
// hanging the run.

#include "platform/gui/form.h"
#include "tests/support/modal_driver.h"

#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace carlume {
namespace {

using namespace std::chrono_literals;
using test::TModalDriver;
using test::TModalWindow;

// Collects the driver's reports instead of failing the test, so that the failures themselves can be checked.
struct Reports {
    std::vector<std::string> messages;
    void Attach(TModalDriver& driver)
    {
        driver.SetFailureReporter([this](const std::string& message) { messages.push_back(message); });
    }
};

TEST(ModalDriver, TheWatchdogClosesAStuckWindowWithNoStep)
{
    Reports reports;
    QDialog stuck;
    stuck.setWindowTitle(QStringLiteral("Stuck"));
    const auto started = std::chrono::steady_clock::now();
    {
        TModalDriver driver(200ms);
        reports.Attach(driver);
        stuck.exec();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    ASSERT_EQ(reports.messages.size(), 1U);
    EXPECT_NE(reports.messages[0].find("\"Stuck\""), std::string::npos);
    EXPECT_NE(reports.messages[0].find("no step"), std::string::npos);
}

TEST(ModalDriver, TheWatchdogClosesAWindowItsStepLeftOpen)
{
    Reports reports;
    TForm form; // Esc without a Cancel control does nothing, so the step below leaves it open
    form.setWindowTitle(QStringLiteral("Refuses"));
    {
        TModalDriver driver(200ms);
        reports.Attach(driver);
        driver.Then([](TModalWindow& w) { w.Key(Qt::Key_Escape); });
        form.ShowModal();
        EXPECT_EQ(driver.StepsDone(), 1);
    }
    ASSERT_EQ(reports.messages.size(), 1U);
    EXPECT_NE(reports.messages[0].find("still open after its step"), std::string::npos);
}

TEST(ModalDriver, AFailingStepIsReportedAndItsWindowClosed)
{
    Reports reports;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Chooser"));
    {
        TModalDriver driver(5s);
        reports.Attach(driver);
        driver.Then([](TModalWindow& w) { w.Click(QStringLiteral("btnMissing")); });
        dialog.exec();
    }
    ASSERT_EQ(reports.messages.size(), 1U);
    EXPECT_NE(reports.messages[0].find("btnMissing"), std::string::npos);
    EXPECT_NE(reports.messages[0].find("Chooser"), std::string::npos);
}

TEST(ModalDriver, StepsWhoseWindowNeverAppearedAreReported)
{
    Reports reports;
    {
        TModalDriver driver;
        reports.Attach(driver);
        driver.Then([](TModalWindow&) {}).Then([](TModalWindow&) {});
    }
    ASSERT_EQ(reports.messages.size(), 1U);
    EXPECT_NE(reports.messages[0].find("2 modal step(s) never ran"), std::string::npos);
}

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
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QObject::connect(ask, &QPushButton::clicked, &outer, [&] {
        answer = QMessageBox::question(&outer, QStringLiteral("Question"), QStringLiteral("Sure?"));
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
        w.Widget().close();
    });
    outer.exec();
    EXPECT_EQ(order, (std::vector<std::string>{"Outer", "Question: Sure?", "after ask", "Outer again"}));
    EXPECT_EQ(answer, QMessageBox::No);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(driver.StepsDone(), 3);
    EXPECT_EQ(driver.StepsWaiting(), 0);
}

TEST(ModalDriver, DoubleClicksAnItemOfATable)
{
    QDialog dialog;
    auto* table = new QTableWidget(2, 1, &dialog);
    table->setObjectName(QStringLiteral("InfoGrid"));
    table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("1TSCA")));
    table->setItem(1, 0, new QTableWidgetItem(QStringLiteral("2TSCB")));
    table->setGeometry(0, 0, 200, 100);
    int chosen = -1;
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, [&](int row, int) {
        chosen = row;
        dialog.accept();
    });
    TModalDriver driver;
    driver.Then(
        [](TModalWindow& w) { w.DoubleClickItem(QStringLiteral("InfoGrid"), QStringLiteral("2TSCB")); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(chosen, 1);
}

} // namespace
} // namespace carlume
