#include "platform/date_time.h"

#include "platform/exceptions.h"
#include "platform/sysutils.h"

#include <cmath>
#include <ctime>
#include <utility>

namespace carlume {
namespace {

constexpr int kMinDay = -693593;     // 0001-01-01
constexpr int kMaxDay = 2958465;     // 9999-12-31
constexpr int kUnixEpochDay = 25569; // 1970-01-01

bool IsLeap(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int MonthLength(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's civil calendar algorithms).
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

// Whole day and millisecond of the day, the time rounded to the millisecond (a time that rounds up to
// midnight moves on to the next day). False for values that are no date.
bool Split(TDateTime value, int& day, int& msec)
{
    if (!std::isfinite(value))
        return false;
    const double whole = std::trunc(value);
    if (whole < kMinDay || whole > kMaxDay)
        return false;
    day = int(whole);
    msec = int(std::round(std::fabs(value - whole) * MSecsPerDay));
    if (msec >= MSecsPerDay) {
        if (day < kMaxDay) {
            ++day;
            msec = 0;
        } else {
            msec = MSecsPerDay - 1;
        }
    }
    return true;
}

[[noreturn]] void RaiseDecodeError()
{
    throw EConvertError(std::string(SDateDecodeError));
}

struct Parts {
    int year = 0, month = 0, day = 0, dayOfWeek = 0; // dayOfWeek 1 = Sunday
    int hour = 0, minute = 0, second = 0, msec = 0;
};

Parts Decode(TDateTime value)
{
    int day = 0;
    int msec = 0;
    if (!Split(value, day, msec))
        RaiseDecodeError();
    Parts p;
    CivilFromDays(long(day) - kUnixEpochDay, p.year, p.month, p.day);
    p.dayOfWeek = (day + DateDelta) % 7 + 1;
    p.hour = msec / 3600000;
    p.minute = msec / 60000 % 60;
    p.second = msec / 1000 % 60;
    p.msec = msec % 1000;
    return p;
}

std::string Padded(int value, int digits)
{
    std::string text = std::to_string(value);
    if (text.size() < std::size_t(digits))
        text.insert(0, std::size_t(digits) - text.size(), '0');
    return text;
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    return text.size() - at >= prefix.size() && SameText(text.substr(at, prefix.size()), prefix);
}

// Whether a pattern holds an am/pm marker outside quotes, which switches "h" to the 12-hour clock.
bool UsesTwelveHours(std::string_view pattern)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const auto close = pattern.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
            StartsWithNoCase(pattern, i, "ampm"))
            return true;
    }
    return false;
}

class DateFormatter {
public:
    DateFormatter(const Parts& parts, const TFormatSettings& settings)
        : p_(parts)
        , s_(settings)
    {
    }

    void Append(std::string_view pattern, std::string& out, int depth)
    {
        // Short and long formats may name each other; two levels are all a sane pattern needs.
        if (depth > 2)
            return;
        if (pattern.empty() && depth == 0)
            pattern = "c";
        const bool twelve = UsesTwelveHours(pattern);
        char last = 0;
        std::size_t i = 0;
        while (i < pattern.size()) {
            const char c = pattern[i];
            const char token = Upper(c);
            auto run = [&] {
                std::size_t n = 0;
                while (i + n < pattern.size() && Upper(pattern[i + n]) == token)
                    ++n;
                i += n;
                return n;
            };
            switch (token) {
            case 'Y': {
                const std::size_t n = run();
                out += n <= 2 ? Padded(p_.year % 100, 2) : Padded(p_.year, 4);
                last = token;
                break;
            }
            case 'M': {
                const std::size_t n = run();
                if (last == 'H' && n <= 2) {
                    out += n == 1 ? std::to_string(p_.minute) : Padded(p_.minute, 2);
                } else if (n == 1) {
                    out += std::to_string(p_.month);
                } else if (n == 2) {
                    out += Padded(p_.month, 2);
                } else if (n == 3) {
                    out += s_.ShortMonthName(p_.month);
                } else {
                    out += s_.LongMonthName(p_.month);
                }
                last = token;
                break;
            }
            case 'D': {
                const std::size_t n = run();
                if (n == 1)
                    out += std::to_string(p_.day);
                else if (n == 2)
                    out += Padded(p_.day, 2);
                else if (n == 3)
                    out += s_.ShortDayName(p_.dayOfWeek);
                else if (n == 4)
                    out += s_.LongDayName(p_.dayOfWeek);
                else if (n == 5)
                    Append(s_.ShortDateFormat, out, depth + 1);
                else
                    Append(s_.LongDateFormat, out, depth + 1);
                last = token;
                break;
            }
            case 'H': {
                const std::size_t n = run();
                int hour = p_.hour;
                if (twelve) {
                    hour %= 12;
                    if (hour == 0)
                        hour = 12;
                }
                out += n == 1 ? std::to_string(hour) : Padded(hour, 2);
                last = token;
                break;
            }
            case 'N': {
                const std::size_t n = run();
                out += n == 1 ? std::to_string(p_.minute) : Padded(p_.minute, 2);
                last = token;
                break;
            }
            case 'S': {
                const std::size_t n = run();
                out += n == 1 ? std::to_string(p_.second) : Padded(p_.second, 2);
                last = token;
                break;
            }
            case 'Z': {
                const std::size_t n = run();
                out += n == 1 ? std::to_string(p_.msec) : Padded(p_.msec, 3);
                last = token;
                break;
            }
            case 'T': {
                const std::size_t n = run();
                Append(n == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat, out, depth + 1);
                last = token;
                break;
            }
            case 'C': {
                run();
                Append(s_.ShortDateFormat, out, depth + 1);
                if (p_.hour != 0 || p_.minute != 0 || p_.second != 0) {
                    out += ' ';
                    Append(s_.LongTimeFormat, out, depth + 1);
                }
                last = token;
                break;
            }
            case 'A': {
                const bool pm = p_.hour >= 12;
                if (StartsWithNoCase(pattern, i, "am/pm")) {
                    out += pattern.substr(pm ? i + 3 : i, 2);
                    i += 5;
                } else if (StartsWithNoCase(pattern, i, "a/p")) {
                    out += pattern.substr(pm ? i + 2 : i, 1);
                    i += 3;
                } else if (StartsWithNoCase(pattern, i, "ampm")) {
                    out += pm ? s_.TimePMString : s_.TimeAMString;
                    i += 4;
                } else {
                    out += c;
                    ++i;
                    break;
                }
                last = token;
                break;
            }
            case '/':
                out += s_.DateSeparator;
                ++i;
                break;
            case ':':
                out += s_.TimeSeparator;
                ++i;
                break;
            case '\'':
            case '"': {
                const auto close = pattern.find(c, i + 1);
                if (close == std::string_view::npos) {
                    out += pattern.substr(i + 1);
                    i = pattern.size();
                } else {
                    out += pattern.substr(i + 1, close - i - 1);
                    i = close + 1;
                }
                break;
            }
            default:
                out += c;
                ++i;
                break;
            }
        }
    }

private:
    const Parts& p_;
    const TFormatSettings& s_;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder GetOrder(std::string_view pattern)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const auto close = pattern.find(c, i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
            continue;
        }
        switch (Upper(c)) {
        case 'D':
            return DateOrder::DMY;
        case 'M':
            return DateOrder::MDY;
        case 'Y':
        case 'E':
            return DateOrder::YMD;
        default:
            break;
        }
    }
    return DateOrder::MDY;
}

class Scanner {
public:
    Scanner(std::string_view text, const TFormatSettings& settings)
        : s_(text)
        , settings_(settings)
    {
    }

    std::size_t pos = 0;

    void Blanks()
    {
        while (pos < s_.size() && s_[pos] == ' ')
            ++pos;
    }

    bool AtEnd() const { return pos >= s_.size(); }

    // Up to four digits: reading stops once the value reaches 1000.
    bool Number(int& value, int& digits)
    {
        Blanks();
        const std::size_t start = pos;
        int n = 0;
        while (pos < s_.size() && s_[pos] >= '0' && s_[pos] <= '9' && n < 1000)
            n = n * 10 + (s_[pos++] - '0');
        digits = int(pos - start);
        if (digits == 0)
            return false;
        value = n;
        return true;
    }

    bool Char(char c)
    {
        Blanks();
        if (pos < s_.size() && s_[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }

    bool Text(std::string_view word)
    {
        Blanks();
        if (word.empty() || !StartsWithNoCase(s_, pos, word))
            return false;
        pos += word.size();
        return true;
    }

    bool Date(int& y, int& m, int& d)
    {
        const DateOrder order = GetOrder(settings_.ShortDateFormat);
        const char separator = settings_.DateSeparator;
        int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
        if (!Number(n1, l1) || !Char(separator) || !Number(n2, l2))
            return false;
        int yearDigits = 4;
        if (Char(separator)) {
            if (!Number(n3, l3))
                return false;
            switch (order) {
            case DateOrder::MDY:
                m = n1, d = n2, y = n3, yearDigits = l3;
                break;
            case DateOrder::DMY:
                d = n1, m = n2, y = n3, yearDigits = l3;
                break;
            case DateOrder::YMD:
                y = n1, m = n2, d = n3, yearDigits = l1;
                break;
            }
            if (yearDigits <= 2) {
                const int base = CurrentYear() - settings_.TwoDigitYearCenturyWindow;
                y += base / 100 * 100;
                if (settings_.TwoDigitYearCenturyWindow > 0 && y < base)
                    y += 100;
            }
        } else {
            y = CurrentYear();
            if (order == DateOrder::DMY)
                d = n1, m = n2;
            else
                m = n1, d = n2;
        }
        Char(separator);
        Blanks();
        return true;
    }

    bool TimeOfDay(TDateTime& time)
    {
        int base = -1;
        if (Text(settings_.TimeAMString) || Text("AM"))
            base = 0;
        else if (Text(settings_.TimePMString) || Text("PM"))
            base = 12;
        int hour = 0, minute = 0, second = 0, msec = 0, digits = 0;
        if (!Number(hour, digits))
            return false;
        if (Char(settings_.TimeSeparator)) {
            if (!Number(minute, digits))
                return false;
            if (Char(settings_.TimeSeparator)) {
                if (!Number(second, digits))
                    return false;
                if (Char(settings_.DecimalSeparator) && !Number(msec, digits))
                    return false;
            }
        }
        if (base < 0) {
            if (Text(settings_.TimeAMString) || Text("AM"))
                base = 0;
            else if (Text(settings_.TimePMString) || Text("PM"))
                base = 12;
        }
        if (base >= 0) {
            if (hour == 0 || hour > 12)
                return false;
            if (hour == 12)
                hour = 0;
            hour += base;
        }
        Blanks();
        return TryEncodeTime(hour, minute, second, msec, time);
    }

private:
    std::string_view s_;
    const TFormatSettings& settings_;
};

bool ScanWholeDate(std::string_view s, const TFormatSettings& settings, TDateTime& date, std::size_t& end)
{
    Scanner scanner(s, settings);
    int y = 0, m = 0, d = 0;
    if (!scanner.Date(y, m, d))
        return false;
    end = scanner.pos;
    return TryEncodeDate(y, m, d, date);
}

TClockFunction& TheClock()
{
    static TClockFunction clock;
    return clock;
}

} // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > MonthLength(year, month))
        return false;
    date = TDateTime(DaysFromCivil(year, month, day) + kUnixEpochDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        throw EConvertError(std::string(SDateEncodeError));
    return date;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
        msec > 999)
        return false;
    time = double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, minute, second, msec, time))
        throw EConvertError(std::string(STimeEncodeError));
    return time;
}

bool TryDecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day)
{
    int whole = 0;
    int msec = 0;
    if (!Split(date, whole, msec))
        return false;
    const Parts p = Decode(date);
    year = std::uint16_t(p.year);
    month = std::uint16_t(p.month);
    day = std::uint16_t(p.day);
    return true;
}

void DecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day)
{
    if (!TryDecodeDate(date, year, month, day))
        RaiseDecodeError();
}

void DecodeTime(TDateTime time, std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second,
                std::uint16_t& msec)
{
    const Parts p = Decode(time);
    hour = std::uint16_t(p.hour);
    minute = std::uint16_t(p.minute);
    second = std::uint16_t(p.second);
    msec = std::uint16_t(p.msec);
}

int DayOfWeek(TDateTime date)
{
    return Decode(date).dayOfWeek;
}

TSystemTime DateTimeToSystemTime(TDateTime dateTime)
{
    const Parts p = Decode(dateTime);
    TSystemTime st;
    st.wYear = std::uint16_t(p.year);
    st.wMonth = std::uint16_t(p.month);
    st.wDayOfWeek = std::uint16_t(p.dayOfWeek - 1);
    st.wDay = std::uint16_t(p.day);
    st.wHour = std::uint16_t(p.hour);
    st.wMinute = std::uint16_t(p.minute);
    st.wSecond = std::uint16_t(p.second);
    st.wMilliseconds = std::uint16_t(p.msec);
    return st;
}

TDateTime SystemTimeToDateTime(const TSystemTime& st)
{
    const TDateTime date = EncodeDate(st.wYear, st.wMonth, st.wDay);
    const TDateTime time = EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return date >= 0 ? date + time : date - time;
}

TDateTime SystemNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    const time_t seconds = now.tv_sec;
    if (localtime_r(&seconds, &local) == nullptr)
        return TDateTime(seconds / 86400 + kUnixEpochDay);
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, second, int(now.tv_nsec / 1000000));
}

void SetClock(TClockFunction clock)
{
    TheClock() = std::move(clock);
}

TDateTime Now()
{
    const auto& clock = TheClock();
    return clock ? clock() : SystemNow();
}

TDateTime Date()
{
    return std::trunc(Now());
}

TDateTime Time()
{
    const TDateTime now = Now();
    return std::fabs(now - std::trunc(now));
}

TSystemTime GetLocalTime()
{
    return DateTimeToSystemTime(Now());
}

int CurrentYear()
{
    return GetLocalTime().wYear;
}

ScopedClock::ScopedClock(TDateTime fixed)
    : ScopedClock(TClockFunction([fixed] { return fixed; }))
{
}

ScopedClock::ScopedClock(TClockFunction clock)
    : saved_(TheClock())
{
    SetClock(std::move(clock));
}

ScopedClock::~ScopedClock()
{
    SetClock(std::move(saved_));
}

std::string FormatDateTime(std::string_view pattern, TDateTime dateTime)
{
    return FormatDateTime(pattern, dateTime, FormatSettings());
}

std::string FormatDateTime(std::string_view pattern, TDateTime dateTime, const TFormatSettings& settings)
{
    const Parts parts = Decode(dateTime);
    std::string out;
    DateFormatter(parts, settings).Append(pattern, out, 0);
    return out;
}

std::string DateToStr(TDateTime date)
{
    return FormatDateTime("ddddd", date);
}

std::string TimeToStr(TDateTime time)
{
    return FormatDateTime("tt", time);
}

std::string DateTimeToStr(TDateTime dateTime)
{
    return FormatDateTime("c", dateTime);
}

bool TryStrToDate(std::string_view s, TDateTime& date, const TFormatSettings& settings)
{
    TDateTime result = 0;
    std::size_t end = 0;
    if (!ScanWholeDate(s, settings, result, end) || end != s.size())
        return false;
    date = result;
    return true;
}

TDateTime StrToDate(std::string_view s, const TFormatSettings& settings)
{
    TDateTime date = 0;
    if (!TryStrToDate(s, date, settings))
        throw CreateFmt<EConvertError>(SInvalidDate, VisibleControls(s));
    return date;
}

TDateTime StrToDateDef(std::string_view s, TDateTime defaultValue, const TFormatSettings& settings)
{
    TDateTime date = defaultValue;
    return TryStrToDate(s, date, settings) ? date : defaultValue;
}

bool TryStrToTime(std::string_view s, TDateTime& time, const TFormatSettings& settings)
{
    Scanner scanner(s, settings);
    TDateTime result = 0;
    if (!scanner.TimeOfDay(result) || !scanner.AtEnd())
        return false;
    time = result;
    return true;
}

TDateTime StrToTime(std::string_view s, const TFormatSettings& settings)
{
    TDateTime time = 0;
    if (!TryStrToTime(s, time, settings))
        throw CreateFmt<EConvertError>(SInvalidTime, VisibleControls(s));
    return time;
}

bool TryStrToDateTime(std::string_view s, TDateTime& dateTime, const TFormatSettings& settings)
{
    TDateTime date = 0;
    std::size_t end = 0;
    if (!ScanWholeDate(s, settings, date, end))
        return TryStrToTime(s, dateTime, settings);
    TDateTime time = 0;
    if (end < s.size()) {
        Scanner scanner(s.substr(end), settings);
        if (!scanner.TimeOfDay(time) || !scanner.AtEnd())
            return false;
    }
    dateTime = date >= 0 ? date + time : date - time;
    return true;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& settings)
{
    TDateTime dateTime = 0;
    if (!TryStrToDateTime(s, dateTime, settings))
        throw CreateFmt<EConvertError>(SInvalidDateTime, VisibleControls(s));
    return dateTime;
}

} // namespace carlume
