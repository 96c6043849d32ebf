// The Qt implementations of the desktop services.

#include "platform/gui/qt_services.h"
#include "platform/gui/resources.h"
#include "tests/support/modal_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTextLayout>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace carlume {
namespace {

using test::TModalDriver;
using test::TModalWindow;

struct BoxSeen {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::CursorShape cursor = Qt::BitmapCursor;
};

BoxSeen Look(TModalWindow& w)
{
    auto& box = w.As<QMessageBox>();
    BoxSeen seen{w.Title(), w.Text(), box.textFormat(), box.icon(), Qt::BitmapCursor};
    if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
        seen.cursor = cursor->shape();
    }
    return seen;
}

TEST(QtDialogService, MessagesArePlainTextWithTheirTitles)
{
    struct Case {
        TMsgDlgType type;
        const char* title;
        QMessageBox::Icon icon;
    };
    for (const Case c : {Case{TMsgDlgType::mtInformation, "Information", QMessageBox::Information},
                         Case{TMsgDlgType::mtError, "Error", QMessageBox::Critical},
                         Case{TMsgDlgType::mtWarning, "Warning", QMessageBox::Warning}}) {
        SCOPED_TRACE(c.title);
        BoxSeen seen;
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            seen = Look(w);
            w.ClickButton(QStringLiteral("OK"));
        });
        TQtDialogService().ShowMessage(c.type, "Tom & Jerry\r\nsaw <b>x</b>\rend");
        EXPECT_EQ(seen.title, QString::fromLatin1(c.title));
        EXPECT_EQ(seen.text, QStringLiteral("Tom & Jerry\nsaw <b>x</b>\nend"));
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.icon, c.icon);
    }
}

TEST(QtDialogService, YesNoIsTrueOnlyForYes)
{
    struct Case {
        const char* what;
        std::function<void(TModalWindow&)> act;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"Yes", [](TModalWindow& w) { w.ClickButton(QStringLiteral("&Yes")); }, true},
        {"Enter on the default button", [](TModalWindow& w) { w.Key(Qt::Key_Return); }, true},
        {"No", [](TModalWindow& w) { w.ClickButton(QStringLiteral("No")); }, false},
        {"Esc", [](TModalWindow& w) { w.Key(Qt::Key_Escape); }, false},
        {"close box", [](TModalWindow& w) { w.Close(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BoxSeen seen;
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            seen = Look(w);
            c.act(w);
        });
        EXPECT_EQ(TQtDialogService().AskYesNo("Continue & go?"), c.expected);
        EXPECT_EQ(seen.title, QStringLiteral("Confirm"));
        EXPECT_EQ(seen.text, QStringLiteral("Continue & go?"));
        EXPECT_EQ(seen.format, Qt::PlainText);
    }
}

// The lines a label wraps its plain text into at its present width.
QStringList WrappedLines(const QLabel& label)
{
    QTextLayout layout(label.text(), label.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label.contentsRect().width());
        lines.append(label.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060)).trimmed());
    }
    layout.endLayout();
    return lines;
}

TEST(QtDialogService, AnAddressStaysOnOneLineAndCopiesAsWritten)
{
    const QString address = QStringLiteral("https://www.tamselsoftware.example/carlume/update");
    const std::string text = "The Web Update page " + address.toStdString() + " could not be opened.";
    const std::vector<std::pair<const char*, std::function<void()>>> boxes = {
        {"message", [&] { TQtDialogService().ShowMessage(TMsgDlgType::mtError, text); }},
        {"question", [&] { TQtDialogService().AskYesNo(text); }}};
    for (const auto& [what, show] : boxes) {
        SCOPED_TRACE(what);
        QStringList lines;
        QString copied;
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            auto& label = w.Find<QLabel>(QStringLiteral("qt_msgbox_label"));
            lines = WrappedLines(label);
            // Where the style lets the user select the text, the selection copies as written.
            label.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            label.setFocus(Qt::OtherFocusReason);
            QGuiApplication::clipboard()->clear();
            QTest::keyClick(&label, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(&label, Qt::Key_C, Qt::ControlModifier);
            copied = QGuiApplication::clipboard()->text();
            w.Key(Qt::Key_Escape);
        });
        show();
        ASSERT_GT(lines.size(), 1) << "too narrow a screen to show the wrapping";
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
            return line.contains(address);
        })) << lines.join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(lines.join(QLatin1Char(' ')), QString::fromStdString(text));
        EXPECT_TRUE(copied.contains(QString::fromStdString(text))) << copied.toStdString();
        EXPECT_FALSE(copied.contains(QChar(0x2060)));
    }
}

TEST(QtDialogService, TheInputBoxReturnsTheDefaultOnCancel)
{
    const std::vector<std::pair<std::function<void(TModalWindow&)>, std::string>> cases = {
        {[](TModalWindow& w) {
             EXPECT_EQ(w.Title(), QStringLiteral("Printout Font Size"));
             EXPECT_EQ(w.Text(), QStringLiteral("Provide a new size"));
             EXPECT_EQ(w.As<QInputDialog>().textValue(), QStringLiteral("10"));
             w.Key(Qt::Key_Backspace);
             w.Key(Qt::Key_Backspace);
             QTest::keyClicks(w.Widget().findChild<QLineEdit*>(), QStringLiteral("14"));
             w.Key(Qt::Key_Return);
         },
         "14"},
        {[](TModalWindow& w) {
             w.As<QInputDialog>().setTextValue(QStringLiteral("12"));
             w.ClickButton(QStringLiteral("OK"));
         },
         "12"},
        {[](TModalWindow& w) {
             w.As<QInputDialog>().setTextValue(QStringLiteral("99"));
             w.ClickButton(QStringLiteral("Cancel"));
         },
         "10"}};
    for (const auto& [act, expected] : cases) {
        TModalDriver driver;
        driver.Then(act);
        EXPECT_EQ(TQtDialogService().InputBox("Printout Font Size", "Provide a new size", "10"), expected);
    }
}

TEST(QtClipboardService, TextRoundTripsWithLinuxLineBreaks)
{
    TQtClipboardService clipboard;
    clipboard.SetText("line 1\rline 2\r\nline 3");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("line 1\nline 2\nline 3"));
    EXPECT_EQ(clipboard.Text(), "line 1\nline 2\nline 3");
    clipboard.SetText("");
    EXPECT_EQ(clipboard.Text(), "");
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;
public Q_SLOTS:
    void Open(const QUrl& url) { urls.push_back(url); }
};

TEST(QtShellService, AddressesAndFoldersBecomeUrls)
{
    UrlCatcher catcher;
    for (const char* scheme : {"http", "https", "mailto", "file"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
    }
    TQtShellService shell;
    EXPECT_TRUE(shell.Open("www.example.com", "", "", 5));
    EXPECT_TRUE(shell.Open("MailTo:support@example.com", "", "", 5));
    EXPECT_TRUE(shell.Open(QDir::tempPath().toStdString(), "", "", 1));
    EXPECT_TRUE(shell.Open("https://example.com/update", "", "", 1));
    EXPECT_FALSE(shell.Open("", "", "", 1));
    for (const char* scheme : {"http", "https", "mailto", "file"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    ASSERT_EQ(catcher.urls.size(), 4U);
    EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("http://www.example.com")));
    EXPECT_EQ(catcher.urls[1].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(catcher.urls[1].path(), QStringLiteral("support@example.com"));
    EXPECT_EQ(catcher.urls[2], QUrl::fromLocalFile(QDir::tempPath()));
    EXPECT_EQ(catcher.urls[3], QUrl(QStringLiteral("https://example.com/update")));
}

TEST(QtScreenCursorService, TheCursorIsAnOverrideUntilDefault)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        TQtScreenCursorService cursor;
        EXPECT_EQ(cursor.Cursor(), crDefault);
        cursor.SetCursor(crHourGlass);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        cursor.SetCursor(crArrow);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        EXPECT_EQ(cursor.Cursor(), crArrow);
        cursor.SetCursor(crDefault);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        cursor.SetCursor(crHourGlass);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the service removes its override when it goes";
}

TEST(QtServices, TheBundleHandsOutEveryService)
{
    TQtServices qt;
    const TApplicationServices services = qt.Services();
    EXPECT_EQ(services.Dialogs, &qt.Dialogs);
    EXPECT_EQ(services.Clipboard, &qt.Clipboard);
    EXPECT_EQ(services.Shell, &qt.Shell);
    EXPECT_EQ(services.ScreenCursor, &qt.ScreenCursor);
}

} // namespace
} // namespace carlume

#include "services_test.moc"
