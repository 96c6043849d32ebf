// The form base: modal results, Enter and Esc, closing, key preview, active-control notifications,
// geometry, and a layout loaded from a Designer file.

#include "platform/gui/error_guard.h"
#include "platform/gui/form.h"
#include "tests/support/fake_services.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scoped_error_dialogs.h"
#include "ui_sample_form.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace carlume {
namespace {

using test::TModalDriver;
using test::TModalWindow;
// Table rows print as their names.
using test::PrintTo;

class SampleForm : public TForm {
public:
    explicit SampleForm(QWidget* owner = nullptr)
        : TForm(owner)
    {
        ui.setupUi(this);
    }
    Ui::SampleForm ui;
};

TEST(FormModalResult, EndsTheShowOnlyAfterTheHandlerReturns)
{
    SampleForm form;
    bool visibleInHandler = false;
    ConnectGuarded(form.ui.btnOk, &QPushButton::clicked, &form, [&] {
        form.SetModalResult(mrYes);
        QApplication::processEvents();
        visibleInHandler = form.isVisible();
    });
    TModalDriver driver;
    driver.Then([](TModalWindow& w) { w.Click(QStringLiteral("btnOk")); });
    // The button's own modal result is applied after the handler, so it wins.
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(visibleInHandler);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST(FormModalResult, TheLastValueSetWinsAndClearingItKeepsTheFormOpen)
{
    SampleForm form;
    QPushButton go(QStringLiteral("Go"), &form);
    go.setObjectName(QStringLiteral("btnGo"));
    int clicks = 0;
    ConnectGuarded(&go, &QPushButton::clicked, &form, [&] {
        if (++clicks == 1) {
            form.SetModalResult(mrOk);
            form.SetModalResult(mrNone);
        } else {
            form.Close(); // sets mrCancel, as for a modal form
            form.SetModalResult(mrRetry);
        }
    });
    TModalDriver driver;
    driver.Then([&](TModalWindow& w) {
        w.Click(QStringLiteral("btnGo"));
        QTest::qWait(30);
        EXPECT_TRUE(form.isVisible()) << "a cleared result does not end the show";
        w.Click(QStringLiteral("btnGo"));
    });
    EXPECT_EQ(form.ShowModal(), mrRetry);
    EXPECT_EQ(clicks, 2);
}

TEST(FormModalResult, ANestedBoxOpenedAfterSettingTheResultRunsToTheEnd)
{
    SampleForm form;
    QPushButton go(QStringLiteral("Go"), &form);
    go.setObjectName(QStringLiteral("btnGo"));
    bool formVisibleUnderBox = false;
    ConnectGuarded(&go, &QPushButton::clicked, &form, [&] {
        form.SetModalResult(mrOk);
        QMessageBox box(QMessageBox::Information, QStringLiteral("Nested"),
                        QStringLiteral("inside the handler"), QMessageBox::Ok, &form);
        box.exec();
    });
    TModalDriver driver;
    driver.Then([](TModalWindow& w) { w.Click(QStringLiteral("btnGo")); });
    driver.Then([&](TModalWindow& box) {
        QTest::qWait(50);
        formVisibleUnderBox = form.isVisible();
        box.ClickButton(QStringLiteral("OK"));
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(formVisibleUnderBox);
}

TEST(FormModalResult, AFormShownFromAHandlerEndsWhileThatHandlerRuns)
{
    SampleForm outer;
    QPushButton choose(QStringLiteral("Choose"), &outer);
    choose.setObjectName(QStringLiteral("btnChoose"));
    int inner = -1;
    ConnectGuarded(&choose, &QPushButton::clicked, &outer, [&] {
        SampleForm chooser(&outer);
        chooser.setWindowTitle(QStringLiteral("Chooser"));
        inner = chooser.ShowModal();
        outer.SetModalResult(inner == mrOk ? mrYes : mrNo);
    });
    TModalDriver driver;
    driver.Then([](TModalWindow& w) { w.Click(QStringLiteral("btnChoose")); });
    driver.Then([](TModalWindow& w) {
        EXPECT_EQ(w.Title(), QStringLiteral("Chooser"));
        w.Click(QStringLiteral("btnOk"));
    });
    EXPECT_EQ(outer.ShowModal(), mrYes);
    EXPECT_EQ(inner, mrOk);
}

TEST(FormKeys, EscClosesOnlyThroughAVisibleCancelControl)
{
    struct Case {
        const char* what;
        bool hideCancel;
        bool dropCancelRole;
    };
    for (const Case c : {Case{"cancel button", false, false}, Case{"hidden cancel button", true, false},
                         Case{"no cancel button", false, true}}) {
        SCOPED_TRACE(c.what);
        SampleForm form;
        if (c.hideCancel) {
            form.ui.btnCancel->hide();
        }
        if (c.dropCancelRole) {
            form.ui.btnCancel->setProperty(kCancelProperty, false);
        }
        const bool closes = !c.hideCancel && !c.dropCancelRole;
        bool openAfterEsc = false;
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            w.Key(QStringLiteral("edtName"), Qt::Key_Escape);
            QTest::qWait(30);
            openAfterEsc = form.isVisible();
            if (openAfterEsc) {
                w.Click(QStringLiteral("btnOk"));
            }
        });
        EXPECT_EQ(form.ShowModal(), closes ? mrCancel : mrOk);
        EXPECT_EQ(openAfterEsc, !closes);
    }
}

TEST(FormKeys, EnterGoesToTheDefaultButtonOrTheFocusedOne)
{
    {
        SampleForm form;
        TModalDriver driver;
        driver.Then([](TModalWindow& w) {
            w.Type(QStringLiteral("edtName"), QStringLiteral("Ann"));
            w.Key(Qt::Key_Return);
        });
        EXPECT_EQ(form.ShowModal(), mrOk);
        EXPECT_EQ(form.ui.edtName->text(), QStringLiteral("Ann"));
    }
    {
        SampleForm form;
        TModalDriver driver;
        driver.Then([](TModalWindow& w) {
            w.Find<QPushButton>(QStringLiteral("btnCancel")).setFocus();
            w.Key(Qt::Key_Return);
        });
        EXPECT_EQ(form.ShowModal(), mrCancel);
    }
}

TEST(FormClose, TheCloseBoxEndsWithCancelUnlessTheFormRefuses)
{
    {
        SampleForm form;
        TModalDriver driver;
        driver.Then([](TModalWindow& w) { w.Close(); });
        EXPECT_EQ(form.ShowModal(), mrCancel);
    }
    {
        SampleForm form;
        int queries = 0;
        form.OnCloseQuery = [&](bool& canClose) { canClose = ++queries > 1; };
        std::vector<TCloseAction> closes;
        form.OnClose = [&](TCloseAction& action) {
            closes.push_back(action);
            if (closes.size() == 1) {
                action = TCloseAction::caNone;
            }
        };
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            w.Close(); // refused by OnCloseQuery
            QTest::qWait(30);
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.ModalResult(), mrNone);
            w.Close(); // refused by OnClose
            QTest::qWait(30);
            EXPECT_TRUE(form.isVisible());
            w.Click(QStringLiteral("btnOk"));
        });
        EXPECT_EQ(form.ShowModal(), mrOk);
        EXPECT_EQ(queries, 3);
        ASSERT_EQ(closes.size(), 2U);
        EXPECT_EQ(closes[1], TCloseAction::caHide);
    }
}

TEST(FormModalResult, QtAcceptAndRejectSetTheModalResult)
{
    for (const bool ok : {true, false}) {
        TForm form;
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &form);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &form, &TForm::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &form, &TForm::reject);
        TModalDriver driver;
        driver.Then(
            [ok](TModalWindow& w) { w.ClickButton(ok ? QStringLiteral("OK") : QStringLiteral("Cancel")); });
        EXPECT_EQ(form.exec(), ok ? mrOk : mrCancel);
        EXPECT_EQ(form.result(), ok ? mrOk : mrCancel);
    }
}

TEST(FormClose, ANonModalFormHidesOrGoes)
{
    SampleForm form;
    form.show();
    form.OnClose = [](TCloseAction& action) { action = TCloseAction::caHide; };
    form.Close();
    EXPECT_FALSE(form.isVisible());

    QPointer<SampleForm> freed = new SampleForm;
    freed->show();
    freed->OnClose = [](TCloseAction& action) { action = TCloseAction::caFree; };
    freed->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(freed.isNull());
}

TEST(FormKeys, KeyPreviewSeesEveryKeyFirst)
{
    SampleForm form;
    form.SetKeyPreview(true);
    std::vector<TVirtualKey> seen;
    form.OnKeyDown = [&](TVirtualKey& key, TShiftState) {
        seen.push_back(key);
        if (key == 'A') {
            key = 0; // consumed before the edit sees it
        }
    };
    form.OnKeyPress = [&](QChar& key) {
        if (key == QLatin1Char('b')) {
            key = QChar();
        }
    };
    TModalDriver driver;
    driver.Then([](TModalWindow& w) {
        w.Find<QLineEdit>(QStringLiteral("edtName")).setFocus();
        w.Key(Qt::Key_A);
        w.Key(Qt::Key_B);
        w.Key(Qt::Key_C);
        w.Key(Qt::Key_Tab);
        w.Key(Qt::Key_Escape);
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(form.ui.edtName->text(), QStringLiteral("c"));
    EXPECT_EQ(seen, (std::vector<TVirtualKey>{'A', 'B', 'C', VK_TAB, VK_ESCAPE}));
}

class FormFocus : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            edits[i] = new QLineEdit(&form);
            edits[i]->setGeometry(10, 10 + 30 * i, 100, 21);
            const int index = i;
            form.SetOnEnter(edits[i], [this, index] { log.push_back("enter " + std::to_string(index)); });
            form.SetOnExit(edits[i], [this, index] { log.push_back("exit " + std::to_string(index)); });
        }
        form.SetActiveControl(edits[0]);
        form.show();
        QApplication::setActiveWindow(&form);
        QApplication::processEvents();
    }
    TForm form;
    QLineEdit* edits[3] = {};
    std::vector<std::string> log;
};

TEST_F(FormFocus, EnterAndExitFollowTheActiveControl)
{
    ASSERT_EQ(form.ActiveControl(), edits[0]);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 0"}));
    QTest::keyClick(edits[0], Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), edits[1]);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 0", "exit 0", "enter 1"}));
}

TEST_F(FormFocus, LosingAndRegainingTheWindowIsNoChange)
{
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    EXPECT_EQ(form.ActiveControl(), edits[0]);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 0"}));
}

TEST_F(FormFocus, AFailedExitKeepsTheFocusAndShowsTheError)
{
    test::TFakeDialogService dialogs;
    test::TScopedHandlerErrorDialogs errors(&dialogs);
    form.SetOnExit(edits[0], [] { throw std::runtime_error("'13/45/2020' is not a valid date"); });
    QTest::keyClick(edits[0], Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), edits[0]);
    EXPECT_EQ(form.ActiveControl(), edits[0]);
    EXPECT_EQ(dialogs.Messages(TMsgDlgType::mtError),
              (std::vector<std::string>{"'13/45/2020' is not a valid date"}));
    EXPECT_EQ(log, (std::vector<std::string>{"enter 0"}));
}

TEST(FormGeometry, TheClientAreaLeavesOutTheMenuBar)
{
    TForm form;
    auto* layout = new QVBoxLayout(&form);
    auto* bar = new QMenuBar(&form);
    bar->addMenu(QStringLiteral("&File"));
    layout->setMenuBar(bar);
    form.SetClientWidth(466);
    form.SetClientHeight(490);
    ASSERT_EQ(form.MenuBar(), bar);
    EXPECT_GT(form.MenuBarHeight(), 0);
    EXPECT_EQ(form.ClientWidth(), 466);
    EXPECT_EQ(form.ClientHeight(), 490);
    EXPECT_EQ(form.height(), 490 + form.MenuBarHeight());
}

TEST(FormGeometry, CentringOnTheScreenTruncatesTowardZero)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget window;
    window.resize(201, 101);
    CenterForm(window);
    EXPECT_EQ(window.pos(),
              QPoint(screen.left() + (screen.width() - 201) / 2, screen.top() + (screen.height() - 101) / 2));
    window.resize(screen.width() + 201, 10);
    CenterForm(window);
    EXPECT_EQ(window.x(), screen.left() - 100) << "-201 / 2 is -100";

    // A shown form is centred with its frame.
    TForm form;
    form.resize(200, 100);
    form.SetPosition(TPosition::poScreenCenter);
    form.show();
    const QSize outer = form.frameGeometry().size();
    EXPECT_EQ(form.pos(), QPoint(screen.left() + (screen.width() - outer.width()) / 2,
                                 screen.top() + (screen.height() - outer.height()) / 2));
}

TEST(FormGeometry, CentringOnTheOwner)
{
    TForm owner;
    owner.setGeometry(100, 120, 400, 300);
    owner.show();
    TForm form(&owner);
    form.resize(200, 100);
    form.SetPosition(TPosition::poOwnerFormCenter);
    form.show();
    const QRect area = owner.frameGeometry();
    const QSize outer = form.frameGeometry().size();
    EXPECT_EQ(form.pos(), QPoint(area.left() + (area.width() - outer.width()) / 2,
                                 area.top() + (area.height() - outer.height()) / 2));
}

TEST(FormGeometry, FitToControlsCountsVisibleChildrenOnly)
{
    TForm form;
    auto* right = new QWidget(&form);
    right->setGeometry(250, 10, 50, 20); // ends at x = 300
    auto* low = new QWidget(&form);
    low->setGeometry(10, 100, 20, 40); // ends at y = 140
    auto* hidden = new QWidget(&form);
    hidden->setGeometry(400, 300, 50, 50);
    hidden->hide();
    FitFormToControls(form);
    EXPECT_EQ(form.ClientWidth(), 303);
    EXPECT_EQ(form.ClientHeight(), 143);
}

TEST(FormGeometry, FitToControlsLeavesTheMenuBarOutside)
{
    TForm form;
    auto* bar = new QMenuBar(&form);
    bar->addMenu(QStringLiteral("&File"));
    const int barHeight = form.MenuBarHeight();
    ASSERT_GT(barHeight, 0);
    auto* control = new QWidget(&form);
    control->setGeometry(20, barHeight + 50, 100, 30); // ends 80 below the menu bar
    FitFormToControls(form);
    EXPECT_EQ(form.ClientWidth(), 123);
    EXPECT_EQ(form.ClientHeight(), 83);
    EXPECT_EQ(form.height(), 83 + barHeight);
}

TEST(FormGeometry, FitToControlsFitsScrollAreasFirst)
{
    TForm form;
    auto* area = new QScrollArea(&form);
    area->move(10, 20);
    area->resize(50, 50);
    auto* content = new QWidget;
    auto* inner = new QWidget(content);
    inner->setGeometry(5, 5, 200, 100); // ends at 205 x 105
    auto* hiddenInner = new QWidget(content);
    hiddenInner->setGeometry(500, 500, 10, 10);
    hiddenInner->hide();
    area->setWidget(content);
    FitFormToControls(form);
    form.show();
    EXPECT_EQ(area->viewport()->size(), QSize(208, 108));
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    EXPECT_EQ(form.ClientWidth(), 10 + area->width() + 3);
    EXPECT_EQ(form.ClientHeight(), 20 + area->height() + 3);
}

// A form's frame, and the size asked for as pixels more (or, negative, fewer) than the screen's free area.
struct TSizeCase {
    const char* Name;
    TFormBorderStyle Border;
    int ExtraWidth;
    int ExtraHeight;
};

class FormSizeLimits : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(FormSizeLimits, TheShownSizeFitsTheScreenAndTheUserKeepsIt)
{
    const TSizeCase& row = GetParam();
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize asked(free.width() + row.ExtraWidth, free.height() + row.ExtraHeight);
    TForm form;
    form.SetBorderStyle(row.Border);
    form.SetPosition(TPosition::poScreenCenter);
    form.resize(asked);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QSize frame = form.frameGeometry().size() - form.size();
    EXPECT_EQ(form.size(), asked.boundedTo(free.size() - frame));
    EXPECT_TRUE(free.contains(form.frameGeometry())) << "the window lies within the screen";
    EXPECT_EQ(form.minimumSize(), form.size());
    const bool fixed = row.Border != TFormBorderStyle::bsSizeable;
    EXPECT_EQ(form.maximumSize(), fixed ? form.size() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    if (fixed) {
        EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    }

    // The program still sizes the form, within the screen, and the user keeps the new size.
    const QSize before = form.size();
    form.SetClientWidth(before.width() - 20);
    form.SetClientHeight(free.height() * 2);
    EXPECT_EQ(form.size(), QSize(before.width() - 20, free.height() - frame.height()));
    EXPECT_EQ(form.minimumSize(), form.size());
}

INSTANTIATE_TEST_SUITE_P(
    Borders, FormSizeLimits,
    ::testing::Values(TSizeCase{"DialogThatFits", TFormBorderStyle::bsDialog, -400, -500},
                      TSizeCase{"DialogWiderThanTheScreen", TFormBorderStyle::bsDialog, 1500, -500},
                      TSizeCase{"ToolWindowLargerThanTheScreen", TFormBorderStyle::bsToolWindow, 300, 300},
                      TSizeCase{"SizeableThatFits", TFormBorderStyle::bsSizeable, -300, -200},
                      TSizeCase{"SizeableTallerThanTheScreen", TFormBorderStyle::bsSizeable, -300, 900}),
    test::ByName);

TEST(FormGeometry, AModalFormWithAFixedBorderComesBackWhenMinimised)
{
    for (const TFormBorderStyle border : {TFormBorderStyle::bsDialog, TFormBorderStyle::bsSizeable}) {
        TForm form;
        form.SetBorderStyle(border);
        bool minimised = false;
        TModalDriver driver;
        driver.Then([&](TModalWindow&) {
            form.setWindowState(Qt::WindowMinimized);
            QTest::qWait(50);
            minimised = form.isMinimized();
            form.SetModalResult(mrOk);
        });
        EXPECT_EQ(form.ShowModal(), mrOk);
        EXPECT_EQ(minimised, border == TFormBorderStyle::bsSizeable);
    }
}

TEST(FormGeometry, AFormFittedToItsControlsIsShownWithinTheScreen)
{
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    TForm form;
    form.SetPosition(TPosition::poScreenCenter);
    auto* wide = new QWidget(&form);
    wide->setGeometry(10, 10, free.width() * 3, 20);
    FitFormToControls(form);
    form.show();
    EXPECT_EQ(form.frameGeometry().width(), free.width());
    EXPECT_EQ(form.frameGeometry().x(), free.x());
}

TEST(FormLayout, ADesignerLayoutLoadsIntoTheForm)
{
    SampleForm form;
    EXPECT_EQ(form.Caption(), QStringLiteral("Sample"));
    EXPECT_EQ(form.Color(), clBtnFace);
    EXPECT_EQ(ParentForm(form.ui.cboKind), &form);
    EXPECT_EQ(ParentForm(nullptr), nullptr);
    int activated = -1;
    QObject::connect(form.ui.cboKind, &QComboBox::activated, &form, [&](int index) { activated = index; });
    TModalDriver driver;
    driver.Then([](TModalWindow& w) {
        EXPECT_EQ(w.Title(), QStringLiteral("Sample"));
        w.Type(QStringLiteral("edtName"), QStringLiteral("Ford"));
        w.Pick(QStringLiteral("cboKind"), QStringLiteral("Truck"));
        w.ClickButton(QStringLiteral("OK"));
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.ui.edtName->text(), QStringLiteral("Ford"));
    EXPECT_EQ(activated, 1);
}

} // namespace
} // namespace carlume
