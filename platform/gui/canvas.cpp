#include "platform/gui/canvas.h"

#include "platform/gui/bitmap.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace carlume {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

QRgb Opaque(QRgb rgb)
{
    return 0xFF000000U | (rgb & kRgbMask);
}

QRgb Combine(QRgb dest, QRgb color, TPenMode mode)
{
    switch (mode) {
    case TPenMode::pmCopy:
        return Opaque(color);
    case TPenMode::pmNot:
        return Opaque(~dest);
    case TPenMode::pmXor:
        return Opaque(dest ^ color);
    case TPenMode::pmNotXor:
        return Opaque(~(dest ^ color));
    }
    return Opaque(color);
}

QPainter::CompositionMode CompositionFor(TPenMode mode)
{
    switch (mode) {
    case TPenMode::pmCopy:
        break;
    case TPenMode::pmNot:
        return QPainter::RasterOp_NotDestination;
    case TPenMode::pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case TPenMode::pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    }
    return QPainter::CompositionMode_Source;
}

// Applies a ternary raster operation to 24 bits at once, as the sum of the minterms its code selects.
QRgb TernaryRop(unsigned code, QRgb p, QRgb s, QRgb d)
{
    QRgb result = 0;
    for (unsigned index = 0; index < 8; ++index) {
        if ((code >> index) & 1U) {
            result |= ((index & 4U) ? p : ~p) & ((index & 2U) ? s : ~s) & ((index & 1U) ? d : ~d);
        }
    }
    return Opaque(result);
}

bool IsDirectFormat(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// The pixels a round-rectangle corner leaves out on a row `row` pixels away from the top or bottom edge.
int CornerInset(int row, int cornerWidth, int cornerHeight)
{
    if (cornerWidth < 2 || cornerHeight < 2) {
        return 0;
    }
    const double a = (cornerWidth - 1) / 2.0;
    const double b = (cornerHeight - 1) / 2.0;
    if (row >= b) {
        return 0;
    }
    // The ellipse through the pixel centres, widened by a quarter pixel so tiny corners keep their shape.
    const double ra = a + 0.25;
    const double rb = b + 0.25;
    const double dy = (row - b) / rb;
    for (int i = 0; i <= int(a); ++i) {
        const double dx = (i - a) / ra;
        if (dx * dx + dy * dy <= 1.0 + 1e-9) {
            return i;
        }
    }
    return int(a);
}

} // namespace

// --- pen and brush ---------------------------------------------------------------------------------

void TPen::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TPen::SetWidth(int width)
{
    width = std::max(1, width);
    if (width != width_) {
        width_ = width;
        Changed();
    }
}

void TPen::SetStyle(TPenStyle style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TPen::SetMode(TPenMode mode)
{
    if (mode != mode_) {
        mode_ = mode;
        Changed();
    }
}

void TPen::Assign(const TPen& source)
{
    color_ = source.color_;
    width_ = source.width_;
    style_ = source.style_;
    mode_ = source.mode_;
    Changed();
}

void TPen::Changed()
{
    if (OnChange) {
        OnChange();
    }
}

void TBrush::SetColor(TColor color)
{
    if (color != color_ || style_ == TBrushStyle::bsClear) {
        color_ = color;
        style_ = TBrushStyle::bsSolid;
        Changed();
    }
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TBrush::SetBitmap(const TBitmap* bitmap)
{
    if (bitmap != bitmap_) {
        bitmap_ = bitmap;
        Changed();
    }
}

void TBrush::Assign(const TBrush& source)
{
    color_ = source.color_;
    style_ = source.style_;
    bitmap_ = source.bitmap_;
    Changed();
}

void TBrush::Changed()
{
    if (OnChange) {
        OnChange();
    }
}

// --- painter access ----------------------------------------------------------------------------------

// A painter for one operation: opened on the image, or the borrowed painter with its state saved.
class TCanvas::PainterScope {
public:
    explicit PainterScope(const TCanvas& canvas)
    {
        if (canvas.image_ != nullptr) {
            owned_.emplace(canvas.image_);
            painter_ = &*owned_;
        } else if (canvas.painter_ != nullptr && canvas.painter_->isActive()) {
            painter_ = canvas.painter_;
            painter_->save();
        }
        if (painter_ != nullptr) {
            painter_->setRenderHint(QPainter::Antialiasing, false);
            painter_->setRenderHint(QPainter::TextAntialiasing, false);
            painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
        }
    }
    ~PainterScope()
    {
        if (!owned_ && painter_ != nullptr) {
            painter_->restore();
        }
    }
    PainterScope(const PainterScope&) = delete;
    PainterScope& operator=(const PainterScope&) = delete;

    explicit operator bool() const { return painter_ != nullptr; }
    QPainter* operator->() const { return painter_; }
    QPainter& operator*() const { return *painter_; }

private:
    std::optional<QPainter> owned_;
    QPainter* painter_ = nullptr;
};

// --- canvas ------------------------------------------------------------------------------------------

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QImage* image)
{
    Bind(image);
}

TCanvas::TCanvas(QPainter* painter)
{
    Bind(painter);
}

TCanvas::~TCanvas() = default;

void TCanvas::Bind(QImage* image)
{
    painter_ = nullptr;
    image_ = image;
    if (image_ != nullptr && !image_->isNull() && !IsDirectFormat(image_->format())) {
        *image_ = image_->convertToFormat(QImage::Format_RGB32);
    }
}

void TCanvas::Bind(QPainter* painter)
{
    image_ = nullptr;
    painter_ = painter;
}

void TCanvas::SetMetricsDevice(QPaintDevice* device)
{
    metricsDevice_ = device;
}

QPaintDevice* TCanvas::Device() const
{
    if (image_ != nullptr) {
        return image_;
    }
    if (painter_ != nullptr && painter_->device() != nullptr) {
        return painter_->device();
    }
    return metricsDevice_;
}

int TCanvas::Width() const
{
    QPaintDevice* device = Device();
    return device != nullptr ? device->width() : 0;
}

int TCanvas::Height() const
{
    QPaintDevice* device = Device();
    return device != nullptr ? device->height() : 0;
}

void TCanvas::Changed()
{
    if (OnChange) {
        OnChange();
    }
}

QRgb TCanvas::BrushPixel(int x, int y) const
{
    if (const TBitmap* pattern = brush_.Bitmap(); pattern != nullptr && !pattern->Empty()) {
        const QImage& image = pattern->Image();
        const int px = ((x % image.width()) + image.width()) % image.width();
        const int py = ((y % image.height()) + image.height()) % image.height();
        return image.pixel(px, py);
    }
    return ToQRgb(brush_.Color());
}

void TCanvas::Plot(int x, int y, QRgb color, TPenMode mode)
{
    if (image_ != nullptr) {
        if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) {
            return;
        }
        auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
        line[x] = Combine(line[x], color, mode);
        return;
    }
    FillPixels(QRect(x, y, 1, 1), color, mode);
}

void TCanvas::FillPixels(const QRect& rect, QRgb color, TPenMode mode)
{
    if (rect.isEmpty()) {
        return;
    }
    if (image_ != nullptr) {
        const QRect area = rect.intersected(image_->rect());
        if (area.isEmpty()) {
            return;
        }
        // One detach for the whole area, and plain copies as straight fills: the controls fill most of
        // their pixels this way on every paint.
        auto* bits = reinterpret_cast<QRgb*>(image_->bits());
        const qsizetype stride = image_->bytesPerLine() / qsizetype(sizeof(QRgb));
        for (int y = area.top(); y <= area.bottom(); ++y) {
            QRgb* line = bits + y * stride;
            if (mode == TPenMode::pmCopy) {
                std::fill(line + area.left(), line + area.right() + 1, Opaque(color));
                continue;
            }
            for (int x = area.left(); x <= area.right(); ++x) {
                line[x] = Combine(line[x], color, mode);
            }
        }
        return;
    }
    PainterScope p(*this);
    if (!p) {
        return;
    }
    p->setCompositionMode(CompositionFor(mode));
    p->fillRect(rect, QColor::fromRgb(Opaque(color)));
}

void TCanvas::FillWithBrush(const QRect& rect)
{
    if (rect.isEmpty()) {
        return;
    }
    const TBitmap* pattern = brush_.Bitmap();
    const bool hasPattern = pattern != nullptr && !pattern->Empty();
    if (!hasPattern) {
        if (brush_.Style() == TBrushStyle::bsClear) {
            return;
        }
        FillPixels(rect, ToQRgb(brush_.Color()), TPenMode::pmCopy);
        return;
    }
    if (image_ != nullptr) {
        const QRect area = rect.intersected(image_->rect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                line[x] = Opaque(BrushPixel(x, y));
            }
        }
        return;
    }
    PainterScope p(*this);
    if (!p) {
        return;
    }
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->setBrushOrigin(0, 0);
    p->fillRect(rect, QBrush(pattern->Image()));
}

void TCanvas::MoveTo(int x, int y)
{
    penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    PenLine(penPos_, {x, y});
    penPos_ = {x, y};
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty()) {
        return;
    }
    penPos_ = points.front();
    for (std::size_t i = 1; i < points.size(); ++i) {
        PenLine(penPos_, points[i]);
        penPos_ = points[i];
    }
    Changed();
}

void TCanvas::Polyline(std::initializer_list<TPoint> points)
{
    Polyline(std::vector<TPoint>(points));
}

void TCanvas::PenLine(TPoint from, TPoint to)
{
    if (pen_.Style() == TPenStyle::psClear || from == to) {
        return;
    }
    if (pen_.Width() > 1) {
        WideLine(from, to);
        return;
    }
    const QRgb color = ToQRgb(pen_.Color());
    // Straight lines in one fill; the end point is never part of the line.
    if (from.Y == to.Y) {
        const int left = from.X < to.X ? from.X : to.X + 1;
        FillPixels(QRect(left, from.Y, std::abs(to.X - from.X), 1), color, pen_.Mode());
        return;
    }
    if (from.X == to.X) {
        const int top = from.Y < to.Y ? from.Y : to.Y + 1;
        FillPixels(QRect(from.X, top, 1, std::abs(to.Y - from.Y)), color, pen_.Mode());
        return;
    }
    const int dx = std::abs(to.X - from.X);
    const int dy = -std::abs(to.Y - from.Y);
    const int sx = from.X < to.X ? 1 : -1;
    const int sy = from.Y < to.Y ? 1 : -1;
    int err = dx + dy;
    int x = from.X;
    int y = from.Y;
    while (x != to.X || y != to.Y) {
        Plot(x, y, color, pen_.Mode());
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::WideLine(TPoint from, TPoint to)
{
    PainterScope p(*this);
    if (!p) {
        return;
    }
    p->setCompositionMode(CompositionFor(pen_.Mode()));
    p->setPen(QPen(ToQColor(pen_.Color()), pen_.Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->drawLine(QPoint(from.X, from.Y), QPoint(to.X, to.Y));
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    if (pen_.Style() == TPenStyle::psClear) {
        FillWithBrush(QRect(left, top, right - left - 1, bottom - top - 1));
        Changed();
        return;
    }
    const int w = pen_.Width();
    FillWithBrush(QRect(left + w, top + w, right - left - 2 * w, bottom - top - 2 * w));
    const QRgb color = ToQRgb(pen_.Color());
    // Row by row, so that no pixel of the outline is touched twice (it matters for the XOR modes).
    for (int y = top; y < bottom; ++y) {
        if (y < top + w || y >= bottom - w || left + w >= right - w) {
            FillPixels(QRect(left, y, right - left, 1), color, pen_.Mode());
        } else {
            FillPixels(QRect(left, y, w, 1), color, pen_.Mode());
            FillPixels(QRect(right - w, y, w, 1), color, pen_.Mode());
        }
    }
    Changed();
}

void TCanvas::Rectangle(const TRect& rect)
{
    Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TCanvas::FillRect(const TRect& rect)
{
    FillWithBrush(rect.ToQRect());
    Changed();
}

void TCanvas::FrameRect(const TRect& rect)
{
    if (rect.IsEmpty()) {
        return;
    }
    FillWithBrush(QRect(rect.Left, rect.Top, rect.Width(), 1));
    if (rect.Height() > 1) {
        FillWithBrush(QRect(rect.Left, rect.Bottom - 1, rect.Width(), 1));
    }
    if (rect.Height() > 2) {
        FillWithBrush(QRect(rect.Left, rect.Top + 1, 1, rect.Height() - 2));
        if (rect.Width() > 1) {
            FillWithBrush(QRect(rect.Right - 1, rect.Top + 1, 1, rect.Height() - 2));
        }
    }
    Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    const bool outline = pen_.Style() != TPenStyle::psClear;
    if (!outline) {
        --right;
        --bottom;
    }
    if (right <= left || bottom <= top) {
        return;
    }
    cornerWidth = std::clamp(cornerWidth, 0, right - left);
    cornerHeight = std::clamp(cornerHeight, 0, bottom - top);
    auto inset = [&](int y) {
        return CornerInset(std::min(y - top, bottom - 1 - y), cornerWidth, cornerHeight);
    };
    const QRgb penColor = ToQRgb(pen_.Color());
    for (int y = top; y < bottom; ++y) {
        const int rowLeft = left + inset(y);
        const int rowRight = right - inset(y);
        if (!outline) {
            FillWithBrush(QRect(rowLeft, y, rowRight - rowLeft, 1));
            continue;
        }
        // A pixel is inside when its four neighbours belong to the shape; the others form the outline.
        int innerLeft = rowLeft + 1;
        int innerRight = rowRight - 1;
        if (y == top || y == bottom - 1) {
            innerRight = innerLeft;
        } else {
            innerLeft = std::max({innerLeft, left + inset(y - 1), left + inset(y + 1)});
            innerRight = std::min({innerRight, right - inset(y - 1), right - inset(y + 1)});
        }
        if (innerRight > innerLeft) {
            FillWithBrush(QRect(innerLeft, y, innerRight - innerLeft, 1));
            FillPixels(QRect(rowLeft, y, innerLeft - rowLeft, 1), penColor, pen_.Mode());
            FillPixels(QRect(innerRight, y, rowRight - innerRight, 1), penColor, pen_.Mode());
        } else {
            FillPixels(QRect(rowLeft, y, rowRight - rowLeft, 1), penColor, pen_.Mode());
        }
    }
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    if (rect.IsEmpty()) {
        return;
    }
    const QRgb white = 0xFFFFFF;
    auto flip = [&](int x, int y) {
        if (((x + y) & 1) == 0) {
            Plot(x, y, white, TPenMode::pmXor);
        }
    };
    for (int x = rect.Left; x < rect.Right; ++x) {
        flip(x, rect.Top);
        if (rect.Height() > 1) {
            flip(x, rect.Bottom - 1);
        }
    }
    for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        flip(rect.Left, y);
        if (rect.Width() > 1) {
            flip(rect.Right - 1, y);
        }
    }
    Changed();
}

TColor TCanvas::Pixel(int x, int y) const
{
    const QImage* image = image_;
    if (image == nullptr && painter_ != nullptr && painter_->device() != nullptr &&
        painter_->device()->devType() == QInternal::Image) {
        image = static_cast<const QImage*>(painter_->device());
    }
    if (image == nullptr || !image->valid(x, y)) {
        return clNone;
    }
    return FromQRgb(image->pixel(x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Plot(x, y, ToQRgb(color), TPenMode::pmCopy);
    Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty()) {
        return;
    }
    const QImage& source = bitmap.Image();
    // A picture with an alpha channel is blended; only opaque pictures are copied pixel by pixel.
    if (image_ != nullptr && !source.hasAlphaChannel()) {
        const bool transparent = bitmap.Transparent();
        const QRgb key = ToQRgb(bitmap.TransparentColor()) & kRgbMask;
        const QRect area = QRect(x, y, source.width(), source.height()).intersected(image_->rect());
        for (int dy = area.top(); dy <= area.bottom(); ++dy) {
            auto* line = reinterpret_cast<QRgb*>(image_->scanLine(dy));
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(dy - y));
            for (int dx = area.left(); dx <= area.right(); ++dx) {
                const QRgb pixel = from[dx - x] & kRgbMask;
                if (!transparent || pixel != key) {
                    line[dx] = Opaque(pixel);
                }
            }
        }
    } else {
        PainterScope p(*this);
        if (!p) {
            return;
        }
        p->drawImage(x, y, bitmap.MaskedImage());
    }
    Changed();
}

void TCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap)
{
    if (bitmap.Empty() || rect.IsEmpty()) {
        return;
    }
    {
        PainterScope p(*this);
        if (!p) {
            return;
        }
        p->drawImage(rect.ToQRect(), bitmap.MaskedImage());
    }
    Changed();
}

void TCanvas::DrawImage(int x, int y, const QImage& image)
{
    {
        PainterScope p(*this);
        if (!p) {
            return;
        }
        p->drawImage(x, y, image);
    }
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect)
{
    const QPaintDevice* device = source.Device();
    if (device == nullptr || device->devType() != QInternal::Image || dest.IsEmpty() ||
        sourceRect.IsEmpty()) {
        return;
    }
    // A shallow copy: if the source is this very image, painting detaches it and the copy keeps the old
    // pixels.
    const QImage from = *static_cast<const QImage*>(device);
    {
        PainterScope p(*this);
        if (!p) {
            return;
        }
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(dest.ToQRect(), from, sourceRect.ToQRect());
    }
    Changed();
}

void TCanvas::BitBlt(int x, int y, int width, int height, const TBitmap& source, int sourceX, int sourceY,
                     std::uint32_t rop)
{
    if (width <= 0 || height <= 0) {
        return;
    }
    const QImage& from = source.Image();
    const unsigned code = (rop >> 16) & 0xFFU;
    if (image_ == nullptr) {
        if (code != ((SRCCOPY >> 16) & 0xFFU)) {
            return;
        }
        PainterScope p(*this);
        if (!p) {
            return;
        }
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(QPoint(x, y), from, QRect(sourceX, sourceY, width, height));
        Changed();
        return;
    }
    for (int row = 0; row < height; ++row) {
        const int dy = y + row;
        const int sy = sourceY + row;
        if (dy < 0 || dy >= image_->height()) {
            continue;
        }
        auto* line = reinterpret_cast<QRgb*>(image_->scanLine(dy));
        for (int col = 0; col < width; ++col) {
            const int dx = x + col;
            const int sx = sourceX + col;
            if (dx < 0 || dx >= image_->width()) {
                continue;
            }
            // Outside the source the operation sees black, as a blit from beyond a bitmap's edge does.
            const QRgb s = from.valid(sx, sy) ? from.pixel(sx, sy) & kRgbMask : 0;
            line[dx] = TernaryRop(code, BrushPixel(dx, dy) & kRgbMask, s, line[dx] & kRgbMask);
        }
    }
    Changed();
}

void TCanvas::PaintText(int x, int y, const QString& text, const QRect* clip)
{
    PainterScope p(*this);
    if (!p) {
        return;
    }
    const QFont font = font_.ToQFont();
    p->setFont(font);
    p->setPen(ToQColor(font_.Color()));
    if (clip != nullptr) {
        p->setClipRect(*clip, Qt::IntersectClip);
    }
    p->drawText(QPoint(x, y + QFontMetrics(font, Device()).ascent()), text);
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    const TSize extent = TextExtent(text);
    if (brush_.Style() == TBrushStyle::bsSolid) {
        FillPixels(QRect(x, y, extent.cx, extent.cy), ToQRgb(brush_.Color()), TPenMode::pmCopy);
    }
    PaintText(x, y, text, nullptr);
    penPos_ = {x + extent.cx, y};
    Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    if (brush_.Style() == TBrushStyle::bsSolid) {
        FillWithBrush(rect.ToQRect());
    }
    const QRect clip = rect.ToQRect();
    PaintText(x, y, text, &clip);
    Changed();
}

int TCanvas::TextWidth(const QString& text) const
{
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(const QString& text) const
{
    return TextExtent(text).cy;
}

TSize TCanvas::TextExtent(const QString& text) const
{
    const QFontMetrics metrics(font_.ToQFont(), Device());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

namespace {

// The text a line shows once the accelerator marks are processed: "&&" is one "&", a single "&" marks
// the next character and is not shown.
QString ShownText(const QString& line, bool prefix)
{
    if (!prefix) {
        return line;
    }
    QString shown;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('&')) {
            ++i;
            if (i >= line.size()) {
                break;
            }
        }
        shown += line[i];
    }
    return shown;
}

// Lines as the Windows layer breaks them: at CR, LF and CR LF, and with word breaking also between words
// where the next word would not fit; a word wider than the room keeps a line of its own.
QStringList LayoutLines(const QString& text, bool singleLine, bool wrap, int room, bool prefix,
                        const QFontMetrics& metrics)
{
    if (singleLine) {
        return {text};
    }
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = unified.split(QLatin1Char('\n'));
    if (!wrap) {
        return paragraphs;
    }
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        const QStringList words = paragraph.split(QLatin1Char(' '));
        QString line;
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(ShownText(candidate, prefix)) > room) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

int TCanvas::DrawText(TRect& rect, const QString& text, unsigned flags)
{
    const QFont font = font_.ToQFont();
    const QFontMetrics metrics(font, Device());
    const bool singleLine = (flags & DT_SINGLELINE) != 0;
    const bool prefix = (flags & DT_NOPREFIX) == 0;
    const QStringList lines =
        LayoutLines(text, singleLine, (flags & DT_WORDBREAK) != 0, rect.Width(), prefix, metrics);
    const int lineHeight = metrics.height();
    std::vector<int> widths;
    int width = 0;
    for (const QString& line : lines) {
        widths.push_back(metrics.horizontalAdvance(ShownText(line, prefix)));
        width = std::max(width, widths.back());
    }
    const int height = lineHeight * int(lines.size());
    if ((flags & DT_CALCRECT) != 0) {
        rect.Right = rect.Left + width;
        rect.Bottom = rect.Top + height;
        return height;
    }

    // Vertical centring and bottom alignment apply to a single line only; divisions truncate.
    int top = rect.Top;
    if (singleLine && (flags & DT_VCENTER) != 0) {
        top = rect.Top + (rect.Height() - height) / 2;
    } else if (singleLine && (flags & DT_BOTTOM) != 0) {
        top = rect.Bottom - height;
    }
    PainterScope p(*this);
    if (!p) {
        return height;
    }
    p->setFont(font);
    p->setPen(ToQColor(font_.Color()));
    if ((flags & DT_NOCLIP) == 0) {
        p->setClipRect(rect.ToQRect(), Qt::IntersectClip);
    }
    const int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip |
                          (prefix ? int(Qt::TextShowMnemonic) : 0);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineWidth = widths[std::size_t(i)];
        int left = rect.Left;
        if ((flags & DT_CENTER) != 0) {
            left = rect.Left + (rect.Width() - lineWidth) / 2;
        } else if ((flags & DT_RIGHT) != 0) {
            left = rect.Right - lineWidth;
        }
        const QRect cell(left, top + int(i) * lineHeight, lineWidth, lineHeight);
        if (brush_.Style() == TBrushStyle::bsSolid && lineWidth > 0) {
            p->fillRect(cell, ToQColor(brush_.Color()));
        }
        if (!lines[i].isEmpty()) {
            p->drawText(cell, textFlags, lines[i]);
        }
    }
    Changed();
    return height;
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    canvas.Pen().SetWidth(1);
    for (int ring = 0; ring < width; ++ring) {
        const int right = rect.Right - 1;
        const int bottom = rect.Bottom - 1;
        canvas.Pen().SetColor(topColor);
        canvas.Polyline({{rect.Left, bottom}, {rect.Left, rect.Top}, {right, rect.Top}});
        canvas.Pen().SetColor(bottomColor);
        canvas.Polyline({{right, rect.Top}, {right, bottom}, {rect.Left - 1, bottom}});
        rect = rect.Inflated(-1, -1);
    }
}

} // namespace carlume
