#pragma once

// What the XML classes share at the library boundary: keeping the library initialised while any of our
// objects use it, and moving text between our UTF-8 strings and the library's UTF-16 ones. The library's
// own transcoder goes by the locale, so the conversion is done here.

#include <xercesc/util/XercesDefs.hpp>

#include <string>
#include <string_view>

namespace carlume::xml {

/// Initialises the library on first use; it stays initialised until the process ends. Initialising it
/// builds large tables, so it is not done again for every document.
class TXercesLibrary {
public:
    /// Makes sure the library is initialised.
    static void Use();
    ~TXercesLibrary();
    TXercesLibrary(const TXercesLibrary&) = delete;
    TXercesLibrary& operator=(const TXercesLibrary&) = delete;

private:
    TXercesLibrary();
};

/// Why `text` cannot be stored as XML 1.0 character data (invalid UTF-8, or a character XML does not
/// allow); "" when it can.
std::string CheckXmlText(std::string_view text);
/// Why `name` is no XML name; "" when it is.
std::string CheckXmlName(std::string_view name);

/// UTF-8 to the library's UTF-16. The text must have passed `CheckXmlText` (other bytes become U+FFFD).
std::u16string ToXml(std::string_view text);
/// The library's UTF-16 to UTF-8; a lone surrogate becomes U+FFFD; a null pointer is "".
std::string FromXml(const XMLCh* text);

} // namespace carlume::xml
