#pragma once

// Date routines shared by the date edit, the calendars, the vehicle record and the command line:
// calendar arithmetic, the locale's date order, the two-digit-year window, the date edit's display
// formats and edit masks, and a text-to-date reader driven by a display format.
//
// The locale settings are the process-wide `FormatSettings()`, read at the moment of each call; the clock
// is the platform's. Positions (`pos`) in the scanners are 1-based, as in the run-time library's text
// routines: 1 is the first character, `size() + 1` is past the end. Texts are UTF-8; the scanners and the
// format-driven reader work on bytes, which suits the ASCII digits and separators of a date.
//
// A date whose year was left blank is not a date: the reader never invents one. A text laid out by the
// format (month and day read under their letters) that reaches the year's part and leaves it blank fails;
// text with a month and a day and no year part at all is that day of the current year, as two numbers are
// in the free-form scanner. Every number of a date is decimal digits only.

#include "platform/date_time.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace carlume {

/// Order of day, month and year in a date format.
enum class TDateOrder { doMDY, doDMY, doYMD };

/// A day of the week, Sunday first (`Sun` = 0 to `Sat` = 6).
enum class TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

/// A set of days of the week (the weekend days of the calendars), held in one byte.
class TDaysOfWeek {
public:
    /// The empty set.
    constexpr TDaysOfWeek() = default;
    /// The set of the days listed.
    constexpr TDaysOfWeek(std::initializer_list<TDayOfWeekName> days)
    {
        for (const TDayOfWeekName day : days)
            Include(day);
    }
    /// True when `day` is in the set.
    constexpr bool Contains(TDayOfWeekName day) const { return (bits_ & Bit(day)) != 0; }
    /// Adds `day`.
    constexpr void Include(TDayOfWeekName day) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(day)); }
    /// Removes `day`.
    constexpr void Exclude(TDayOfWeekName day) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(day)); }
    /// True when no day is in the set.
    constexpr bool IsEmpty() const { return bits_ == 0; }
    /// The set as one byte, bit 0 = Sunday.
    constexpr std::uint8_t Bits() const { return bits_; }

    constexpr bool operator==(const TDaysOfWeek&) const = default;

private:
    static constexpr unsigned Bit(TDayOfWeekName day) { return 1u << static_cast<unsigned>(day); }
    std::uint8_t bits_ = 0;
};

/// No date: an empty date edit reads as this value, and this value shows as an empty date edit.
inline constexpr TDateTime NullDate = 0.0;

/// Two-digit years fall into the hundred years that begin this many years before the current year.
inline constexpr std::uint8_t CenturyOffset = 60;

/// Message of `StrToDateFmt`; the text stands between two apostrophes on each side.
inline constexpr std::string_view SInvalidDateFmt = "''%s'' is not a valid date";

// --- calendar arithmetic and years ------------------------------------------------------------------------

/// True for Gregorian leap years (divisible by 4, and not by 100 unless by 400).
bool IsLeapYear(int year);
/// Days in `month` (1..12) of `year`; 0 for a month outside 1..12.
int DaysPerMonth(int year, int month);
/// True when year 1..9999, month 1..12 and day name a day of the calendar.
bool IsValidDate(int year, int month, int day);
/// True when `date` is a date of years 1..9999 (false for NaN, infinity and values out of range).
bool ValidDate(TDateTime date);
/// The year of the local clock.
int GetCurrentYear();
/// The year of `date`; raises `EConvertError` for a value that is no date.
int ExtractYear(TDateTime date);
/// `defaultValue` when `dateValue` is `NullDate`, else `dateValue`.
TDateTime NvlDate(TDateTime dateValue, TDateTime defaultValue);

// --- locale order, formats and masks ----------------------------------------------------------------------

/// Order of a date format, decided by its first D, E, M or Y in either case (D: day first, E or Y: year
/// first, M: month first); day first when it holds none of them.
TDateOrder GetDateOrder(std::string_view dateFormat);
/// A year below 100 moved into the hundred years that begin `CenturyOffset` years before the current year;
/// years of 100 and more, and negative values (no year), come back unchanged.
int ExpandYear(int year);
/// The date edit's display format in the order of the locale's short date format: "MM/DD/YYYY",
/// "DD/MM/YYYY", "YYYY/MM/DD", or the "YY" forms without four-digit years.
std::string DefDateFormat(bool fourDigitYear);
/// The date edit's edit mask in the order of the locale's short date format ("!99/99/9999;1;",
/// "!9999/99/99;1;" or "!99/99/99;1;"), followed by `blanksChar`.
std::string DefDateMask(char blanksChar, bool fourDigitYear);

/// True when the locale's short date format showed four-digit years at start-up.
bool FourDigitYear();
/// Sets `FourDigitYear` from the current locale's short date format (program start-up, once the locale
/// settings are filled); without this call the first read computes it.
void InitializeFourDigitYear();
/// Sets `FourDigitYear` as given (tests).
void SetFourDigitYear(bool value);

/// Sets `FourDigitYear` for its lifetime and restores the previous state afterwards (tests).
class ScopedFourDigitYear {
public:
    /// `FourDigitYear` is `value` until the object goes away.
    explicit ScopedFourDigitYear(bool value);
    ~ScopedFourDigitYear();
    ScopedFourDigitYear(const ScopedFourDigitYear&) = delete;
    ScopedFourDigitYear& operator=(const ScopedFourDigitYear&) = delete;

private:
    int saved_;
};

// --- scanning ---------------------------------------------------------------------------------------------

/// Moves `pos` forward over blanks while it is within `s`.
void ScanBlanks(std::string_view s, int& pos);
/// After blanks, reads up to `maxLength` digits, stopping once the value reaches 1000 (so at most four
/// digits); true with `number` set and `pos` after the digits, false with `pos` after the blanks.
bool ScanNumber(std::string_view s, int maxLength, int& pos, int& number);
/// After blanks, true and `pos` one further when the character at `pos` is `ch`; false otherwise.
bool ScanChar(std::string_view s, int& pos, char ch);
/// Moves `pos` forward until it stands on a digit or is past the end of `s`.
void ScanToNumber(std::string_view s, int& pos);
/// Free-form date from `pos` on: two or three numbers separated by the locale's date separator, blanks
/// allowed, in the order of `dateFormat`; two numbers mean the current year, a third is the year (expanded
/// when below 100). True when the numbers name a date and the whole text was used.
bool ScanDate(std::string_view s, std::string_view dateFormat, int& pos, int& year, int& month, int& day);
/// The first month (1..12) whose short name begins like `s`, comparing the first `maxLen` characters
/// without regard to case; 0 for an empty `s` or no match.
int MonthFromName(std::string_view s, int maxLen);
/// The number under the first run of `cnt` letters `ch` (either case) in `format`, read from the same
/// places of `s`: `defaultValue` when `format` has no such run or `s` is longer than `format`, `blank`
/// when those places are blank, -1 when they hold anything but one decimal number (blanks only around it);
/// a run of two or more letters is a month name and gives its month, or -1 when it names none.
int ExtractMask(std::string_view format, std::string_view s, char ch, int cnt, int blank, int defaultValue);
/// Day, month and year of `s` read by position under `format`, or else free-form (`ScanDate`); true when
/// they name a date. A year left blank in a text laid out by `format` fails.
bool ScanDateStr(std::string_view format, std::string_view s, int& day, int& month, int& year);

// --- text to date -----------------------------------------------------------------------------------------

/// The date of `s` read under `dateFormat`; the empty text is `NullDate`. False (and `date` untouched) when
/// `s` holds no date; never raises.
bool InternalStrToDate(std::string_view dateFormat, std::string_view s, TDateTime& date);
/// The date of `s` read under `dateFormat`; raises `EConvertError` "''<s>'' is not a valid date".
TDateTime StrToDateFmt(std::string_view dateFormat, std::string_view s);
/// The date of `s` read under `dateFormat`, or the whole day of `defaultValue` when it holds none.
TDateTime StrToDateFmtDef(std::string_view dateFormat, std::string_view s, TDateTime defaultValue);

} // namespace carlume
