#pragma once

// The class library's canvas: pen, brush and font state and the drawing operations the windows and
// controls use, with the pixel rules of the Windows graphics layer (lines leave out their end point, a
// rectangle covers Left..Right-1, text is placed by the top-left of its cell). A canvas draws either on a
// 32-bit image, pixel by pixel where the rules matter, or through a painter someone else owns (a widget's
// paint event, a printer).

#include "platform/gui/color.h"
#include "platform/gui/font.h"
#include "platform/gui/geometry.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

class QPainter;
class QPaintDevice;

namespace carlume {

class TBitmap;

/// Pen styles the system uses.
enum class TPenStyle { psSolid, psClear };
/// How pen pixels combine with what is there: copy, invert the destination, XOR, or XOR then invert.
enum class TPenMode { pmCopy, pmNot, pmXor, pmNotXor };
/// Brush styles the system uses; a brush with a pattern bitmap fills with the pattern whatever its style.
enum class TBrushStyle { bsSolid, bsClear };

// Text flags of DrawText, with the Windows values.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;

// Raster operations of BitBlt, with the Windows values; any ternary operation code works.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t MERGECOPY = 0x00C000CA;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;
/// Where the source is white the brush is painted, where it is black the destination stays.
constexpr std::uint32_t ROP_DSPDxax = 0x00E20746;

class TPen {
public:
    /// Black, one pixel wide, solid, copy mode.
    TPen() = default;
    /// Line colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    /// Line width in pixels.
    int Width() const { return width_; }
    /// Widths below 1 count as 1.
    void SetWidth(int width);
    /// Solid or no line.
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    /// How the pen combines with the pixels below.
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);
    /// Copies colour, width, style and mode.
    void Assign(const TPen& source);
    /// Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    TPenMode mode_ = TPenMode::pmCopy;
};

class TBrush {
public:
    /// White and solid.
    TBrush() = default;
    /// Fill colour.
    TColor Color() const { return color_; }
    /// Setting a colour makes a clear brush solid again, as the class library does.
    void SetColor(TColor color);
    /// Solid or no fill.
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    /// An 8 x 8 pattern that fills instead of the colour (not owned; null for none). The pattern is aligned
    /// with the canvas origin.
    const TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(const TBitmap* bitmap);
    /// Copies colour, style and pattern.
    void Assign(const TBrush& source);
    /// Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    const TBitmap* bitmap_ = nullptr;
};

class TCanvas {
public:
    /// A canvas bound to nothing yet; text is measured for the screen.
    TCanvas();
    /// Draws on `image`, which must outlive the canvas; converted to 32 bits per pixel when it is not.
    explicit TCanvas(QImage* image);
    /// Draws through `painter`, which someone else owns and keeps active while the canvas is used.
    explicit TCanvas(QPainter* painter);
    /// Leaves the image or painter as it is.
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    /// Binds the canvas to an image (see the constructor); null unbinds.
    void Bind(QImage* image);
    /// Binds the canvas to a painter (see the constructor); null unbinds.
    void Bind(QPainter* painter);
    /// The device whose metrics measure text while the canvas is unbound (a printer before it prints).
    void SetMetricsDevice(QPaintDevice* device);
    /// The image drawn on, or null.
    QImage* Image() const { return image_; }
    /// The painter drawn through, or null.
    QPainter* Painter() const { return painter_; }

    /// The pen, brush and font the operations below use.
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }
    const TPen& Pen() const { return pen_; }
    const TBrush& Brush() const { return brush_; }
    const TFont& Font() const { return font_; }

    /// The current pen position.
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint position) { penPos_ = position; }
    /// Moves the pen without drawing.
    void MoveTo(int x, int y);
    /// A line from the pen position to (x, y), leaving out (x, y); the pen moves there.
    void LineTo(int x, int y);
    /// Lines through the points; the last point is left out and the pen ends there.
    void Polyline(const std::vector<TPoint>& points);
    void Polyline(std::initializer_list<TPoint> points);

    /// Outline in the pen over Left..Right-1 x Top..Bottom-1, inside filled with the brush. Without a pen
    /// only the brush fills, one pixel smaller on the right and bottom. Wider pens grow inwards.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& rect);
    /// Fills the rectangle with the brush; no outline.
    void FillRect(const TRect& rect);
    /// A one-pixel border in the brush colour.
    void FrameRect(const TRect& rect);
    /// A rectangle with elliptic corners of the given size. Our own pixel rule: corners up to 2 x 2 stay
    /// square, 3 x 3 and 5 x 5 lose the corner pixel, larger ones follow the ellipse.
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    /// Inverts every other pixel of the rectangle's border (the pixels whose x + y is even).
    void DrawFocusRect(const TRect& rect);

    /// The colour of a pixel; clNone outside the image or when the canvas does not draw on an image.
    TColor Pixel(int x, int y) const;
    /// Sets one pixel (no pen mode).
    void SetPixel(int x, int y, TColor color);

    /// Draws a bitmap with its top-left at (x, y); a transparent bitmap leaves out its transparent colour.
    void Draw(int x, int y, const TBitmap& bitmap);
    /// Draws a bitmap stretched over the rectangle (nearest pixel).
    void StretchDraw(const TRect& rect, const TBitmap& bitmap);
    /// Draws an image with its alpha channel over the canvas.
    void DrawImage(int x, int y, const QImage& image);
    /// Copies a rectangle of another image canvas, stretched when the sizes differ.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);
    /// Combines a rectangle of `source` with the canvas by a ternary raster operation, the brush being the
    /// pattern. Only SRCCOPY works on a canvas that draws through a painter.
    void BitBlt(int x, int y, int width, int height, const TBitmap& source, int sourceX, int sourceY,
                std::uint32_t rop);

    /// Text with the top-left of its cell at (x, y), on the brush colour when the brush is solid; the pen
    /// moves to the end of the text.
    void TextOut(int x, int y, const QString& text);
    /// Text at (x, y) clipped to the rectangle, which is filled with the brush first when it is solid.
    void TextRect(const TRect& rect, int x, int y, const QString& text);
    /// Width of the text in the canvas font.
    int TextWidth(const QString& text) const;
    /// Height of the text cell in the canvas font (ascent + descent).
    int TextHeight(const QString& text) const;
    /// Width and height of the text.
    TSize TextExtent(const QString& text) const;
    /// Text laid out in the rectangle by DT_ flags ("&" marks the accelerator unless DT_NOPREFIX). With
    /// DT_CALCRECT nothing is drawn and the rectangle's right and bottom are set to fit the text, its left
    /// and top kept. Returns the height of the text.
    int DrawText(TRect& rect, const QString& text, unsigned flags);

    /// Size of the image or device drawn on (0 x 0 when unbound).
    int Width() const;
    int Height() const;

    /// Called after every drawing operation.
    std::function<void()> OnChange;

private:
    class PainterScope;
    friend class PainterScope;

    void Changed();
    QPaintDevice* Device() const;
    bool DrawsOnImage() const { return image_ != nullptr; }
    QRgb BrushPixel(int x, int y) const;
    void Plot(int x, int y, QRgb color, TPenMode mode);
    void FillPixels(const QRect& rect, QRgb color, TPenMode mode);
    void FillWithBrush(const QRect& rect);
    void PenLine(TPoint from, TPoint to);
    void WideLine(TPoint from, TPoint to);
    void PaintText(int x, int y, const QString& text, const QRect* clip);

    QImage* image_ = nullptr;
    QPainter* painter_ = nullptr;
    QPaintDevice* metricsDevice_ = nullptr;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
};

/// Draws a raised or sunken frame `width` pixels wide: each ring has the top-left colour on its left
/// column and top row, and the bottom-right colour on its right column and bottom row including the
/// top-right and bottom-left corners. The rectangle shrinks by one pixel per ring; the pen is left one
/// pixel wide in the bottom-right colour.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

} // namespace carlume
