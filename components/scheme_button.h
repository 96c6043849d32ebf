#pragma once

// A push button painted from a set of 25 colours: a face with an optional vertical gradient, a border,
// optional light and dark 3-D lines, a focus rectangle, a glyph placed by layout and spacing, and a
// centred caption. Normal, hot (mouse over), down and disabled each have their own colours; thirteen
// built-in schemes fill them all at once.

#include "components/button_layout.h"
#include "components/styled_push_button.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/font.h"
#include "platform/modal_result.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace carlume {

/// The built-in colour schemes; csCustom once any single colour was written.
enum TColorScheme : std::uint8_t {
    csNeoDesert,
    csNeoSky,
    csNeoGrass,
    csNeoSilver,
    csNeoRose,
    csNeoSun,
    csNeoLilac,
    csDesert,
    csGrass,
    csSky,
    csSun,
    csRose,
    csSilver,
    csCustom
};

/// Index of a colour property: the six colours of each state, normal, over, down and disabled, then the
/// focus rectangle.
enum TSchemeColorIndex : int {
    sciFace = 0,
    sciGrad = 1,
    sciDark = 2,
    sciLight = 3,
    sciBorder = 4,
    sciText = 5,
    sciOver = 6,
    sciDown = 12,
    sciDisabled = 18,
    sciFocusRect = 24,
    sciCount = 25
};

// The published properties are Qt properties too, so that window layouts can set them (stdset="0"); the
// scheme and the layout by their number.
class TSchemeButton : public TStyledPushButton {
    Q_OBJECT
    Q_PROPERTY(int ColorFace READ ColorFace WRITE SetColorFace)
    Q_PROPERTY(int ColorGrad READ ColorGrad WRITE SetColorGrad)
    Q_PROPERTY(int ColorDark READ ColorDark WRITE SetColorDark)
    Q_PROPERTY(int ColorLight READ ColorLight WRITE SetColorLight)
    Q_PROPERTY(int ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(int ColorText READ ColorText WRITE SetColorText)
    Q_PROPERTY(int OverColorFace READ OverColorFace WRITE SetOverColorFace)
    Q_PROPERTY(int OverColorGrad READ OverColorGrad WRITE SetOverColorGrad)
    Q_PROPERTY(int OverColorDark READ OverColorDark WRITE SetOverColorDark)
    Q_PROPERTY(int OverColorLight READ OverColorLight WRITE SetOverColorLight)
    Q_PROPERTY(int OverColorBorder READ OverColorBorder WRITE SetOverColorBorder)
    Q_PROPERTY(int OverColorText READ OverColorText WRITE SetOverColorText)
    Q_PROPERTY(int DownColorFace READ DownColorFace WRITE SetDownColorFace)
    Q_PROPERTY(int DownColorGrad READ DownColorGrad WRITE SetDownColorGrad)
    Q_PROPERTY(int DownColorDark READ DownColorDark WRITE SetDownColorDark)
    Q_PROPERTY(int DownColorLight READ DownColorLight WRITE SetDownColorLight)
    Q_PROPERTY(int DownColorBorder READ DownColorBorder WRITE SetDownColorBorder)
    Q_PROPERTY(int DownColorText READ DownColorText WRITE SetDownColorText)
    Q_PROPERTY(int DisabledColorFace READ DisabledColorFace WRITE SetDisabledColorFace)
    Q_PROPERTY(int DisabledColorGrad READ DisabledColorGrad WRITE SetDisabledColorGrad)
    Q_PROPERTY(int DisabledColorDark READ DisabledColorDark WRITE SetDisabledColorDark)
    Q_PROPERTY(int DisabledColorLight READ DisabledColorLight WRITE SetDisabledColorLight)
    Q_PROPERTY(int DisabledColorBorder READ DisabledColorBorder WRITE SetDisabledColorBorder)
    Q_PROPERTY(int DisabledColorText READ DisabledColorText WRITE SetDisabledColorText)
    Q_PROPERTY(int ColorFocusRect READ ColorFocusRect WRITE SetColorFocusRect)
    Q_PROPERTY(int ColorScheme READ ColorSchemeNumber WRITE SetColorSchemeNumber)
    Q_PROPERTY(int Layout READ LayoutNumber WRITE SetLayoutNumber)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(bool TransparentGlyph READ TransparentGlyph WRITE SetTransparentGlyph)
    Q_PROPERTY(bool Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
public:
    /// 75 x 25, scheme csNeoDesert with the over, down and disabled gradient colours white, Ctl3D, tab
    /// stop, transparent glyph, hot tracking, spacing 4, glyph left.
    explicit TSchemeButton(QWidget* owner = nullptr);

    /// A colour by index (0..24); writing one makes the scheme csCustom. Other indexes read clNone and are
    /// not written.
    TColor Color(int index) const;
    void SetColor(int index, TColor color);

    TColor ColorFace() const { return Color(sciFace); }
    void SetColorFace(TColor c) { SetColor(sciFace, c); }
    TColor ColorGrad() const { return Color(sciGrad); }
    void SetColorGrad(TColor c) { SetColor(sciGrad, c); }
    TColor ColorDark() const { return Color(sciDark); }
    void SetColorDark(TColor c) { SetColor(sciDark, c); }
    TColor ColorLight() const { return Color(sciLight); }
    void SetColorLight(TColor c) { SetColor(sciLight, c); }
    TColor ColorBorder() const { return Color(sciBorder); }
    void SetColorBorder(TColor c) { SetColor(sciBorder, c); }
    TColor ColorText() const { return Color(sciText); }
    void SetColorText(TColor c) { SetColor(sciText, c); }
    TColor OverColorFace() const { return Color(sciOver + sciFace); }
    void SetOverColorFace(TColor c) { SetColor(sciOver + sciFace, c); }
    TColor OverColorGrad() const { return Color(sciOver + sciGrad); }
    void SetOverColorGrad(TColor c) { SetColor(sciOver + sciGrad, c); }
    TColor OverColorDark() const { return Color(sciOver + sciDark); }
    void SetOverColorDark(TColor c) { SetColor(sciOver + sciDark, c); }
    TColor OverColorLight() const { return Color(sciOver + sciLight); }
    void SetOverColorLight(TColor c) { SetColor(sciOver + sciLight, c); }
    TColor OverColorBorder() const { return Color(sciOver + sciBorder); }
    void SetOverColorBorder(TColor c) { SetColor(sciOver + sciBorder, c); }
    TColor OverColorText() const { return Color(sciOver + sciText); }
    void SetOverColorText(TColor c) { SetColor(sciOver + sciText, c); }
    TColor DownColorFace() const { return Color(sciDown + sciFace); }
    void SetDownColorFace(TColor c) { SetColor(sciDown + sciFace, c); }
    TColor DownColorGrad() const { return Color(sciDown + sciGrad); }
    void SetDownColorGrad(TColor c) { SetColor(sciDown + sciGrad, c); }
    TColor DownColorDark() const { return Color(sciDown + sciDark); }
    void SetDownColorDark(TColor c) { SetColor(sciDown + sciDark, c); }
    TColor DownColorLight() const { return Color(sciDown + sciLight); }
    void SetDownColorLight(TColor c) { SetColor(sciDown + sciLight, c); }
    TColor DownColorBorder() const { return Color(sciDown + sciBorder); }
    void SetDownColorBorder(TColor c) { SetColor(sciDown + sciBorder, c); }
    TColor DownColorText() const { return Color(sciDown + sciText); }
    void SetDownColorText(TColor c) { SetColor(sciDown + sciText, c); }
    TColor DisabledColorFace() const { return Color(sciDisabled + sciFace); }
    void SetDisabledColorFace(TColor c) { SetColor(sciDisabled + sciFace, c); }
    TColor DisabledColorGrad() const { return Color(sciDisabled + sciGrad); }
    void SetDisabledColorGrad(TColor c) { SetColor(sciDisabled + sciGrad, c); }
    TColor DisabledColorDark() const { return Color(sciDisabled + sciDark); }
    void SetDisabledColorDark(TColor c) { SetColor(sciDisabled + sciDark, c); }
    TColor DisabledColorLight() const { return Color(sciDisabled + sciLight); }
    void SetDisabledColorLight(TColor c) { SetColor(sciDisabled + sciLight, c); }
    TColor DisabledColorBorder() const { return Color(sciDisabled + sciBorder); }
    void SetDisabledColorBorder(TColor c) { SetColor(sciDisabled + sciBorder, c); }
    TColor DisabledColorText() const { return Color(sciDisabled + sciText); }
    void SetDisabledColorText(TColor c) { SetColor(sciDisabled + sciText, c); }
    TColor ColorFocusRect() const { return Color(sciFocusRect); }
    void SetColorFocusRect(TColor c) { SetColor(sciFocusRect, c); }

    /// The scheme; writing a named one sets its colours and the gradient flag, csCustom sets nothing.
    TColorScheme ColorScheme() const { return scheme_; }
    void SetColorScheme(TColorScheme scheme);

    /// Light and dark 3-D lines inside the border (on).
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool ctl3D);
    /// Glyph position (blGlyphLeft).
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    /// The picture (empty); writing copies it.
    const TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(const TBitmap& glyph);
    /// Pixels between glyph and caption (4).
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    /// Leave out the glyph's top-left colour (on).
    bool TransparentGlyph() const { return transparentGlyph_; }
    void SetTransparentGlyph(bool transparent);
    /// Vertical face gradient (on with the Neo schemes).
    bool Gradient() const { return gradient_; }
    void SetGradient(bool gradient);
    /// Show the hot colours while the mouse is over the button (on).
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool hotTrack) { hotTrack_ = hotTrack; }

    /// The caption; "&" marks the accelerator.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    /// The font: the parent's until one is set (ParentFont). Its colour is never used: the caption takes the
    /// scheme's text colour.
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    bool ParentFont() const { return !testAttribute(Qt::WA_SetFont); }
    void SetParentFont(bool parentFont);
    /// The window's enabled state.
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

    /// Writes ModalResult to the form (mrNone included), shows the normal state, then runs OnClick. Tab
    /// reaches the button at first, and a press focuses it.
    virtual void Click();

    std::function<void()> OnClick;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TShiftState, int, int)> OnMouseMove;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    /// Characters typed on the focused button (its key-down and key-up are its own).
    std::function<void(QChar&)> OnKeyPress;

    /// 0 normal, 1 hot, 2 down.
    enum TState : std::uint8_t { stNormal, stHot, stDown };
    TState State() const { return state_; }
    bool Held() const { return held_; }

protected:
    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void KeyUp(TVirtualKey& key, TShiftState shift) override;
    void FocusIn(Qt::FocusReason reason) override;
    void FocusOut(Qt::FocusReason reason) override;
    void CancelMode() override;
    void FontChanged() override;
    bool DialogKey(TVirtualKey key, TShiftState shift) override;
    bool DialogChar(QChar character) override;

private:
    int ColorSchemeNumber() const { return ColorScheme(); }
    void SetColorSchemeNumber(int scheme);
    int LayoutNumber() const { return int(Layout()); }
    void SetLayoutNumber(int layout);
    // Everything the look depends on; the last look painted is kept and copied while it stays the same.
    struct TLook {
        QSize Size;
        bool Enabled, Focused, Gradient, Ctl3D, TransparentGlyph;
        TState State;
        TButtonLayout Layout;
        int Spacing;
        int GlyphGeneration;
        std::array<TColor, sciCount> Colors;
        QString Caption;
        QString FontName;
        int FontHeight;
        TFontStyles FontStyle;
        bool operator==(const TLook&) const = default;
    };
    TLook CurrentLook() const;
    void PaintLook(TCanvas& canvas) override;
    void SetState(TState state);
    bool CanFocus() const;

    std::array<TColor, sciCount> colors_{};
    bool focused_ = false;
    TColorScheme scheme_ = csCustom;
    bool ctl3D_ = true;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    TBitmap glyph_;
    bool transparentGlyph_ = true;
    bool gradient_ = false;
    int spacing_ = 4;
    bool hotTrack_ = true;
    bool held_ = false;
    TState state_ = stNormal;
    // The pointer is over the button as far as this button knows (Qt holds Leave back while held).
    bool inside_ = false;
    // Only a left press on the button clicks at the release, and only a Space press seen here at the key-up.
    bool armed_ = false;
    bool spaceDown_ = false;
    QString caption_;
    // The widget's font the class library's way, made again when Qt's font changes.
    TFont font_;
    int glyphGeneration_ = 0;
    TLook look_{};
};

/// The 25 colours a scheme sets, by index; the plain schemes leave the four gradient colours (clNone here)
/// as they were. csCustom sets none.
const std::array<TColor, sciCount>& SchemeColors(TColorScheme scheme);

} // namespace carlume
