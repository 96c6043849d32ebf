#include "settings/xerces_support.h"

#include "platform/format.h"
#include "platform/sysutils.h"

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLChar.hpp>

#include <cstdint>

namespace carlume::xml {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at `pos` (advancing it); `kInvalid` for a malformed, overlong or surrogate one.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        ++pos;
        return kInvalid;
    }
    if (pos + std::size_t(length) > text.size()) {
        pos = text.size();
        return kInvalid;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + std::size_t(i));
        if ((next & 0xC0) != 0x80) {
            pos += std::size_t(i);
            return kInvalid;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    pos += std::size_t(length);
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kInvalid;
    return cp;
}

bool IsXmlChar(char32_t cp)
{
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
           (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
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

} // namespace

void TXercesLibrary::Use()
{
    // Destroyed after every object whose construction began before it was first used.
    static TXercesLibrary library;
}

TXercesLibrary::TXercesLibrary()
{
    xercesc::XMLPlatformUtils::Initialize();
}

TXercesLibrary::~TXercesLibrary()
{
    xercesc::XMLPlatformUtils::Terminate();
}

std::string CheckXmlText(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t at = pos;
        const char32_t cp = DecodeUtf8(text, pos);
        if (cp == kInvalid)
            return Format("invalid UTF-8 at byte %d", std::int64_t(at + 1));
        if (!IsXmlChar(cp))
            return Format("the character U+%.4x at byte %d is not allowed in XML", std::int64_t(cp),
                          std::int64_t(at + 1));
    }
    return {};
}

std::string CheckXmlName(std::string_view name)
{
    if (!CheckXmlText(name).empty() || !xercesc::XMLChar1_0::isValidName(ToXml(name).c_str()))
        return Format("\"%s\" is not a valid XML name", VisibleControls(name));
    return {};
}

std::u16string ToXml(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = DecodeUtf8(text, pos);
        if (cp == kInvalid)
            cp = kReplacement;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string FromXml(const XMLCh* text)
{
    std::string out;
    if (text == nullptr)
        return out;
    for (const XMLCh* p = text; *p != 0; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(p[1]) - 0xDC00);
            ++p;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

} // namespace carlume::xml
