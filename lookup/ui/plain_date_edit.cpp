#include "lookup/ui/plain_date_edit.h"

#include "components/date_util.h"
#include "platform/format_settings.h"

#include <cmath>

namespace carlume {

TPlainDateEdit::TPlainDateEdit(QWidget* parent)
    : TCustomMaskEdit(parent)
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

void TPlainDateEdit::UpdateMask()
{
    const TDateTime date = format_.empty() ? NullDate : GetDate();
    const bool fourDigits = FourDigitYear();
    format_ = DefDateFormat(fourDigits);
    SetEditMask(DefDateMask(' ', fourDigits));
    SetDate(date);
}

} // namespace carlume
