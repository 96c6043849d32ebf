#include "platform/gui/qt_services.h"

#include "platform/gui/resources.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QTextBoundaryFinder>
#include <QUrl>

namespace carlume {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// A word joiner: invisible, and no line may break beside it.
constexpr QChar kWordJoiner(0x2060);

// A message box that wraps its text only at blanks and line breaks: an address or a path is never cut in
// two. Whatever copies its text while it is open copies it as written.
class TMessageBox final : public QMessageBox {
public:
    TMessageBox(Icon icon, const QString& title, const std::string& text, StandardButtons buttons)
        : QMessageBox(icon, title, KeepWordsWhole(NormalizeLineBreaks(FromUtf8(text))), buttons,
                      QApplication::activeWindow())
    {
        setTextFormat(Qt::PlainText);
        QClipboard* clipboard = QGuiApplication::clipboard();
        connect(clipboard, &QClipboard::dataChanged, this, [clipboard] {
            QString copied = clipboard->text();
            if (copied.contains(kWordJoiner)) {
                clipboard->setText(copied.remove(kWordJoiner));
            }
        });
    }
};

} // namespace

QString KeepWordsWhole(const QString& text)
{
    // Qt wraps wherever a line may break, also after "/" and "-" inside an address; a joiner at every such
    // place that does not follow a blank leaves the blanks as the only places to wrap.
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    QString out;
    qsizetype from = 0;
    for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < text.size(); at = breaks.toNextBoundary()) {
        out += QStringView(text).mid(from, at - from);
        if (!text.at(at - 1).isSpace()) {
            out += kWordJoiner;
        }
        from = at;
    }
    out += QStringView(text).mid(from);
    return out;
}

QString NormalizeLineBreaks(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

void TQtDialogService::ShowMessage(TMsgDlgType type, const std::string& text)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    switch (type) {
    case TMsgDlgType::mtWarning:
        icon = QMessageBox::Warning;
        title = QStringLiteral("Warning");
        break;
    case TMsgDlgType::mtError:
        icon = QMessageBox::Critical;
        title = QStringLiteral("Error");
        break;
    case TMsgDlgType::mtInformation:
        icon = QMessageBox::Information;
        title = QStringLiteral("Information");
        break;
    case TMsgDlgType::mtConfirmation:
        icon = QMessageBox::Question;
        title = QStringLiteral("Confirm");
        break;
    case TMsgDlgType::mtCustom:
        title = QApplication::applicationDisplayName();
        break;
    }
    TMessageBox box(icon, title, text, QMessageBox::Ok);
    box.exec();
}

bool TQtDialogService::AskYesNo(const std::string& text)
{
    TMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::string TQtDialogService::InputBox(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultValue)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(FromUtf8(caption));
    dialog.setLabelText(NormalizeLineBreaks(FromUtf8(prompt)));
    dialog.setTextValue(FromUtf8(defaultValue));
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted) {
        return defaultValue;
    }
    return dialog.textValue().toStdString();
}

void TQtClipboardService::SetText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(NormalizeLineBreaks(FromUtf8(text)));
}

std::string TQtClipboardService::Text() const
{
    return QGuiApplication::clipboard()->text().toStdString();
}

bool TQtShellService::Open(const std::string& file, const std::string& parameters, const std::string& folder,
                           int /*showCommand*/)
{
    const QString target = FromUtf8(file);
    if (target.isEmpty()) {
        return false;
    }
    if (!parameters.empty()) {
        return QProcess::startDetached(target, QProcess::splitCommand(FromUtf8(parameters)),
                                       FromUtf8(folder));
    }
    QUrl url;
    if (QDir::isAbsolutePath(target)) {
        url = QUrl::fromLocalFile(target);
    } else {
        const QString workingFolder = folder.empty() ? QDir::currentPath() : FromUtf8(folder);
        url = QUrl::fromUserInput(target, workingFolder);
    }
    if (!url.isValid()) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

TQtScreenCursorService::~TQtScreenCursorService()
{
    if (overriding_ && qApp != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

TCursor TQtScreenCursorService::Cursor() const
{
    return cursor_;
}

void TQtScreenCursorService::SetCursor(TCursor cursor)
{
    cursor_ = cursor;
    if (cursor == crDefault) {
        if (overriding_) {
            QGuiApplication::restoreOverrideCursor();
            overriding_ = false;
        }
        return;
    }
    const QCursor shape = CursorFor(cursor);
    if (overriding_) {
        QGuiApplication::changeOverrideCursor(shape);
    } else {
        QGuiApplication::setOverrideCursor(shape);
        overriding_ = true;
    }
}

TApplicationServices TQtServices::Services()
{
    TApplicationServices services;
    services.Dialogs = &Dialogs;
    services.Clipboard = &Clipboard;
    services.Shell = &Shell;
    services.ScreenCursor = &ScreenCursor;
    return services;
}

} // namespace carlume
