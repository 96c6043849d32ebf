#pragma once

// String routines the interface components share. Texts are single-byte strings.

#include <string>
#include <string_view>

namespace carlume {

/// True when every character of `s` is one of `chars`; the empty string gives true.
bool StrHasOnlyChars(std::string_view s, std::string_view chars);

/// `s` with every occurrence of `search` replaced, left to right; a replacement is never searched again.
/// An empty `search` leaves `s` unchanged.
std::string ReplaceAllOf(std::string_view s, std::string_view search, std::string_view replacement);

/// `count` copies of `c`; empty when `count` is below 1.
std::string RepeatChar(char c, int count);

} // namespace carlume
