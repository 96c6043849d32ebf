#pragma once

// `Format` with the run-time library's pattern language:
//   "%" [index ":"] ["-"] [width] ["." precision] type
// Types: d (decimal; precision = least digits), u (unsigned, in the argument's own width), x (upper-case
// hexadecimal; precision = least digits), e (scientific; precision = significant digits, default 15),
// f (fixed; precision = decimals, default 2), g (general; precision = significant digits, default 15),
// n (fixed with thousand separators; default 2 decimals), p (pointer), s (text; precision = most bytes).
// "%%" is a percent sign; "*" takes an index, width or precision from the next integer argument.
// Letters may be of either case. A pattern that does not fit its arguments raises `EConvertError`;
// nothing is ever read past the arguments given.

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace carlume {

/// One argument of `Format`: an integer, a floating-point number, a text or a pointer.
class TFormatArg {
public:
    /// What an argument holds.
    enum class Kind { Int, UInt, Float, String, Pointer };

    /// An integer of any width (char types other than plain `char` count as numbers).
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
        TFormatArg(T value) // NOLINT(google-explicit-constructor)
        : bits_(static_cast<int>(sizeof(T) * 8))
    {
        if constexpr (std::is_signed_v<T>) {
            kind_ = Kind::Int;
            int_ = value;
        } else {
            kind_ = Kind::UInt;
            uint_ = value;
        }
    }
    /// A single character, formatted as a one-character text.
    TFormatArg(char value) // NOLINT(google-explicit-constructor)
        : kind_(Kind::String)
        , char_(value)
        , isChar_(true)
    {
    }
    /// A floating-point number.
    TFormatArg(double value) // NOLINT(google-explicit-constructor)
        : kind_(Kind::Float)
        , float_(value)
    {
    }
    /// A floating-point number.
    TFormatArg(float value) // NOLINT(google-explicit-constructor)
        : TFormatArg(static_cast<double>(value))
    {
    }
    /// A text; must outlive the `Format` call.
    TFormatArg(std::string_view value) // NOLINT(google-explicit-constructor)
        : kind_(Kind::String)
        , string_(value)
    {
    }
    /// A text; must outlive the `Format` call.
    TFormatArg(const std::string& value) // NOLINT(google-explicit-constructor)
        : TFormatArg(std::string_view(value))
    {
    }
    /// A zero-terminated text; a null pointer is the empty text.
    TFormatArg(const char* value) // NOLINT(google-explicit-constructor)
        : TFormatArg(value ? std::string_view(value) : std::string_view())
    {
    }
    /// A pointer, for "%p".
    TFormatArg(const void* value) // NOLINT(google-explicit-constructor)
        : kind_(Kind::Pointer)
        , uint_(reinterpret_cast<std::uintptr_t>(value))
        , bits_(static_cast<int>(sizeof(void*) * 8))
    {
    }
    TFormatArg(bool) = delete;
    TFormatArg(std::nullptr_t) = delete;

    /// What the argument holds.
    Kind GetKind() const { return kind_; }
    /// A signed integer's value.
    std::int64_t Int() const { return int_; }
    /// An unsigned integer's or a pointer's value.
    std::uint64_t UInt() const { return uint_; }
    /// A floating-point number's value.
    double Float() const { return float_; }
    /// A text's (or character's) value.
    std::string_view String() const { return isChar_ ? std::string_view(&char_, 1) : string_; }
    /// Width of the original integer type in bits.
    int Bits() const { return bits_; }

private:
    Kind kind_ = Kind::Int;
    std::int64_t int_ = 0;
    std::uint64_t uint_ = 0;
    double float_ = 0.0;
    std::string_view string_;
    char char_ = 0;
    bool isChar_ = false;
    int bits_ = 0;
};

/// `Format` over an argument list built by the caller.
std::string FormatArgs(std::string_view pattern, std::span<const TFormatArg> args);

/// Fills `pattern` with `args` (see the pattern language above); raises `EConvertError` on a mismatch.
template <class... Args> std::string Format(std::string_view pattern, const Args&... args)
{
    if constexpr (sizeof...(Args) == 0) {
        return FormatArgs(pattern, {});
    } else {
        const TFormatArg list[] = {TFormatArg(args)...};
        return FormatArgs(pattern, list);
    }
}

/// A floating-point number in the general form of the run-time library: at most `precision` significant
/// digits, trailing zeros dropped, scientific form ("1.5E20") for large or tiny values.
std::string FormatFloatGeneral(double value, int precision, char decimalSeparator);

} // namespace carlume
