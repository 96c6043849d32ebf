#include "platform/format.h"

#include "platform/exceptions.h"
#include "platform/format_settings.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace carlume {
namespace {

// Widths and precisions beyond this are refused rather than allocated.
constexpr int kMaxWidth = 4096;
constexpr int kMaxFloatDigits = 18;

[[noreturn]] void InvalidFormat(std::string_view pattern)
{
    throw EConvertError("Format '" + std::string(pattern) + "' invalid or incompatible with argument");
}

[[noreturn]] void ArgumentMissing(std::string_view pattern)
{
    throw EConvertError("No argument for format '" + std::string(pattern) + "'");
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string NonFinite(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Digits and decimal exponent of `value` rounded to `digits` significant digits: 1234.5 with 3 gives
// "123" and 3 (that is 1.23E3).
void SignificantDigits(double value, int digits, std::string& mantissa, int& exponent, bool& negative)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, digits - 1);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    mantissa.clear();
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            mantissa += text[i];
    }
    exponent = std::atoi(text.c_str() + e + 1);
    negative = std::signbit(value);
}

std::string FormatFixed(double value, int decimals, char decimalSeparator, bool thousands,
                        char thousandSeparator)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    std::string text(std::size_t(330 + decimals), '\0');
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    text.resize(std::size_t(result.ptr - text.data()));
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.erase(0, 1);
    }
    // A value that rounds to zero shows no sign.
    if (text.find_first_not_of("0.") == std::string::npos)
        negative = false;
    const auto point = text.find('.');
    std::string integral = text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    if (thousands && thousandSeparator != '\0') {
        std::string grouped;
        const std::size_t n = integral.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += thousandSeparator;
            grouped += integral[i];
        }
        integral = grouped;
    }
    std::string out = negative ? "-" : "";
    out += integral;
    if (!fraction.empty()) {
        out += decimalSeparator;
        out += fraction;
    }
    return out;
}

std::string FormatScientific(double value, int precision, char decimalSeparator)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    std::string mantissa;
    int exponent = 0;
    bool negative = false;
    SignificantDigits(value, precision, mantissa, exponent, negative);
    if (value == 0.0)
        exponent = 0;
    std::string out = negative && value != 0.0 ? "-" : "";
    out += mantissa[0];
    if (mantissa.size() > 1) {
        out += decimalSeparator;
        out.append(mantissa, 1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    std::string digits = std::to_string(std::abs(exponent));
    while (digits.size() < 3)
        digits.insert(0, "0");
    return out + digits;
}

std::string ToHex(std::uint64_t value)
{
    static const char kDigits[] = "0123456789ABCDEF";
    if (value == 0)
        return "0";
    std::string out;
    while (value != 0) {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    }
    return out;
}

// The value of an integer argument reduced to the width of its own type, as an unsigned number.
std::uint64_t AsUnsigned(const TFormatArg& arg)
{
    if (arg.GetKind() == TFormatArg::Kind::UInt || arg.GetKind() == TFormatArg::Kind::Pointer)
        return arg.UInt();
    const auto raw = static_cast<std::uint64_t>(arg.Int());
    if (arg.Bits() >= 64)
        return raw;
    return raw & ((std::uint64_t{1} << arg.Bits()) - 1);
}

class Formatter {
public:
    Formatter(std::string_view pattern, std::span<const TFormatArg> args)
        : pattern_(pattern)
        , args_(args)
    {
    }

    std::string Run()
    {
        std::string out;
        std::size_t i = 0;
        while (i < pattern_.size()) {
            const char c = pattern_[i];
            if (c != '%') {
                out += c;
                ++i;
                continue;
            }
            ++i;
            if (i >= pattern_.size())
                InvalidFormat(pattern_);
            if (pattern_[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            out += Specifier(i);
        }
        return out;
    }

private:
    const TFormatArg& Next()
    {
        if (next_ >= args_.size())
            ArgumentMissing(pattern_);
        return args_[next_++];
    }

    // A number of the specifier, or "*" taking it from the next integer argument; -1 when absent.
    int Number(std::size_t& i)
    {
        if (i < pattern_.size() && pattern_[i] == '*') {
            ++i;
            const TFormatArg& arg = Next();
            if (arg.GetKind() != TFormatArg::Kind::Int && arg.GetKind() != TFormatArg::Kind::UInt)
                InvalidFormat(pattern_);
            const std::int64_t value =
                arg.GetKind() == TFormatArg::Kind::Int
                    ? arg.Int()
                    : std::int64_t(arg.UInt() > kMaxWidth ? kMaxWidth + 1 : arg.UInt());
            if (value < 0 || value > kMaxWidth)
                InvalidFormat(pattern_);
            return int(value);
        }
        if (i >= pattern_.size() || !IsDigit(pattern_[i]))
            return -1;
        int value = 0;
        while (i < pattern_.size() && IsDigit(pattern_[i])) {
            value = value * 10 + (pattern_[i] - '0');
            if (value > kMaxWidth)
                InvalidFormat(pattern_);
            ++i;
        }
        return value;
    }

    std::string Specifier(std::size_t& i)
    {
        int first = Number(i);
        if (i < pattern_.size() && pattern_[i] == ':') {
            ++i;
            if (first < 0)
                InvalidFormat(pattern_);
            next_ = std::size_t(first);
            first = -1;
        }
        bool left = false;
        if (first < 0 && i < pattern_.size() && pattern_[i] == '-') {
            left = true;
            ++i;
        }
        const int width = first >= 0 ? first : Number(i);
        int precision = -1;
        if (i < pattern_.size() && pattern_[i] == '.') {
            ++i;
            precision = Number(i);
            if (precision < 0)
                precision = 0;
        }
        if (i >= pattern_.size())
            InvalidFormat(pattern_);
        const char type = char(pattern_[i] >= 'a' && pattern_[i] <= 'z' ? pattern_[i] - 32 : pattern_[i]);
        ++i;
        std::string text = Convert(type, precision);
        if (width > 0 && text.size() < std::size_t(width)) {
            const std::string pad(std::size_t(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    std::string Convert(char type, int precision)
    {
        const TFormatArg& arg = Next();
        const auto kind = arg.GetKind();
        const bool integer = kind == TFormatArg::Kind::Int || kind == TFormatArg::Kind::UInt;
        const auto& settings = FormatSettings();
        switch (type) {
        case 'D':
        case 'U':
        case 'X': {
            if (!integer)
                InvalidFormat(pattern_);
            bool negative = false;
            std::string digits;
            if (type == 'X') {
                digits = ToHex(AsUnsigned(arg));
            } else if (type == 'U' || kind == TFormatArg::Kind::UInt) {
                digits = std::to_string(AsUnsigned(arg));
            } else {
                const std::int64_t v = arg.Int();
                negative = v < 0;
                digits = std::to_string(negative ? 0 - static_cast<std::uint64_t>(v)
                                                 : static_cast<std::uint64_t>(v));
            }
            if (precision > 0 && digits.size() < std::size_t(precision))
                digits.insert(0, std::size_t(precision) - digits.size(), '0');
            return negative ? "-" + digits : digits;
        }
        case 'E':
        case 'F':
        case 'G':
        case 'N': {
            if (kind != TFormatArg::Kind::Float)
                InvalidFormat(pattern_);
            const double v = arg.Float();
            if (type == 'F')
                return FormatFixed(v, precision < 0 ? 2 : precision, settings.DecimalSeparator, false, '\0');
            if (type == 'N')
                return FormatFixed(v, precision < 0 ? 2 : precision, settings.DecimalSeparator, true,
                                   settings.ThousandSeparator);
            int digits = precision < 0 ? 15 : precision;
            digits = digits < 1 ? 1 : (digits > kMaxFloatDigits ? kMaxFloatDigits : digits);
            if (type == 'E')
                return FormatScientific(v, digits, settings.DecimalSeparator);
            return FormatFloatGeneral(v, digits, settings.DecimalSeparator);
        }
        case 'P': {
            if (kind != TFormatArg::Kind::Pointer)
                InvalidFormat(pattern_);
            std::string digits = ToHex(arg.UInt());
            digits.insert(0, std::size_t(arg.Bits() / 4) - digits.size(), '0');
            return digits;
        }
        case 'S': {
            if (kind != TFormatArg::Kind::String)
                InvalidFormat(pattern_);
            std::string_view s = arg.String();
            if (precision >= 0 && s.size() > std::size_t(precision))
                s = s.substr(0, std::size_t(precision));
            return std::string(s);
        }
        default:
            InvalidFormat(pattern_);
        }
    }

    std::string_view pattern_;
    std::span<const TFormatArg> args_;
    std::size_t next_ = 0;
};

} // namespace

std::string FormatFloatGeneral(double value, int precision, char decimalSeparator)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    if (value == 0.0)
        return "0";
    precision = precision < 1 ? 1 : (precision > kMaxFloatDigits ? kMaxFloatDigits : precision);
    std::string mantissa;
    int exponent = 0;
    bool negative = false;
    SignificantDigits(value, precision, mantissa, exponent, negative);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent >= precision || exponent < -5) {
        out += mantissa[0];
        if (mantissa.size() > 1) {
            out += decimalSeparator;
            out.append(mantissa, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(std::size_t(-exponent - 1), '0');
        out += mantissa;
        return out;
    }
    const auto integralDigits = std::size_t(exponent) + 1;
    if (mantissa.size() <= integralDigits) {
        out += mantissa;
        out.append(integralDigits - mantissa.size(), '0');
        return out;
    }
    out.append(mantissa, 0, integralDigits);
    out += decimalSeparator;
    out.append(mantissa, integralDigits);
    return out;
}

std::string FormatArgs(std::string_view pattern, std::span<const TFormatArg> args)
{
    return Formatter(pattern, args).Run();
}

} // namespace carlume
