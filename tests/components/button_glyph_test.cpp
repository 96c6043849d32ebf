// The glyph painter and its cache, and the drawing utilities it builds on.

#include "components/button_glyph.h"
#include "components/ui_draw_utils.h"
#include "platform/gui/control.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using S = TUiSpeedButtonState;

constexpr TColor kGround = clYellow;

// A picture filled with a ground colour that transparent pixels leave visible.
struct TSurface {
    explicit TSurface(int width = 40, int height = 40)
        : image(width, height, QImage::Format_RGB32)
        , canvas(&image)
    {
        image.fill(ToQRgb(kGround));
    }
    TColor At(int x, int y) const { return PixelAt(image, x, y); }
    QImage image;
    TCanvas canvas;
};

// One colour, with a fuchsia bottom-left pixel that makes fuchsia the transparent colour.
TBitmap Solid(int width, int height, TColor color)
{
    TBitmap bitmap(width, height);
    bitmap.Canvas().Brush().SetColor(color);
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
    bitmap.Canvas().SetPixel(0, height - 1, clFuchsia);
    return bitmap;
}

// Two 4 x 4 cells: red, a clBtnFace pixel and blue on fuchsia; then green.
TBitmap TwoCellStrip()
{
    return TBitmap::FromRows({"rFffgggg", "ffbfgggg", "ffffgggg", "ffffgggg"}, {{'r', clRed},
                                                                                {'F', ColorToRGB(clBtnFace)},
                                                                                {'b', clBlue},
                                                                                {'f', clFuchsia},
                                                                                {'g', clLime},
                                                                                {' ', clFuchsia}});
}

struct TStripCase {
    std::string Name;
    int Width, Height, NumGlyphsBefore, NumGlyphsAfter;
};

class StripRules : public ::testing::TestWithParam<TStripCase> {};

TEST_P(StripRules, SetNumGlyphsFromTheShapeOfTheStrip)
{
    const TStripCase& c = GetParam();
    TUiButtonGlyph painter;
    painter.SetNumGlyphs(c.NumGlyphsBefore);
    painter.SetGlyph(Solid(c.Width, c.Height, clRed));
    EXPECT_EQ(painter.NumGlyphs(), c.NumGlyphsAfter);
}

INSTANTIATE_TEST_SUITE_P(ButtonGlyph, StripRules,
                         ::testing::Values(TStripCase{"two_cells", 32, 16, 1, 2},
                                           TStripCase{"five_cells", 80, 16, 1, 5},
                                           TStripCase{"six_cells_count_as_one", 96, 16, 3, 1},
                                           TStripCase{"not_a_multiple_keeps_it", 20, 16, 3, 3}),
                         [](const auto& row) { return row.param.Name; });

TEST(ButtonGlyph, TransparentColorIsTheBottomLeftPixelOrWhiteWhenMonochrome)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows({"rr", "br"}, {{'r', clRed}, {'b', clBlue}}));
    EXPECT_EQ(painter.TransparentColor(), clBlue);
    painter.SetGlyph(TBitmap::FromRows({"X.", "X."}));
    EXPECT_EQ(painter.TransparentColor(), clWhite);
}

struct TLookCase {
    std::string Name;
    S State;
    std::vector<TPixelProbe> Probes;
};

class TwoCellLooks : public ::testing::TestWithParam<TLookCase> {};

TEST_P(TwoCellLooks, ComeFromTheirCellOrTheGreyCopy)
{
    const TLookCase& c = GetParam();
    TUiButtonGlyph painter;
    painter.SetGlyph(TwoCellStrip());
    ASSERT_EQ(painter.NumGlyphs(), 2);
    TSurface surface;
    EXPECT_EQ(painter.DrawButtonGlyph(surface.canvas, 0, 0, c.State), (TSize{4, 4}));
    EXPECT_TRUE(PixelsAre(surface.image, c.Probes, c.Name));
}

const TColor kGreyRed = RGBToColor(76, 76, 76);
const TColor kGreyBlue = RGBToColor(28, 28, 28);

INSTANTIATE_TEST_SUITE_P(
    ButtonGlyph, TwoCellLooks,
    ::testing::Values(
        TLookCase{
            "up", S::sbsUp, {{0, 0, clRed, "red"}, {2, 1, clBlue, "blue"}, {3, 3, kGround, "transparent"}}},
        TLookCase{
            "pressed_shares_cell_0", S::sbsDown, {{0, 0, clRed, "red"}, {3, 3, kGround, "transparent"}}},
        TLookCase{"disabled_is_cell_1", S::sbsDisabled, {{0, 0, clLime, "green"}, {3, 3, clLime, "green"}}},
        TLookCase{"inactive_is_grey",
                  S::sbsInactive,
                  {{0, 0, kGreyRed, "grey of red"},
                   {1, 0, clBtnFace, "clBtnFace kept"},
                   {2, 1, kGreyBlue, "grey of blue"},
                   {3, 3, kGround, "still transparent"}}}),
    [](const auto& row) { return row.param.Name; });

TEST(ButtonGlyph, OneCellDisabledKeepsOnlyTheBlackPixelsEmbossed)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows({"X..", "...", "..."}));
    TSurface surface;
    painter.DrawButtonGlyph(surface.canvas, 0, 0, S::sbsDisabled);
    EXPECT_TRUE(PixelsAre(surface.image,
                          {{0, 0, clBtnShadow, "black pixel"},
                           {1, 1, clBtnHighlight, "its highlight copy"},
                           {1, 0, kGround, "white pixel gone"},
                           {2, 2, kGround, "white pixel gone"}},
                          "one_cell_disabled"));
}

TEST(ButtonGlyph, AStripNarrowerThanItsCellsGivesNoImage)
{
    TUiButtonGlyph painter;
    painter.SetNumGlyphs(5);
    painter.SetGlyph(Solid(3, 16, clRed));
    ASSERT_EQ(painter.NumGlyphs(), 5);
    EXPECT_EQ(painter.CreateButtonGlyph(S::sbsUp), -1);
    TSurface surface;
    painter.Draw(surface.canvas, Rect(0, 0, 25, 25), QString(), TButtonLayout::blGlyphTop, -1, 1, false,
                 S::sbsUp, DT_CENTER);
    EXPECT_EQ(CountPixels(surface.image, QRect(0, 0, 25, 25), kGround), 25 * 25);
}

TEST(ButtonGlyph, GlyphsOfOneSizeShareAListAndTheCacheGoesWithTheLastPainter)
{
    ASSERT_EQ(SharedGlyphCache(), nullptr);
    {
        auto first = std::make_unique<TUiButtonGlyph>();
        TUiButtonGlyph second;
        first->SetGlyph(Solid(16, 16, clRed));
        second.SetGlyph(Solid(16, 16, clBlue));
        const int firstSlot = first->CreateButtonGlyph(S::sbsUp);
        second.CreateButtonGlyph(S::sbsUp);
        ASSERT_NE(SharedGlyphCache(), nullptr);
        EXPECT_EQ(first->ListOf(S::sbsUp), second.ListOf(S::sbsUp));
        EXPECT_EQ(second.ListOf(S::sbsUp)->UsedCount(), 2);

        first->Invalidate();
        EXPECT_EQ(second.CreateButtonGlyph(S::sbsDisabled), firstSlot) << "a freed slot is reused";
        EXPECT_EQ(second.ListOf(S::sbsUp)->Count(), 2);
        first.reset();
        EXPECT_NE(SharedGlyphCache(), nullptr);
    }
    EXPECT_EQ(SharedGlyphCache(), nullptr);
}

TEST(ButtonGlyph, AnImageListLookNeverMovesTheGlyphsLooks)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(Solid(16, 16, clRed));
    painter.CreateButtonGlyph(S::sbsUp);
    TImageList images(8, 8);
    images.AddMasked(Solid(8, 8, clBlue), clFuchsia);

    TSurface surface;
    EXPECT_EQ(painter.DrawButtonImage(surface.canvas, 20, 20, S::sbsInactive, &images, 0), (TSize{8, 8}));
    EXPECT_EQ(surface.At(20, 20), kGreyBlue);
    ASSERT_EQ(painter.ListOf(S::sbsInactive)->Width(), 8);
    EXPECT_EQ(painter.ListOf(S::sbsUp)->Width(), 16);
    EXPECT_EQ(painter.DrawButtonGlyph(surface.canvas, 0, 0, S::sbsUp), (TSize{16, 16}));
    EXPECT_EQ(surface.At(15, 15), clRed);
}

TEST(ButtonGlyph, ImageListLooks)
{
    TUiButtonGlyph painter;
    TImageList images(3, 3);
    images.AddMasked(TBitmap::FromRows({"r..", "...", "..."}, {{'r', clRed}, {'.', clFuchsia}}), clFuchsia);
    TSurface surface;
    painter.DrawButtonImage(surface.canvas, 0, 0, S::sbsUp, &images, 0);
    painter.DrawButtonImage(surface.canvas, 10, 0, S::sbsDisabled, &images, 0);
    EXPECT_TRUE(PixelsAre(surface.image,
                          {{0, 0, clRed, "up"},
                           {1, 0, kGround, "up transparent"},
                           {10, 0, clBtnShadow, "disabled"},
                           {11, 1, clBtnHighlight, "disabled highlight"},
                           {12, 0, kGround, "disabled transparent"}},
                          "image_list_looks"));
    EXPECT_EQ(painter.DrawButtonImage(surface.canvas, 0, 0, S::sbsUp, &images, 1), (TSize{0, 0}));
}

// --- layout
// -------------------------------------------------------------------------------------------------

TEST(ButtonGlyph, AGlyphWithoutCaptionInTheSpeedButtonFace)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(Solid(16, 16, clRed));
    TSurface surface;
    QString caption;
    TPoint glyph;
    TRect text;
    painter.CalcButtonLayout(surface.canvas, Rect(3, 3, 22, 22), caption, TButtonLayout::blGlyphTop, -1, 1,
                             false, glyph, text, DT_CENTER, nullptr, -1);
    EXPECT_EQ(glyph, (TPoint{4, 4}));
}

TEST(ButtonGlyph, ComputedMarginAndSpacingShareTheFreeRoomInThirds)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(Solid(16, 16, clRed));
    TSurface surface;
    const int textWidth = surface.canvas.TextWidth(QStringLiteral("Ab"));
    QString caption = QStringLiteral("Ab");
    TPoint glyph;
    TRect text;
    painter.CalcButtonLayout(surface.canvas, Rect(0, 0, 16 + textWidth + 10, 30), caption,
                             TButtonLayout::blGlyphLeft, -1, -1, false, glyph, text, DT_CENTER, nullptr, -1);
    EXPECT_EQ(glyph.X, 3);
    EXPECT_EQ(text.Left, 3 + 16 + 3);
    EXPECT_EQ(16 + textWidth + 10 - text.Right, 4);
}

struct TLayoutCase {
    std::string Name;
    TButtonLayout Layout;
    bool PopupMark;
    // Expected glyph position and text top-left from the text size (w, h) in a 60 x 60 client.
    std::function<TPoint(int w, int h)> Glyph;
    std::function<TPoint(int w, int h)> Text;
};

class Layouts : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(Layouts, PlaceGlyphAndCaption)
{
    const TLayoutCase& c = GetParam();
    TUiButtonGlyph painter;
    painter.SetGlyph(Solid(16, 16, clRed));
    TSurface surface;
    TRect measured = Rect(0, 0, 100, 0);
    surface.canvas.DrawText(measured, QStringLiteral("Ab"), DT_CALCRECT);
    const int w = measured.Width();
    const int h = measured.Height();
    QString caption = QStringLiteral("Ab");
    TPoint glyph;
    TRect text;
    painter.CalcButtonLayout(surface.canvas, Rect(0, 0, 60, 60), caption, c.Layout, -1, 1, c.PopupMark, glyph,
                             text, DT_CENTER, nullptr, -1);
    EXPECT_EQ(glyph, c.Glyph(w, h));
    EXPECT_EQ((TPoint{text.Left, text.Top}), c.Text(w, h));
    EXPECT_EQ(text.Width(), w);
}

INSTANTIATE_TEST_SUITE_P(
    ButtonGlyph, Layouts,
    ::testing::Values(TLayoutCase{"left", TButtonLayout::blGlyphLeft, false,
                                  [](int w, int) {
                                      return TPoint{30 - (17 + w) / 2, 22};
                                  },
                                  [](int w, int h) {
                                      return TPoint{30 - (17 + w) / 2 + 17, 30 - h / 2};
                                  }},
                      TLayoutCase{"left_with_mark", TButtonLayout::blGlyphLeft, true,
                                  [](int w, int) {
                                      return TPoint{30 - (17 + w + 9) / 2, 22};
                                  },
                                  [](int w, int h) {
                                      return TPoint{30 - (17 + w + 9) / 2 + 17, 30 - (h / 2)};
                                  }},
                      TLayoutCase{"right", TButtonLayout::blGlyphRight, false,
                                  [](int w, int) {
                                      return TPoint{60 - (30 - (17 + w) / 2) - 16, 22};
                                  },
                                  [](int w, int h) {
                                      return TPoint{60 - (30 - (17 + w) / 2) - 16 - 1 - w, 30 - h / 2};
                                  }},
                      TLayoutCase{"top", TButtonLayout::blGlyphTop, false,
                                  [](int, int h) {
                                      return TPoint{22, 30 - (17 + h) / 2};
                                  },
                                  [](int w, int h) {
                                      return TPoint{30 - w / 2, 30 - (17 + h) / 2 + 17};
                                  }},
                      TLayoutCase{"bottom", TButtonLayout::blGlyphBottom, false,
                                  [](int, int h) {
                                      return TPoint{22, 60 - (30 - (17 + h) / 2) - 16};
                                  },
                                  [](int w, int h) {
                                      return TPoint{30 - w / 2, 60 - (30 - (17 + h) / 2) - 16 - 1 - h};
                                  }}),
    [](const auto& row) { return row.param.Name; });

TEST(ButtonGlyph, CaptionsAreShortenedLineByLineUnlessTheyWrap)
{
    TUiButtonGlyph painter;
    TSurface surface;
    const QString twoLines = QStringLiteral("abcdefgh\nABCDEFGH\n");
    const int room = surface.canvas.TextWidth(QStringLiteral("abcde..."));
    EXPECT_EQ(painter.MinimizeCaption(surface.canvas, twoLines, 255, room),
              MinimizeText(QStringLiteral("abcdefgh"), surface.canvas, room) + QLatin1Char('\n') +
                  MinimizeText(QStringLiteral("ABCDEFGH"), surface.canvas, room));
    EXPECT_EQ(painter.MinimizeCaption(surface.canvas, QString(300, QLatin1Char('i')), 255, 100000).size(),
              255);
    painter.SetWordWrap(true);
    EXPECT_EQ(painter.MinimizeCaption(surface.canvas, twoLines, 255, room), twoLines);
}

TEST(ButtonGlyph, PopupMarkIsATriangleEmbossedWhenDisabled)
{
    TUiButtonGlyph painter;
    TSurface surface;
    painter.DrawPopupMark(surface.canvas, 10, 10, S::sbsUp);
    painter.DrawPopupMark(surface.canvas, 20, 20, S::sbsDisabled);
    EXPECT_TRUE(PixelsAre(surface.image,
                          {{10, 9, clBtnText, "top row start"},
                           {16, 9, clBtnText, "top row end"},
                           {17, 9, kGround, "after the top row"},
                           {11, 10, clBtnText, "second row"},
                           {10, 10, kGround, "left of the second row"},
                           {13, 12, clBtnText, "tip"},
                           {12, 12, kGround, "beside the tip"},
                           {20, 19, clBtnShadow, "disabled top row"},
                           {27, 20, clBtnHighlight, "disabled highlight copy"},
                           {24, 23, clBtnHighlight, "disabled highlight tip"}},
                          "popup_mark"));
}

// --- drawing utilities
// --------------------------------------------------------------------------------------

struct TDisabledCase {
    std::string Name;
    std::vector<std::string_view> Rows;
    bool Highlight;
    std::vector<TPixelProbe> Probes;
};

class DisabledBitmap : public ::testing::TestWithParam<TDisabledCase> {};

TEST_P(DisabledBitmap, EmbossesTheOutlinePixels)
{
    const TDisabledCase& c = GetParam();
    TBitmap source(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.Canvas().SetPixel(x, y,
                                     c.Rows[std::size_t(y)][std::size_t(x)] == 'X'   ? clBlack
                                     : c.Rows[std::size_t(y)][std::size_t(x)] == 'r' ? clRed
                                                                                     : clWhite);
    const TBitmap result = CreateDisabledBitmapEx(source, clBlack, clSilver, clWhite, clGray, c.Highlight);
    ASSERT_EQ(result.Width(), 4);
    EXPECT_TRUE(PixelsAre(result.Image(), c.Probes, c.Name));
}

INSTANTIATE_TEST_SUITE_P(
    UiDrawUtils, DisabledBitmap,
    ::testing::Values(TDisabledCase{"black_and_red",
                                    {"....", ".X..", "..r.", "...."},
                                    true,
                                    {{1, 1, clGray, "black pixel"},
                                     {2, 2, clWhite, "highlight over the red pixel"},
                                     {0, 0, clSilver, "ground"},
                                     {3, 3, clSilver, "ground"}}},
                      TDisabledCase{"right_column",
                                    {"....", "...X", "....", "...."},
                                    true,
                                    {{3, 1, clGray, "black pixel"}, {3, 2, clSilver, "below it"}}},
                      TDisabledCase{"without_highlight",
                                    {"....", ".X..", "....", "...."},
                                    false,
                                    {{1, 1, clGray, "black pixel"}, {2, 2, clSilver, "no highlight"}}}),
    [](const auto& row) { return row.param.Name; });

TEST(UiDrawUtils, MinimizeTextDropsTwoCharactersThenOneMore)
{
    TSurface surface;
    const auto width = [&](const char* text) { return surface.canvas.TextWidth(QString::fromLatin1(text)); };
    const struct {
        int maxWidth;
        const char* expected;
    } rows[] = {{width("abcdef"), "abcdef"},
                {width("abcd..."), "abcd..."},
                {width("abc..."), "abc..."},
                {width("a..."), "a..."},
                {0, "..."}};
    for (const auto& row : rows)
        EXPECT_EQ(MinimizeText(QStringLiteral("abcdef"), surface.canvas, row.maxWidth),
                  QString::fromLatin1(row.expected));
}

// Paints its colour over its whole rectangle.
class TSwatch : public TGraphicControl {
public:
    TSwatch(QWidget* parent, TColor color, const QRect& bounds)
        : TGraphicControl(parent)
        , color_(color)
    {
        setGeometry(bounds);
    }

protected:
    void Paint(TCanvas& canvas) override
    {
        canvas.Brush().SetColor(color_);
        canvas.FillRect(Rect(0, 0, width(), height()));
    }

private:
    TColor color_;
};

TEST(UiDrawUtils, CopyParentImageTakesTheParentAndTheEarlierSiblingsOnly)
{
    QWidget parent;
    parent.resize(40, 40);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, ToQColor(clNavy));
    parent.setPalette(palette);
    new TSwatch(&parent, clRed, QRect(0, 0, 15, 40));
    auto* control = new TSwatch(&parent, clBlack, QRect(10, 10, 20, 20));
    new TSwatch(&parent, clLime, QRect(20, 0, 20, 40));

    TSurface surface(20, 20);
    CopyParentImage(control, surface.canvas);
    EXPECT_TRUE(
        PixelsAre(surface.image,
                  {{0, 0, clRed, "earlier sibling"}, {8, 0, clNavy, "parent"}, {15, 0, clNavy, "parent"}},
                  "copy_parent_image"));

    QWidget lonely;
    auto* first = new TSwatch(&lonely, clBlack, QRect(0, 0, 5, 5));
    TSurface untouched(5, 5);
    CopyParentImage(first, untouched.canvas);
    CopyParentImage(nullptr, untouched.canvas);
    EXPECT_NE(untouched.At(2, 2), clBlack);
}

TEST(UiDrawUtils, KillMessageRemovesQueuedEventsOfOneKindButNeverQuit)
{
    int seen = 0;
    struct TCounter : QObject {
        int* seen;
        bool event(QEvent*) override { return ++*seen, true; }
    } counter;
    counter.seen = &seen;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Quit));
    KillMessage(&counter, QEvent::User);
    KillMessage(&counter, QEvent::Quit);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(seen, 2);
}

} // namespace
} // namespace carlume::test
