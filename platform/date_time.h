#pragma once

// Dates and times of the run-time library. A `TDateTime` counts days since 30 December 1899; the fraction
// is the time of day. For dates before that day the whole-day part is taken toward zero and the fraction
// is still the time of day: -1.25 is 29 December 1899, 06:00. `Now`, `Date`, `Time` and `GetLocalTime`
// read one process-wide clock that tests replace with `ScopedClock`.

#include "platform/format_settings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace carlume {

/// Days since 1899-12-30, with the time of day as the fraction.
using TDateTime = double;

/// Days between 0001-01-01 (day 1) and 1899-12-30.
inline constexpr int DateDelta = 693594;
/// Milliseconds in a day.
inline constexpr int MSecsPerDay = 86400000;
/// The first day a `TDateTime` can hold: 0001-01-01.
inline constexpr TDateTime MinDateTime = -693593.0;
/// The last moment a `TDateTime` can hold: 9999-12-31 23:59:59.999.
inline constexpr TDateTime MaxDateTime = 2958465.99999999;

/// A date and time split into its parts, like the Win32 SYSTEMTIME.
struct TSystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0; ///< 0 = Sunday
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// --- encoding and decoding --------------------------------------------------------------------------------

/// The date of year 1..9999, month 1..12 and a day of that month; false when they name no date.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
/// The date of year, month and day; raises `EConvertError` "Invalid argument to date encode".
TDateTime EncodeDate(int year, int month, int day);
/// The time of day 0..23, 0..59, 0..59, 0..999 as a fraction of a day; false when out of range.
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
/// The time of day as a fraction; raises `EConvertError` "Invalid argument to time encode".
TDateTime EncodeTime(int hour, int minute, int second, int msec);
/// Year, month and day of a date; false (outputs untouched) for NaN, infinity or a day outside 1..9999.
bool TryDecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day);
/// Year, month and day of a date; raises `EConvertError` for values that are no date.
void DecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day);
/// Hour, minute, second and millisecond of the time of day (rounded to the millisecond); raises
/// `EConvertError` for values that are no date.
void DecodeTime(TDateTime time, std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second,
                std::uint16_t& msec);
/// Day of the week, 1 = Sunday to 7 = Saturday; raises `EConvertError` for values that are no date.
int DayOfWeek(TDateTime date);
/// All parts of a date and time; raises `EConvertError` for values that are no date.
TSystemTime DateTimeToSystemTime(TDateTime dateTime);
/// The date and time of the parts (day of week ignored); raises `EConvertError` when they are out of range.
TDateTime SystemTimeToDateTime(const TSystemTime& systemTime);

// --- the clock --------------------------------------------------------------------------------------------

/// Supplies the current local date and time.
using TClockFunction = std::function<TDateTime()>;

/// The local date and time from the system clock, to the millisecond.
TDateTime SystemNow();
/// Replaces the process-wide clock; an empty function restores the system clock.
void SetClock(TClockFunction clock);
/// The current local date and time from the process-wide clock.
TDateTime Now();
/// Today without a time (`Now` with the fraction dropped).
TDateTime Date();
/// The current time of day (`Now` without the whole days).
TDateTime Time();
/// The current local date and time as parts.
TSystemTime GetLocalTime();
/// The year of `Now`.
int CurrentYear();

/// Replaces the process-wide clock for its lifetime (tests).
class ScopedClock {
public:
    /// A clock that always gives `fixed`.
    explicit ScopedClock(TDateTime fixed);
    /// A clock that calls `clock`.
    explicit ScopedClock(TClockFunction clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    TClockFunction saved_;
};

// --- formatting -------------------------------------------------------------------------------------------
// Pattern letters (either case): d dd ddd dddd (day, name), ddddd (short date), dddddd (long date),
// m mm mmm mmmm (month, name; minutes right after an h or hh), yy yyyy, h hh (12-hour clock when the
// pattern holds am/pm, a/p or ampm), n nn, s ss, z zzz, t (short time), tt (long time), c (short date,
// then the long time unless hours, minutes and seconds are all zero), am/pm, a/p (in the case written),
// ampm (the settings' AM/PM texts), "/" (date separator), ":" (time separator), text in '...' or "..."
// as it stands. Any other character is copied. An empty pattern means "c".

/// `dateTime` formatted by `pattern` with the process-wide settings; raises `EConvertError` for no date.
std::string FormatDateTime(std::string_view pattern, TDateTime dateTime);
/// `dateTime` formatted by `pattern` with the given settings.
std::string FormatDateTime(std::string_view pattern, TDateTime dateTime, const TFormatSettings& settings);
/// The short date ("ddddd").
std::string DateToStr(TDateTime date);
/// The long time ("tt").
std::string TimeToStr(TDateTime time);
/// The short date and, unless it is midnight to the second, the long time ("c").
std::string DateTimeToStr(TDateTime dateTime);

// --- reading ----------------------------------------------------------------------------------------------
// A date text is two or three numbers separated by the settings' `DateSeparator`, blanks allowed around
// them, in the order of the settings' `ShortDateFormat` (month-day-year, day-month-year or
// year-month-day). Two numbers mean the current year. A year of one or two digits falls into the hundred
// years that begin `TwoDigitYearCenturyWindow` years before the current year (the current century when
// that is 0). A time text is hours and minutes, optional seconds and milliseconds, separated by
// `TimeSeparator` (milliseconds by `DecimalSeparator`), and an optional AM/PM marker. Nothing may follow.

/// The date in `s`; false (and `date` untouched) when `s` holds no valid date.
bool TryStrToDate(std::string_view s, TDateTime& date, const TFormatSettings& settings = FormatSettings());
/// The date in `s`; raises `EConvertError` "'<s>' is not a valid date".
TDateTime StrToDate(std::string_view s, const TFormatSettings& settings = FormatSettings());
/// The date in `s`, or `defaultValue` when it holds none.
TDateTime StrToDateDef(std::string_view s, TDateTime defaultValue,
                       const TFormatSettings& settings = FormatSettings());
/// The time in `s`; false (and `time` untouched) when `s` holds no valid time.
bool TryStrToTime(std::string_view s, TDateTime& time, const TFormatSettings& settings = FormatSettings());
/// The time in `s`; raises `EConvertError` "'<s>' is not a valid time".
TDateTime StrToTime(std::string_view s, const TFormatSettings& settings = FormatSettings());
/// A date, a date followed by a time, or a time alone; false (and `dateTime` untouched) otherwise.
bool TryStrToDateTime(std::string_view s, TDateTime& dateTime,
                      const TFormatSettings& settings = FormatSettings());
/// A date and optional time; raises `EConvertError` "'<s>' is not a valid date and time".
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& settings = FormatSettings());

} // namespace carlume
