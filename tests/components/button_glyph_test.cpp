// The glyph painter and its cache, and the drawing utilities it builds on.

#include "components/button_glyph.h"
#include "components/ui_draw_utils.h"
#include "platform/gui/control.h"
#include "tests/support/image_check.h"
#include "tests/support/print_case_name.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using S = TUiSpeedButtonState;

// An expected pixel; failures name it by its place.
struct TDot {
    int X;
    int Y;
    TColor Color;
};

std::vector<TPixelProbe> Dots(const std::vector<TDot>& dots)
{
    std::vector<TPixelProbe> probes;
    for (const TDot& d : dots)
        probes.push_back({d.X, d.Y, d.Color, "(" + std::to_string(d.X) + ", " + std::to_string(d.Y) + ")"});
    return probes;
}

constexpr TColor kGround = clYellow;

// A picture on a ground colour that transparent pixels leave visible.
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

TEST(ButtonGlyph, TheStripsShapeGivesNumGlyphsAndItsCornerTheTransparentColour)
{
    const struct {
        int width, before, after;
    } rows[] = {{32, 1, 2}, {80, 1, 5}, {96, 3, 1}, {20, 3, 3}};
    for (const auto& row : rows) {
        TUiButtonGlyph painter;
        painter.SetNumGlyphs(row.before);
        painter.SetGlyph(Solid(row.width, 16, clRed));
        EXPECT_EQ(painter.NumGlyphs(), row.after) << row.width << " x 16";
        EXPECT_EQ(painter.TransparentColor(), clFuchsia);
    }
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows({"X.", "X."}));
    EXPECT_EQ(painter.TransparentColor(), clWhite) << "monochrome";
}

struct TLookCase {
    std::string Name;
    S State;
    std::vector<TDot> Probes;
};

class TwoCellLooks : public ::testing::TestWithParam<TLookCase> {};

// Cell 0: red, a clBtnFace pixel and blue on fuchsia; cell 1: green.
TEST_P(TwoCellLooks, ComeFromTheirCellOrTheGreyCopy)
{
    const TLookCase& c = GetParam();
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows(
        {"rFffgggg", "ffbfgggg", "ffffgggg", "ffffgggg"},
        {{'r', clRed}, {'F', ColorToRGB(clBtnFace)}, {'b', clBlue}, {'f', clFuchsia}, {'g', clLime}}));
    ASSERT_EQ(painter.NumGlyphs(), 2);
    TSurface surface;
    EXPECT_EQ(painter.DrawButtonGlyph(surface.canvas, 0, 0, c.State), (TSize{4, 4}));
    EXPECT_TRUE(PixelsAre(surface.image, Dots(c.Probes), c.Name));
}

const TColor kGreyRed = RGBToColor(76, 76, 76);
const TColor kGreyBlue = RGBToColor(28, 28, 28);

INSTANTIATE_TEST_SUITE_P(
    ButtonGlyph, TwoCellLooks,
    ::testing::Values(TLookCase{"up", S::sbsUp, {{0, 0, clRed}, {2, 1, clBlue}, {3, 3, kGround}}},
                      TLookCase{"pressed_shares_cell_0", S::sbsDown, {{0, 0, clRed}, {3, 3, kGround}}},
                      TLookCase{"disabled_is_cell_1", S::sbsDisabled, {{0, 0, clLime}, {3, 3, clLime}}},
                      TLookCase{"inactive_is_grey",
                                S::sbsInactive,
                                {{0, 0, kGreyRed}, {1, 0, clBtnFace}, {2, 1, kGreyBlue}, {3, 3, kGround}}}),
    [](const auto& row) { return row.param.Name; });

TEST(ButtonGlyph, OneCellDisabledKeepsOnlyTheBlackPixelsEmbossed)
{
    TUiButtonGlyph painter;
    painter.SetGlyph(TBitmap::FromRows({"X..", "...", "..."}));
    TSurface surface;
    painter.DrawButtonGlyph(surface.canvas, 0, 0, S::sbsDisabled);
    EXPECT_TRUE(PixelsAre(
        surface.image, Dots({{0, 0, clBtnShadow}, {1, 1, clBtnHighlight}, {1, 0, kGround}, {2, 2, kGround}}),
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
    painter.Draw(surface.canvas, Rect(0, 0, 25, 25), {}, TButtonLayout::blGlyphTop, -1, 1, false, S::sbsUp,
                 0);
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
    EXPECT_EQ(surface.At(21, 20), kGreyBlue);
    EXPECT_EQ(painter.DrawButtonGlyph(surface.canvas, 0, 0, S::sbsUp), (TSize{16, 16}));
    EXPECT_EQ(surface.At(15, 15), clRed);
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
    EXPECT_EQ(CountPixels(surface.image, QRect(0, 0, 20, 20), clBtnText), 7 + 5 + 3 + 1);
    EXPECT_TRUE(PixelsAre(surface.image,
                          Dots({{10, 9, clBtnText},
                                {16, 9, clBtnText},
                                {13, 12, clBtnText},
                                {20, 19, clBtnShadow},
                                {27, 20, clBtnHighlight},
                                {24, 23, clBtnHighlight}}),
                          "popup_mark"));
}

// --- drawing utilities
// --------------------------------------------------------------------------------------

TEST(UiDrawUtils, DisabledBitmapEmbossesTheOutlinePixels)
{
    // A black pixel at (1, 1), a red one at (2, 2), a black one at the right edge.
    TBitmap source = TBitmap::FromRows({"....", ".X..", "..r.", "...X"}, {{'X', clBlack}, {'r', clRed}});
    const QImage with = CreateDisabledBitmapEx(source, clBlack, clSilver, clWhite, clGray, true).Image();
    EXPECT_TRUE(
        PixelsAre(with, Dots({{1, 1, clGray}, {2, 2, clWhite}, {0, 0, clSilver}, {3, 3, clGray}}), "with"));
    const QImage without = CreateDisabledBitmapEx(source, clBlack, clSilver, clWhite, clGray, false).Image();
    EXPECT_TRUE(PixelsAre(without, Dots({{1, 1, clGray}, {2, 2, clSilver}}), "without_highlight"));
}

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
    EXPECT_TRUE(PixelsAre(surface.image, Dots({{0, 0, clRed}, {8, 0, clNavy}, {15, 0, clNavy}}),
                          "copy_parent_image"));

    auto* first = new TSwatch(&parent, clBlack, QRect(0, 0, 5, 5));
    first->stackUnder(parent.findChildren<TSwatch*>().front());
    TSurface alone(5, 5);
    CopyParentImage(first, alone.canvas);
    EXPECT_EQ(alone.At(2, 2), clNavy) << "a first child gets only the parent's painting";
}

TEST(UiDrawUtils, KillMessageRemovesQueuedEventsOfOneKindButNeverQuit)
{
    struct TCounter : QObject {
        int seen = 0;
        bool event(QEvent*) override { return ++seen, true; }
    } counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Quit));
    KillMessage(&counter, QEvent::User);
    KillMessage(&counter, QEvent::Quit);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(counter.seen, 2);
}

} // namespace
} // namespace carlume::test
