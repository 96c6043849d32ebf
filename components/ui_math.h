#pragma once

// Integer helpers and the message-text pass-through of the drawing utilities; the rectangle helpers that
// need the Qt geometry types are in components/ui_draw_utils.h.

#include <cstdint>
#include <string>

namespace carlume {

/// B when A is not greater than B, else A.
constexpr std::int32_t Max(std::int32_t a, std::int32_t b)
{
    return a > b ? a : b;
}

/// A when A is less than B, else B.
constexpr std::int32_t Min(std::int32_t a, std::int32_t b)
{
    return a < b ? a : b;
}

/// Message texts pass through here unchanged.
inline std::string ResStr(const std::string& text)
{
    return text;
}

} // namespace carlume
