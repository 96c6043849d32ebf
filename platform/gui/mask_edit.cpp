#include "platform/gui/mask_edit.h"

#include "platform/format_settings.h"
#include "platform/gui/error_guard.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>

namespace carlume {

namespace {

// Characters with a meaning of their own in a Qt input mask.
bool IsQtMaskCharacter(char c)
{
    return QStringView(u"AaNnXx90Dd#HhBb><!{}[]\\;").contains(QChar::fromLatin1(c));
}

void AppendLiteral(QString& mask, char c)
{
    if (IsQtMaskCharacter(c))
        mask += QLatin1Char('\\');
    mask += QChar::fromLatin1(c);
}

// The mask field of "mask;save-literals;blank" (the whole text when it has no fields).
std::string_view MaskBody(std::string_view editMask)
{
    const std::size_t last = editMask.rfind(';');
    if (last == std::string_view::npos)
        return editMask;
    std::string_view body = editMask.substr(0, last);
    const std::size_t first = body.rfind(';');
    if (first != std::string_view::npos)
        body = body.substr(0, first);
    return body;
}

// Keys that change the text when the edit lets them through.
bool ModifiesText(const QKeyEvent& event)
{
    if (event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) ||
        event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo) ||
        event.matches(QKeySequence::DeleteEndOfWord) || event.matches(QKeySequence::DeleteStartOfWord))
        return true;
    if (event.key() == Qt::Key_Backspace || event.key() == Qt::Key_Delete)
        return true;
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint();
}

} // namespace

char MaskBlank(std::string_view editMask)
{
    const std::size_t last = editMask.rfind(';');
    // "mask;1" names no blank: its last field is the save-literals flag.
    if (last == std::string_view::npos || last + 1 >= editMask.size() || editMask.find(';') == last)
        return ' ';
    return editMask[last + 1];
}

QString QtInputMask(std::string_view editMask, char dateSeparator, char timeSeparator)
{
    if (editMask.empty())
        return {};
    const std::string_view body = MaskBody(editMask);
    QString mask;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        switch (c) {
        case '!': // leading blanks are trimmed on the class library's side; nothing to say to Qt
            break;
        case '9':
            mask += QLatin1Char('0');
            break;
        case '0':
            mask += QLatin1Char('9');
            break;
        case '/':
            AppendLiteral(mask, dateSeparator);
            break;
        case ':':
            AppendLiteral(mask, timeSeparator);
            break;
        case '\\':
            if (i + 1 < body.size())
                AppendLiteral(mask, body[++i]);
            break;
        default:
            AppendLiteral(mask, c);
            break;
        }
    }
    mask += QLatin1Char(';');
    mask += QChar::fromLatin1(MaskBlank(editMask));
    return mask;
}

TCustomMaskEdit::TCustomMaskEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { Change(); }); });
}

void TCustomMaskEdit::SetEditMask(const std::string& mask)
{
    const std::string text = Text();
    editMask_ = mask;
    const TFormatSettings& settings = FormatSettings();
    setInputMask(QtInputMask(mask, settings.DateSeparator, settings.TimeSeparator));
    SetText(text);
}

std::string TCustomMaskEdit::Text() const
{
    if (!IsMasked())
        return text().toStdString();
    QString shown = displayText();
    shown.replace(QChar::fromLatin1(MaskBlank(editMask_)), QLatin1Char(' '));
    return shown.toStdString();
}

void TCustomMaskEdit::SetText(const std::string& text)
{
    setText(QString::fromStdString(text));
}

std::string TCustomMaskEdit::EditText() const
{
    return displayText().toStdString();
}

bool TCustomMaskEdit::EditCanModify()
{
    return true;
}

void TCustomMaskEdit::KeyDown(TVirtualKey&, TShiftState) {}

void TCustomMaskEdit::KeyPress(QChar&) {}

void TCustomMaskEdit::Change()
{
    DoChange();
}

void TCustomMaskEdit::DoChange()
{
    if (OnChange)
        OnChange();
}

void TCustomMaskEdit::Reset()
{
    if (isModified() && displayText() != focusText_) {
        setText(focusText_);
        setModified(false);
        selectAll();
    }
}

void TCustomMaskEdit::SelectOnEnter()
{
    selectAll();
}

void TCustomMaskEdit::keyPressEvent(QKeyEvent* event)
{
    TKeyInfo info = ToClassKey(*event);
    bool consumed = false;
    bool mayModify = true;
    RunGuarded([&] {
        consumed = DispatchKeyDownAndPress(
            info, [this](TVirtualKey& key, TShiftState shift) { KeyDown(key, shift); },
            [this](QChar& key) { KeyPress(key); });
        if (!consumed && !isReadOnly() && ModifiesText(*event))
            mayModify = EditCanModify();
    });
    if (consumed) {
        event->accept();
        return;
    }
    if (!mayModify) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Reset();
        // The window still gets Esc, for its cancel button.
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomMaskEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    focusText_ = displayText();
    if (autoSelect_ && event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason &&
        event->reason() != Qt::ActiveWindowFocusReason)
        RunGuarded([this] { SelectOnEnter(); });
}

} // namespace carlume
