#include "platform/utf8.h"

namespace carlume {

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
