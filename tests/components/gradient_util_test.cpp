// Banded gradient fills, mirrored halves and the framed face, probed on 32-bit images.

#include "components/gradient_util.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
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

struct FillCase {
    std::string Name;
    int W, H;
    TColor Start, End;
    std::uint8_t Direction, Colors;
    std::vector<TPixelProbe> Probes;
};

class GradientFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(GradientFill, BandsRunFromStartToEndWithTheRestInTheFarColour)
{
    const FillCase& c = GetParam();
    QImage image = Blank(c.W, c.H);
    TCanvas canvas(&image);
    GradientFillRect(canvas, Rect(0, 0, c.W, c.H), c.Start, c.End, c.Direction, c.Colors);
    EXPECT_TRUE(PixelsAre(image, c.Probes, c.Name));
}

// Red 0 to 70 in eight bands steps by exactly 10.
INSTANTIATE_TEST_SUITE_P(
    Cases, GradientFill,
    ::testing::Values(
        FillCase{"TopToBottom17RowsEightBands",
                 3,
                 17,
                 Red(0),
                 Red(70),
                 gdTopToBottom,
                 8,
                 {{1, 0, Red(0), "band 0"},
                  {1, 1, Red(0), "band 0, second row"},
                  {1, 2, Red(10), "band 1"},
                  {1, 9, Red(40), "band 4"},
                  {1, 15, Red(70), "band 7"},
                  {1, 16, Red(70), "left-over row"}}},
        FillCase{"BottomToTop17RowsEightBands",
                 3,
                 17,
                 Red(0),
                 Red(70),
                 gdBottomToTop,
                 8,
                 {{1, 0, Red(70), "band 0 has the end colour"},
                  {1, 3, Red(60), "band 1"},
                  {1, 15, Red(0), "band 7"},
                  {1, 16, Red(0), "left-over row in the start colour"}}},
        FillCase{"LeftToRight",
                 17,
                 2,
                 Red(0),
                 Red(70),
                 gdLeftToRight,
                 8,
                 {{0, 1, Red(0), "band 0"}, {5, 0, Red(20), "band 2"}, {16, 1, Red(70), "left-over column"}}},
        FillCase{"RightToLeft",
                 17,
                 2,
                 Red(0),
                 Red(70),
                 gdRightToLeft,
                 8,
                 {{0, 1, Red(70), "band 0"}, {5, 0, Red(50), "band 2"}, {16, 1, Red(0), "left-over column"}}},
        FillCase{"NoColoursFillWithTheStart",
                 4,
                 4,
                 clBtnFace,
                 Red(70),
                 gdTopToBottom,
                 0,
                 {{0, 0, clBtnFace, "top"}, {3, 3, clBtnFace, "bottom"}}},
        FillCase{"OneColourFillsWithTheStart",
                 4,
                 4,
                 Red(9),
                 Red(70),
                 gdBottomToTop,
                 1,
                 {{0, 0, Red(9), "top"}, {3, 3, Red(9), "bottom"}}},
        FillCase{"MoreColoursThanRowsGiveOnePixelBands",
                 2,
                 300,
                 Red(0),
                 Red(254),
                 gdTopToBottom,
                 255,
                 {{0, 0, Red(0), "band 0"},
                  {0, 1, Red(1), "band 1"},
                  {0, 254, Red(254), "band 254"},
                  {0, 255, Red(254), "first of 45 left-over rows"},
                  {1, 299, Red(254), "last row"}}},
        FillCase{"FallingMiddleBandRoundsHalfAwayFromZero",
                 1,
                 3,
                 Red(0x11),
                 Red(0),
                 gdTopToBottom,
                 3,
                 {{0, 1, Red(0x08), "middle band"}}},
        FillCase{"RisingMiddleBandRoundsHalfUp",
                 1,
                 3,
                 Red(0),
                 Red(0x11),
                 gdTopToBottom,
                 3,
                 {{0, 1, Red(0x09), "middle band"}}},
        FillCase{"OneRowIsAllLeftOver", 2, 1, Red(0), Red(70), gdTopToBottom, 8, {{0, 0, Red(70), "row"}}},
        FillCase{
            "UnknownDirectionDrawsNothing", 2, 2, Red(0), Red(70), 4, 8, {{0, 0, kSentinel, "untouched"}}}));

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

struct EmptyCase {
    std::string Name;
    std::function<void(TCanvas&, const TRect&)> Draw;
};

class EmptyRect : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyRect, DrawsNothing)
{
    QImage image = Blank(10, 10);
    TCanvas canvas(&image);
    for (const TRect& r : {Rect(2, 2, 2, 8), Rect(2, 2, 8, 2), Rect(8, 8, 2, 2)}) {
        GetParam().Draw(canvas, r);
    }
    EXPECT_EQ(CountPixels(image, image.rect(), kSentinel), 100);
}

INSTANTIATE_TEST_SUITE_P(
    Routines, EmptyRect,
    ::testing::Values(EmptyCase{"GradientFillRect",
                                [](TCanvas& c, const TRect& r) {
                                    GradientFillRect(c, r, Red(0), Red(9), gdTopToBottom, 8);
                                }},
                      EmptyCase{"DrawGradientMirrored",
                                [](TCanvas& c, const TRect& r) {
                                    DrawGradient(c, r, Red(0), Red(9), gsVerticalMirror, 8);
                                    DrawGradient(c, r, Red(0), Red(9), gsHorizontalMirror, 8);
                                }},
                      EmptyCase{"DrawXPFace",
                                [](TCanvas& c, const TRect& r) { DrawXPFace(c, r, Red(0), Red(9), 8); }}));

// Every pixel outside the rectangle keeps its colour, also when the face is smaller than its corners.
TEST(Gradient, TheFramedFaceStaysInsideItsRectangle)
{
    for (const TRect& face : {Rect(5, 5, 45, 30), Rect(5, 5, 9, 8), Rect(5, 5, 6, 40)}) {
        QImage image = Blank(50, 50);
        TCanvas canvas(&image);
        DrawGradient(canvas, face, 0xF0F0F0, 0x808000, gsXPFace, 8);
        QImage outside = image;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 50; ++x) {
                if (face.Contains(x, y)) {
                    outside.setPixel(x, y, ToQRgb(kSentinel));
                }
            }
        }
        EXPECT_EQ(CountPixels(outside, outside.rect(), kSentinel), 2500)
            << face.Left << "," << face.Top << "," << face.Right << "," << face.Bottom;
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
