#pragma once

// Points and rectangles as the class library has them: a rectangle is (Left, Top, Right, Bottom) and
// covers the pixels Left..Right-1 and Top..Bottom-1.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace carlume {

/// A point in pixels.
struct TPoint {
    /// Horizontal and vertical position.
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// A width and height in pixels.
struct TSize {
    /// Width and height.
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

/// A rectangle whose right and bottom edges lie outside it.
struct TRect {
    /// First column and row inside, first column and row outside.
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    /// Right - Left.
    int Width() const { return Right - Left; }
    /// Bottom - Top.
    int Height() const { return Bottom - Top; }
    /// True when the rectangle covers no pixel.
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    /// True when the pixel (x, y) lies inside.
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    /// The rectangle grown by dx on the left and right and dy on the top and bottom (negative shrinks).
    TRect Inflated(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
    /// The rectangle moved by (dx, dy).
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    /// The same pixels as a QRect.
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    friend bool operator==(const TRect&, const TRect&) = default;
};

/// The rectangle (left, top, right, bottom).
constexpr TRect Rect(int left, int top, int right, int bottom)
{
    return {left, top, right, bottom};
}

/// The rectangle at (left, top) with the given width and height.
constexpr TRect Bounds(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

/// The class library's rectangle for the pixels of a QRect.
inline TRect FromQRect(const QRect& r)
{
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

} // namespace carlume
