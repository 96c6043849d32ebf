#include "components/button_glyph.h"

#include "components/ui_draw_utils.h"

#include <QStringList>

#include <algorithm>

namespace carlume {

namespace {

std::unique_ptr<TGlyphCache>& CacheHolder()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

TGlyphCache& EnsureCache()
{
    auto& cache = CacheHolder();
    if (!cache)
        cache = std::make_unique<TGlyphCache>();
    return *cache;
}

constexpr std::size_t Ord(TUiSpeedButtonState state)
{
    return std::size_t(state);
}

constexpr int kMaxCaption = 255;

// A work picture of the cell size on a clBtnFace ground.
TBitmap WorkBitmap(int width, int height, TColor ground)
{
    TBitmap work(width, height);
    work.Canvas().Brush().SetColor(ground);
    work.Canvas().FillRect(Rect(0, 0, width, height));
    return work;
}

} // namespace

// --- glyph list
// ---------------------------------------------------------------------------------------------

TGlyphList::TGlyphList(int width, int height)
    : images_(width, height)
{
}

int TGlyphList::AllocateIndex()
{
    const auto free = std::find(usedSlots_.begin(), usedSlots_.end(), false);
    const auto index = std::size_t(free - usedSlots_.begin());
    if (index >= usedSlots_.size()) {
        QImage empty(Width(), Height(), QImage::Format_ARGB32);
        empty.fill(Qt::transparent);
        images_.AddImage(empty);
        usedSlots_.resize(index + 1);
    }
    usedSlots_[index] = true;
    return int(index);
}

int TGlyphList::Add(const TBitmap& image, const TBitmap* mask)
{
    const int index = AllocateIndex();
    images_.Replace(index, image, mask);
    ++usedCount_;
    return index;
}

int TGlyphList::AddMasked(const TBitmap& image, TColor maskColor)
{
    const int index = AllocateIndex();
    images_.ReplaceMasked(index, image, maskColor);
    ++usedCount_;
    return index;
}

void TGlyphList::Delete(int index)
{
    if (index >= 0 && std::size_t(index) < usedSlots_.size() && usedSlots_[std::size_t(index)]) {
        usedSlots_[std::size_t(index)] = false;
        --usedCount_;
    }
}

// --- glyph cache
// --------------------------------------------------------------------------------------------

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it) {
        if ((*it)->Width() == width && (*it)->Height() == height)
            return it->get();
    }
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (list == nullptr || list->UsedCount() != 0)
        return;
    std::erase_if(lists_, [list](const auto& held) { return held.get() == list; });
}

TGlyphCache* SharedGlyphCache()
{
    return CacheHolder().get();
}

// --- glyph painter
// ------------------------------------------------------------------------------------------

TUiButtonGlyph::TUiButtonGlyph()
{
    sourceBitmap_.OnChange = [this](TBitmap&) { GlyphChanged(); };
    EnsureCache();
}

TUiButtonGlyph::~TUiButtonGlyph()
{
    sourceBitmap_.OnChange = nullptr;
    Invalidate();
    if (auto& cache = CacheHolder(); cache && cache->Empty())
        cache.reset();
}

void TUiButtonGlyph::Invalidate()
{
    layout_.Valid = false;
    text_.Valid = false;
    for (TLookSlot& look : looks_) {
        if (look.List != nullptr && look.Index != -1)
            look.List->Delete(look.Index);
        look = TLookSlot{};
    }
    for (TGlyphList* list : lists_) {
        if (TGlyphCache* cache = SharedGlyphCache())
            cache->ReturnList(list);
    }
    lists_.clear();
}

void TUiButtonGlyph::GlyphChanged()
{
    Invalidate();
    const int width = sourceBitmap_.Width();
    const int height = sourceBitmap_.Height();
    if (height > 0) {
        transparentColor_ = sourceBitmap_.TransparentColor() & ~0x02000000;
        if (width % height == 0) {
            int cells = width / height;
            if (cells > 5)
                cells = 1;
            SetNumGlyphs(cells);
        }
    }
    if (OnChange)
        OnChange();
}

void TUiButtonGlyph::SetGlyph(const TBitmap& value)
{
    Invalidate();
    sourceBitmap_.Assign(value);
}

void TUiButtonGlyph::SetNumGlyphs(int value)
{
    value = std::min(value, 5);
    if (value != numGlyphs_ && value > 0) {
        Invalidate();
        layout_.Valid = false;
        numGlyphs_ = value;
    }
}

TGlyphList* TUiButtonGlyph::ListFor(int width, int height)
{
    for (TGlyphList* list : lists_) {
        if (list->Width() == width && list->Height() == height)
            return list;
    }
    // Another painter may have freed the cache meanwhile.
    TGlyphList* list = EnsureCache().GetList(width, height);
    lists_.push_back(list);
    return list;
}

int TUiButtonGlyph::Store(TUiSpeedButtonState state, TGlyphList* list, int index)
{
    looks_[Ord(state)] = TLookSlot{list, index};
    sourceBitmap_.Dormant();
    return index;
}

TColor TUiButtonGlyph::MapColor(TColor color) const
{
    const TColor rgb = ColorToRGB(color);
    if (color == transparentColor_ || rgb == ColorToRGB(transparentColor_) || rgb == ColorToRGB(clBtnFace))
        return color;
    const int grey = (GetRValue(rgb) * 77 + GetGValue(rgb) * 150 + GetBValue(rgb) * 29) >> 8;
    return RGBToColor(grey, grey, grey);
}

int TUiButtonGlyph::CreateButtonGlyph(TUiSpeedButtonState state)
{
    if (state == TUiSpeedButtonState::sbsDown && numGlyphs_ < 3)
        state = TUiSpeedButtonState::sbsUp;
    if (looks_[Ord(state)].Index != -1)
        return looks_[Ord(state)].Index;
    if (sourceBitmap_.Width() == 0 || sourceBitmap_.Height() == 0 || sourceBitmap_.Empty())
        return -1;
    const int cellWidth = sourceBitmap_.Width() / numGlyphs_;
    const int cellHeight = sourceBitmap_.Height();
    // A strip narrower than its number of cells has no picture to give.
    if (cellWidth == 0 || cellHeight == 0)
        return -1;
    TGlyphList* list = ListFor(cellWidth, cellHeight);
    const int cell = int(Ord(state)) < numGlyphs_ ? int(Ord(state)) : 0;
    const QImage& source = sourceBitmap_.Image();
    const auto copyCell = [&](int fromCell) {
        TBitmap work(source.copy(fromCell * cellWidth, 0, cellWidth, cellHeight));
        return list->AddMasked(work, transparentColor_);
    };

    int index = -1;
    switch (state) {
    case TUiSpeedButtonState::sbsUp:
    case TUiSpeedButtonState::sbsDown:
    case TUiSpeedButtonState::sbsExclusive:
        index = copyCell(cell);
        break;
    case TUiSpeedButtonState::sbsDisabled:
        if (numGlyphs_ > 1) {
            index = copyCell(cell);
        } else {
            const TBitmap picture = CreateDisabledBitmap(sourceBitmap_, clBlack);
            index = list->AddMasked(picture, ColorToRGB(clBtnFace));
        }
        break;
    case TUiSpeedButtonState::sbsInactive:
        if (numGlyphs_ == 5) {
            index = copyCell(cell);
        } else {
            QImage grey(cellWidth, cellHeight, QImage::Format_RGB32);
            for (int y = 0; y < cellHeight; ++y)
                for (int x = 0; x < cellWidth; ++x)
                    grey.setPixel(x, y, ToQRgb(MapColor(FromQRgb(source.pixel(x, y)))));
            index = list->AddMasked(TBitmap(grey), transparentColor_);
        }
        break;
    }
    return Store(state, list, index);
}

int TUiButtonGlyph::CreateImageGlyph(TUiSpeedButtonState state, const TImageList& images, int index)
{
    if (state == TUiSpeedButtonState::sbsDown)
        state = TUiSpeedButtonState::sbsUp;
    if (looks_[Ord(state)].Index != -1)
        return looks_[Ord(state)].Index;
    if (images.Width() == 0 || images.Height() == 0 || images.Count() == 0 || index < 0 ||
        index >= images.Count())
        return -1;
    const int width = images.Width();
    const int height = images.Height();
    TGlyphList* list = ListFor(width, height);
    int slot = -1;
    switch (state) {
    case TUiSpeedButtonState::sbsDisabled: {
        TBitmap work = WorkBitmap(width, height, clBtnFace);
        ImageListDrawDisabled(images, work.Canvas(), 0, 0, index, clBtnHighlight, clBtnShadow, true);
        slot = list->AddMasked(work, ColorToRGB(clBtnFace));
        break;
    }
    case TUiSpeedButtonState::sbsInactive: {
        TBitmap work = WorkBitmap(width, height, clBtnFace);
        images.Draw(work.Canvas(), 0, 0, index);
        QImage grey = work.Image();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                grey.setPixel(x, y, ToQRgb(MapColor(FromQRgb(grey.pixel(x, y)))));
        slot = list->AddMasked(TBitmap(grey), ColorToRGB(clBtnFace));
        break;
    }
    default: {
        TBitmap work = WorkBitmap(width, height, clWhite);
        images.Draw(work.Canvas(), 0, 0, index);
        TBitmap mask = WorkBitmap(width, height, clWhite);
        images.DrawMask(mask.Canvas(), 0, 0, index);
        slot = list->Add(work, &mask);
        break;
    }
    }
    return Store(state, list, slot);
}

QString TUiButtonGlyph::MinimizeCaption(const TCanvas& canvas, const QString& caption, int maxLen,
                                        int width) const
{
    const QString cut = caption.left(maxLen);
    if (wordWrap_)
        return cut;
    QString text = cut;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = MinimizeText(line, canvas, width);
    QString joined = lines.join(QLatin1Char('\n'));
    qsizetype end = joined.size();
    while (end > 0 && joined.at(end - 1).unicode() <= 0x20)
        --end;
    joined.truncate(end);
    return joined.left(maxLen);
}

void TUiButtonGlyph::CalcButtonLayout(TCanvas& canvas, const TRect& client, QString& caption,
                                      TButtonLayout layout, int margin, int spacing, bool popupMark,
                                      TPoint& glyphPos, TRect& textBounds, unsigned flags,
                                      const TImageList* images, int imageIndex)
{
    const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    const TPoint clientSize{client.Right - client.Left, client.Bottom - client.Top};
    TPoint glyphSize;
    if (images != nullptr && images->Width() >= 1 && imageIndex >= 0 && imageIndex < images->Count())
        glyphSize = {images->Width(), images->Height()};
    else
        glyphSize = {sourceBitmap_.Width() / numGlyphs_, sourceBitmap_.Height()};

    int maxX = clientSize.X;
    int maxY = clientSize.Y;
    if (horizontal) {
        maxX = clientSize.X - glyphSize.X;
        if (margin != -1)
            maxX -= margin;
        if (spacing != -1)
            maxX -= spacing;
        if (popupMark)
            maxX -= 9;
    } else {
        maxY = clientSize.Y - glyphSize.Y;
        if (margin != -1)
            maxY -= margin;
        if (spacing != -1)
            maxY -= spacing;
    }
    maxX = std::max(maxX, 0);
    maxY = std::max(maxY, 0);

    caption = MinimizeCaption(canvas, caption, kMaxCaption, maxX);
    if (!caption.isEmpty()) {
        textBounds = Rect(0, 0, maxX, 0);
        canvas.DrawText(textBounds, caption,
                        DT_CALCRECT | DT_CENTER | DT_VCENTER | WordWrapFlags[wordWrap_ ? 1 : 0] | flags);
    } else {
        textBounds = Rect(0, 0, 0, 0);
    }
    textBounds.Bottom = std::max(textBounds.Top, textBounds.Top + std::min(maxY, textBounds.Height()));
    textBounds.Right = std::max(textBounds.Left, textBounds.Left + std::min(maxX, textBounds.Width()));
    TPoint textSize{textBounds.Width(), textBounds.Height()};

    if (popupMark) {
        if (glyphSize.X == 0 || glyphSize.Y == 0 || layout == TButtonLayout::blGlyphLeft)
            textSize.X += 9;
        else if (glyphSize.X > 0)
            glyphSize.X += 6;
    }

    TPoint textPos;
    if (horizontal) {
        glyphPos.Y = clientSize.Y / 2 - glyphSize.Y / 2;
        textPos.Y = clientSize.Y / 2 - textSize.Y / 2;
    } else {
        glyphPos.X = clientSize.X / 2 - glyphSize.X / 2;
        textPos.X = clientSize.X / 2 - textSize.X / 2;
    }

    if (textSize.X == 0 || glyphSize.X == 0)
        spacing = 0;

    const int c = horizontal ? clientSize.X : clientSize.Y;
    const int g = horizontal ? glyphSize.X : glyphSize.Y;
    const int t = horizontal ? textSize.X : textSize.Y;
    if (margin == -1 && spacing == -1) {
        margin = (c - (g + t)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = c / 2 - (g + spacing + t) / 2;
    } else if (spacing == -1) {
        spacing = (c - (margin + g)) / 2 - t / 2;
    }

    switch (layout) {
    case TButtonLayout::blGlyphLeft:
        glyphPos.X = margin;
        textPos.X = glyphPos.X + glyphSize.X + spacing;
        break;
    case TButtonLayout::blGlyphRight:
        glyphPos.X = clientSize.X - margin - glyphSize.X;
        textPos.X = glyphPos.X - spacing - textSize.X;
        break;
    case TButtonLayout::blGlyphTop:
        glyphPos.Y = margin;
        textPos.Y = glyphPos.Y + glyphSize.Y + spacing;
        break;
    case TButtonLayout::blGlyphBottom:
        glyphPos.Y = clientSize.Y - margin - glyphSize.Y;
        textPos.Y = glyphPos.Y - spacing - textSize.Y;
        break;
    }

    glyphPos.X += client.Left;
    glyphPos.Y += client.Top;
    textBounds = textBounds.Offset(client.Left + textPos.X, client.Top + textPos.Y);
}

TSize TUiButtonGlyph::DrawButtonGlyph(TCanvas& canvas, int x, int y, TUiSpeedButtonState state)
{
    if (sourceBitmap_.Width() == 0 || sourceBitmap_.Height() == 0 || sourceBitmap_.Empty())
        return {};
    const int index = CreateButtonGlyph(state);
    if (index == -1)
        return {};
    if (state == TUiSpeedButtonState::sbsDown && numGlyphs_ < 3)
        state = TUiSpeedButtonState::sbsUp;
    const TGlyphList* list = looks_[Ord(state)].List;
    list->Draw(canvas, x, y, index);
    return {list->Width(), list->Height()};
}

TSize TUiButtonGlyph::DrawButtonImage(TCanvas& canvas, int x, int y, TUiSpeedButtonState state,
                                      const TImageList* images, int index)
{
    if (images == nullptr || index < 0 || index >= images->Count())
        return {};
    switch (state) {
    case TUiSpeedButtonState::sbsDisabled:
        ImageListDrawDisabled(*images, canvas, x, y, index, clBtnHighlight, clBtnShadow, true);
        break;
    case TUiSpeedButtonState::sbsInactive:
        if (const int slot = CreateImageGlyph(state, *images, index); slot != -1)
            looks_[Ord(state)].List->Draw(canvas, x, y, slot);
        break;
    default:
        images->Draw(canvas, x, y, index);
        break;
    }
    return {images->Width(), images->Height()};
}

void TUiButtonGlyph::DrawButtonText(TCanvas& canvas, const QString& caption, const TRect& textBounds,
                                    TUiSpeedButtonState state, unsigned flags)
{
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    const QString text = caption.left(kMaxCaption);
    const unsigned textFlags = DT_VCENTER | WordWrapFlags[wordWrap_ ? 1 : 0] | flags;
    const bool disabled = state == TUiSpeedButtonState::sbsDisabled;
    const TSize size{textBounds.Width(), textBounds.Height()};
    const TFont& font = canvas.Font();
    TTextMemo& m = text_;
    if (!m.Valid || m.Text != text || m.Size != size || m.Flags != textFlags || m.Disabled != disabled ||
        m.FontName != font.Name() || m.FontHeight != font.Height() || m.FontStyle != font.Style() ||
        (!disabled && m.FontColor != font.Color())) {
        m = TTextMemo{true,        text,          size,         textFlags,    disabled,
                      font.Name(), font.Height(), font.Style(), font.Color(), {}};
        // One pixel more each way for the embossed copy.
        m.Ink =
            QImage(std::max(size.cx, 0) + 1, std::max(size.cy, 0) + 1, QImage::Format_ARGB32_Premultiplied);
        m.Ink.fill(Qt::transparent);
        TCanvas ink(&m.Ink);
        ink.Font().Assign(font);
        ink.Brush().SetStyle(TBrushStyle::bsClear);
        TRect bounds = Rect(0, 0, size.cx, size.cy);
        if (disabled) {
            TRect shifted = bounds.Offset(1, 1);
            ink.Font().SetColor(clBtnHighlight);
            ink.DrawText(shifted, text, textFlags);
            ink.Font().SetColor(clBtnShadow);
        }
        ink.DrawText(bounds, text, textFlags);
    }
    canvas.DrawImage(textBounds.Left, textBounds.Top, m.Ink);
    if (disabled)
        canvas.Font().SetColor(clBtnShadow);
}

void TUiButtonGlyph::DrawPopupMark(TCanvas& canvas, int x, int y, TUiSpeedButtonState state)
{
    const auto mark = [&canvas](int left, int middle, TColor color) {
        for (int row = 0; row < 4; ++row)
            for (int col = left + row; col <= left + 6 - row; ++col)
                canvas.SetPixel(col, middle - 1 + row, color);
    };
    if (state == TUiSpeedButtonState::sbsDisabled) {
        mark(x + 1, y + 1, clBtnHighlight);
        mark(x, y, clBtnShadow);
    } else {
        mark(x, y, clBtnText);
    }
}

TRect TUiButtonGlyph::DrawEx(TCanvas& canvas, const TRect& client, const QString& caption,
                             TButtonLayout layout, int margin, int spacing, bool popupMark,
                             const TImageList* images, int imageIndex, TUiSpeedButtonState state,
                             unsigned flags)
{
    QString shortCaption = caption;
    TPoint glyphPos;
    TRect textBounds;
    CalcButtonLayout(canvas, client, shortCaption, layout, margin, spacing, popupMark, glyphPos, textBounds,
                     flags, images, imageIndex);
    const bool useImages =
        images != nullptr && imageIndex >= 0 && imageIndex < images->Count() && images->Width() > 0;
    const TSize drawn = useImages ? DrawButtonImage(canvas, glyphPos.X, glyphPos.Y, state, images, imageIndex)
                                  : DrawButtonGlyph(canvas, glyphPos.X, glyphPos.Y, state);
    DrawButtonText(canvas, shortCaption, textBounds, state, flags);
    if (popupMark) {
        TPoint at;
        if (layout != TButtonLayout::blGlyphLeft && (sourceBitmap_.Width() > 0 || useImages)) {
            at = {glyphPos.X + drawn.cx + 1, glyphPos.Y + drawn.cy / 2};
        } else {
            at.X = !shortCaption.isEmpty() ? textBounds.Right + 3 : (client.Left + client.Right - 7) / 2;
            at.Y = textBounds.Top + textBounds.Height() / 2;
        }
        DrawPopupMark(canvas, at.X, at.Y, state);
    }
    return textBounds;
}

TRect TUiButtonGlyph::Draw(TCanvas& canvas, const TRect& client, const QString& caption, TButtonLayout layout,
                           int margin, int spacing, bool popupMark, TUiSpeedButtonState state, unsigned flags)
{
    return DrawEx(canvas, client, caption, layout, margin, spacing, popupMark, nullptr, -1, state, flags);
}

const TGlyphList* TUiButtonGlyph::ListOf(TUiSpeedButtonState state) const
{
    return looks_[Ord(state)].List;
}

int TUiButtonGlyph::ImageIndex(TUiSpeedButtonState state) const
{
    return looks_[Ord(state)].Index;
}

} // namespace carlume
