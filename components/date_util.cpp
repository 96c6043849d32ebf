#include "components/date_util.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"
#include "platform/sysutils.h"

#include <climits>
#include <cmath>
#include <cstddef>

namespace carlume {
namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// ExtractMask's piece for a month name keeps at most this many bytes.
constexpr std::size_t kMaxNamePiece = 20;

// Separates "the year places are blank" from "they hold something that is no number".
constexpr int kBlankYear = -2;

// -1: not yet computed, else 0 or 1.
int fourDigitYearState = -1;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Length of a text as a 1-based position limit; texts beyond INT_MAX bytes are read only that far.
int TextLength(std::string_view s)
{
    return s.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(s.size());
}

bool WithinText(std::string_view s, int pos)
{
    return pos >= 1 && pos <= TextLength(s);
}

char CharAt(std::string_view s, int pos)
{
    return s[static_cast<std::size_t>(pos - 1)];
}

// Byte length of the UTF-8 sequence starting at `i`; a malformed sequence counts as one byte.
std::size_t SequenceLength(std::string_view s, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t length = 1;
    if ((b0 & 0xE0) == 0xC0)
        length = 2;
    else if ((b0 & 0xF0) == 0xE0)
        length = 3;
    else if ((b0 & 0xF8) == 0xF0)
        length = 4;
    if (i + length > s.size())
        return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

// The first `count` characters of a UTF-8 text.
std::string_view CharacterPrefix(std::string_view s, int count)
{
    std::size_t i = 0;
    for (int n = 0; n < count && i < s.size(); ++n)
        i += SequenceLength(s, i);
    return s.substr(0, i);
}

int CharacterCount(std::string_view s)
{
    int count = 0;
    for (std::size_t i = 0; i < s.size(); i += SequenceLength(s, i))
        ++count;
    return count;
}

// A piece of a date counts only as plain decimal digits: no sign, no inner blank, no hexadecimal form.
int DecimalPiece(std::string_view piece)
{
    long long value = 0;
    for (const char c : piece) {
        if (!IsDigit(c))
            return -1;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return -1;
    }
    return static_cast<int>(value);
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// True when `s`, without its trailing blanks, reaches the year's places of `format` or the separator just
// before them.
bool YearPartPresent(std::string_view format, std::string_view s)
{
    const std::size_t start = UpperCase(format).find('Y');
    if (start == std::string::npos)
        return false;
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s.size() >= start;
}

bool ShortDateFormatShowsFourDigitYears()
{
    return AnsiUpperCase(FormatSettings().ShortDateFormat).find("YYYY") != std::string::npos;
}

} // namespace

// --- calendar arithmetic and years ------------------------------------------------------------------------

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysPerMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    return kMonthDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysPerMonth(year, month);
}

bool ValidDate(TDateTime date)
{
    std::uint16_t year = 0, month = 0, day = 0;
    return TryDecodeDate(date, year, month, day) && IsValidDate(year, month, day);
}

int GetCurrentYear()
{
    return GetLocalTime().wYear;
}

int ExtractYear(TDateTime date)
{
    std::uint16_t year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    return year;
}

TDateTime NvlDate(TDateTime dateValue, TDateTime defaultValue)
{
    return dateValue == NullDate ? defaultValue : dateValue;
}

// --- locale order, formats and masks ----------------------------------------------------------------------

TDateOrder GetDateOrder(std::string_view dateFormat)
{
    for (const char c : dateFormat) {
        // Clearing bit 5 upper-cases the four letters and maps no other character onto them.
        switch (static_cast<char>(static_cast<unsigned char>(c) & 0xDF)) {
        case 'D':
            return TDateOrder::doDMY;
        case 'E':
        case 'Y':
            return TDateOrder::doYMD;
        case 'M':
            return TDateOrder::doMDY;
        default:
            break;
        }
    }
    return TDateOrder::doDMY;
}

int ExpandYear(int year)
{
    // A negative value is no year that was read; expanding it would invent one.
    if (year >= 100 || year < 0)
        return year;
    const int pivot = GetCurrentYear() - CenturyOffset;
    year += pivot / 100 * 100;
    if (year < pivot)
        year += 100;
    return year;
}

std::string DefDateFormat(bool fourDigitYear)
{
    switch (GetDateOrder(FormatSettings().ShortDateFormat)) {
    case TDateOrder::doMDY:
        return fourDigitYear ? "MM/DD/YYYY" : "MM/DD/YY";
    case TDateOrder::doYMD:
        return fourDigitYear ? "YYYY/MM/DD" : "YY/MM/DD";
    case TDateOrder::doDMY:
        break;
    }
    return fourDigitYear ? "DD/MM/YYYY" : "DD/MM/YY";
}

std::string DefDateMask(char blanksChar, bool fourDigitYear)
{
    std::string mask;
    if (!fourDigitYear)
        mask = "!99/99/99;1;";
    else if (GetDateOrder(FormatSettings().ShortDateFormat) == TDateOrder::doYMD)
        mask = "!9999/99/99;1;";
    else
        mask = "!99/99/9999;1;";
    mask += blanksChar;
    return mask;
}

bool FourDigitYear()
{
    if (fourDigitYearState < 0)
        InitializeFourDigitYear();
    return fourDigitYearState == 1;
}

void InitializeFourDigitYear()
{
    fourDigitYearState = ShortDateFormatShowsFourDigitYears() ? 1 : 0;
}

void SetFourDigitYear(bool value)
{
    fourDigitYearState = value ? 1 : 0;
}

ScopedFourDigitYear::ScopedFourDigitYear(bool value)
    : saved_(fourDigitYearState)
{
    SetFourDigitYear(value);
}

ScopedFourDigitYear::~ScopedFourDigitYear()
{
    fourDigitYearState = saved_;
}

// --- scanning ---------------------------------------------------------------------------------------------

void ScanBlanks(std::string_view s, int& pos)
{
    while (WithinText(s, pos) && CharAt(s, pos) == ' ')
        ++pos;
}

bool ScanNumber(std::string_view s, int maxLength, int& pos, int& number)
{
    ScanBlanks(s, pos);
    int p = pos;
    int value = 0;
    int read = 0;
    while (WithinText(s, p) && read < maxLength && IsDigit(CharAt(s, p)) && value < 1000) {
        value = value * 10 + (CharAt(s, p) - '0');
        ++p;
        ++read;
    }
    if (read == 0)
        return false;
    pos = p;
    number = value;
    return true;
}

bool ScanChar(std::string_view s, int& pos, char ch)
{
    ScanBlanks(s, pos);
    if (WithinText(s, pos) && CharAt(s, pos) == ch) {
        ++pos;
        return true;
    }
    return false;
}

void ScanToNumber(std::string_view s, int& pos)
{
    if (pos < 1)
        pos = 1;
    // No locale here has double-byte lead characters, so every character is one step.
    while (WithinText(s, pos) && !IsDigit(CharAt(s, pos)))
        ++pos;
}

bool ScanDate(std::string_view s, std::string_view dateFormat, int& pos, int& year, int& month, int& day)
{
    year = month = day = 0;
    const TDateOrder order = GetDateOrder(dateFormat);
    const char separator = FormatSettings().DateSeparator;
    if (FormatSettings().ShortDateFormat.starts_with('g'))
        ScanToNumber(s, pos);

    int n1 = 0, n2 = 0, n3 = 0;
    if (!ScanNumber(s, INT_MAX, pos, n1) || !ScanChar(s, pos, separator) || !ScanNumber(s, INT_MAX, pos, n2))
        return false;
    if (ScanChar(s, pos, separator)) {
        if (!ScanNumber(s, INT_MAX, pos, n3))
            return false;
        switch (order) {
        case TDateOrder::doMDY:
            month = n1, day = n2, year = n3;
            break;
        case TDateOrder::doDMY:
            day = n1, month = n2, year = n3;
            break;
        case TDateOrder::doYMD:
            year = n1, month = n2, day = n3;
            break;
        }
        year = ExpandYear(year);
    } else {
        year = GetCurrentYear();
        if (order == TDateOrder::doDMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    ScanChar(s, pos, separator);
    ScanBlanks(s, pos);
    // A time after the date is skipped only in Far East locales, which the platform does not have.
    return IsValidDate(year, month, day) && pos > TextLength(s);
}

int MonthFromName(std::string_view s, int maxLen)
{
    if (s.empty())
        return 0;
    const int length = maxLen < 0 ? 0 : maxLen;
    const std::string_view prefix = CharacterPrefix(s, length);
    const TFormatSettings& settings = FormatSettings();
    for (int month = 1; month <= 12; ++month) {
        const std::string& name = settings.ShortMonthName(month);
        if (!name.empty() && AnsiCompareText(prefix, CharacterPrefix(name, length)) == 0)
            return month;
    }
    return 0;
}

int ExtractMask(std::string_view format, std::string_view s, char ch, int cnt, int blank, int defaultValue)
{
    if (s.size() > format.size() || cnt < 1)
        return defaultValue;
    const char letter = AsciiUpper(ch);
    // Letters are matched without regard to ASCII case; the upper-cased copy keeps every byte in place, so
    // its positions are those of `s`.
    const std::string upperFormat = UpperCase(format);
    std::size_t j = upperFormat.find(std::string(static_cast<std::size_t>(cnt), letter));
    if (j == std::string::npos)
        return defaultValue;

    std::string piece;
    for (; j < s.size() && upperFormat[j] == letter; ++j)
        piece += s[j];

    if (cnt < 2) {
        const std::string_view number = TrimBlanks(piece);
        return number.empty() ? blank : DecimalPiece(number);
    }
    std::string name;
    for (const char c : piece) {
        if (c != ' ' && name.size() < kMaxNamePiece)
            name += c;
    }
    if (name.empty())
        return blank;
    const int month = MonthFromName(name, CharacterCount(name));
    return month == 0 ? -1 : month;
}

bool ScanDateStr(std::string_view format, std::string_view s, int& day, int& month, int& year)
{
    month = ExtractMask(format, s, 'm', 3, -1, 0);
    if (month == 0)
        month = ExtractMask(format, s, 'm', 1, -1, 0);
    day = ExtractMask(format, s, 'd', 1, -1, 1);
    year = ExtractMask(format, s, 'y', 1, kBlankYear, GetCurrentYear());
    if (year == kBlankYear) {
        year = -1;
        // Month and day stand where the format puts them. A text that ends before the year's part means
        // that day of the current year; one that reaches it and leaves it blank left the year out, and no
        // year is made up for it.
        if (month != -1 && day != -1) {
            if (YearPartPresent(format, s))
                return false;
            year = GetCurrentYear();
        }
    }
    year = ExpandYear(year);
    if (IsValidDate(year, month, day))
        return true;
    int pos = 1;
    return ScanDate(s, format, pos, year, month, day);
}

// --- text to date -----------------------------------------------------------------------------------------

bool InternalStrToDate(std::string_view dateFormat, std::string_view s, TDateTime& date)
{
    if (s.empty()) {
        date = NullDate;
        return true;
    }
    int day = 0, month = 0, year = 0;
    if (!ScanDateStr(dateFormat, s, day, month, year))
        return false;
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        return false;
    date = result;
    return true;
}

TDateTime StrToDateFmt(std::string_view dateFormat, std::string_view s)
{
    TDateTime date = NullDate;
    if (!InternalStrToDate(dateFormat, s, date))
        throw CreateFmt<EConvertError>(SInvalidDateFmt, VisibleControls(s));
    return date;
}

TDateTime StrToDateFmtDef(std::string_view dateFormat, std::string_view s, TDateTime defaultValue)
{
    TDateTime date = NullDate;
    return InternalStrToDate(dateFormat, s, date) ? date : std::trunc(defaultValue);
}

} // namespace carlume
