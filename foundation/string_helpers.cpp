#include "foundation/string_helpers.h"

#include "platform/exceptions.h"
#include "platform/paths.h"

#include <cmath>
#include <cstddef>

namespace carlume {

std::int32_t StrToIntOrZero(std::string_view s)
{
    const std::string trimmed = Trim(s);
    return trimmed.empty() ? 0 : StrToInt(trimmed);
}

bool IsNumeric(std::string_view s)
{
    std::int32_t value = 0;
    return TryStrToInt(s, value);
}

std::int64_t RoundHalfUp(double x)
{
    // 2^63: the first magnitude a 64-bit integer cannot hold.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(x))
        throw EConvertError("Invalid floating point operation");
    const double magnitude = std::nearbyint(std::fabs(x) + 0.0001);
    if (magnitude >= kLimit)
        throw EConvertError("Invalid floating point operation");
    const auto result = static_cast<std::int64_t>(magnitude);
    return x < 0 ? -result : result;
}

std::string IIFStr(bool condition, const std::string& a, const std::string& b)
{
    return condition ? a : b;
}

int IIFInt(bool condition, int a, int b)
{
    return condition ? a : b;
}

void ClearObjectList(std::vector<TObject*>& list)
{
    for (TObject*& item : list) {
        delete item;
        item = nullptr;
    }
    list.clear();
    list.shrink_to_fit();
}

void FreeObjectList(std::unique_ptr<std::vector<TObject*>>& list)
{
    if (!list)
        return;
    ClearObjectList(*list);
    list.reset();
}

void FreeStringsObjects(TStringList& list)
{
    if (!list.OwnsObjects()) {
        for (int i = list.Count() - 1; i >= 0; --i) {
            TObject* object = list.Objects(i);
            if (object == nullptr)
                continue;
            list.PutObject(i, nullptr);
            delete object;
        }
    }
    list.Clear();
}

bool EndsWithPathDelim(std::string_view s)
{
    return EndsWithChar(s, PathDelim);
}

void AddPathDelim(std::string& s)
{
    if (!s.empty() && !EndsWithPathDelim(s))
        s += PathDelim;
}

bool EndsWithChar(std::string_view s, char c)
{
    return !s.empty() && s.back() == c;
}

std::string AppendCharIfMissing(std::string_view s, char c)
{
    std::string result(s);
    if (!EndsWithChar(s, c))
        result += c;
    return result;
}

std::string StripChars(std::string_view s, std::string_view chars)
{
    if (chars.empty())
        return std::string(s);
    std::string result;
    result.reserve(s.size());
    for (const char c : s)
        if (chars.find(c) == std::string_view::npos)
            result += c;
    return result;
}

std::string ReplaceAll(std::string_view newText, std::string_view oldText, std::string_view s)
{
    if (oldText.empty())
        return std::string(s);
    std::string result;
    result.reserve(s.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = s.find(oldText, from);
        if (at == std::string_view::npos)
            break;
        result.append(s.substr(from, at - from));
        result.append(newText);
        from = at + oldText.size();
    }
    result.append(s.substr(from));
    return result;
}

std::string YYYYMMDDToDisplay(std::string_view s)
{
    if (s.size() < 8)
        return {};
    std::string result;
    result.append(s.substr(4, 2)).append("/").append(s.substr(6, 2)).append("/").append(s.substr(0, 4));
    return result;
}

namespace {

// Where the delimiter starts, or npos. An empty delimiter is never found: `find("")` would say 0.
std::size_t FindDelimiter(std::string_view s, std::string_view delimiter)
{
    return delimiter.empty() ? std::string_view::npos : s.find(delimiter);
}

// Offsets at which the UTF-8 characters of `s` start. A byte that cannot continue a character (and a stray
// continuation byte at the very start) starts one, so any byte string splits without loss.
std::vector<std::size_t> CharacterStarts(std::string_view s)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (starts.empty() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    return starts;
}

} // namespace

std::string TextAfter(std::string_view s, std::string_view delimiter, bool emptyIfMissing)
{
    const std::size_t at = FindDelimiter(s, delimiter);
    if (at == std::string_view::npos)
        return emptyIfMissing ? std::string() : std::string(s);
    return std::string(s.substr(at + delimiter.size()));
}

std::string TextAfterOrWhole(std::string_view s, std::string_view delimiter)
{
    return TextAfter(s, delimiter, false);
}

std::string TextAfterOrEmpty(std::string_view s, std::string_view delimiter)
{
    return TextAfter(s, delimiter, true);
}

std::string TextBefore(std::string_view s, std::string_view delimiter, bool emptyIfMissing)
{
    const std::size_t at = FindDelimiter(s, delimiter);
    if (at == std::string_view::npos)
        return emptyIfMissing ? std::string() : std::string(s);
    return std::string(s.substr(0, at));
}

std::string TextBeforeOrWhole(std::string_view s, std::string_view delimiter)
{
    return TextBefore(s, delimiter, false);
}

std::string TextBeforeOrEmpty(std::string_view s, std::string_view delimiter)
{
    return TextBefore(s, delimiter, true);
}

std::string FitTextToWidth(const TTextWidthFunction& textWidth, const std::string& s, int maxWidth)
{
    if (textWidth(s) <= maxWidth)
        return s;
    // With "..." appended, each pass cuts the dots and one more character of `s` and puts the dots back;
    // so the candidates are the first k characters of `s` plus "...", for k from its length less one down.
    const std::vector<std::size_t> starts = CharacterStarts(s);
    std::size_t keep = starts.size();
    while (keep > 1) {
        --keep;
        std::string work = s.substr(0, starts[keep]) + "...";
        if (textWidth(work) <= maxWidth)
            return work;
    }
    return {};
}

std::string SingleLine(std::string_view s)
{
    std::string line(s);
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

} // namespace carlume
