#pragma once

// The locale settings that dates and numbers are formatted and read with. There is one process-wide
// instance, read at the moment of each call. It is filled on first use from the LC_TIME locale of the
// environment (LC_ALL, LC_TIME, LANG); the C and POSIX locales and every C.* locale give the US settings.
// Tests replace it with ScopedFormatSettings. Single-threaded, like the rest of the program.

#include <array>
#include <functional>
#include <string>

namespace carlume {

/// Date, time and number settings of a locale.
struct TFormatSettings {
    /// Short date pattern for `FormatDateTime` ("M/d/yyyy").
    std::string ShortDateFormat = "M/d/yyyy";
    /// Long date pattern ("dddd, MMMM d, yyyy").
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    /// Short time pattern ("h:mm AMPM").
    std::string ShortTimeFormat = "h:mm AMPM";
    /// Long time pattern ("h:mm:ss AMPM").
    std::string LongTimeFormat = "h:mm:ss AMPM";
    /// What "/" stands for in date patterns and what separates the numbers of a date text.
    char DateSeparator = '/';
    /// What ":" stands for in time patterns.
    char TimeSeparator = ':';
    /// Text for times before noon ("AM").
    std::string TimeAMString = "AM";
    /// Text for times from noon on ("PM").
    std::string TimePMString = "PM";
    /// Abbreviated month names; index 0 is January.
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    /// Full month names; index 0 is January.
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    /// Abbreviated day names; index 0 is Sunday.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    /// Full day names; index 0 is Sunday.
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    /// Two-digit years read by `StrToDate` fall into the hundred years that begin this many years before the
    /// current year; 0 puts them into the current century.
    int TwoDigitYearCenturyWindow = 50;
    /// Decimal point of numbers (not taken from the locale).
    char DecimalSeparator = '.';
    /// Thousands separator of numbers (not taken from the locale).
    char ThousandSeparator = ',';

    /// Abbreviated name of month 1..12; "" for any other number.
    const std::string& ShortMonthName(int month) const;
    /// Full name of month 1..12; "" for any other number.
    const std::string& LongMonthName(int month) const;
    /// Abbreviated name of day 1..7 (1 = Sunday); "" for any other number.
    const std::string& ShortDayName(int day) const;
    /// Full name of day 1..7 (1 = Sunday); "" for any other number.
    const std::string& LongDayName(int day) const;

    bool operator==(const TFormatSettings&) const = default;
};

/// The US settings that the C and POSIX locales give.
TFormatSettings USFormatSettings();

/// What a locale reports through nl_langinfo, in UTF-8.
struct TLangInfo {
    std::string DateFormat;            ///< D_FMT, e.g. "%d.%m.%Y"
    std::string DateTimeFormat;        ///< D_T_FMT, e.g. "%a %d %b %Y %T %Z"
    std::string TimeFormat;            ///< T_FMT, e.g. "%H:%M:%S"
    std::string TimeFormatAmPm;        ///< T_FMT_AMPM, e.g. "%I:%M:%S %p"
    std::string AmString;              ///< AM_STR
    std::string PmString;              ///< PM_STR
    std::array<std::string, 12> AbMon; ///< ABMON_1..12
    std::array<std::string, 12> Mon;   ///< MON_1..12 (the nominative forms where the locale has them)
    std::array<std::string, 7> AbDay;  ///< ABDAY_1..7, Sunday first
    std::array<std::string, 7> Day;    ///< DAY_1..7, Sunday first
};

/// Settings made from what a locale reports: strftime directives become patterns ("%d.%m.%Y" gives
/// "dd.MM.yyyy" and the separator "."), two-digit years stay two-digit. A short date that the date readers
/// could not read back (names, words, other orders) becomes its fields as numbers in the locale's order:
/// "%Y年%m月%d日" gives "yyyy/MM/dd".
TFormatSettings FormatSettingsFromLangInfo(const TLangInfo& info);

/// Settings of the named locale ("" = the LC_TIME locale of the environment); the US settings for C, POSIX,
/// C.* and any locale that is not installed.
TFormatSettings FormatSettingsForLocale(const std::string& localeName);

/// Name of the LC_TIME locale of the environment (LC_ALL, then LC_TIME, then LANG; "C" when none is set).
std::string EnvironmentTimeLocaleName();

/// The process-wide settings.
const TFormatSettings& FormatSettings();

/// Replaces the process-wide settings and tells every subscriber.
void SetFormatSettings(const TFormatSettings& settings);

/// Fills the process-wide settings from the environment's locale again and tells every subscriber.
void LoadFormatSettingsFromEnvironment();

/// Replaces the process-wide settings for its lifetime (tests).
class ScopedFormatSettings {
public:
    /// Installs `settings` (subscribers are told, and told again when the old ones come back).
    explicit ScopedFormatSettings(const TFormatSettings& settings);
    ~ScopedFormatSettings();
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    TFormatSettings saved_;
};

/// Registers a function called after each change of the process-wide settings; returns its token.
int SubscribeFormatSettingsChanged(std::function<void()> callback);

/// Removes the function registered under `token`; unknown tokens are ignored.
void UnsubscribeFormatSettingsChanged(int token);

/// A subscription that ends with the object (for controls that listen for locale changes).
class TFormatSettingsSubscription {
public:
    /// Calls `callback` after each change until the object goes away.
    explicit TFormatSettingsSubscription(std::function<void()> callback);
    ~TFormatSettingsSubscription();
    TFormatSettingsSubscription(const TFormatSettingsSubscription&) = delete;
    TFormatSettingsSubscription& operator=(const TFormatSettingsSubscription&) = delete;

private:
    int token_;
};

} // namespace carlume
