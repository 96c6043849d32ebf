#include "components/gradient_util.h"

#include "platform/gui/font.h"

#include <algorithm>

namespace carlume {

namespace {

// Fills with a solid colour and leaves the canvas brush as it was, as a brush made for the one fill would.
class TSolidFill {
public:
    explicit TSolidFill(TCanvas& canvas)
        : canvas_(canvas)
    {
        saved_.Assign(canvas.Brush());
        canvas.Brush().SetBitmap(nullptr);
    }
    ~TSolidFill() { canvas_.Brush().Assign(saved_); }
    TSolidFill(const TSolidFill&) = delete;
    TSolidFill& operator=(const TSolidFill&) = delete;

    void Fill(const TRect& rect, TColor color)
    {
        canvas_.Brush().SetColor(color);
        canvas_.FillRect(rect);
    }

private:
    TCanvas& canvas_;
    TBrush saved_;
};

TRect Intersect(const TRect& a, const TRect& b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

// The fill of `part`, cut to `bounds`; the bands are still laid out over the whole part.
void ClippedFill(TCanvas& canvas, const TRect& bounds, const TRect& part, TColor start, TColor end,
                 std::uint8_t direction, std::uint8_t colors)
{
    if (Intersect(part, bounds) == part) {
        GradientFillRect(canvas, part, start, end, direction, colors);
        return;
    }
    if (part.IsEmpty() || Intersect(part, bounds).IsEmpty()) {
        return;
    }
    // Rare (a face smaller than its corners): lay the bands out on a scratch image and copy the part inside.
    QImage scratch(part.Width(), part.Height(), QImage::Format_RGB32);
    TCanvas scratchCanvas(&scratch);
    GradientFillRect(scratchCanvas, Rect(0, 0, part.Width(), part.Height()), start, end, direction, colors);
    const TRect inside = Intersect(part, bounds);
    for (int y = inside.Top; y < inside.Bottom; ++y) {
        for (int x = inside.Left; x < inside.Right; ++x) {
            canvas.SetPixel(x, y, FromQRgb(scratch.pixel(x - part.Left, y - part.Top)));
        }
    }
}

// Each row from the top of the face down to its last row gets a short left-to-right blend between the
// pixels beside it.
void BlendLeftEdge(TCanvas& canvas, const TRect& r)
{
    const int c = XPFaceCorner;
    for (int y = r.Top + c; y < r.Bottom; ++y) {
        const TColor from = canvas.Pixel(r.Left + c / 4 - 1, y);
        const TColor to = canvas.Pixel(r.Left + c + 1, y);
        ClippedFill(canvas, r, Rect(r.Left + c / 4, y, r.Left + c, y + 1), from, to, gdLeftToRight, 8);
    }
}

// A pen line from `from` to `to` (end left out), drawn only where it lies inside `bounds`.
void ClippedLine(TCanvas& canvas, const TRect& bounds, TPoint from, TPoint to)
{
    if (from.X == to.X) {
        if (from.X < bounds.Left || from.X >= bounds.Right) {
            return;
        }
        const int step = to.Y > from.Y ? 1 : -1;
        const int first = from.Y;
        const int last = to.Y - step;
        const int top = std::max(std::min(first, last), bounds.Top);
        const int bottom = std::min(std::max(first, last), bounds.Bottom - 1);
        if (from.Y != to.Y && top <= bottom) {
            canvas.MoveTo(from.X, top);
            canvas.LineTo(from.X, bottom + 1);
        }
        return;
    }
    if (from.Y < bounds.Top || from.Y >= bounds.Bottom) {
        return;
    }
    const int step = to.X > from.X ? 1 : -1;
    const int first = from.X;
    const int last = to.X - step;
    const int left = std::max(std::min(first, last), bounds.Left);
    const int right = std::min(std::max(first, last), bounds.Right - 1);
    if (left <= right) {
        canvas.MoveTo(left, from.Y);
        canvas.LineTo(right + 1, from.Y);
    }
}

} // namespace

TColor ShiftColor(TColor color, int amount)
{
    const TColor rgb = ColorToRGB(color);
    auto shift = [amount](int channel) { return std::clamp(channel - amount, 0, 255); };
    return RGBToColor(shift(GetRValue(rgb)), shift(GetGValue(rgb)), shift(GetBValue(rgb)));
}

void GradientFillRect(TCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor,
                      std::uint8_t direction, std::uint8_t colors)
{
    if (rect.IsEmpty() || direction > gdRightToLeft) {
        return;
    }
    TSolidFill fill(canvas);
    if (colors < 2) {
        fill.Fill(rect, ColorToRGB(startColor));
        return;
    }
    const bool reversed = direction == gdBottomToTop || direction == gdRightToLeft;
    const bool vertical = direction == gdTopToBottom || direction == gdBottomToTop;
    const TColor base = ColorToRGB(reversed ? endColor : startColor);
    const TColor far = ColorToRGB(reversed ? startColor : endColor);
    const int deltaR = GetRValue(far) - GetRValue(base);
    const int deltaG = GetGValue(far) - GetGValue(base);
    const int deltaB = GetBValue(far) - GetBValue(base);

    const int extent = vertical ? RectHeight(rect) : RectWidth(rect);
    const int bands = Max(2, Min(colors, extent));
    const int bandSize = extent / bands;
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Pen().SetMode(TPenMode::pmCopy);

    auto strip = [&](int offset, int size) {
        return vertical ? Rect(rect.Left, rect.Top + offset, rect.Right, rect.Top + offset + size)
                        : Rect(rect.Left + offset, rect.Top, rect.Left + offset + size, rect.Bottom);
    };
    if (bandSize > 0) {
        for (int i = 0; i < bands; ++i) {
            const TColor color = RGBToColor(GetRValue(base) + MulDiv(i, deltaR, bands - 1),
                                            GetGValue(base) + MulDiv(i, deltaG, bands - 1),
                                            GetBValue(base) + MulDiv(i, deltaB, bands - 1));
            fill.Fill(strip(bandSize * i, bandSize), color);
        }
    }
    if (const int remainder = extent % bands; remainder > 0) {
        fill.Fill(strip(extent - remainder, remainder), far);
    }
}

void DrawGradient(TCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor, std::uint8_t style,
                  std::uint8_t colors)
{
    switch (style) {
    case gsTopToBottom:
    case gsBottomToTop:
    case gsLeftToRight:
    case gsRightToLeft:
        GradientFillRect(canvas, rect, startColor, endColor, style, colors);
        break;
    case gsVerticalMirror: {
        const int half = RectHeight(rect) / 2;
        GradientFillRect(canvas, Rect(rect.Left, rect.Top, rect.Right, rect.Top + half), startColor, endColor,
                         gdTopToBottom, colors);
        GradientFillRect(canvas, Rect(rect.Left, rect.Top + half, rect.Right, rect.Bottom), startColor,
                         endColor, gdBottomToTop, colors);
        break;
    }
    case gsHorizontalMirror: {
        const int half = RectWidth(rect) / 2;
        GradientFillRect(canvas, Rect(rect.Left, rect.Top, rect.Left + half, rect.Bottom), startColor,
                         endColor, gdLeftToRight, colors);
        GradientFillRect(canvas, Rect(rect.Left + half, rect.Top, rect.Right, rect.Bottom), startColor,
                         endColor, gdRightToLeft, colors);
        break;
    }
    case gsXPFace:
        DrawXPFace(canvas, rect, startColor, endColor, colors);
        break;
    default:
        break;
    }
}

void DrawXPFace(TCanvas& canvas, const TRect& rect, TColor faceColor, TColor edgeColor, std::uint8_t colors)
{
    if (rect.IsEmpty()) {
        return;
    }
    const TRect& r = rect;
    const int c = XPFaceCorner;
    const TColor light = ShiftColor(faceColor, -XPFaceLighten);

    canvas.Brush().SetColor(edgeColor);
    canvas.FrameRect(r);
    ClippedFill(canvas, r, Rect(r.Left + c, r.Top + c, r.Right - c, r.Bottom), edgeColor, faceColor,
                gdTopToBottom, colors);
    ClippedFill(canvas, r, Rect(r.Left + c, r.Bottom - c, r.Right, r.Bottom), faceColor, edgeColor,
                gdTopToBottom, colors);
    BlendLeftEdge(canvas, r);
    ClippedFill(canvas, r, Rect(r.Left + c, r.Top, r.Right, r.Top + c / 4), light, faceColor, gdTopToBottom,
                8);
    ClippedFill(canvas, r, Rect(r.Left + c, r.Top + c / 4, r.Right, r.Top + c), faceColor, edgeColor,
                gdTopToBottom, 8);
    ClippedFill(canvas, r, Rect(r.Left, r.Top + c, r.Left + c / 4, r.Bottom), light, faceColor, gdLeftToRight,
                8);
    BlendLeftEdge(canvas, r);
    for (int i = 0; i <= c; ++i) {
        canvas.Pen().SetColor(canvas.Pixel(r.Left + i, r.Top + c + 1));
        ClippedLine(canvas, r, {r.Left + i, r.Top + c}, {r.Left + i, r.Top + i});
        ClippedLine(canvas, r, {r.Left + i, r.Top + i}, {r.Left + c, r.Top + i});
    }
}

} // namespace carlume
