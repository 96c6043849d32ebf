#pragma once

// The glyph and caption painter of the speed button. Each look of a glyph strip is built once and kept in
// an image list shared by every painter whose glyphs have that size; the lists live in one process-wide
// cache.

#include "components/button_layout.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/geometry.h"
#include "platform/gui/image_list.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace carlume {

/// DrawText flags for a caption without and with word wrap.
constexpr std::array<unsigned, 2> WordWrapFlags = {0, DT_WORDBREAK};

/// An image list of one size whose slots are handed out and given back; a given-back slot keeps its
/// image and is reused by the next addition.
class TGlyphList {
public:
    /// An empty list of images of that size.
    TGlyphList(int width, int height);

    int Width() const { return images_.Width(); }
    int Height() const { return images_.Height(); }
    /// The first free slot, the list growing by one entry when none is free; the slot is taken.
    int AllocateIndex();
    /// Puts the image (white `mask` pixels transparent) into a new slot and returns it.
    int Add(const TBitmap& image, const TBitmap* mask);
    /// Puts the image into a new slot with its `maskColor` pixels transparent and returns the slot.
    int AddMasked(const TBitmap& image, TColor maskColor);
    /// Gives the slot back (nothing when it is not taken).
    void Delete(int index);
    /// Number of taken slots.
    int UsedCount() const { return usedCount_; }
    /// Number of entries, taken or not.
    int Count() const { return images_.Count(); }
    /// Draws the slot's image at (x, y).
    void Draw(TCanvas& canvas, int x, int y, int index) const { images_.Draw(canvas, x, y, index); }
    /// The slot's image with its alpha channel.
    QImage Image(int index) const { return images_.Image(index); }

private:
    TImageList images_;
    std::vector<bool> usedSlots_;
    int usedCount_ = 0;
};

/// At most one glyph list per image size.
class TGlyphCache {
public:
    /// The list of that size, created when there is none.
    TGlyphList* GetList(int width, int height);
    /// Frees the list when no slot of it is taken.
    void ReturnList(TGlyphList* list);
    /// True when the cache holds no list.
    bool Empty() const { return lists_.empty(); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

/// The process-wide cache; null while no painter needs one.
TGlyphCache* SharedGlyphCache();

class TUiButtonGlyph {
public:
    /// An empty glyph with one cell, transparent colour clFuchsia, centred caption without word wrap.
    TUiButtonGlyph();
    /// Gives back every slot; frees the shared cache when it is empty then.
    ~TUiButtonGlyph();
    TUiButtonGlyph(const TUiButtonGlyph&) = delete;
    TUiButtonGlyph& operator=(const TUiButtonGlyph&) = delete;

    /// Forgets every built look and gives back its slot; looks are built again when next drawn.
    void Invalidate();

    /// The glyph strip.
    const TBitmap& Glyph() const { return sourceBitmap_; }
    /// Copies the strip in; the number of cells and the transparent colour follow from it.
    void SetGlyph(const TBitmap& value);
    /// Cells in the strip (1..5).
    int NumGlyphs() const { return numGlyphs_; }
    /// Values below 1 are ignored; OnChange is not told.
    void SetNumGlyphs(int value);
    /// The glyph colour drawn transparent.
    TColor TransparentColor() const { return transparentColor_; }
    /// Caption wraps onto several lines.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { wordWrap_ = value; }
    /// Caption alignment (read by the button for its text flags).
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; }
    /// Told when the glyph strip changed.
    std::function<void()> OnChange;

    /// Slot of the look, built on first use; -1 when there is nothing to draw.
    int CreateButtonGlyph(TUiSpeedButtonState state);
    /// Slot of the look of entry `index` of `images`, built on first use; -1 when there is nothing.
    int CreateImageGlyph(TUiSpeedButtonState state, const TImageList& images, int index);
    /// The grey of a colour; the transparent colour and clBtnFace stay as they are.
    TColor MapColor(TColor color) const;

    /// Lays out glyph and caption in `client`: the caption is shortened to fit, `glyphPos` gets the
    /// glyph's top-left and `textBounds` the caption's rectangle.
    void CalcButtonLayout(TCanvas& canvas, const TRect& client, QString& caption, TButtonLayout layout,
                          int margin, int spacing, bool popupMark, TPoint& glyphPos, TRect& textBounds,
                          unsigned flags, const TImageList* images, int imageIndex);
    /// The caption cut to `maxLen` characters and, without word wrap, each line shortened to `width`.
    QString MinimizeCaption(const TCanvas& canvas, const QString& caption, int maxLen, int width) const;
    /// Draws the look's glyph at (x, y); returns the size drawn, (0, 0) for nothing.
    TSize DrawButtonGlyph(TCanvas& canvas, int x, int y, TUiSpeedButtonState state);
    /// Draws entry `index` of `images` in the look at (x, y); returns the size drawn.
    TSize DrawButtonImage(TCanvas& canvas, int x, int y, TUiSpeedButtonState state, const TImageList* images,
                          int index);
    /// Draws the caption into `textBounds`, embossed when disabled.
    void DrawButtonText(TCanvas& canvas, const QString& caption, const TRect& textBounds,
                        TUiSpeedButtonState state, unsigned flags);
    /// The 7 x 4 drop-down triangle whose top row starts at (x, y - 1).
    void DrawPopupMark(TCanvas& canvas, int x, int y, TUiSpeedButtonState state);

    /// Draws glyph (or image-list entry), caption and drop-down mark; returns the caption's rectangle.
    TRect DrawEx(TCanvas& canvas, const TRect& client, const QString& caption, TButtonLayout layout,
                 int margin, int spacing, bool popupMark, const TImageList* images, int imageIndex,
                 TUiSpeedButtonState state, unsigned flags);
    /// `DrawEx` without an image list.
    TRect Draw(TCanvas& canvas, const TRect& client, const QString& caption, TButtonLayout layout, int margin,
               int spacing, bool popupMark, TUiSpeedButtonState state, unsigned flags);

    /// The list holding the look's image, or null while it is not built.
    const TGlyphList* ListOf(TUiSpeedButtonState state) const;
    /// The slot of a built look, -1 while it is not built.
    int ImageIndex(TUiSpeedButtonState state) const;

private:
    struct TLookSlot {
        TGlyphList* List = nullptr;
        int Index = -1;
    };

    // The last layout DrawEx worked out, with everything it depends on: buttons paint the same layout
    // over and over, and measuring text is the dearest part of a paint.
    struct TLayoutMemo {
        bool Valid = false;
        TRect Client;
        QString Caption;
        TButtonLayout Layout = TButtonLayout::blGlyphTop;
        int Margin = 0;
        int Spacing = 0;
        bool PopupMark = false;
        unsigned Flags = 0;
        bool WordWrap = false;
        const TImageList* Images = nullptr;
        int ImageIndex = -1;
        TSize ImageSize;
        int ImageCount = 0;
        QString FontName;
        int FontHeight = 0;
        TFontStyles FontStyle = 0;
        QString ShortCaption;
        TPoint GlyphPos;
        TRect TextBounds;
    };

    // The caption's ink as last drawn (transparent elsewhere), for the same reason.
    struct TTextMemo {
        bool Valid = false;
        QString Text;
        TSize Size;
        unsigned Flags = 0;
        bool Disabled = false;
        QString FontName;
        int FontHeight = 0;
        TFontStyles FontStyle = 0;
        TColor FontColor = clNone;
        QImage Ink;
    };

    void GlyphChanged();
    TGlyphList* ListFor(int width, int height);
    int Store(TUiSpeedButtonState state, TGlyphList* list, int index);

    TBitmap sourceBitmap_;
    // One list per image size: the strip's cell size and, apart from it, an image list's size, so that
    // building one look never moves another's image.
    std::vector<TGlyphList*> lists_;
    std::array<TLookSlot, 5> looks_;
    TLayoutMemo layout_;
    TTextMemo text_;
    TColor transparentColor_ = clFuchsia;
    int numGlyphs_ = 1;
    bool wordWrap_ = false;
    TAlignment alignment_ = TAlignment::taCenter;
};

} // namespace carlume
