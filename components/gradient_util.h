#pragma once

// Banded gradient fills and the framed face behind the gradient push button. The routines keep no state
// and draw through the canvas.

#include "components/ui_draw_utils.h"
#include "components/ui_math.h"
#include "platform/gui/canvas.h"
#include "platform/gui/color.h"
#include "platform/gui/geometry.h"

#include <cstdint>

namespace carlume {

/// Direction of `GradientFillRect`: where the start colour lies.
enum TGradientDirection : std::uint8_t {
    gdTopToBottom = 0,
    gdBottomToTop = 1,
    gdLeftToRight = 2,
    gdRightToLeft = 3
};

/// Styles of `DrawGradient`: the four directions, two mirrored halves, and the framed face.
enum TGradientStyle : std::uint8_t {
    gsTopToBottom = 0,
    gsBottomToTop = 1,
    gsLeftToRight = 2,
    gsRightToLeft = 3,
    gsVerticalMirror = 4,
    gsHorizontalMirror = 5,
    gsXPFace = 6
};

/// Corner size and lighten step of the framed face.
constexpr int XPFaceCorner = 6;
constexpr int XPFaceLighten = 30;

/// The colour with `amount` taken from each of red, green and blue, clamped to 0..255 (a negative amount
/// lightens); system colours are resolved first.
TColor ShiftColor(TColor color, int amount);

// Max, Min, RectHeight and RectWidth, which the routines below use, are the drawing utilities' (ui_math.h,
// ui_draw_utils.h).

/// Fills the rectangle with up to `colors` bands from the start to the end colour along `direction`; the
/// pixels left over after the last whole band get the far end's colour. Fewer than two colours fill with
/// the start colour. An empty rectangle or an unknown direction draws nothing. The pen is left solid in
/// copy mode; the brush is left as it was.
void GradientFillRect(TCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor,
                      std::uint8_t direction, std::uint8_t colors);

/// One of the seven styles; an unknown style draws nothing.
void DrawGradient(TCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor, std::uint8_t style,
                  std::uint8_t colors);

/// A face framed in the edge colour, shaded toward the edge colour at the top and bottom, with a lighter
/// rim at the top left; nothing is drawn outside the rectangle.
void DrawXPFace(TCanvas& canvas, const TRect& rect, TColor faceColor, TColor edgeColor, std::uint8_t colors);

} // namespace carlume
