#include "foundation/string_helpers.h"

#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool StartsCharacter(const std::string& s, std::size_t at)
{
    return at == 0 || at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80;
}

} // namespace

// The first byte picks a width limit and a delimiter length; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int maxWidth = int(data[0]) - 16;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t delimiterLength = std::min<std::size_t>(data[0] % 4, text.size());
    const std::string_view delimiter = std::string_view(text).substr(0, delimiterLength);

    const auto width = [](const std::string& s) { return int(s.size()); };
    const std::string fitted = carlume::FitTextToWidth(width, text, maxWidth);
    if (fitted != text) {
        Check(fitted.empty() || (fitted.size() > 3 && fitted.ends_with("...")));
        Check(fitted.empty() || int(fitted.size()) <= maxWidth);
        const std::string kept = fitted.empty() ? std::string() : fitted.substr(0, fitted.size() - 3);
        Check(text.starts_with(kept) && StartsCharacter(text, kept.size()));
    }

    const std::string before = carlume::TextBeforeOrEmpty(text, delimiter);
    const std::string after = carlume::TextAfterOrEmpty(text, delimiter);
    if (!delimiter.empty())
        Check(before + std::string(delimiter) + after == text);
    Check(carlume::TextAfterOrWhole(text, "") == text && carlume::TextBeforeOrEmpty(text, "").empty());

    Check(carlume::ReplaceAll(delimiter, delimiter, text) == text);
    const std::string stripped = carlume::StripChars(text, delimiter);
    for (const char c : delimiter)
        Check(stripped.find(c) == std::string::npos);

    std::int32_t value = 0;
    Check(carlume::IsNumeric(text) == carlume::TryStrToInt(text, value));
    return 0;
}
