// Banded gradient fills, mirrored halves and the framed face, probed on 32-bit images.

#include "components/gradient_util.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

constexpr TColor kSentinel = 0x123456;

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ToQRgb(kSentinel));
    return image;
}

TColor Red(int r)
{
    return RGBToColor(r, 0, 0);
}

// Gradients in red only; `Reds` is the red of every pixel along the extent.
struct FillCase {
    std::string Name;
    std::uint8_t Direction, Colors;
    int StartRed, EndRed;
    std::vector<int> Reds;
};

class GradientFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(GradientFill, BandsRunFromStartToEndWithTheRestInTheFarColour)
{
    const FillCase& c = GetParam();
    const int extent = int(c.Reds.size());
    const bool vertical = c.Direction == gdTopToBottom || c.Direction == gdBottomToTop;
    QImage image = vertical ? Blank(2, extent) : Blank(extent, 2);
    TCanvas canvas(&image);
    GradientFillRect(canvas, Rect(0, 0, image.width(), image.height()), Red(c.StartRed), Red(c.EndRed),
                     c.Direction, c.Colors);
    for (int across = 0; across < 2; ++across) {
        std::vector<TColor> pixels;
        std::vector<TColor> expected;
        for (int i = 0; i < extent; ++i) {
            pixels.push_back(vertical ? PixelAt(image, across, i) : PixelAt(image, i, across));
            expected.push_back(Red(c.Reds[std::size_t(i)]));
        }
        EXPECT_EQ(pixels, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GradientFill,
    ::testing::Values(
        FillCase{"TopToBottom17RowsEightBands",
                 gdTopToBottom,
                 8,
                 0,
                 70,
                 {0, 0, 10, 10, 20, 20, 30, 30, 40, 40, 50, 50, 60, 60, 70, 70, 70}},
        FillCase{"BottomToTop17RowsEightBands",
                 gdBottomToTop,
                 8,
                 0,
                 70,
                 {70, 70, 60, 60, 50, 50, 40, 40, 30, 30, 20, 20, 10, 10, 0, 0, 0}},
        FillCase{"LeftToRight", gdLeftToRight, 3, 0, 70, {0, 0, 35, 35, 70, 70, 70}},
        FillCase{"RightToLeft", gdRightToLeft, 3, 0, 70, {70, 70, 35, 35, 0, 0, 0}},
        FillCase{"NoColoursFillWithTheStart", gdTopToBottom, 0, 9, 70, {9, 9, 9}},
        FillCase{"OneColourFillsWithTheStart", gdBottomToTop, 1, 9, 70, {9, 9, 9}},
        FillCase{"MoreColoursThanRowsGiveOnePixelBands", gdTopToBottom, 255, 0, 3, {0, 1, 2, 3}},
        FillCase{"FallingMiddleBandRoundsHalfAwayFromZero", gdTopToBottom, 3, 0x11, 0, {0x11, 0x08, 0}},
        FillCase{"RisingMiddleBandRoundsHalfUp", gdTopToBottom, 3, 0, 0x11, {0, 0x09, 0x11}},
        FillCase{"OneRowIsAllLeftOver", gdTopToBottom, 8, 0, 70, {70}}),
    ByName);

TEST(Gradient, ShiftColorClampsEachChannelAndResolvesSystemColours)
{
    EXPECT_EQ(ShiftColor(clWhite, 30), 0xE1E1E1);
    EXPECT_EQ(ShiftColor(clWhite, -30), clWhite);
    EXPECT_EQ(ShiftColor(0x102030, 40), 0x000008);
    EXPECT_EQ(ShiftColor(0x102030, -0x20), 0x304050);
    EXPECT_EQ(ShiftColor(clBtnFace, 0), ColorToRGB(clBtnFace));
}

TEST(Gradient, MirroredStylesMeetInTheMiddle)
{
    QImage image = Blank(20, 20);
    TCanvas canvas(&image);
    DrawGradient(canvas, Rect(0, 0, 20, 20), Red(0), Red(90), gsVerticalMirror, 10);
    EXPECT_TRUE(PixelsAre(image,
                          {{3, 0, Red(0), "top"},
                           {3, 9, Red(90), "above the middle"},
                           {3, 10, Red(90), "below the middle"},
                           {3, 19, Red(0), "bottom"}},
                          "vertical"));
    DrawGradient(canvas, Rect(0, 0, 20, 20), Red(0), Red(90), gsHorizontalMirror, 10);
    EXPECT_TRUE(PixelsAre(
        image, {{0, 3, Red(0), "left"}, {9, 3, Red(90), "middle"}, {19, 3, Red(0), "right"}}, "horizontal"));
}

TEST(Gradient, EmptyRectanglesAndUnknownCodesDrawNothing)
{
    const std::vector<std::function<void(TCanvas&, const TRect&)>> routines = {
        [](TCanvas& c, const TRect& r) { GradientFillRect(c, r, Red(0), Red(9), gdTopToBottom, 8); },
        [](TCanvas& c, const TRect& r) { DrawGradient(c, r, Red(0), Red(9), gsVerticalMirror, 8); },
        [](TCanvas& c, const TRect& r) { DrawGradient(c, r, Red(0), Red(9), gsHorizontalMirror, 8); },
        [](TCanvas& c, const TRect& r) { DrawXPFace(c, r, Red(0), Red(9), 8); }};
    QImage image = Blank(10, 10);
    TCanvas canvas(&image);
    for (const auto& draw : routines) {
        for (const TRect& r : {Rect(2, 2, 2, 8), Rect(2, 2, 8, 2), Rect(8, 8, 2, 2)}) {
            draw(canvas, r);
        }
    }
    GradientFillRect(canvas, Rect(0, 0, 10, 10), Red(0), Red(9), 4, 8);
    DrawGradient(canvas, Rect(0, 0, 10, 10), Red(0), Red(9), 7, 8);
    EXPECT_EQ(CountPixels(image, image.rect(), kSentinel), 100);
}

// Every pixel outside the rectangle keeps its colour, also when the face is smaller than its corners.
TEST(Gradient, TheFramedFaceStaysInsideItsRectangle)
{
    for (const TRect& face : {Rect(5, 5, 45, 30), Rect(5, 5, 9, 8), Rect(5, 5, 6, 40)}) {
        QImage image = Blank(50, 50);
        TCanvas canvas(&image);
        DrawGradient(canvas, face, 0xF0F0F0, 0x808000, gsXPFace, 8);
        int changed = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 50; ++x) {
                changed += !face.Contains(x, y) && PixelAt(image, x, y) != kSentinel ? 1 : 0;
            }
        }
        EXPECT_EQ(changed, 0) << face.Left << "," << face.Top << "," << face.Right << "," << face.Bottom;
    }
    QImage image = Blank(50, 50);
    TCanvas canvas(&image);
    DrawXPFace(canvas, Rect(5, 5, 45, 30), 0xF0F0F0, 0x808000, 8);
    EXPECT_TRUE(PixelsAre(image,
                          {{25, 5, 0xF0F0F0, "top row: the lightened face cut to one band"},
                           {44, 20, 0x808000, "right frame"},
                           {25, 29, 0x808000, "bottom row: the edge colour"},
                           {5, 20, 0xF0F0F0, "left column"}},
                          "face"));
}

} // namespace
} // namespace carlume::test
