#include "lookup/ui/plain_date_edit.h"

#include "components/date_util.h"
#include "platform/format_settings.h"

#include <cmath>

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

} // namespace

QString QtInputMask(std::string_view editMask, char dateSeparator, char timeSeparator)
{
    // Fields: the mask, whether literals are kept, the blank character.
    char blank = ' ';
    std::string_view body = editMask;
    const std::size_t last = editMask.rfind(';');
    if (last != std::string_view::npos) {
        if (last + 1 < editMask.size())
            blank = editMask[last + 1];
        body = editMask.substr(0, last);
        const std::size_t first = body.rfind(';');
        if (first != std::string_view::npos)
            body = body.substr(0, first);
    }
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
    mask += QChar::fromLatin1(blank);
    return mask;
}

TPlainDateEdit::TPlainDateEdit(QWidget* parent)
    : QLineEdit(parent)
{
    UpdateMask();
}

TDateTime TPlainDateEdit::GetDate() const
{
    if (setDate_ && Text() == setText_)
        return std::trunc(*setDate_);
    return StrToDateFmtDef(format_, Text(), NullDate);
}

void TPlainDateEdit::SetDate(TDateTime value)
{
    setDate_.reset();
    if (!ValidDate(value) || value == NullDate) {
        setText(QString());
        return;
    }
    setText(QString::fromStdString(FormatDateTime(format_, value)));
    // A two-digit year shown may read back in another century: the value set stands while its text does.
    setDate_ = value;
    setText_ = Text();
}

std::string TPlainDateEdit::Text() const
{
    return displayText().toStdString();
}

void TPlainDateEdit::SetText(const std::string& text)
{
    setText(QString::fromStdString(text));
}

void TPlainDateEdit::UpdateMask()
{
    const TDateTime date = format_.empty() ? NullDate : GetDate();
    const bool fourDigits = FourDigitYear();
    format_ = DefDateFormat(fourDigits);
    const TFormatSettings& settings = FormatSettings();
    setInputMask(QtInputMask(DefDateMask(' ', fourDigits), settings.DateSeparator, settings.TimeSeparator));
    SetDate(date);
}

} // namespace carlume
