#pragma once

// The class library's image list: equally sized images, each with a mask of its transparent pixels. The
// transparent pixels of a picture that has them stay transparent, whatever mask it is added with.

#include "platform/gui/canvas.h"
#include "platform/gui/color.h"

#include <QImage>

#include <vector>

namespace carlume {

class TBitmap;

class TImageList {
public:
    /// An empty list of images of the given size.
    explicit TImageList(int width = 16, int height = 16);

    /// Size of every image, and the number of images.
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return int(images_.size()); }

    /// Adds the image and returns its index; a bitmap several images wide adds each of them (the index of
    /// the first is returned). In `mask` white marks transparent pixels; no mask means fully opaque. An
    /// empty bitmap adds one fully transparent image.
    int Add(const TBitmap& image, const TBitmap* mask);
    /// Adds the image with the pixels of `maskColor` transparent.
    int AddMasked(const TBitmap& image, TColor maskColor);
    /// Adds an image with an alpha channel, scaled to the list's size when it differs.
    int AddImage(const QImage& image);
    /// Replaces the image at `index` (ignored when out of range).
    void Replace(int index, const TBitmap& image, const TBitmap* mask);
    /// Replaces the image at `index` with the pixels of `maskColor` transparent.
    void ReplaceMasked(int index, const TBitmap& image, TColor maskColor);
    /// Removes the image at `index`; the later ones move up.
    void Delete(int index);
    /// Removes every image.
    void Clear();

    /// Draws the image at (x, y), its transparent pixels leaving the canvas as it was.
    void Draw(TCanvas& canvas, int x, int y, int index) const;
    /// Draws the image's mask at (x, y): opaque pixels black, transparent ones white.
    void DrawMask(TCanvas& canvas, int x, int y, int index) const;
    /// Copies the image into `target` (resized to the image size) with transparent pixels in white.
    void GetBitmap(int index, TBitmap& target) const;
    /// The image with its alpha channel (null when out of range).
    QImage Image(int index) const;

private:
    QImage Cell(const TBitmap& image, int cell, const TBitmap* mask, const TColor* maskColor) const;

    int width_;
    int height_;
    std::vector<QImage> images_;
};

} // namespace carlume
