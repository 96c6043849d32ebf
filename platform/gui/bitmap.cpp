#include "platform/gui/bitmap.h"

#include <QPainter>

#include <algorithm>
#include <map>
#include <unordered_set>

namespace carlume {

namespace {

QImage WhiteImage(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    if (width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, format);
    image.fill(Qt::white);
    return image;
}

// A picture with transparent pixels keeps them. They all get one colour that no visible pixel has, so that
// code reading colours alone (the transparent colour is the bottom-left pixel) picks out exactly them.
QImage KeepTransparency(const QImage& picture)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    std::unordered_set<QRgb> visible;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                visible.insert(line[x] & 0xFFFFFFU);
            }
        }
    }
    QRgb key = 0xFF00FFU;
    while (visible.count(key) != 0) {
        key = (key + 1) & 0xFFFFFFU;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0) {
                line[x] = key;
            }
        }
    }
    return image;
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height)
    : image_(WhiteImage(width, height))
{
}

TBitmap::TBitmap(const QImage& image)
{
    SetImage(image);
}

TBitmap::~TBitmap() = default;

TBitmap::TBitmap(TBitmap&& other) noexcept
    : OnChange(std::move(other.OnChange))
    , image_(std::move(other.image_))
    , monochrome_(other.monochrome_)
    , transparent_(other.transparent_)
    , transparentMode_(other.transparentMode_)
    , transparentColor_(other.transparentColor_)
{
    other.canvas_.reset();
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept
{
    if (this != &other) {
        image_ = std::move(other.image_);
        canvas_.reset();
        other.canvas_.reset();
        monochrome_ = other.monochrome_;
        transparent_ = other.transparent_;
        transparentMode_ = other.transparentMode_;
        transparentColor_ = other.transparentColor_;
        OnChange = std::move(other.OnChange);
    }
    return *this;
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height()) {
        return;
    }
    QImage resized = WhiteImage(width, height, image_.isNull() ? QImage::Format_RGB32 : image_.format());
    if (!resized.isNull() && !image_.isNull()) {
        QPainter p(&resized);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image_);
    }
    image_ = resized;
    Changed();
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source == this) {
        return;
    }
    image_ = source.image_;
    monochrome_ = source.monochrome_;
    transparent_ = source.transparent_;
    transparentMode_ = source.transparentMode_;
    transparentColor_ = source.transparentColor_;
    Changed();
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>(&image_);
        canvas_->OnChange = [this] { Changed(); };
    }
    return *canvas_;
}

void TBitmap::SetMonochrome(bool monochrome)
{
    if (monochrome == monochrome_) {
        return;
    }
    monochrome_ = monochrome;
    if (monochrome_ && !image_.isNull()) {
        const QRgb white = ToQRgb(canvas_ ? canvas_->Brush().Color() : clWhite) & 0xFFFFFFU;
        for (int y = 0; y < image_.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = 0; x < image_.width(); ++x) {
                line[x] = (line[x] & 0xFFFFFFU) == white ? 0xFFFFFFFFU : 0xFF000000U;
            }
        }
    }
    Changed();
}

void TBitmap::SetTransparent(bool transparent)
{
    if (transparent != transparent_) {
        transparent_ = transparent;
        Changed();
    }
}

TColor TBitmap::TransparentColor() const
{
    if (transparentMode_ == TTransparentMode::tmFixed && transparentColor_ != clDefault) {
        return transparentColor_;
    }
    if (Empty()) {
        return clDefault;
    }
    if (monochrome_) {
        return clWhite;
    }
    return FromQRgb(image_.pixel(0, image_.height() - 1));
}

void TBitmap::SetTransparentColor(TColor color)
{
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode)
{
    if (mode != transparentMode_) {
        transparentMode_ = mode;
        if (mode == TTransparentMode::tmAuto) {
            transparentColor_ = clDefault;
        }
        Changed();
    }
}

void TBitmap::SetImage(const QImage& image)
{
    monochrome_ = image.depth() == 1;
    if (image.isNull()) {
        image_ = QImage();
    } else if (image.hasAlphaChannel()) {
        image_ = KeepTransparency(image);
    } else {
        image_ = image.convertToFormat(QImage::Format_RGB32);
    }
    Changed();
}

QImage TBitmap::MaskedImage() const
{
    QImage out = image_.convertToFormat(QImage::Format_ARGB32);
    if (!transparent_ || out.isNull()) {
        return out;
    }
    const QRgb key = ToQRgb(TransparentColor()) & 0xFFFFFFU;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFFU) == key) {
                line[x] = 0;
            }
        }
    }
    return out;
}

TBitmap TBitmap::FromRows(std::initializer_list<std::string_view> rows, char ink)
{
    TBitmap bitmap = FromRows(rows, {{ink, clBlack}});
    bitmap.monochrome_ = true;
    return bitmap;
}

TBitmap TBitmap::FromRows(std::initializer_list<std::string_view> rows,
                          const std::vector<std::pair<char, TColor>>& palette)
{
    std::size_t width = 0;
    for (std::string_view row : rows) {
        width = std::max(width, row.size());
    }
    TBitmap bitmap(int(width), int(rows.size()));
    int y = 0;
    for (std::string_view row : rows) {
        for (std::size_t x = 0; x < row.size(); ++x) {
            for (const auto& [key, color] : palette) {
                if (row[x] == key) {
                    bitmap.image_.setPixel(int(x), y, ToQRgb(color));
                    break;
                }
            }
        }
        ++y;
    }
    return bitmap;
}

void TBitmap::Changed()
{
    if (OnChange) {
        OnChange(*this);
    }
}

const TBitmap& AllocPatternBitmap(TColor background, TColor foreground)
{
    // GUI thread only, like the rest of the painting code.
    static std::map<std::pair<TColor, TColor>, TBitmap> patterns;
    auto [it, inserted] = patterns.try_emplace({background, foreground}, 8, 8);
    if (inserted) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                it->second.Canvas().SetPixel(x, y, ((x + y) & 1) == 0 ? background : foreground);
            }
        }
    }
    return it->second;
}

} // namespace carlume
