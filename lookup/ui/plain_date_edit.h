#pragma once

// The lookup date field: a line edit with the locale's date mask that is read and set as a date. It offers
// exactly what the lookup window uses of a date edit (GetDate, SetDate, Text, SetText and setEnabled), so
// a full date edit with a calendar can take its place in the layout without a change to the window.

#include "platform/date_time.h"
#include "platform/gui/mask_edit.h"

#include <optional>
#include <string>

namespace carlume {

/// A masked date field without calendar.
class TPlainDateEdit : public TCustomMaskEdit {
    Q_OBJECT
public:
    /// An empty field with the mask and format of the current locale.
    explicit TPlainDateEdit(QWidget* parent = nullptr);

    /// The date shown (the whole day); `NullDate` when the text holds none. A date set by value reads back
    /// as that day as long as the text is the one it was shown as, whatever a two-digit year would read as.
    TDateTime GetDate() const;
    /// Shows the day of `value` in the field's format; `NullDate` or a value that is no date empties it.
    void SetDate(TDateTime value);
    /// The format the field shows and reads ("MM/DD/YYYY" in a month-first locale).
    const std::string& DateFormat() const { return format_; }
    /// Takes the format and mask of the current locale; the date shown is kept.
    void UpdateMask();

private:
    std::string format_;
    std::optional<TDateTime> setDate_;
    std::string setText_;
};

} // namespace carlume
