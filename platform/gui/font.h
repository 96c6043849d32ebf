#pragma once

// The class library's font: a name, a size in points or a height in pixels, a colour and a style. Names
// go through fixed substitutions so that text looks the same on every machine.

#include "platform/gui/color.h"

#include <QFont>
#include <QString>

#include <functional>

namespace carlume {

/// Font style flags, combined in `TFontStyles`.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
/// A set of `TFontStyle` flags.
using TFontStyles = unsigned;

/// The size a class-library height or size conversion gives: a * b / c rounded to the nearest integer,
/// halves away from zero; 0 when c is 0.
int MulDiv(int a, int b, int c);

class TFont {
public:
    /// "MS Sans Serif", 8 points at 96 pixels per inch, clWindowText, no style.
    TFont();

    /// The font name as the layout gives it ("MS Sans Serif"); the family used is
    /// `ResolveFontFamily(Name())`.
    const QString& Name() const { return name_; }
    void SetName(const QString& name);

    /// Height in pixels; negative values give the character height without internal leading (the usual
    /// case), positive values the whole cell height.
    int Height() const { return height_; }
    void SetHeight(int height);

    /// Size in points at `PixelsPerInch()`.
    int Size() const;
    void SetSize(int points);

    /// Pixels per inch of the device the font is used on (96 on screen, the resolution on a printer).
    /// Changing it keeps the height in pixels, as the class library does.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch);

    /// Text colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    /// Bold, italic, underline and strike-out flags.
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);

    /// Copies name, size, colour and style; across different pixels-per-inch the size in points is kept.
    void Assign(const TFont& source);

    /// The Qt font: the substituted family, the pixel size, the style, and no anti-aliasing (the fonts of the
    /// original draw crisp pixels in exactly the font colour).
    QFont ToQFont() const;

    /// Called after every change.
    std::function<void()> OnChange;

    /// Same name, height, colour and style.
    bool SameAs(const TFont& other) const;

private:
    void Changed();

    QString name_;
    int height_;
    int pixelsPerInch_ = 96;
    TColor color_;
    TFontStyles style_ = 0;
};

/// The installed family that stands in for a font name: "MS Sans Serif" and "Arial" give Liberation Sans,
/// "Courier" and "Courier New" Liberation Mono (case ignored); other names are returned as they are.
QString ResolveFontFamily(const QString& name);

/// Registers the substitutions of `ResolveFontFamily` with Qt, so that fonts named in window layouts get
/// the same families. Call once after the application object exists; later calls do nothing.
void InstallFontSubstitutions();

} // namespace carlume
