#include "platform/gui/color.h"

#include <array>

namespace carlume {

namespace {

// The classic Windows defaults, as RGB; indexed by the low byte of a system colour.
constexpr std::array<QRgb, 29> kSystemColors = {
    0xD4D0C8, // scroll bar
    0x3A6EA5, // desktop background
    0x0A246A, // active caption
    0x808080, // inactive caption
    0xD4D0C8, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xD4D0C8, // active border
    0xD4D0C8, // inactive border
    0x808080, // application work space
    0x0A246A, // highlight
    0xFFFFFF, // highlight text
    0xD4D0C8, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xD4D0C8, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3-D dark shadow
    0xD4D0C8, // 3-D light
    0x000000, // tool-tip text
    0xFFFFE1, // tool-tip background
    0x000000, // unused
    0x000080, // hot-tracked item
    0xA6CAF0, // active caption gradient
    0xC0C0C0, // inactive caption gradient
};

} // namespace

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color)) {
        return color;
    }
    const unsigned index = static_cast<unsigned>(color) & 0xFFU;
    if (index >= kSystemColors.size()) {
        return clBlack;
    }
    const QRgb rgb = kSystemColors[index];
    return RGBToColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QColor ToQColor(TColor color)
{
    if (color == clNone) {
        return QColor(0, 0, 0, 0);
    }
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color)
{
    return RGBToColor(color.red(), color.green(), color.blue());
}

QRgb ToQRgb(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQRgb(QRgb pixel)
{
    return RGBToColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

} // namespace carlume
