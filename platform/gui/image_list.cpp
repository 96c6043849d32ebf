#include "platform/gui/image_list.h"

#include "platform/gui/bitmap.h"

#include <algorithm>

namespace carlume {

TImageList::TImageList(int width, int height)
    : width_(std::max(1, width))
    , height_(std::max(1, height))
{
}

QImage TImageList::Cell(const TBitmap& image, int cell, const TBitmap* mask, const TColor* maskColor) const
{
    QImage out(width_, height_, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    if (image.Empty()) {
        return out;
    }
    const QImage& source = image.Image();
    const QRgb key = maskColor != nullptr ? ToQRgb(*maskColor) & 0xFFFFFFU : 0;
    const int left = cell * width_;
    for (int y = 0; y < height_ && y < source.height(); ++y) {
        for (int x = 0; x < width_ && left + x < source.width(); ++x) {
            // A picture's own transparent pixels stay transparent whatever the mask says.
            const QRgb pixel = source.pixel(left + x, y);
            bool clear = qAlpha(pixel) == 0;
            if (maskColor != nullptr) {
                clear = clear || (pixel & 0xFFFFFFU) == key;
            } else if (mask != nullptr && mask->Image().valid(left + x, y)) {
                clear = clear || (mask->Image().pixel(left + x, y) & 0xFFFFFFU) == 0xFFFFFFU;
            }
            out.setPixel(x, y, clear ? 0U : pixel);
        }
    }
    return out;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask)
{
    const int first = Count();
    const int cells = image.Empty() ? 1 : std::max(1, image.Width() / width_);
    for (int cell = 0; cell < cells; ++cell) {
        images_.push_back(Cell(image, cell, mask, nullptr));
    }
    return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor)
{
    const int first = Count();
    const int cells = image.Empty() ? 1 : std::max(1, image.Width() / width_);
    for (int cell = 0; cell < cells; ++cell) {
        images_.push_back(Cell(image, cell, nullptr, &maskColor));
    }
    return first;
}

int TImageList::AddImage(const QImage& image)
{
    QImage cell = image.convertToFormat(QImage::Format_ARGB32);
    if (cell.width() != width_ || cell.height() != height_) {
        cell = cell.scaled(width_, height_);
    }
    images_.push_back(cell);
    return Count() - 1;
}

void TImageList::Replace(int index, const TBitmap& image, const TBitmap* mask)
{
    if (index >= 0 && index < Count()) {
        images_[std::size_t(index)] = Cell(image, 0, mask, nullptr);
    }
}

void TImageList::ReplaceMasked(int index, const TBitmap& image, TColor maskColor)
{
    if (index >= 0 && index < Count()) {
        images_[std::size_t(index)] = Cell(image, 0, nullptr, &maskColor);
    }
}

void TImageList::Delete(int index)
{
    if (index >= 0 && index < Count()) {
        images_.erase(images_.begin() + index);
    }
}

void TImageList::Clear()
{
    images_.clear();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const
{
    if (index >= 0 && index < Count()) {
        canvas.DrawImage(x, y, images_[std::size_t(index)]);
    }
}

void TImageList::DrawMask(TCanvas& canvas, int x, int y, int index) const
{
    if (index < 0 || index >= Count()) {
        return;
    }
    const QImage& image = images_[std::size_t(index)];
    QImage mask(image.size(), QImage::Format_RGB32);
    for (int row = 0; row < image.height(); ++row) {
        for (int col = 0; col < image.width(); ++col) {
            mask.setPixel(col, row, qAlpha(image.pixel(col, row)) == 0 ? 0xFFFFFFFFU : 0xFF000000U);
        }
    }
    canvas.DrawImage(x, y, mask);
}

void TImageList::GetBitmap(int index, TBitmap& target) const
{
    if (index < 0 || index >= Count()) {
        return;
    }
    QImage flat(width_, height_, QImage::Format_RGB32);
    flat.fill(Qt::white);
    const QImage& image = images_[std::size_t(index)];
    for (int row = 0; row < height_; ++row) {
        for (int col = 0; col < width_; ++col) {
            const QRgb pixel = image.pixel(col, row);
            if (qAlpha(pixel) != 0) {
                flat.setPixel(col, row, pixel | 0xFF000000U);
            }
        }
    }
    target.SetImage(flat);
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count()) {
        return {};
    }
    return images_[std::size_t(index)];
}

} // namespace carlume
