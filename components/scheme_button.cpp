#include "components/scheme_button.h"

#include <QFontInfo>

#include <cmath>
#include <utility>

namespace carlume {

namespace {

// The scheme tables as they are published, $BBGGRR, one row per colour property.
struct TNeoRow {
    int Index;
    std::array<TColor, 7> Colors; // csNeoDesert .. csNeoLilac
};

constexpr TNeoRow kNeoRows[] = {
    {sciFace, {0xC6ECFF, 0xFFEEDD, 0xDDF9E8, 0xF3F3F3, 0xE8E8FF, 0xF0FFFF, 0xFFFFFF}},
    {sciGrad, {0x37BEFF, 0xFFB66C, 0x5EDF8E, 0xBCBCBC, 0x9595FF, 0x20D8F9, 0xF0C4B3}},
    {sciDark, {0x009CE8, 0xFFA851, 0x24B95C, 0xA7A7A7, 0x8282FF, 0x00BBBB, 0xA8864D}},
    {sciLight, {0xB9E7FF, 0xFFECD9, 0xCBF5DB, 0xF7F7F7, 0xDDDDFF, 0xF2FFFF, 0xE9E9D1}},
    {sciBorder, {0x005680, 0xB35900, 0x156F37, 0x626262, 0x00009D, 0x006464, 0xC9B189}},
    {sciText, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {sciOver + sciFace, {0xB3E7FF, 0xFFEBD7, 0xBFF2D2, 0xF0F0F0, 0xDFDFFF, 0xD5FCFF, 0xC1FFFF}},
    {sciOver + sciGrad, {0x00A3F0, 0xFFA346, 0x3DD877, 0xA6A6A6, 0x7777FF, 0x05BCDC, 0xA34521}},
    {sciOver + sciDark, {0x008ED2, 0xFF9E3E, 0x23B459, 0xA2A2A2, 0x6A6AFF, 0x00A6A6, 0xF3D0C2}},
    {sciOver + sciLight, {0x95DAFF, 0xFFE4CA, 0xB5F0CB, 0xEEEEEE, 0xD7D7FF, 0xCCFFFF, 0xF3D0C2}},
    {sciOver + sciBorder, {0x005680, 0xB35900, 0x17793D, 0x757575, 0x00009D, 0x006464, 0x8A3A1C}},
    {sciOver + sciText, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0xFFFFFF}},
    {sciDown + sciFace, {0x2BBAFF, 0xFFB366, 0x4EDC83, 0xCACACA, 0xA6A6FF, 0x05D1F5, 0xEAAC95}},
    {sciDown + sciGrad, {0x77D2FF, 0xFFCE9D, 0x80E6A6, 0xDADADA, 0xB9B9FF, 0x66F0FB, 0xC1FFFF}},
    {sciDown + sciDark, {0x8AD9FF, 0xFFD3A8, 0x89E7AC, 0xE9E9E9, 0xCECEFF, 0x66F3FF, 0xF3D0C2}},
    {sciDown + sciLight, {0x0077B7, 0xFF9E3E, 0x177D3E, 0x7C7C7C, 0x5E5EFF, 0x008484, 0xB94E24}},
    {sciDown + sciBorder, {0x0070A6, 0xB35900, 0x167439, 0x4E4E4E, 0x00009D, 0x006464, 0xB94E24}},
    {sciDown + sciText, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {sciFocusRect, {0x4080FF, 0xFFA953, 0x24B95C, 0xADADAD, 0x5E5EFF, 0x00BBBB, 0xA8864D}},
};

// The same in every Neo scheme.
constexpr std::pair<int, TColor> kNeoDisabled[] = {
    {sciDisabled + sciFace, 0xEEEEEE},   {sciDisabled + sciGrad, 0xFFFFFF},
    {sciDisabled + sciDark, 0xD2D2D2},   {sciDisabled + sciLight, 0xFFFFFF},
    {sciDisabled + sciBorder, 0x808080}, {sciDisabled + sciText, 0x808080},
};

struct TPlainRow {
    int Index;
    std::array<TColor, 6> Colors; // csDesert, csGrass, csSky, csSun, csRose, csSilver
};

constexpr TPlainRow kPlainRows[] = {
    {sciFace, {0x95DDFF, 0x98EBB7, 0xFFE0C1, 0xA8FFFF, 0xC6C6FF, 0xE0E0E0}},
    {sciDark, {0x009CE8, 0x24B95C, 0xFFA953, 0x00BBBB, 0x8282FF, 0xAEAEAE}},
    {sciLight, {0xB9E7FF, 0xCBF5DB, 0xFFECD9, 0xF2FFFF, 0xDDDDFF, 0xF7F7F7}},
    {sciBorder, {0x005680, 0x156F37, 0xB35900, 0x006464, 0x00009D, 0x626262}},
    {sciOver + sciFace, {0x6FD0FF, 0x68E196, 0xFFCD9B, 0x66F3FF, 0xB0B0FF, 0xCFCFCF}},
    {sciOver + sciDark, {0x008ED2, 0x23B459, 0xFFB164, 0x00A6A6, 0x6A6AFF, 0x797979}},
    {sciOver + sciLight, {0x95DAFF, 0xB5F0CB, 0xFFE4CA, 0xCCFFFF, 0xD7D7FF, 0xEEEEEE}},
    {sciOver + sciBorder, {0x005680, 0x17793D, 0xB35900, 0x006464, 0x00009D, 0x757575}},
    {sciDown + sciFace, {0x6FD0FF, 0x4EDC83, 0xFFC082, 0x22EEFF, 0x9F9FFF, 0xD3D3D3}},
    {sciDown + sciDark, {0x8AD9FF, 0x89E7AC, 0xFFD3A8, 0x66F3FF, 0x8888FF, 0xE9E9E9}},
    {sciDown + sciLight, {0x0077B7, 0x177D3E, 0xFF9122, 0x008484, 0x5E5EFF, 0x7C7C7C}},
    {sciDown + sciBorder, {0x0070A6, 0x167439, 0xB35900, 0x006464, 0x00009D, 0x4E4E4E}},
    {sciFocusRect, {0x4080FF, 0x00A421, 0xDC9B14, 0x008CF4, 0x5E5EFF, 0x8A8A8A}},
};

// The same in every plain scheme.
constexpr std::pair<int, TColor> kPlainCommon[] = {
    {sciText, 0x000000},
    {sciOver + sciText, 0x000000},
    {sciDown + sciText, 0x000000},
    {sciDisabled + sciFace, 0xE2E2E2},
    {sciDisabled + sciDark, 0xD8D8D8},
    {sciDisabled + sciLight, 0xEAEAEA},
    {sciDisabled + sciBorder, 0xC4C4C4},
    {sciDisabled + sciText, 0x808080},
};

bool IsNeo(TColorScheme scheme)
{
    return scheme <= csNeoLilac;
}

std::array<std::array<TColor, sciCount>, csCustom + 1> BuildSchemes()
{
    std::array<std::array<TColor, sciCount>, csCustom + 1> schemes{};
    for (auto& scheme : schemes) {
        scheme.fill(clNone);
    }
    for (int s = csNeoDesert; s <= csNeoLilac; ++s) {
        for (const TNeoRow& row : kNeoRows) {
            schemes[s][row.Index] = row.Colors[s - csNeoDesert];
        }
        for (const auto& [index, color] : kNeoDisabled) {
            schemes[s][index] = color;
        }
    }
    for (int s = csDesert; s <= csSilver; ++s) {
        for (const TPlainRow& row : kPlainRows) {
            schemes[s][row.Index] = row.Colors[s - csDesert];
        }
        for (const auto& [index, color] : kPlainCommon) {
            schemes[s][index] = color;
        }
    }
    return schemes;
}

// The class library's view of a Qt font: family, pixel height and style.
TFont FromQFont(const QFont& font)
{
    TFont result;
    result.SetName(font.family());
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    result.SetHeight(-pixels);
    TFontStyles style = 0;
    if (font.bold()) {
        style |= fsBold;
    }
    if (font.italic()) {
        style |= fsItalic;
    }
    if (font.underline()) {
        style |= fsUnderline;
    }
    if (font.strikeOut()) {
        style |= fsStrikeOut;
    }
    result.SetStyle(style);
    return result;
}

} // namespace

const std::array<TColor, sciCount>& SchemeColors(TColorScheme scheme)
{
    static const auto schemes = BuildSchemes();
    return schemes[scheme <= csCustom ? scheme : csCustom];
}

TSchemeButton::TSchemeButton(QWidget* owner)
    : TStyledPushButton(owner, true)
{
    resize(75, 25);
    setFocusPolicy(Qt::TabFocus);
    font_.Assign(FromQFont(font()));
    SetColorScheme(csNeoDesert);
    // Written directly: the scheme still reads csNeoDesert.
    colors_[sciOver + sciGrad] = clWhite;
    colors_[sciDown + sciGrad] = clWhite;
    colors_[sciDisabled + sciGrad] = clWhite;
}

TColor TSchemeButton::Color(int index) const
{
    return index >= 0 && index < sciCount ? colors_[std::size_t(index)] : clNone;
}

void TSchemeButton::SetColor(int index, TColor color)
{
    if (index < 0 || index >= sciCount) {
        return;
    }
    colors_[std::size_t(index)] = color;
    scheme_ = csCustom;
    Invalidate();
}

void TSchemeButton::SetColorScheme(TColorScheme scheme)
{
    if (scheme > csCustom) {
        return;
    }
    scheme_ = scheme;
    if (scheme != csCustom) {
        const auto& colors = SchemeColors(scheme);
        for (int i = 0; i < sciCount; ++i) {
            if (colors[std::size_t(i)] != clNone) {
                SetColor(i, colors[std::size_t(i)]);
            }
        }
        gradient_ = IsNeo(scheme);
    }
    Invalidate();
    scheme_ = scheme;
}

void TSchemeButton::SetColorSchemeNumber(int scheme)
{
    if (scheme >= csNeoDesert && scheme <= csCustom) {
        SetColorScheme(TColorScheme(scheme));
    }
}

void TSchemeButton::SetLayoutNumber(int layout)
{
    if (layout >= int(TButtonLayout::blGlyphLeft) && layout <= int(TButtonLayout::blGlyphBottom)) {
        SetLayout(TButtonLayout(layout));
    }
}

void TSchemeButton::SetCtl3D(bool ctl3D)
{
    ctl3D_ = ctl3D;
    Invalidate();
}

void TSchemeButton::SetLayout(TButtonLayout layout)
{
    layout_ = layout;
    Invalidate();
}

void TSchemeButton::SetGlyph(const TBitmap& glyph)
{
    glyph_.Assign(glyph);
    ++glyphGeneration_;
    Invalidate();
}

void TSchemeButton::SetSpacing(int spacing)
{
    spacing_ = spacing;
    Invalidate();
}

void TSchemeButton::SetTransparentGlyph(bool transparent)
{
    transparentGlyph_ = transparent;
    Invalidate();
}

void TSchemeButton::SetGradient(bool gradient)
{
    gradient_ = gradient;
    Invalidate();
}

void TSchemeButton::SetCaption(const QString& caption)
{
    if (caption != caption_) {
        caption_ = caption;
        Invalidate();
    }
}

void TSchemeButton::SetFont(const TFont& font)
{
    setFont(font.ToQFont());
    font_.Assign(font);
    Invalidate();
}

void TSchemeButton::FontChanged()
{
    font_.Assign(FromQFont(font()));
    Invalidate();
}

void TSchemeButton::SetParentFont(bool parentFont)
{
    if (parentFont) {
        setFont(QFont());
        setAttribute(Qt::WA_SetFont, false);
    } else {
        setFont(font());
    }
    Invalidate();
}

bool TSchemeButton::CanFocus() const
{
    return isEnabled() && isVisibleTo(window());
}

void TSchemeButton::SetState(TState state)
{
    state_ = state;
    Repaint();
}

void TSchemeButton::Click()
{
    // The result goes first: the form ends its show only after this handler, OnClick included, returns.
    if (TForm* form = Form()) {
        form->SetModalResult(modalResult_);
    }
    SetState(stNormal);
    if (OnClick) {
        OnClick();
    }
}

// --- mouse --------------------------------------------------------------------------------------------

void TSchemeButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) {
        OnMouseDown(button, shift, x, y);
    }
    if (button != TMouseButton::mbLeft) {
        return;
    }
    held_ = true;
    armed_ = true;
    inside_ = true;
    state_ = stDown;
    if (tabStop_ && !hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
    Repaint();
}

void TSchemeButton::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) {
        OnMouseMove(shift, x, y);
    }
    // While held, Qt holds Enter and Leave back until the release: follow the pointer here instead.
    if (held_) {
        const bool inside = rect().contains(x, y);
        if (inside && !inside_) {
            MouseEnter();
        } else if (!inside && inside_) {
            MouseLeave();
        }
    }
}

void TSchemeButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) {
        OnMouseUp(button, shift, x, y);
    }
    if (button != TMouseButton::mbLeft) {
        return;
    }
    const bool click = armed_ && rect().contains(x, y);
    held_ = false;
    armed_ = false;
    SetState(stNormal);
    if (click) {
        Click();
    }
}

void TSchemeButton::MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    // The second press of a double click shows the button down but clicks nothing on its release.
    MouseDown(button, shift | ssDouble, x, y);
    armed_ = false;
}

void TSchemeButton::MouseEnter()
{
    inside_ = true;
    if (OnMouseEnter) {
        OnMouseEnter();
    }
    if (hotTrack_) {
        SetState(held_ ? stDown : stHot);
    }
}

void TSchemeButton::MouseLeave()
{
    if (!inside_ && !held_ && state_ == stNormal) {
        return;
    }
    inside_ = false;
    if (OnMouseLeave) {
        OnMouseLeave();
    }
    SetState(stNormal);
}

void TSchemeButton::CancelMode()
{
    held_ = false;
    armed_ = false;
    spaceDown_ = false;
    inside_ = false;
    if (state_ != stNormal) {
        SetState(stNormal);
    }
}

// --- keys and focus -----------------------------------------------------------------------------------

void TSchemeButton::KeyDown(TVirtualKey& key, TShiftState)
{
    if (key == VK_SPACE) {
        spaceDown_ = true;
        state_ = stDown;
    } else if (key == VK_RETURN) {
        // The focused button takes Enter itself; the form's Default buttons act on it only when no button
        // has the focus.
        key = 0;
        Click();
    }
    Repaint();
}

void TSchemeButton::KeyPress(QChar& key)
{
    if (OnKeyPress) {
        OnKeyPress(key);
    }
}

void TSchemeButton::KeyUp(TVirtualKey& key, TShiftState)
{
    if (key != VK_SPACE) {
        return;
    }
    key = 0;
    const bool click = spaceDown_;
    spaceDown_ = false;
    SetState(stNormal);
    if (click) {
        Click();
    }
}

void TSchemeButton::FocusIn(Qt::FocusReason)
{
    focused_ = true;
    Repaint();
}

void TSchemeButton::FocusOut(Qt::FocusReason)
{
    // A Space press must not survive the focus going away: its key-up may come after the focus is back.
    focused_ = false;
    spaceDown_ = false;
    SetState(stNormal);
}

bool TSchemeButton::DialogKey(TVirtualKey key, TShiftState shift)
{
    if (((key == VK_RETURN && focused_) || (key == VK_ESCAPE && cancel_)) && shift == 0 && CanFocus()) {
        Click();
        return true;
    }
    if (key == VK_RETURN && default_ && CanFocus()) {
        Click();
        return true;
    }
    return false;
}

bool TSchemeButton::DialogChar(QChar character)
{
    if (IsCaptionAccel(character, caption_) && isEnabled() && isVisibleTo(window())) {
        Click();
        return true;
    }
    return false;
}

// --- paint --------------------------------------------------------------------------------------------

TSchemeButton::TLook TSchemeButton::CurrentLook() const
{
    return {size(),       isEnabled(),    focused_,     gradient_,        ctl3D_,  transparentGlyph_,
            state_,       layout_,        spacing_,     glyphGeneration_, colors_, caption_,
            font_.Name(), font_.Height(), font_.Style()};
}

void TSchemeButton::Paint(TCanvas& canvas)
{
    // Nothing to paint, and no rows to spread the gradient over.
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const TLook look = CurrentLook();
    const bool changed = !(look == look_);
    look_ = look;
    DrawLook(canvas, changed);
}

void TSchemeButton::PaintLook(TCanvas& canvas)
{
    const int w = width();
    const int h = height();
    const int set = !isEnabled() ? sciDisabled : state_ == stHot ? sciOver : state_ == stDown ? sciDown : 0;
    const TColor face = ColorToRGB(colors_[std::size_t(set + sciFace)]);
    const TColor grad = ColorToRGB(colors_[std::size_t(set + sciGrad)]);

    canvas.Brush().SetColor(face);
    canvas.FillRect(Rect(0, 0, w, h));
    if (gradient_) {
        double r = GetRValue(face);
        double g = GetGValue(face);
        double b = GetBValue(face);
        const double stepR = double(GetRValue(grad) - GetRValue(face)) / h;
        const double stepG = double(GetGValue(grad) - GetGValue(face)) / h;
        const double stepB = double(GetBValue(grad) - GetBValue(face)) / h;
        for (int y = 0; y <= h; ++y) {
            canvas.Pen().SetColor(
                RGBToColor(int(std::nearbyint(r)), int(std::nearbyint(g)), int(std::nearbyint(b))));
            canvas.MoveTo(0, y);
            canvas.LineTo(w, y);
            r += stepR;
            g += stepG;
            b += stepB;
        }
    }

    canvas.Font().Assign(Font());
    canvas.Font().SetColor(colors_[std::size_t(set + sciText)]);
    const TSize textSize = canvas.TextExtent(caption_);
    const int textW = textSize.cx;
    const int textH = textSize.cy;
    int textX = (w - textW) / 2;
    int textY = (h - textH) / 2;
    const bool down = state_ == stDown;
    if (!glyph_.Empty()) {
        const int gw = glyph_.Width();
        const int gh = glyph_.Height();
        const int s = spacing_;
        const bool caption = !caption_.isEmpty();
        int glyphX = 0;
        int glyphY = 0;
        switch (layout_) {
        case TButtonLayout::blGlyphLeft:
            glyphY = (h - gh) / 2;
            glyphX = textX - gw / 2;
            textX += gw / 2;
            if (caption) {
                glyphX -= s / 2 + s % 2;
                textX += s / 2;
            }
            break;
        case TButtonLayout::blGlyphRight:
            glyphY = (h - gh) / 2;
            glyphX = textX + textW - gw / 2;
            textX -= gw / 2;
            if (caption) {
                glyphX += s / 2 + s % 2;
                textX -= s / 2;
            }
            break;
        case TButtonLayout::blGlyphTop:
            glyphX = (w - gw) / 2;
            glyphY = textY - gh / 2 - gh % 2;
            textY += gh / 2;
            if (caption) {
                glyphY -= s / 2 + s % 2;
                textY += s / 2;
            }
            break;
        case TButtonLayout::blGlyphBottom:
            glyphX = (w - gw) / 2;
            glyphY = textY + textH - gh / 2;
            textY -= gh / 2;
            if (caption) {
                glyphY += s / 2 + s % 2;
                textY -= s / 2;
            }
            break;
        }
        if (down) {
            ++glyphX;
            ++glyphY;
        }
        glyph_.SetTransparentColor(FromQRgb(glyph_.Image().pixel(0, 0)));
        glyph_.SetTransparent(transparentGlyph_);
        canvas.Draw(glyphX, glyphY, glyph_);
    }
    if (down) {
        ++textX;
        ++textY;
    }
    if (!caption_.isEmpty()) {
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        TRect textRect = Rect(textX, textY, textX + textW, textY + textH);
        canvas.DrawText(textRect, caption_, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }

    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Pen().SetColor(colors_[std::size_t(set + sciBorder)]);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(0, 0, w, h);
    if (ctl3D_) {
        canvas.Pen().SetColor(colors_[std::size_t(set + sciLight)]);
        canvas.Polyline({{1, h - 2}, {1, 1}, {w - 1, 1}});
        canvas.Pen().SetColor(colors_[std::size_t(set + sciDark)]);
        canvas.Polyline({{w - 2, 1}, {w - 2, h - 2}, {1, h - 2}});
    }
    if (focused_) {
        canvas.Pen().SetColor(colors_[sciFocusRect]);
        canvas.Rectangle(3, 3, w - 3, h - 3);
    }
}

} // namespace carlume
