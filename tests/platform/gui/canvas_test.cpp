// The drawing rules of the canvas, each on a small known shape.

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "tests/support/image_check.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume {
namespace {

using test::CountPixels;
using test::ImagesEqual;
using test::InkBounds;
using test::PixelsAre;
using test::TPixelProbe;

QImage White(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int Count(const QImage& image, TColor color)
{
    return CountPixels(image, image.rect(), color);
}

struct LineCase {
    TPoint from;
    TPoint to;
    std::vector<TPoint> drawn;
};

TEST(CanvasLines, LineToLeavesOutTheEndPointAndMovesThePen)
{
    const std::vector<LineCase> cases = {
        {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {{5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
        {{3, 0}, {3, 4}, {{3, 0}, {3, 1}, {3, 2}, {3, 3}}},
        {{2, 5}, {2, 2}, {{2, 5}, {2, 4}, {2, 3}}},
        {{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {{4, 0}, {0, 4}, {{4, 0}, {3, 1}, {2, 2}, {1, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from.X) + "," + std::to_string(c.from.Y) + " to " +
                     std::to_string(c.to.X) + "," + std::to_string(c.to.Y));
        QImage image = White(8, 8);
        TCanvas canvas(&image);
        canvas.MoveTo(c.from.X, c.from.Y);
        canvas.LineTo(c.to.X, c.to.Y);
        std::vector<TPixelProbe> probes;
        for (const auto& p : c.drawn) {
            probes.push_back({p.X, p.Y, clBlack, "line"});
        }
        probes.push_back({c.to.X, c.to.Y, clWhite, "end point"});
        EXPECT_TRUE(PixelsAre(image, probes, "line"));
        EXPECT_EQ(Count(image, clBlack), int(c.drawn.size()));
        EXPECT_EQ(canvas.PenPos(), c.to);
    }
}

TEST(CanvasLines, PolylineKeepsInnerCornersAndLeavesOutTheLastPoint)
{
    QImage image = White(6, 6);
    TCanvas canvas(&image);
    canvas.Polyline({{1, 4}, {1, 1}, {4, 1}});
    EXPECT_TRUE(PixelsAre(image,
                          {{1, 4, clBlack, "first point"},
                           {1, 1, clBlack, "corner"},
                           {3, 1, clBlack, "last drawn"},
                           {4, 1, clWhite, "last point"}},
                          "polyline"));
    EXPECT_EQ(Count(image, clBlack), 6);
    EXPECT_EQ(canvas.PenPos(), (TPoint{4, 1}));
}

TEST(CanvasLines, ClearPenDrawsNothingAndXorModeInverts)
{
    QImage image = White(6, 3);
    TCanvas canvas(&image);
    canvas.Pen().SetStyle(TPenStyle::psClear);
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 0);
    EXPECT_EQ(Count(image, clWhite), 18);

    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Pen().SetMode(TPenMode::pmXor);
    canvas.Pen().SetColor(clLime);
    canvas.MoveTo(0, 1);
    canvas.LineTo(5, 1);
    EXPECT_TRUE(PixelsAre(image, {{0, 1, clFuchsia, "white xor lime"}}, "xor"));
    canvas.MoveTo(0, 1);
    canvas.LineTo(5, 1);
    EXPECT_EQ(Count(image, clWhite), 18) << "a second XOR restores the pixels";
}

TEST(CanvasShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    QImage image = White(9, 7);
    TCanvas canvas(&image);
    canvas.Brush().SetColor(clRed);
    canvas.Rectangle(1, 1, 7, 5);
    EXPECT_TRUE(PixelsAre(image,
                          {{1, 1, clBlack, "top-left"},
                           {6, 1, clBlack, "top-right (Right - 1)"},
                           {6, 4, clBlack, "bottom-right (Bottom - 1)"},
                           {1, 4, clBlack, "bottom-left"},
                           {2, 2, clRed, "inside"},
                           {5, 3, clRed, "inside"},
                           {7, 1, clWhite, "Right"},
                           {1, 5, clWhite, "Bottom"}},
                          "rectangle"));
    EXPECT_EQ(Count(image, clBlack), 16);
    EXPECT_EQ(Count(image, clRed), 8);
}

TEST(CanvasShapes, RectangleWithoutPenFillsOnePixelLess)
{
    QImage image = White(9, 7);
    TCanvas canvas(&image);
    canvas.Pen().SetStyle(TPenStyle::psClear);
    canvas.Brush().SetColor(clBlue);
    canvas.Rectangle(1, 1, 7, 5);
    EXPECT_EQ(Count(image, clBlue), 5 * 3);
    EXPECT_TRUE(PixelsAre(image, {{5, 3, clBlue, "last filled"}, {6, 1, clWhite, "Right - 1"}}, "clear pen"));
}

TEST(CanvasShapes, RectangleWithClearBrushKeepsTheInside)
{
    QImage image = White(6, 6);
    TCanvas canvas(&image);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(0, 0, 6, 6);
    EXPECT_EQ(Count(image, clBlack), 20);
    EXPECT_EQ(Count(image, clWhite), 16);
}

TEST(CanvasShapes, FillRectAndFrameRectCoverExactlyTheRectangle)
{
    QImage image = White(8, 8);
    TCanvas canvas(&image);
    canvas.Brush().SetColor(clGreen);
    canvas.FillRect(Rect(2, 2, 5, 4));
    EXPECT_EQ(CountPixels(image, QRect(2, 2, 3, 2), clGreen), 6);
    EXPECT_EQ(Count(image, clGreen), 6);

    QImage frame = White(8, 8);
    TCanvas frameCanvas(&frame);
    frameCanvas.Brush().SetColor(clNavy);
    frameCanvas.FrameRect(Rect(1, 1, 6, 5));
    EXPECT_EQ(Count(frame, clNavy), 2 * 5 + 2 * 2);
    EXPECT_TRUE(PixelsAre(frame, {{5, 4, clNavy, "bottom-right"}, {2, 2, clWhite, "inside"}}, "frame"));
}

TEST(CanvasShapes, SmallRoundRectCorners)
{
    struct Case {
        int corner;
        bool cornerPixelCut;
    };
    for (const Case c : {Case{2, false}, Case{3, true}, Case{5, true}}) {
        SCOPED_TRACE("corner " + std::to_string(c.corner));
        QImage image = White(10, 8);
        TCanvas canvas(&image);
        canvas.Pen().SetColor(clNavy);
        canvas.Brush().SetColor(clYellow);
        canvas.RoundRect(0, 0, 10, 8, c.corner, c.corner);
        const TColor corner = c.cornerPixelCut ? clWhite : clNavy;
        EXPECT_TRUE(PixelsAre(image,
                              {{0, 0, corner, "top-left corner"},
                               {9, 0, corner, "top-right corner"},
                               {0, 7, corner, "bottom-left corner"},
                               {9, 7, corner, "bottom-right corner"},
                               {1, 0, clNavy, "top edge"},
                               {0, 1, clNavy, "left edge"},
                               {4, 7, clNavy, "bottom edge"},
                               {1, 1, clYellow, "inside next to the corner"},
                               {5, 4, clYellow, "middle"}},
                              "roundrect" + std::to_string(c.corner)));
        EXPECT_EQ(Count(image, clWhite), c.cornerPixelCut ? 4 : 0);
    }
}

TEST(CanvasShapes, LargerRoundRectCornersFollowTheEllipse)
{
    QImage image = White(20, 20);
    TCanvas canvas(&image);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.RoundRect(0, 0, 20, 20, 9, 9);
    // A corner of radius 4 cuts more than one pixel on the outer rows and is symmetric.
    EXPECT_TRUE(PixelsAre(
        image, {{0, 0, clWhite, "corner"}, {1, 0, clWhite, "outer row"}, {0, 1, clWhite, "outer column"}},
        "roundrect9"));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(test::PixelAt(image, x, y), test::PixelAt(image, 19 - x, y)) << x << "," << y;
            ASSERT_EQ(test::PixelAt(image, x, y), test::PixelAt(image, x, 19 - y)) << x << "," << y;
        }
    }
}

TEST(CanvasShapes, Frame3DPutsTheCornersOfTheOtherDiagonalInTheBottomRightColour)
{
    QImage image = White(4, 3);
    TCanvas canvas(&image);
    TRect rect = Rect(0, 0, 4, 3);
    Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
    // Top-left colour: left column and top row; bottom-right colour: right column and bottom row with the
    // top-right and bottom-left corners.
    EXPECT_TRUE(PixelsAre(image,
                          {{0, 0, clBtnHighlight, "top-left"},
                           {2, 0, clBtnHighlight, "top row"},
                           {0, 1, clBtnHighlight, "left column"},
                           {3, 0, clBtnShadow, "top-right corner"},
                           {0, 2, clBtnShadow, "bottom-left corner"},
                           {3, 2, clBtnShadow, "bottom-right"},
                           {3, 1, clBtnShadow, "right column"},
                           {1, 1, clWhite, "inside"}},
                          "frame3d"));
    EXPECT_EQ(rect, Rect(1, 1, 3, 2));
    EXPECT_EQ(canvas.Pen().Color(), clBtnShadow);
}

TEST(CanvasShapes, Frame3DOfWidthTwoDrawsTwoRings)
{
    QImage image = White(6, 6);
    TCanvas canvas(&image);
    TRect rect = Rect(0, 0, 6, 6);
    Frame3D(canvas, rect, clWindowFrame, clBtnHighlight, 2);
    EXPECT_TRUE(PixelsAre(image,
                          {{1, 1, clWindowFrame, "inner ring"},
                           {4, 4, clBtnHighlight, "inner ring"},
                           {2, 2, clWhite, "inside"}},
                          "frame3d2"));
    EXPECT_EQ(rect, Rect(2, 2, 4, 4));
}

TEST(CanvasShapes, DrawFocusRectInvertsEveryOtherBorderPixel)
{
    QImage image = White(6, 4);
    TCanvas canvas(&image);
    canvas.DrawFocusRect(Rect(0, 0, 6, 4));
    EXPECT_TRUE(PixelsAre(image,
                          {{0, 0, clBlack, "x + y even"},
                           {1, 0, clWhite, "x + y odd"},
                           {2, 0, clBlack, ""},
                           {5, 3, clBlack, "bottom-right"},
                           {0, 1, clWhite, ""},
                           {0, 2, clBlack, ""},
                           {2, 2, clWhite, "inside"}},
                          "focusrect"));
    EXPECT_EQ(Count(image, clBlack), 8);
    canvas.DrawFocusRect(Rect(0, 0, 6, 4));
    EXPECT_EQ(Count(image, clWhite), 24) << "drawing it twice removes it";
}

TEST(CanvasShapes, PatternBrushIsAlignedWithTheCanvasOrigin)
{
    QImage image = White(6, 6);
    TCanvas canvas(&image);
    canvas.Brush().SetBitmap(&AllocPatternBitmap(clBtnFace, clBtnHighlight));
    canvas.FillRect(Rect(1, 1, 5, 5));
    EXPECT_TRUE(PixelsAre(image,
                          {{1, 1, clBtnFace, "x + y even"},
                           {2, 1, clBtnHighlight, "x + y odd"},
                           {4, 4, clBtnFace, ""},
                           {0, 0, clWhite, "outside"}},
                          "pattern"));
    EXPECT_EQ(&AllocPatternBitmap(clBtnFace, clBtnHighlight), &AllocPatternBitmap(clBtnFace, clBtnHighlight));
}

TEST(CanvasPixels, SetPixelAndPixelRoundTripAndOutsideIsNone)
{
    QImage image = White(3, 3);
    TCanvas canvas(&image);
    canvas.SetPixel(1, 2, RGBToColor(1, 2, 3));
    EXPECT_EQ(canvas.Pixel(1, 2), RGBToColor(1, 2, 3));
    EXPECT_EQ(canvas.Pixel(3, 0), clNone);
    EXPECT_EQ(canvas.Pixel(-1, 0), clNone);
    canvas.SetPixel(5, 5, clBlack); // ignored
    EXPECT_EQ(Count(image, clWhite), 8);
}

TEST(CanvasBlit, DspdxaxPaintsTheBrushWhereTheSourceIsWhite)
{
    const TBitmap mask = TBitmap::FromRows({"X.", ".X"});
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    TCanvas canvas(&image);
    canvas.Brush().SetColor(clBlue);
    canvas.BitBlt(0, 0, 2, 2, mask, 0, 0, ROP_DSPDxax);
    EXPECT_TRUE(PixelsAre(image,
                          {{0, 0, clRed, "black source keeps"},
                           {1, 0, clBlue, "white source paints"},
                           {0, 1, clBlue, ""},
                           {1, 1, clRed, ""}},
                          "dspdxax"));
}

TEST(CanvasBlit, CommonRasterOperations)
{
    struct Case {
        std::uint32_t rop;
        TColor expected;
    };
    // Source $00FF00 onto destination $0000FF with brush $FF0000.
    for (const Case c : {Case{SRCCOPY, clLime}, Case{SRCPAINT, clYellow}, Case{SRCAND, clBlack},
                         Case{SRCINVERT, clYellow}, Case{PATCOPY, clBlue}, Case{BLACKNESS, clBlack},
                         Case{WHITENESS, clWhite}, Case{DSTINVERT, clAqua}}) {
        SCOPED_TRACE(c.rop);
        TBitmap source(1, 1);
        source.Canvas().SetPixel(0, 0, clLime);
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 0));
        TCanvas canvas(&image);
        canvas.Brush().SetColor(clBlue);
        canvas.BitBlt(0, 0, 1, 1, source, 0, 0, c.rop);
        EXPECT_EQ(canvas.Pixel(0, 0), c.expected);
    }
}

TEST(CanvasBlit, DrawLeavesOutTheTransparentColour)
{
    TBitmap glyph = TBitmap::FromRows({"rX", "Xr"}, {{'r', clFuchsia}, {'X', clBlack}});
    glyph.SetTransparent(true);
    glyph.SetTransparentColor(clFuchsia);
    QImage image = White(3, 3);
    TCanvas canvas(&image);
    canvas.Draw(1, 1, glyph);
    EXPECT_TRUE(
        PixelsAre(image, {{1, 1, clWhite, "transparent"}, {2, 1, clBlack, "drawn"}, {1, 2, clBlack, "drawn"}},
                  "transparent"));
    glyph.SetTransparent(false);
    canvas.Draw(1, 1, glyph);
    EXPECT_EQ(canvas.Pixel(1, 1), clFuchsia);
}

TEST(CanvasBlit, CopyRectCopiesAndStretches)
{
    TBitmap source = TBitmap::FromRows({"XX..", "XX.."});
    QImage image = White(4, 4);
    TCanvas canvas(&image);
    canvas.CopyRect(Rect(0, 0, 4, 4), source.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Count(image, clBlack), 16);
    QImage half = White(4, 2);
    TCanvas halfCanvas(&half);
    halfCanvas.CopyRect(Rect(0, 0, 4, 2), source.Canvas(), Rect(0, 0, 4, 2));
    EXPECT_TRUE(ImagesEqual(half, source.Image(), "copyrect"));
}

class CanvasText : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = White(120, 40);
        canvas.Bind(&image);
        canvas.Font().SetName(QStringLiteral("Arial"));
        canvas.Font().SetHeight(-11);
        canvas.Font().SetColor(clBlack);
    }
    QImage image;
    TCanvas canvas;
};

TEST_F(CanvasText, TextOutPlacesTheCellTopLeftAndDrawsInkInTheFontColourOnly)
{
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.TextOut(5, 3, QStringLiteral("Hg"));
    const QRect ink = InkBounds(image, image.rect(), clWhite);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 5);
    EXPECT_GE(ink.top(), 3);
    EXPECT_LT(ink.bottom(), 3 + canvas.TextHeight(QStringLiteral("Hg")));
    EXPECT_LE(ink.right(), 5 + canvas.TextWidth(QStringLiteral("Hg")));
    EXPECT_EQ(Count(image, clBlack) + Count(image, clWhite), image.width() * image.height())
        << "no anti-aliased pixels";
    EXPECT_EQ(canvas.PenPos(), (TPoint{5 + canvas.TextWidth(QStringLiteral("Hg")), 3}));
}

TEST_F(CanvasText, TextOutWithASolidBrushFillsTheTextCell)
{
    canvas.Brush().SetColor(clYellow);
    canvas.TextOut(5, 3, QStringLiteral("."));
    const TSize cell = canvas.TextExtent(QStringLiteral("."));
    EXPECT_EQ(CountPixels(image, QRect(5, 3, cell.cx, cell.cy), clYellow) +
                  CountPixels(image, QRect(5, 3, cell.cx, cell.cy), clBlack),
              cell.cx * cell.cy);
    EXPECT_EQ(Count(image, clYellow) + Count(image, clBlack), cell.cx * cell.cy);
}

TEST_F(CanvasText, TextRectClipsAndFillsTheRectangle)
{
    canvas.Brush().SetColor(clAqua);
    canvas.TextRect(Rect(0, 0, 8, 20), 0, 0, QStringLiteral("WWWW"));
    EXPECT_TRUE(InkBounds(image, QRect(8, 0, 112, 40), clWhite).isEmpty());
    EXPECT_EQ(Count(image, clAqua) + Count(image, clBlack), 8 * 20);
}

TEST_F(CanvasText, DrawTextMeasuresWithoutMovingTheRectangle)
{
    TRect rect = Rect(10, 20, 200, 100);
    const int height =
        canvas.DrawText(rect, QStringLiteral("Hello"), DT_CALCRECT | DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(rect, Rect(10, 20, 10 + canvas.TextWidth(QStringLiteral("Hello")),
                         20 + canvas.TextHeight(QStringLiteral("Hello"))));
    EXPECT_EQ(height, canvas.TextHeight(QStringLiteral("Hello")));
    EXPECT_EQ(Count(image, clWhite), image.width() * image.height()) << "measuring draws nothing";
}

TEST_F(CanvasText, DrawTextHandlesTheAcceleratorMark)
{
    auto width = [&](const QString& text, unsigned flags) {
        TRect rect = Rect(0, 0, 100, 20);
        canvas.DrawText(rect, text, flags | DT_CALCRECT | DT_SINGLELINE);
        return rect.Width();
    };
    EXPECT_EQ(width(QStringLiteral("&Hello"), 0), canvas.TextWidth(QStringLiteral("Hello")));
    EXPECT_EQ(width(QStringLiteral("A&&B"), 0), canvas.TextWidth(QStringLiteral("A&B")));
    EXPECT_EQ(width(QStringLiteral("&Hello"), DT_NOPREFIX), canvas.TextWidth(QStringLiteral("&Hello")));

    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect plain = Rect(0, 0, 40, 20);
    canvas.DrawText(plain, QStringLiteral("C"), DT_SINGLELINE);
    const QRect plainInk = InkBounds(image, image.rect(), clWhite);
    image.fill(Qt::white);
    TRect marked = Rect(0, 0, 40, 20);
    canvas.DrawText(marked, QStringLiteral("&C"), DT_SINGLELINE);
    const QRect markedInk = InkBounds(image, image.rect(), clWhite);
    EXPECT_GT(markedInk.bottom(), plainInk.bottom()) << "the accelerator is underlined";
}

TEST_F(CanvasText, DrawTextCentresASingleLineLikeTextOutAtTheComputedCell)
{
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect rect = Rect(0, 0, 41, 21);
    canvas.DrawText(rect, QStringLiteral("Xy"), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const QImage centred = image.copy();
    image.fill(Qt::white);
    const TSize size = canvas.TextExtent(QStringLiteral("Xy"));
    canvas.TextOut((41 - size.cx) / 2, (21 - size.cy) / 2, QStringLiteral("Xy"));
    EXPECT_TRUE(ImagesEqual(centred, image, "drawtext-centre"));
}

TEST_F(CanvasText, VerticalCentringNeedsASingleLine)
{
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect rect = Rect(0, 0, 60, 40);
    canvas.DrawText(rect, QStringLiteral("Xy"), DT_VCENTER);
    const QImage top = image.copy();
    image.fill(Qt::white);
    canvas.TextOut(0, 0, QStringLiteral("Xy"));
    EXPECT_TRUE(ImagesEqual(top, image, "drawtext-top"));
}

TEST_F(CanvasText, DrawTextClipsUnlessNoClip)
{
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect rect = Rect(0, 0, 10, 20);
    canvas.DrawText(rect, QStringLiteral("WWWWWW"), DT_SINGLELINE);
    EXPECT_TRUE(InkBounds(image, QRect(10, 0, 110, 40), clWhite).isEmpty());
    canvas.DrawText(rect, QStringLiteral("WWWWWW"), DT_SINGLELINE | DT_NOCLIP);
    EXPECT_FALSE(InkBounds(image, QRect(10, 0, 110, 40), clWhite).isEmpty());
}

TEST_F(CanvasText, WordBreakWrapsWithinTheWidth)
{
    const int lineHeight = canvas.TextHeight(QStringLiteral("H"));
    const int room =
        std::max(canvas.TextWidth(QStringLiteral("Hello")), canvas.TextWidth(QStringLiteral("World"))) + 4;
    TRect rect = Rect(0, 0, room, 0);
    EXPECT_EQ(canvas.DrawText(rect, QStringLiteral("Hello World"), DT_CALCRECT | DT_WORDBREAK),
              2 * lineHeight);
    EXPECT_EQ(rect.Width(), room - 4);
    // A word wider than the room keeps its own line and widens the rectangle, as the Windows layer does.
    TRect narrow = Rect(0, 0, 5, 0);
    EXPECT_EQ(canvas.DrawText(narrow, QStringLiteral("Hello World"), DT_CALCRECT | DT_WORDBREAK),
              2 * lineHeight);
    EXPECT_EQ(narrow.Width(), room - 4);
    TRect lines = Rect(0, 0, 500, 0);
    EXPECT_EQ(canvas.DrawText(lines, QStringLiteral("a\r\nb\nc"), DT_CALCRECT), 3 * lineHeight);
    TRect single = Rect(0, 0, 500, 0);
    EXPECT_EQ(canvas.DrawText(single, QStringLiteral("Hello World"), DT_CALCRECT | DT_WORDBREAK),
              canvas.TextHeight(QStringLiteral("H")));
}

TEST(CanvasPainter, ADrawingThroughAPainterFollowsTheSameRules)
{
    QImage direct = White(12, 10);
    QImage painted = White(12, 10);
    auto draw = [](TCanvas& canvas) {
        canvas.Brush().SetColor(clRed);
        canvas.Rectangle(1, 1, 9, 7);
        canvas.MoveTo(0, 9);
        canvas.LineTo(11, 9);
        canvas.RoundRect(2, 2, 8, 6, 3, 3);
        canvas.DrawFocusRect(Rect(0, 0, 12, 10));
    };
    {
        TCanvas canvas(&direct);
        draw(canvas);
    }
    {
        QPainter painter(&painted);
        TCanvas canvas(&painter);
        draw(canvas);
    }
    EXPECT_TRUE(ImagesEqual(painted, direct, "painter"));
}

} // namespace
} // namespace carlume
