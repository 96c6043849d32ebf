#pragma once

// Small types the buttons share.

#include <cstdint>

namespace carlume {

/// Where a button's glyph stands relative to its caption.
enum class TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

/// Horizontal alignment of a caption.
enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

/// The looks of a speed button, which also index its glyph strip's cells.
enum class TUiSpeedButtonState : std::uint8_t { sbsUp, sbsDisabled, sbsDown, sbsExclusive, sbsInactive };

} // namespace carlume
