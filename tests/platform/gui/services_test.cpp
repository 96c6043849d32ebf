// The Qt implementations of the desktop services.

#include "platform/gui/qt_services.h"
#include "platform/gui/resources.h"
#include "tests/support/modal_driver.h"
#include "tests/support/print_case_name.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

// How a label wraps its plain text at its present width: the lines without the marks that steer the
// breaks, the widest of them and the height of them all.
struct TWrapped {
    QStringList Lines;
    qreal Widest = 0;
    qreal Height = 0;
};

TWrapped Wrap(const QLabel& label)
{
    QTextLayout layout(label.text(), label.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    TWrapped wrapped;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label.contentsRect().width());
        wrapped.Lines.append(label.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060)));
        wrapped.Lines.back().remove(QChar(0x200B));
        wrapped.Widest = std::max(wrapped.Widest, line.naturalTextWidth());
        wrapped.Height += line.height();
    }
    layout.endLayout();
    return wrapped;
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
            lines = Wrap(label).Lines;
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
        EXPECT_EQ(lines.join(QString()), QString::fromStdString(text));
        EXPECT_TRUE(copied.contains(QString::fromStdString(text))) << copied.toStdString();
        EXPECT_FALSE(copied.contains(QChar(0x2060)));
    }
}

// A folder deep below others, with the file name as the last 18 of its 237 characters.
std::string LongPath()
{
    std::string folder = "/home/agency/Polimark Rating Software/Carlume_Program_Installation_Folder/"
                         "Vehicle_Symbol_Lookup_Application_Files/";
    while (folder.size() < 237 - 18)
        folder += "Subfolder_" + std::to_string(folder.size()) + "/";
    folder.resize(237 - 18 - 1);
    return folder + "/VersionMessage.txt";
}

// Some 3,000 characters of a path.
std::string VeryLongPath()
{
    std::string path;
    while (path.size() < 3000)
        path += "/Subfolder_" + std::to_string(path.size());
    return path + "/VersionMessage.txt";
}

struct TLongWordCase {
    const char* Name;
    std::string Text;
    const char* Whole;     // must stay on one line
    bool BreaksAfterSlash; // a line that ends inside a word ends after a "/"
    bool Scrolls;          // too long for the screen
};

class MessageBoxWords : public ::testing::TestWithParam<TLongWordCase> {};

// The box stays within the screen's free area with its buttons in sight; a text too long for it scrolls,
// and the keyboard reaches its end.
TEST_P(MessageBoxWords, EveryCharacterShowsAndWordsThatFitStayWhole)
{
    const TLongWordCase& row = GetParam();
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    if (const char* screen = std::getenv("CARLUME_TEST_SCREEN")) {
        ASSERT_EQ(QStringLiteral("%1x%2").arg(free.width()).arg(free.height()), QString::fromLatin1(screen));
    }
    QSize room;
    TWrapped wrapped;
    TModalDriver driver;
    driver.Then([&](TModalWindow& w) {
        QWidget& box = w.Widget();
        EXPECT_TRUE(free.contains(box.frameGeometry()));
        for (const QAbstractButton* button : box.findChildren<QAbstractButton*>())
            EXPECT_TRUE(box.rect().contains(QRect(button->mapTo(&box, QPoint(0, 0)), button->size())));
        const auto& label = w.Find<QLabel>(QStringLiteral("qt_msgbox_label"));
        room = label.contentsRect().size();
        wrapped = Wrap(label);
        auto* scroll = box.findChild<QScrollArea*>();
        EXPECT_EQ(scroll != nullptr, row.Scrolls) << "a box that fits is left as Qt made it";
        if (scroll != nullptr) {
            for (int tabs = 0; tabs < 4 && QApplication::focusWidget() != scroll; ++tabs)
                w.Key(Qt::Key_Tab);
            const QScrollBar& bar = *scroll->verticalScrollBar();
            for (int pages = 0; pages < 20 && bar.value() < bar.maximum(); ++pages)
                w.Key(Qt::Key_PageDown);
            EXPECT_GT(bar.value(), 0);
            EXPECT_LE(label.mapTo(scroll->viewport(), QPoint(0, int(wrapped.Height))).y(),
                      scroll->viewport()->height() + 1)
                << "the last line in sight";
        }
        w.Key(Qt::Key_Escape);
    });
    TQtDialogService().ShowMessage(TMsgDlgType::mtError, row.Text);
    EXPECT_EQ(wrapped.Lines.join(QString()).toStdString(), row.Text);
    EXPECT_LE(wrapped.Widest, room.width()) << wrapped.Lines.join(QLatin1Char('|')).toStdString();
    EXPECT_LE(wrapped.Height, room.height() + 1) << "every line has room";
    EXPECT_EQ(wrapped.Lines.filter(QString::fromUtf8(row.Whole)).size(), 1) << row.Whole;
    for (qsizetype i = 0; row.BreaksAfterSlash && i + 1 < wrapped.Lines.size(); ++i) {
        const QChar last = wrapped.Lines[i].back();
        EXPECT_TRUE(last.isSpace() || last == QLatin1Char('/')) << wrapped.Lines[i].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    LongWords, MessageBoxWords,
    ::testing::Values(
        TLongWordCase{"PathWiderThanTheBox", "Cannot create file \"" + LongPath() + "\". Is a directory",
                      "VersionMessage.txt", true, false},
        TLongWordCase{"PartOfAPathWiderThanTheBox", "Cannot open /srv/" + std::string(180, 'x') + "/data.txt",
                      "data.txt", false, false},
        TLongWordCase{"NameWithoutASlash", "The name " + std::string(300, 'n') + "-end is too long.",
                      "is too long.", false, false},
        TLongWordCase{"PathTallerThanTheScreen",
                      "Cannot create file \"" + VeryLongPath() + "\". Is a directory", "VersionMessage.txt",
                      true, true}),
    test::ByName);

TEST(QtDialogService, CopiesHoldTheBoxsTextAndNothingElseTouchesTheClipboard)
{
    const QString rule = QStringLiteral("---------------------------\n");
    const QString text = QStringLiteral("Cannot open /srv/data/file.txt");
    const QString other = QStringLiteral("from another\u2060program");
    const auto ctrlC = [](TModalWindow& w) { w.Key(Qt::Key_C, Qt::ControlModifier); };
    struct Case {
        const char* what;
        bool question;
        std::function<void(TModalWindow&)> copy;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"Ctrl+C on a message", false, ctrlC,
         rule + QStringLiteral("Error\n") + rule + text + u'\n' + rule + QStringLiteral("OK   \n") + rule},
        {"Ctrl+C on a question", true, ctrlC,
         rule + QStringLiteral("Confirm\n") + rule + text + u'\n' + rule + QStringLiteral("Yes   No   \n") +
             rule},
        {"Copy on the menu of a selection", false,
         [](TModalWindow& w) {
             auto& label = w.Find<QLabel>(QStringLiteral("qt_msgbox_label"));
             label.setSelection(0, int(label.text().size()));
             QTimer::singleShot(0, [] {
                 if (QWidget* menu = QApplication::activePopupWidget())
                     QTest::keyClick(menu, Qt::Key_C);
             });
             const QPoint at = label.rect().center();
             QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, label.mapToGlobal(at));
             QApplication::sendEvent(&label, &menuEvent);
         },
         text}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString untouched;
        QString copied;
        TModalDriver driver;
        driver.Then([&](TModalWindow& w) {
            QGuiApplication::clipboard()->setText(other);
            QCoreApplication::processEvents();
            untouched = QGuiApplication::clipboard()->text();
            c.copy(w);
            copied = QGuiApplication::clipboard()->text();
            w.Key(Qt::Key_Escape);
        });
        if (c.question)
            TQtDialogService().AskYesNo(text.toStdString());
        else
            TQtDialogService().ShowMessage(TMsgDlgType::mtError, text.toStdString());
        EXPECT_EQ(untouched.toStdString(), other.toStdString()) << "another program's copy keeps its joiner";
        EXPECT_EQ(copied.toStdString(), c.expected.toStdString());
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
