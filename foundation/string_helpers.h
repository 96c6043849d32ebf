#pragma once

// Small text, number and object-list routines every part of the program shares. Texts are byte strings
// (UTF-8 where we create them); positions and delimiters are bytes, which is safe for UTF-8 as long as
// delimiters are ASCII. `FitTextToWidth` alone counts characters.
//
// `Trim` and the integer conversion `StrToInt` come from platform/sysutils.h.

#include "platform/string_list.h"
#include "platform/sysutils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {

// --- numbers ----------------------------------------------------------------------------------------------

/// 0 for a text that is empty after `Trim`; otherwise `StrToInt` of the trimmed text, which raises
/// `EConvertError` "'<trimmed text>' is not a valid integer value" for anything that is not an integer.
std::int32_t StrToIntOrZero(std::string_view s);
/// True when the whole of `s` is a 32-bit integer: leading spaces, an optional sign, then decimal digits in
/// range or a hexadecimal prefix ("$", "x", "X", "0x", "0X") with hexadecimal digits. Nothing may follow.
bool IsNumeric(std::string_view s);
/// `x` rounded to the nearest integer with halves away from zero (sign(x) * nearest(|x| + 0.0001), ties to
/// even). Raises `EConvertError` "Invalid floating point operation" for NaN, infinity or a result that does
/// not fit 64 bits.
std::int64_t RoundHalfUp(double x);
/// `a` when `condition` holds, else `b`.
std::string IIFStr(bool condition, const std::string& a, const std::string& b);
/// `a` when `condition` holds, else `b`.
int IIFInt(bool condition, int a, int b);

// --- object lists -----------------------------------------------------------------------------------------
// For lists that hold objects they own through plain pointers. New code holds owned objects in owning
// containers instead; objects that another library handed out are never freed with these.

/// Frees every non-null object of `list`, then empties it and gives back its memory.
void ClearObjectList(std::vector<TObject*>& list);
/// When `list` exists: `ClearObjectList`, then frees the list itself (`list` is then null).
void FreeObjectList(std::unique_ptr<std::vector<TObject*>>& list);
/// Frees the object attached to each line, from the last line to the first (lines without one are
/// skipped), then clears the list. A list that owns its objects frees them itself on `Clear`.
void FreeStringsObjects(TStringList& list);

// --- characters and delimiters ----------------------------------------------------------------------------

/// True when `s` is not empty and ends with the path delimiter "/".
bool EndsWithPathDelim(std::string_view s);
/// Appends the path delimiter "/" to `s` in place unless `s` is empty or already ends with it.
void AddPathDelim(std::string& s);
/// The folder routines keep their old names, which speak of the Windows delimiter; both act on "/".
/// Same as `EndsWithPathDelim`.
inline bool EndsWithBackslash(std::string_view s)
{
    return EndsWithPathDelim(s);
}
/// Same as `AddPathDelim` ("" stays "").
inline void AddBackslash(std::string& s)
{
    AddPathDelim(s);
}
/// True when `s` is not empty and its last character is `c`.
bool EndsWithChar(std::string_view s, char c);
/// `s` with `c` appended unless it already ends with `c`; "" gives `c` alone (unlike `AddBackslash`).
std::string AppendCharIfMissing(std::string_view s, char c);
/// `s` without every byte that occurs in `chars`; `s` unchanged when either is empty. Meant for ASCII sets.
std::string StripChars(std::string_view s, std::string_view chars);
/// `s` with every occurrence of `oldText` replaced by `newText`, left to right; replaced text is not searched
/// again; an empty `oldText` leaves `s` unchanged. Note the order: what to put in, then what to find, then
/// the text.
std::string ReplaceAll(std::string_view newText, std::string_view oldText, std::string_view s);
/// "MM/DD/YYYY" from the first eight characters of a "YYYYMMDD" text; "" when `s` is shorter than eight.
/// Nothing is checked for being a digit.
std::string YYYYMMDDToDisplay(std::string_view s);

// --- text around a delimiter ------------------------------------------------------------------------------
// The delimiter may be several characters; only its first occurrence counts. An empty delimiter never
// occurs.

/// The text after the first `delimiter`; when it does not occur, "" if `emptyIfMissing`, else all of `s`.
std::string TextAfter(std::string_view s, std::string_view delimiter, bool emptyIfMissing);
/// `TextAfter` giving all of `s` when the delimiter does not occur.
std::string TextAfterOrWhole(std::string_view s, std::string_view delimiter);
/// `TextAfter` giving "" when the delimiter does not occur.
std::string TextAfterOrEmpty(std::string_view s, std::string_view delimiter);
/// The text before the first `delimiter`; when it does not occur, "" if `emptyIfMissing`, else all of `s`.
std::string TextBefore(std::string_view s, std::string_view delimiter, bool emptyIfMissing);
/// `TextBefore` giving all of `s` when the delimiter does not occur.
std::string TextBeforeOrWhole(std::string_view s, std::string_view delimiter);
/// `TextBefore` giving "" when the delimiter does not occur.
std::string TextBeforeOrEmpty(std::string_view s, std::string_view delimiter);
/// `s` kept on one line of a file: every CR and LF becomes a blank.
std::string SingleLine(std::string_view s);

// --- fitting text -----------------------------------------------------------------------------------------

/// Width of a text in pixels, as drawn by the caller's font.
using TTextWidthFunction = std::function<int(const std::string& text)>;

/// `s` when it fits `maxWidth`; otherwise the most leading characters of `s` that fit together with "...",
/// followed by "..."; "" when not even one character and "..." fit. Cuts UTF-8 text on whole characters.
std::string FitTextToWidth(const TTextWidthFunction& textWidth, const std::string& s, int maxWidth);

} // namespace carlume
