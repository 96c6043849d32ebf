#include "lookup/ui/plain_date_edit.h"

#include "components/date_util.h"
#include "platform/format_settings.h"

namespace carlume {

TPlainDateEdit::TPlainDateEdit(QWidget* parent)
    : TCustomMaskEdit(parent)
{
    UpdateMask();
}

TDateTime TPlainDateEdit::GetDate() const
{
    return StrToDateFmtDef(format_, Text(), NullDate);
}

void TPlainDateEdit::SetDate(TDateTime value)
{
    if (!ValidDate(value) || value == NullDate) {
        setText(QString());
        return;
    }
    setText(QString::fromStdString(FormatDateTime(format_, value)));
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
