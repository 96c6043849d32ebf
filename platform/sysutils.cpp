#include "platform/sysutils.h"

#include "platform/format_settings.h"
#include "platform/utf8.h"

#include <locale.h>
#include <wctype.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace carlume {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The integer syntax for a signed type of `bits` bits (32 or 64).
bool ParseInteger(std::string_view s, int bits, std::int64_t& result)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    const std::uint64_t allBits =
        bits >= 64 ? std::numeric_limits<std::uint64_t>::max() : (std::uint64_t{1} << bits) - 1;
    std::uint64_t value = 0;
    if (hex) {
        for (; i < n; ++i) {
            const int digit = HexDigit(s[i]);
            if (digit < 0 || value > (allBits >> 4))
                return false;
            value = (value << 4) | std::uint64_t(digit);
        }
        // Hexadecimal text fills the type's bits; the sign then negates the two's complement value.
        std::uint64_t pattern = negative ? (0 - value) & allBits : value;
        if (bits < 64 && (pattern >> (bits - 1)) != 0)
            pattern |= ~allBits;
        result = static_cast<std::int64_t>(pattern);
        return true;
    }
    const std::uint64_t limit = (std::uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
    for (; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        const auto digit = std::uint64_t(s[i] - '0');
        if (value > (limit - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    result = negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
    return true;
}

[[noreturn]] void RaiseInvalidInteger(std::string_view s)
{
    throw CreateFmt<EConvertError>(SInvalidInteger, VisibleControls(s));
}

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

// --- UTF-8 ---

void EncodeUtf8(std::uint32_t cp, std::string& out)
{
    if (cp >= kInvalidBase) {
        out += char(cp - kInvalidBase);
    } else if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

locale_t Utf8Ctype()
{
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return loc;
}

std::uint32_t FoldCase(std::uint32_t cp, bool upper)
{
    if (cp >= kInvalidBase)
        return cp;
    if (cp < 0x80)
        return std::uint32_t(upper ? AsciiUpper(char(cp)) : AsciiLower(char(cp)));
    const locale_t loc = Utf8Ctype();
    if (loc == static_cast<locale_t>(nullptr))
        return cp;
    const wint_t mapped = upper ? towupper_l(wint_t(cp), loc) : towlower_l(wint_t(cp), loc);
    return std::uint32_t(mapped);
}

std::string MapCase(std::string_view s, bool upper)
{
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size())
        EncodeUtf8(FoldCase(DecodeUtf8(s, i), upper), out);
    return out;
}

} // namespace

bool TryStrToInt(std::string_view s, std::int32_t& value)
{
    std::int64_t result = 0;
    if (!ParseInteger(s, 32, result))
        return false;
    value = static_cast<std::int32_t>(result);
    return true;
}

std::int32_t StrToInt(std::string_view s)
{
    std::int32_t value = 0;
    if (!TryStrToInt(s, value))
        RaiseInvalidInteger(s);
    return value;
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t defaultValue)
{
    std::int32_t value = defaultValue;
    return TryStrToInt(s, value) ? value : defaultValue;
}

bool TryStrToInt64(std::string_view s, std::int64_t& value)
{
    return ParseInteger(s, 64, value);
}

std::int64_t StrToInt64(std::string_view s)
{
    std::int64_t value = 0;
    if (!TryStrToInt64(s, value))
        RaiseInvalidInteger(s);
    return value;
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t defaultValue)
{
    std::int64_t value = defaultValue;
    return TryStrToInt64(s, value) ? value : defaultValue;
}

std::string IntToStr(std::int64_t value)
{
    return std::to_string(value);
}

bool TryStrToFloat(std::string_view s, double& value)
{
    const char separator = FormatSettings().DecimalSeparator;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    std::size_t end = n;
    while (end > i && s[end - 1] == ' ')
        --end;
    std::string text;
    if (i < end && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            text += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < end; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            text += c;
        } else if (c == separator && !point) {
            point = true;
            text += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < end && (s[i] == 'e' || s[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < end && (s[i] == '+' || s[i] == '-'))
            text += s[i++];
        bool exponentDigits = false;
        for (; i < end && s[i] >= '0' && s[i] <= '9'; ++i) {
            exponentDigits = true;
            text += s[i];
        }
        if (!exponentDigits)
            return false;
    }
    if (i != end)
        return false;
    double result = 0.0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), result);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

double StrToFloat(std::string_view s)
{
    double value = 0.0;
    if (!TryStrToFloat(s, value))
        throw CreateFmt<EConvertError>(SInvalidFloat, VisibleControls(s));
    return value;
}

double StrToFloatDef(std::string_view s, double defaultValue)
{
    double value = defaultValue;
    return TryStrToFloat(s, value) ? value : defaultValue;
}

std::string FloatToStr(double value)
{
    return FormatFloatGeneral(value, 15, FormatSettings().DecimalSeparator);
}

std::string Trim(std::string_view s)
{
    return TrimLeft(TrimRight(s));
}

std::string TrimLeft(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= 0x20)
        ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s)
{
    std::size_t n = s.size();
    while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= 0x20)
        --n;
    return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

std::string LowerCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

int CompareText(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string AnsiUpperCase(std::string_view s)
{
    return MapCase(s, true);
}

std::string AnsiLowerCase(std::string_view s)
{
    return MapCase(s, false);
}

int AnsiCompareText(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::uint32_t ca = FoldCase(FoldCase(DecodeUtf8(a, i), true), false);
        const std::uint32_t cb = FoldCase(FoldCase(DecodeUtf8(b, j), true), false);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    const bool aDone = i >= a.size();
    const bool bDone = j >= b.size();
    return aDone && bDone ? 0 : (aDone ? -1 : 1);
}

bool AnsiSameText(std::string_view a, std::string_view b)
{
    return AnsiCompareText(a, b) == 0;
}

int AnsiCompareStr(std::string_view a, std::string_view b)
{
    return CompareStr(a, b);
}

} // namespace carlume
