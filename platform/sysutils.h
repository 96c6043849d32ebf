#pragma once

// Number conversions and text routines of the run-time library. Texts are byte strings (UTF-8 where we
// create them); the plain routines fold case for ASCII letters only, the Ansi ones for every letter of a
// UTF-8 text. None of them depends on the process's C locale.

#include "platform/exceptions.h"
#include "platform/utf8.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace carlume {

/// Root of objects that a `TStringList` can own and free.
class TObject {
public:
    virtual ~TObject() = default;
};

// --- integers ---------------------------------------------------------------------------------------------
// Integer syntax: leading blanks (spaces), an optional sign, then decimal digits or a hexadecimal prefix
// ("$", "x", "X", "0x", "0X") and hexadecimal digits; nothing may follow. Decimal values must fit the
// type; hexadecimal ones may use all its bits ("$FFFFFFFF" is -1 for a 32-bit integer).

/// `s` as a 32-bit integer; false (and `value` untouched) when it is not one.
bool TryStrToInt(std::string_view s, std::int32_t& value);
/// `s` as a 32-bit integer; raises `EConvertError` "'<s>' is not a valid integer value".
std::int32_t StrToInt(std::string_view s);
/// `s` as a 32-bit integer, or `defaultValue` when it is not one.
std::int32_t StrToIntDef(std::string_view s, std::int32_t defaultValue);
/// `s` as a 64-bit integer; false (and `value` untouched) when it is not one.
bool TryStrToInt64(std::string_view s, std::int64_t& value);
/// `s` as a 64-bit integer; raises `EConvertError` "'<s>' is not a valid integer value".
std::int64_t StrToInt64(std::string_view s);
/// `s` as a 64-bit integer, or `defaultValue` when it is not one.
std::int64_t StrToInt64Def(std::string_view s, std::int64_t defaultValue);
/// Decimal text of `value`, with "-" when negative.
std::string IntToStr(std::int64_t value);

// --- floating point ---------------------------------------------------------------------------------------
// Float syntax: blanks, an optional sign, digits with at most one decimal separator (the settings'
// `DecimalSeparator`), an optional exponent ("E", sign, digits), blanks. NaN and infinity are refused.

/// `s` as a double; false (and `value` untouched) when it is not one.
bool TryStrToFloat(std::string_view s, double& value);
/// `s` as a double; raises `EConvertError` "'<s>' is not a valid floating point value".
double StrToFloat(std::string_view s);
/// `s` as a double, or `defaultValue` when it is not one.
double StrToFloatDef(std::string_view s, double defaultValue);
/// Shortest text of `value` with 15 significant digits ("0.1", "1E20"), with the settings' decimal separator.
std::string FloatToStr(double value);

// --- text -------------------------------------------------------------------------------------------------

/// `s` without bytes <= 0x20 (blanks and control characters) at both ends.
std::string Trim(std::string_view s);
/// `s` without bytes <= 0x20 at its start.
std::string TrimLeft(std::string_view s);
/// `s` without bytes <= 0x20 at its end.
std::string TrimRight(std::string_view s);
/// `s` with ASCII letters a-z upper-cased; other bytes unchanged.
std::string UpperCase(std::string_view s);
/// `s` with ASCII letters A-Z lower-cased; other bytes unchanged.
std::string LowerCase(std::string_view s);
/// Byte-wise comparison ignoring the case of ASCII letters: < 0, 0 or > 0.
int CompareText(std::string_view a, std::string_view b);
/// True when the texts are equal ignoring the case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);
/// Byte-wise comparison: < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);
/// `s` with every letter of the UTF-8 text upper-cased; invalid bytes are kept as they are.
std::string AnsiUpperCase(std::string_view s);
/// `s` with every letter of the UTF-8 text lower-cased; invalid bytes are kept as they are.
std::string AnsiLowerCase(std::string_view s);
/// Comparison of UTF-8 texts ignoring letter case (by code point after case folding): < 0, 0 or > 0.
int AnsiCompareText(std::string_view a, std::string_view b);
/// True when the UTF-8 texts are equal ignoring letter case.
bool AnsiSameText(std::string_view a, std::string_view b);
/// Comparison of UTF-8 texts with letter case (by code point): < 0, 0 or > 0.
int AnsiCompareStr(std::string_view a, std::string_view b);

} // namespace carlume
