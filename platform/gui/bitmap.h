#pragma once

// The class library's bitmap: a picture with its own canvas, a monochrome flag and a transparent colour.
// The picture is a 32-bit QImage; a monochrome bitmap holds only black and white pixels. A picture with
// transparent pixels keeps them as an alpha channel.

#include "platform/gui/canvas.h"
#include "platform/gui/color.h"

#include <QImage>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace carlume {

/// How a bitmap's transparent colour is found: from its bottom-left pixel, or the colour set on it.
enum class TTransparentMode { tmAuto, tmFixed };

class TBitmap {
public:
    /// An empty bitmap.
    TBitmap();
    /// A white bitmap of the given size.
    TBitmap(int width, int height);
    /// A bitmap holding a copy of the image.
    explicit TBitmap(const QImage& image);
    /// Releases the picture.
    ~TBitmap();
    /// Moves the picture and settings; the canvas state (pen, brush, font) starts afresh.
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(TBitmap&& other) noexcept;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    /// Width and height in pixels (0 when empty).
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    /// Resizes; the old picture stays at the top-left and new pixels are white.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    /// True when the bitmap has no pixel.
    bool Empty() const { return image_.isNull() || image_.width() == 0 || image_.height() == 0; }

    /// Copies picture, monochrome flag and transparency settings of `source`, then reports the change.
    void Assign(const TBitmap& source);

    /// The canvas that draws on the picture (96 pixels per inch).
    TCanvas& Canvas();

    /// True for a black-and-white bitmap.
    bool Monochrome() const { return monochrome_; }
    /// Turning monochrome maps the pixels of the canvas brush colour to white and all others to black.
    void SetMonochrome(bool monochrome);

    /// Whether drawing the bitmap leaves out its transparent colour.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    /// The colour set on the bitmap; otherwise white for a monochrome bitmap and the bottom-left pixel for
    /// any other (clDefault when the bitmap is empty).
    TColor TransparentColor() const;
    /// Sets the colour and switches to `tmFixed`.
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    /// The picture (32 bits per pixel).
    const QImage& Image() const { return image_; }
    /// Replaces the picture with a copy of `image` converted to 32 bits; the monochrome flag is set when
    /// the image is a one-bit image. Transparent pixels stay transparent, and all of them get one colour
    /// that no visible pixel has.
    void SetImage(const QImage& image);
    /// The picture with an alpha channel: the transparent colour is cut out when `Transparent()` is on.
    QImage MaskedImage() const;

    /// The class library releases system handles here; nothing to release in this port.
    void Dormant() {}

    /// A monochrome bitmap from rows of text, top row first: `ink` is black, any other character white.
    /// Rows shorter than the longest are padded with white.
    static TBitmap FromRows(std::initializer_list<std::string_view> rows, char ink = 'X');
    /// A colour bitmap from rows of text, each character looked up in `palette` (unknown ones are white).
    static TBitmap FromRows(std::initializer_list<std::string_view> rows,
                            const std::vector<std::pair<char, TColor>>& palette);

    /// Called after the picture or a setting changed, also after drawing on the canvas.
    std::function<void(TBitmap&)> OnChange;

private:
    void Changed();

    QImage image_;
    std::unique_ptr<TCanvas> canvas_;
    bool monochrome_ = false;
    bool transparent_ = false;
    TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
    TColor transparentColor_ = clDefault;
};

/// The shared 8 x 8 two-colour pattern: pixels whose x + y is even have `background`, the others
/// `foreground`. Pattern bitmaps live until the program ends.
const TBitmap& AllocPatternBitmap(TColor background, TColor foreground);

} // namespace carlume
