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
#include <QUrl>

namespace carlume {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

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
    QMessageBox box(icon, title, NormalizeLineBreaks(FromUtf8(text)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool TQtDialogService::AskYesNo(const std::string& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), NormalizeLineBreaks(FromUtf8(text)),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
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
