#pragma once

// Pixel checks on rendered widgets and canvases. A failed check saves the actual picture and a diff
// picture into the test's output folder and names them in the failure message.

#include "platform/gui/color.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace carlume::test {

/// The widget drawn into a new 32-bit image of its size; works on widgets that were never shown.
QImage RenderWidget(QWidget& widget);

/// The colour of one pixel; clNone outside the image.
TColor PixelAt(const QImage& image, int x, int y);

/// The smallest rectangle holding every pixel of `area` whose colour differs from `background` (text ink);
/// an empty rectangle when there is none.
QRect InkBounds(const QImage& image, const QRect& area, TColor background);

/// The number of pixels of `area` that have exactly this colour.
int CountPixels(const QImage& image, const QRect& area, TColor color);

/// One expected pixel: where, the colour expected there, and what it shows ("top-left corner"); failure
/// messages name it by its place in any case.
struct TPixelProbe {
    TPixelProbe(int x, int y, TColor expected, std::string what = {})
        : X(x)
        , Y(y)
        , Expected(expected)
        , What(std::move(what))
    {
    }
    int X;
    int Y;
    TColor Expected;
    std::string What;
};

/// Probes written "x,y=colour ..." with a colour named as its constant without "cl" (BtnFace, Red) or as
/// $RRGGBB: "0,0=BtnHighlight 5,5=$4C4C4C".
std::vector<TPixelProbe> Probes(const std::string& text);

/// Checks the pixels; on a mismatch saves "<name>.actual.png" and "<name>.diff.png" (mismatching probes
/// red, the rest faded) and lists every mismatch.
::testing::AssertionResult PixelsAre(const QImage& image, const std::vector<TPixelProbe>& probes,
                                     const std::string& name);

/// Compares two pictures pixel by pixel (alpha ignored); on a difference saves "<name>.actual.png",
/// "<name>.expected.png" and "<name>.diff.png" (differing pixels red, the rest faded).
::testing::AssertionResult ImagesEqual(const QImage& actual, const QImage& expected, const std::string& name);

/// Saves a picture into the test's output folder and returns its path.
std::filesystem::path SaveTestImage(const QImage& image, const std::string& fileName);

/// "$RRGGBB" of a colour (after system colours are resolved), for messages.
std::string ColorText(TColor color);

} // namespace carlume::test
