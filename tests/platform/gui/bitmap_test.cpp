// Bitmaps, image lists and the bitmaps and cursors kept as resources.

#include "platform/gui/bitmap.h"
#include "platform/gui/image_list.h"
#include "platform/gui/resources.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace carlume {
namespace {

using test::ImagesEqual;
using test::PixelsAre;

TEST(Bitmap, FromRowsMakesAMonochromeBitmapOfTheRows)
{
    const TBitmap glyph = TBitmap::FromRows({"X..", ".X"});
    EXPECT_EQ(glyph.Width(), 3);
    EXPECT_EQ(glyph.Height(), 2);
    EXPECT_TRUE(glyph.Monochrome());
    EXPECT_TRUE(PixelsAre(
        glyph.Image(),
        {{0, 0, clBlack, "X"}, {1, 0, clWhite, "."}, {1, 1, clBlack, "X"}, {2, 1, clWhite, "padding"}},
        "fromrows"));
}

TEST(Bitmap, TransparentColourRules)
{
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.TransparentColor(), clDefault);

    TBitmap colour = TBitmap::FromRows({"gr", "bg"}, {{'g', clGreen}, {'r', clRed}, {'b', clBlue}});
    EXPECT_FALSE(colour.Monochrome());
    EXPECT_EQ(colour.TransparentColor(), clBlue) << "the bottom-left pixel";
    colour.SetTransparentColor(clRed);
    EXPECT_EQ(colour.TransparentMode(), TTransparentMode::tmFixed);
    EXPECT_EQ(colour.TransparentColor(), clRed);
    colour.SetTransparentMode(TTransparentMode::tmAuto);
    EXPECT_EQ(colour.TransparentColor(), clBlue);

    const TBitmap mono = TBitmap::FromRows({"..", "X."});
    EXPECT_EQ(mono.TransparentColor(), clWhite) << "white for a monochrome bitmap, whatever its corner";
}

TEST(Bitmap, TurningMonochromeKeepsOnlyTheBrushColourWhite)
{
    TBitmap bitmap = TBitmap::FromRows({"abc"}, {{'a', clBlack}, {'b', clFuchsia}, {'c', clWhite}});
    bitmap.Canvas().Brush().SetColor(clFuchsia);
    bitmap.SetMonochrome(true);
    EXPECT_TRUE(PixelsAre(
        bitmap.Image(),
        {{0, 0, clBlack, ""}, {1, 0, clWhite, "brush colour"}, {2, 0, clBlack, "white was not the brush"}},
        "monochrome"));
}

TEST(Bitmap, ChangesAreReported)
{
    TBitmap target;
    int changes = 0;
    target.OnChange = [&](TBitmap& sender) {
        EXPECT_EQ(&sender, &target);
        ++changes;
    };
    const TBitmap source = TBitmap::FromRows({"X."});
    target.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(target.Monochrome());
    EXPECT_TRUE(ImagesEqual(target.Image(), source.Image(), "assign"));
    target.Canvas().SetPixel(0, 0, clWhite);
    EXPECT_EQ(changes, 2);
    target.SetSize(2, 1);
    EXPECT_EQ(changes, 2) << "same size, no change";
}

TEST(Bitmap, ResizingKeepsThePictureTopLeftAndMovingKeepsEverything)
{
    TBitmap bitmap = TBitmap::FromRows({"XX", "XX"});
    bitmap.SetSize(3, 3);
    EXPECT_TRUE(PixelsAre(
        bitmap.Image(), {{1, 1, clBlack, "kept"}, {2, 2, clWhite, "new"}, {2, 0, clWhite, "new"}}, "resize"));
    bitmap.SetTransparent(true);
    TBitmap moved(std::move(bitmap));
    EXPECT_EQ(moved.Width(), 3);
    EXPECT_TRUE(moved.Transparent());
    moved.Canvas().SetPixel(2, 2, clRed);
    EXPECT_EQ(moved.Canvas().Pixel(2, 2), clRed);
}

TEST(Resources, GlyphBitmapsHoldTheirRows)
{
    struct Case {
        const char* name;
        TBitmap expected;
    };
    Case cases[] = {
        {"PREV2",
         TBitmap::FromRows({"..X...X.", ".XX..XX.", "XXX.XXX.", "XXX.XXX.", ".XX..XX.", "..X...X."})},
        {"PREV1",
         TBitmap::FromRows({"....X...", "...XX...", "..XXX...", "..XXX...", "...XX...", "....X..."})},
        {"NEXT1",
         TBitmap::FromRows({"...X....", "...XX...", "...XXX..", "...XXX..", "...XX...", "...X...."})},
        {"NEXT2",
         TBitmap::FromRows({".X...X..", ".XX..XX.", ".XXX.XXX", ".XXX.XXX", ".XX..XX.", ".X...X.."})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap loaded = LoadBitmapResource(QString::fromLatin1(c.name));
        EXPECT_TRUE(loaded.Monochrome());
        EXPECT_TRUE(ImagesEqual(loaded.Image(), c.expected.Image(), c.name));
    }
}

TEST(Resources, DateEditBitmapAndCursors)
{
    const TBitmap edit = LoadBitmapResource(QStringLiteral("DEDITBMP"));
    EXPECT_EQ(edit.Width(), 28);
    EXPECT_EQ(edit.Height(), 12);
    EXPECT_FALSE(edit.Monochrome());
    EXPECT_TRUE(LoadBitmapResource(QStringLiteral("NOSUCH")).Empty());

    const QCursor hand = LoadCursorResource(QStringLiteral("UI_HANDCUR"));
    EXPECT_EQ(hand.hotSpot(), QPoint(6, 16));
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(LoadCursorResource(QStringLiteral("UI_DRAGCUR")).hotSpot(), QPoint(15, 16));

    RegisterProgramCursors();
    EXPECT_EQ(CursorFor(crUiHand).hotSpot(), QPoint(6, 16));
    EXPECT_EQ(CursorFor(crUiDragHand).hotSpot(), QPoint(15, 16));
    EXPECT_EQ(CursorFor(crHourGlass).shape(), Qt::WaitCursor);
    EXPECT_EQ(CursorFor(crArrow).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CursorFor(12345).shape(), Qt::ArrowCursor);
}

TEST(ImageList, AddsStripsAndDrawsWithTheirMasks)
{
    TImageList list(2, 2);
    const TBitmap strip = TBitmap::FromRows({"rXXr", "rrXX"}, {{'r', clFuchsia}, {'X', clNavy}});
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    list.Draw(canvas, 0, 0, 0);
    EXPECT_TRUE(PixelsAre(
        image, {{0, 0, clWhite, "transparent"}, {1, 0, clNavy, ""}, {0, 1, clWhite, ""}, {1, 1, clWhite, ""}},
        "imagelist-draw"));
    list.DrawMask(canvas, 0, 0, 1);
    EXPECT_TRUE(PixelsAre(image,
                          {{0, 0, clBlack, "opaque"}, {1, 0, clWhite, "transparent"}, {0, 1, clBlack, ""}},
                          "imagelist-mask"));

    const TBitmap mask = TBitmap::FromRows({"X.", ".."});
    const TBitmap picture = TBitmap::FromRows({"XX", "XX"});
    EXPECT_EQ(list.Add(picture, &mask), 2);
    TBitmap copy;
    list.GetBitmap(2, copy);
    EXPECT_TRUE(PixelsAre(copy.Image(), {{0, 0, clBlack, "opaque"}, {1, 0, clWhite, "transparent"}},
                          "imagelist-get"));

    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Image(5).isNull());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

// --- pictures with transparent pixels --------------------------------------------------------------------

// 4 x 2, transparent where "." (bottom-left included); black, fuchsia, navy and white are visible.
QImage PictureWithHoles()
{
    const std::map<char, QRgb> colours{{'.', qRgba(0, 0, 0, 0)},
                                       {'X', qRgb(0, 0, 0)},
                                       {'F', qRgb(255, 0, 255)},
                                       {'N', qRgb(0, 0, 128)},
                                       {'W', qRgb(255, 255, 255)}};
    const char* rows[] = {".XF.", ".NXW"};
    QImage image(4, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, colours.at(rows[y][x]));
    }
    return image;
}

struct HoleCase {
    std::string Name;
    // Puts the bitmap onto the canvas of a green picture at (0, 0).
    std::function<void(TBitmap& bitmap, TCanvas& canvas)> Draw;
};

void PrintTo(const HoleCase& c, std::ostream* os)
{
    *os << c.Name;
}

class BitmapHoles : public ::testing::TestWithParam<HoleCase> {};

TEST_P(BitmapHoles, ShowWhatLiesBeneath)
{
    TBitmap bitmap(PictureWithHoles());
    QImage target(4, 2, QImage::Format_RGB32);
    target.fill(QColor(0, 255, 0));
    TCanvas canvas(&target);
    GetParam().Draw(bitmap, canvas);
    EXPECT_TRUE(PixelsAre(target,
                          {{0, 0, clLime, "hole"},
                           {3, 0, clLime, "hole"},
                           {0, 1, clLime, "bottom-left hole"},
                           {1, 0, clBlack, "black ink"},
                           {2, 0, clFuchsia, "fuchsia ink"},
                           {1, 1, clNavy, "navy ink"},
                           {3, 1, clWhite, "white ink"}},
                          "holes-" + GetParam().Name));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Users, BitmapHoles, ::testing::Values(
    HoleCase{"CanvasDraw", [](TBitmap& b, TCanvas& c) { c.Draw(0, 0, b); }},
    HoleCase{"CanvasDrawWithItsTransparentColour", [](TBitmap& b, TCanvas& c) {
        b.SetTransparent(true);
        c.Draw(0, 0, b);
    }},
    HoleCase{"StretchDraw", [](TBitmap& b, TCanvas& c) { c.StretchDraw(Rect(0, 0, 4, 2), b); }},
    HoleCase{"Resized", [](TBitmap& b, TCanvas& c) {
        b.SetSize(5, 3);
        c.Draw(0, 0, b);
    }},
    HoleCase{"ImageListAddImage", [](TBitmap& b, TCanvas& c) {
        TImageList list(4, 2);
        list.Draw(c, 0, 0, list.AddImage(b.Image()));
    }},
    HoleCase{"ImageListAddMasked", [](TBitmap& b, TCanvas& c) {
        TImageList list(4, 2);
        list.Draw(c, 0, 0, list.AddMasked(b, b.TransparentColor()));
    }},
    HoleCase{"ImageListAddWithoutMask", [](TBitmap& b, TCanvas& c) {
        TImageList list(4, 2);
        list.Draw(c, 0, 0, list.Add(b, nullptr));
    }}),
    test::ByName);
// clang-format on

TEST(Resources, TheResultMarksKeepTheirTransparency)
{
    for (const char* name : {"RESULTOK", "RESULTFAIL"}) {
        const QImage mark = LoadBitmapResource(QString::fromLatin1(name)).Image();
        ASSERT_FALSE(mark.isNull()) << name;
        EXPECT_EQ(qAlpha(mark.pixel(0, 0)), 0) << name << ": its corner is no picture";
    }
}

} // namespace
} // namespace carlume
