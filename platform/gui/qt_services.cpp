#include "platform/gui/qt_services.h"

#include "platform/gui/form.h"
#include "platform/gui/resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace carlume {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// Invisible marks that steer where a wrapped line may break: never beside a word joiner, and at a zero
// width space.
constexpr QChar kWordJoiner(0x2060);
constexpr QChar kBreakHere(0x200B);

QString WithoutBreakMarks(QString text)
{
    text.remove(kWordJoiner);
    text.remove(kBreakHere);
    return text;
}

// The widest a message box may be: what Qt lets it grow to on its screen (a line wider than that is cut),
// and no wider than the screen with the box's frame.
int WidestMessageBox(const QWidget& box)
{
    const int width = box.screen() != nullptr ? box.screen()->availableGeometry().width() : 0;
    const QMargins frame = FrameMargins(box);
    return std::min(width <= 1024 ? width : std::min(width - 480, 1000),
                    width - frame.left() - frame.right());
}

QString ButtonCaption(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    return caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
}

// A message box whose lines break at blanks, so that an address or a path that fits the box stays whole,
// and that copies its text with Ctrl+C as the desktop's message boxes do. The marks that steer the breaks
// never reach the clipboard.
class TMessageBox final : public QMessageBox {
public:
    TMessageBox(Icon icon, const QString& title, const std::string& text, StandardButtons buttons)
        : QMessageBox(icon, title, NormalizeLineBreaks(FromUtf8(text)), buttons, QApplication::activeWindow())
        , text_(QMessageBox::text())
        , label_(findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
    {
        setTextFormat(Qt::PlainText);
        if (label_ != nullptr)
            label_->installEventFilter(this);
    }

protected:
    bool event(QEvent* event) override
    {
        // Qt fits a box to its whole text whenever its layout changes; one whose text scrolls keeps the room
        // the screen gave it.
        if (scroll_ != nullptr && event->type() == QEvent::LayoutRequest)
            return QDialog::event(event);
        return QMessageBox::event(event);
    }

    void showEvent(QShowEvent* event) override
    {
        // Only now are the screen and the room beside the text known; the label may round its lines up by a
        // pixel.
        if (label_ != nullptr && scroll_ == nullptr) {
            const int besideText = width() - label_->width() + 1;
            setText(KeepWordsWhole(text_, label_->fontMetrics(), WidestMessageBox(*this) - besideText));
        }
        QMessageBox::showEvent(event);
        if (!event->spontaneous())
            FitIntoScreen();
    }

    void moveEvent(QMoveEvent* event) override
    {
        QMessageBox::moveEvent(event);
        // The frame is known once the window manager has placed the box; until then it was guessed from the
        // other windows' frames.
        if (!frameChecked_ && windowHandle() != nullptr && !windowHandle()->frameMargins().isNull()) {
            frameChecked_ = true;
            FitIntoScreen();
        }
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            CopyBox();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Where the style lets the user select the text, the label's own copy would take the marks along.
        if (watched != label_)
            return QMessageBox::eventFilter(watched, event);
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
        if (key && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                CopySelection();
            return true;
        }
        if (event->type() == QEvent::ContextMenu &&
            (label_->textInteractionFlags() & Qt::TextSelectableByMouse)) {
            QMenu menu;
            menu.addAction(QStringLiteral("&Copy"), this, &TMessageBox::CopySelection)
                ->setEnabled(label_->hasSelectedText());
            menu.addAction(QStringLiteral("Select All"), this,
                           [this] { label_->setSelection(0, int(label_->text().size())); });
            menu.exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return QMessageBox::eventFilter(watched, event);
    }

private:
    // Qt makes a box as tall as its text, also beyond the screen, where its end and its buttons cannot be
    // reached. Such a box gets the room the screen has, and its text scrolls above the buttons, which stay.
    void FitIntoScreen()
    {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (label_ == nullptr || grid == nullptr || screen() == nullptr)
            return;
        const QRect area = screen()->availableGeometry();
        const QMargins frame = FrameMargins(*this);
        const QSize room = area.size().shrunkBy(frame);
        if (scroll_ == nullptr) {
            if (width() <= room.width() && height() <= room.height())
                return;
            const int index = grid->indexOf(label_);
            if (index < 0)
                return;
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(index, &row, &column, &rows, &columns);
            besideText_ = size() - label_->size();
            QWidget* focused = focusWidget();
            scroll_ = new QScrollArea(this);
            scroll_->setFrameShape(QFrame::NoFrame);
            scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            scroll_->setWidgetResizable(true);
            grid->removeWidget(label_);
            scroll_->setWidget(label_);
            grid->addWidget(scroll_, row, column, rows, columns);
            // The text keeps the layout's spacing from the scroll bar.
            label_->setContentsMargins(0, 0, std::max(0, grid->horizontalSpacing()), 0);
            if (focused != nullptr)
                focused->setFocus(Qt::OtherFocusReason);
        }
        const int bar = scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
        const int width = std::min(this->width(), room.width());
        const int textWidth = std::max(1, width - besideText_.width() - bar);
        const int lineWidth = textWidth - label_->contentsMargins().right() - 1;
        label_->setText(KeepWordsWhole(text_, label_->fontMetrics(), lineWidth));
        const int height = std::min(room.height(), besideText_.height() + label_->heightForWidth(textWidth));
        // Centred where Qt placed the whole box, and within the screen.
        QRect box(QPoint(0, 0), QSize(width, height).grownBy(frame));
        box.moveCenter(frameGeometry().center());
        box.moveLeft(std::clamp(box.left(), area.left(), area.right() + 1 - box.width()));
        box.moveTop(std::clamp(box.top(), area.top(), area.bottom() + 1 - box.height()));
        setFixedSize(width, height);
        move(box.topLeft());
    }

    void CopySelection()
    {
        if (label_->hasSelectedText())
            QGuiApplication::clipboard()->setText(WithoutBreakMarks(label_->selectedText()));
        else
            CopyBox();
    }

    void CopyBox()
    {
        const QString rule = QStringLiteral("---------------------------\n");
        QString buttons;
        for (const QAbstractButton* button : this->buttons())
            buttons += ButtonCaption(button->text()) + QStringLiteral("   ");
        QGuiApplication::clipboard()->setText(rule + windowTitle() + u'\n' + rule + text_ + u'\n' + rule +
                                              buttons + u'\n' + rule);
    }

    QString text_;
    QLabel* label_;
    QScrollArea* scroll_ = nullptr;
    // The box's room around its text, as Qt laid it out before the text went into a scroll area.
    QSize besideText_;
    bool frameChecked_ = false;
};

} // namespace

QString KeepWordsWhole(const QString& text, const QFontMetrics& metrics, int lineWidth)
{
    const auto isBlank = [&](qsizetype at) { return text.at(at).isSpace(); };
    const auto fits = [&](qsizetype from, qsizetype to) {
        return metrics.horizontalAdvance(text.mid(from, to - from)) <= lineWidth;
    };
    // Every place Qt may break a line at, and where a word too wide for a line must break all the same:
    // after each "/" it holds and, within a part between them that is still too wide, where its line is full.
    std::vector<bool> breakable(size_t(text.size()) + 1, false);
    std::vector<bool> forced(breakable.size(), false);
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, text);
    for (qsizetype at = lines.toNextBoundary(); at > 0; at = lines.toNextBoundary())
        breakable[size_t(at)] = true;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    const auto breakWhereFull = [&](qsizetype from, qsizetype to) {
        for (qsizetype line = from; line < to;) {
            // At least one character a line, however narrow the box.
            characters.setPosition(line);
            qsizetype last = characters.toNextBoundary();
            for (qsizetype next = characters.toNextBoundary(); next > 0 && next <= to && fits(line, next);
                 next = characters.toNextBoundary())
                last = next;
            if (last <= line || last >= to)
                break;
            forced[size_t(last)] = true;
            line = last;
        }
    };
    for (qsizetype start = 0, end = 0; start < text.size(); start = end) {
        for (end = start; end < text.size() && !isBlank(end);)
            ++end;
        if (end == start) {
            ++end;
            continue;
        }
        if (fits(start, end))
            continue;
        for (qsizetype from = start; from < end;) {
            const qsizetype slash = text.indexOf(QLatin1Char('/'), from);
            const qsizetype to = slash < 0 || slash + 1 >= end ? end : slash + 1;
            if (!fits(from, to))
                breakWhereFull(from, to);
            if (to < end)
                forced[size_t(to)] = true;
            from = to;
        }
    }
    QString out;
    out.reserve(text.size() * 2);
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (at > 0 && !isBlank(at - 1)) {
            if (forced[size_t(at)])
                out += kBreakHere;
            else if (breakable[size_t(at)])
                out += kWordJoiner;
        }
        out += text.at(at);
    }
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
