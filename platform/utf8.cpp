#include "platform/utf8.h"

#include <algorithm>
#include <iterator>

namespace carlume {

namespace {

struct TCodeRange {
    std::uint32_t First, Last;
};

// The code points whose East Asian Width is Wide or Fullwidth (Unicode 15.0), adjacent ranges joined.
// Written out rather than asked of the C library, whose answer depends on the locale.
constexpr TCodeRange kWideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x2E99},   {0x2E9B, 0x2EF3},   {0x2F00, 0x2FD5},   {0x2FF0, 0x2FFB},   {0x3000, 0x303E},
    {0x3041, 0x3096},   {0x3099, 0x30FF},   {0x3105, 0x312F},   {0x3131, 0x318E},   {0x3190, 0x31E3},
    {0x31F0, 0x321E},   {0x3220, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA48C},   {0xA490, 0xA4C6},
    {0xA960, 0xA97C},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE52},
    {0xFE54, 0xFE66},   {0xFE68, 0xFE6B},   {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x16FF0, 0x16FF1}, {0x17000, 0x187F7}, {0x18800, 0x18CD5}, {0x18D00, 0x18D08}, {0x1AFF0, 0x1AFF3},
    {0x1AFF5, 0x1AFFB}, {0x1AFFD, 0x1AFFE}, {0x1B000, 0x1B122}, {0x1B132, 0x1B132}, {0x1B150, 0x1B152},
    {0x1B155, 0x1B155}, {0x1B164, 0x1B167}, {0x1B170, 0x1B2FB}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202}, {0x1F210, 0x1F23B}, {0x1F240, 0x1F248},
    {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C},
    {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F},
    {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF},
    {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A},
    {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FA7C}, {0x1FA80, 0x1FA88}, {0x1FA90, 0x1FABD},
    {0x1FABF, 0x1FAC5}, {0x1FACE, 0x1FADB}, {0x1FAE0, 0x1FAE8}, {0x1FAF0, 0x1FAF8}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD}};

// The look-up halves the table: it must be sorted, and ranges that touch are joined.
constexpr bool RangesAscend()
{
    for (std::size_t k = 0; k < std::size(kWideRanges); ++k)
        if (kWideRanges[k].First > kWideRanges[k].Last ||
            (k > 0 && kWideRanges[k - 1].Last + 1 >= kWideRanges[k].First))
            return false;
    return true;
}
static_assert(RangesAscend());

} // namespace

std::uint32_t DecodeUtf8(std::string_view s, std::size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int length = 0;
    std::uint32_t cp = 0;
    std::uint32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++i;
        return kInvalidBase + b0;
    }
    if (i + std::size_t(length) > s.size()) {
        ++i;
        return kInvalidBase + b0;
    }
    for (int k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + std::size_t(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kInvalidBase + b0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kInvalidBase + b0;
    }
    i += std::size_t(length);
    return cp;
}

std::size_t Utf8Length(std::string_view s)
{
    std::size_t length = 0;
    for (std::size_t i = 0; i < s.size(); ++length)
        DecodeUtf8(s, i);
    return length;
}

int CharacterWidth(std::uint32_t cp)
{
    const auto* range = std::lower_bound(std::begin(kWideRanges), std::end(kWideRanges), cp,
                                         [](const TCodeRange& r, std::uint32_t c) { return r.Last < c; });
    return range != std::end(kWideRanges) && range->First <= cp ? 2 : 1;
}

std::size_t Utf8Width(std::string_view s)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < s.size();)
        width += std::size_t(CharacterWidth(DecodeUtf8(s, i)));
    return width;
}

std::string_view Utf8Prefix(std::string_view s, std::size_t characters)
{
    std::size_t i = 0;
    for (; i < s.size() && characters > 0; --characters)
        DecodeUtf8(s, i);
    return s.substr(0, i);
}

std::string VisibleControls(std::string_view s)
{
    // Left raw, a line break would start a line that passes for one of ours, and an escape would be a
    // command to the terminal showing the text.
    const auto hidden = [](std::uint32_t cp) {
        return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
    };
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t start = i;
        const std::uint32_t cp = DecodeUtf8(s, i);
        if (!hidden(cp)) {
            out.append(s, start, i - start);
        } else if (cp == '\t' || cp == '\n' || cp == '\r') {
            out += '\\';
            out += cp == '\t' ? 't' : (cp == '\n' ? 'n' : 'r');
        } else if (cp < 0x80) {
            out += "\\x";
            out += kHex[cp >> 4];
            out += kHex[cp & 0xF];
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(cp >> shift) & 0xF];
        }
    }
    return out;
}

} // namespace carlume
