#pragma once

// Colours as the class library holds them: $00BBGGRR, and negative values for the system colours, which
// come from one fixed table (the classic Windows defaults) so that nothing depends on the desktop theme.

#include <QColor>

#include <cstdint>

namespace carlume {

/// A colour: $00BBGGRR, or a system colour (0x80000000 + index).
using TColor = std::int32_t;

namespace detail {
constexpr TColor SystemColor(unsigned index)
{
    return static_cast<TColor>(0x80000000U | index);
}
} // namespace detail

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
/// "No colour": never drawn.
constexpr TColor clNone = 0x1FFFFFFF;
/// "The control's default colour".
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = detail::SystemColor(0);
constexpr TColor clBackground = detail::SystemColor(1);
constexpr TColor clActiveCaption = detail::SystemColor(2);
constexpr TColor clInactiveCaption = detail::SystemColor(3);
constexpr TColor clMenu = detail::SystemColor(4);
constexpr TColor clWindow = detail::SystemColor(5);
constexpr TColor clWindowFrame = detail::SystemColor(6);
constexpr TColor clMenuText = detail::SystemColor(7);
constexpr TColor clWindowText = detail::SystemColor(8);
constexpr TColor clCaptionText = detail::SystemColor(9);
constexpr TColor clActiveBorder = detail::SystemColor(10);
constexpr TColor clInactiveBorder = detail::SystemColor(11);
constexpr TColor clAppWorkSpace = detail::SystemColor(12);
constexpr TColor clHighlight = detail::SystemColor(13);
constexpr TColor clHighlightText = detail::SystemColor(14);
constexpr TColor clBtnFace = detail::SystemColor(15);
constexpr TColor clBtnShadow = detail::SystemColor(16);
constexpr TColor clGrayText = detail::SystemColor(17);
constexpr TColor clBtnText = detail::SystemColor(18);
constexpr TColor clInactiveCaptionText = detail::SystemColor(19);
constexpr TColor clBtnHighlight = detail::SystemColor(20);
constexpr TColor cl3DDkShadow = detail::SystemColor(21);
constexpr TColor cl3DLight = detail::SystemColor(22);
constexpr TColor clInfoText = detail::SystemColor(23);
constexpr TColor clInfoBk = detail::SystemColor(24);

/// True for a system colour (a negative value).
constexpr bool IsSystemColor(TColor color)
{
    return color < 0;
}

/// The colour made of the three channels.
constexpr TColor RGBToColor(int r, int g, int b)
{
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

/// Red channel of a $00BBGGRR value.
constexpr int GetRValue(TColor rgb)
{
    return rgb & 0xFF;
}
/// Green channel of a $00BBGGRR value.
constexpr int GetGValue(TColor rgb)
{
    return (rgb >> 8) & 0xFF;
}
/// Blue channel of a $00BBGGRR value.
constexpr int GetBValue(TColor rgb)
{
    return (rgb >> 16) & 0xFF;
}

/// The $00BBGGRR value of a colour: system colours come from the fixed table (black for an unknown index),
/// other values are returned as they are.
TColor ColorToRGB(TColor color);

/// The colour as Qt sees it (red and blue swapped back into place). clNone gives a transparent QColor.
QColor ToQColor(TColor color);

/// The opaque $00BBGGRR value of a Qt colour.
TColor FromQColor(const QColor& color);

/// The same colour as a 0xAARRGGBB pixel value, fully opaque.
QRgb ToQRgb(TColor color);

/// The $00BBGGRR value of a pixel, ignoring its alpha.
TColor FromQRgb(QRgb pixel);

/// The class library's "newer 3-D control look" flag; always on here.
constexpr bool NewStyleControls()
{
    return true;
}

} // namespace carlume
