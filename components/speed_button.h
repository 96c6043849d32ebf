#pragma once

// A push button without focus that paints itself: glyph strip and caption laid out together, as a plain
// button, one of a group of buttons that stay down, a flat tool button lit under the mouse, a button with
// a drop-down menu, or an auto-repeat button that keeps clicking while held. The timer buttons of the
// calendar and the button of the combo edits derive from it.

#include "components/button_glyph.h"
#include "components/button_layout.h"
#include "components/popup_menu.h"
#include "platform/gui/control.h"
#include "platform/gui/font.h"
#include "platform/modal_result.h"

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QTimer;

namespace carlume {

/// Frame look of a speed button.
enum class TButtonStyle : std::uint8_t { bsAutoDetect, bsWin31, bsNew };
/// Where a speed button's drop-down menu opens.
enum class TUiDropDownMenuPos : std::uint8_t { dmpBottom, dmpRight };

/// An event with its sender.
using TNotifyEvent = std::function<void(QObject* sender)>;
/// A mouse-button event: sender, button, shift state and the point in the sender's coordinates.
using TMouseEvent =
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
/// A mouse-move event: sender, shift state and the point.
using TMouseMoveEvent = std::function<void(QObject* sender, TShiftState shift, int x, int y)>;

/// DrawText flags of each caption alignment (left, right, centre).
constexpr std::array<unsigned, 3> ButtonTextFlags = {DT_LEFT, DT_RIGHT, DT_CENTER};

/// What hot tracking asks about the pointer; tests replace the answers.
struct TPointerQuery {
    /// True when the program's window is in front.
    std::function<bool()> IsForegroundTask;
    /// The widget under the pointer, disabled ones included.
    std::function<QWidget*()> ControlAtCursor;
};

/// Draws the frame of a button of that look on `client` and returns the face inside it.
TRect DrawButtonFrame(TCanvas& canvas, const TRect& client, bool isDown, bool isFlat, TButtonStyle style);

class TUiSpeedButton : public TGraphicControl {
    Q_OBJECT
public:
    /// A 25 x 25 button at (0, 0) with no glyph and no caption.
    explicit TUiSpeedButton(QWidget* parent = nullptr);
    ~TUiSpeedButton() override;

    /// Builds the image of the starting look at once (done anyway on the first paint).
    void Loaded();

    /// Copies ModalResult to the form holding the button (0 included), then runs OnClick.
    virtual void Click();

    // --- published properties ---
    TAlignment Alignment() const { return glyphPainter_.Alignment(); }
    void SetAlignment(TAlignment value);
    /// In a group, the down button may be raised so that none is down.
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    /// Auto-repeat while held; switching it off frees the timer.
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool value);
    /// 0: not grouped; buttons of one parent with the same index form a group with at most one down.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    /// The button stays down (only in a group).
    bool Down() const { return down_; }
    void SetDown(bool value);
    /// Menu popped up on a left press (not owned; forgotten when it is destroyed).
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* menu);
    TUiDropDownMenuPos MenuPosition() const { return menuPosition_; }
    void SetMenuPosition(TUiDropDownMenuPos value) { menuPosition_ = value; }
    /// The caption; "&" marks the accelerator.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    /// Flat tool-button look: no frame unless the mouse is over the button.
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    /// The button's font; with ParentFont the form's font is used.
    const TFont& Font() const;
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    /// The glyph strip.
    const TBitmap& Glyph() const { return glyphPainter_.Glyph(); }
    void SetGlyph(const TBitmap& value);
    /// A flat button away from the mouse shows the grey glyph.
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool value);
    /// Milliseconds before the first repeat.
    std::uint16_t InitPause() const { return initPause_; }
    void SetInitPause(std::uint16_t value) { initPause_ = value; }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    /// Pixels between the edge and the glyph; -1 centres. Values below -1 are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int value);
    /// Draw the drop-down triangle when a menu is set.
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool value);
    /// Copied to the form on every click.
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    /// Cells in the glyph strip, 1..5 (above 5 counts as 5).
    int NumGlyphs() const { return glyphPainter_.NumGlyphs(); }
    void SetNumGlyphs(int value);
    /// Milliseconds between repeats.
    std::uint16_t RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(std::uint16_t value) { repeatInterval_ = value; }
    /// The tooltip, shown when ShowHint holds; with ParentShowHint the nearest container with a "showHint"
    /// property decides, and without one the hint shows.
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    /// Pixels between glyph and caption; -1 computes it.
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle value);
    /// Paint the parent's picture under the button first.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool WordWrap() const { return glyphPainter_.WordWrap(); }
    void SetWordWrap(bool value);

    // --- events (the sender is the button) ---
    TNotifyEvent OnClick;
    /// Only a Down button reports double clicks; others get two Clicks.
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    /// Replaces what hot tracking asks about the pointer (null members keep the real answer).
    void SetPointerQuery(TPointerQuery query);

    /// The accelerator of the caption, when enabled: Click.
    bool DialogChar(QChar character) override;

protected:
    /// Current state; `sbsInactive` is never stored.
    TUiSpeedButtonState State() const { return state_; }
    /// A left press is in progress.
    bool Pressed() const { return pressed_; }
    /// The mouse is over the enabled button and the program is in front.
    bool MouseInside() const { return mouseInside_; }
    /// The press handler is showing the drop-down menu.
    bool MenuShowing() const { return menuShowing_; }
    /// The auto-repeat timer, null until the first press with AllowTimer.
    QTimer* RepeatTimer() const { return repeatTimer_; }
    /// The glyph and caption painter.
    TUiButtonGlyph& GlyphPainter() { return glyphPainter_; }

    /// Draws the whole button; descendants may draw more on the canvas after calling it, before the canvas
    /// is copied to the screen.
    void Paint(TCanvas& canvas) override;
    /// Draws glyph, caption and mark into `rect` in the look `state`.
    virtual void PaintGlyph(TCanvas& canvas, const TRect& rect, TUiSpeedButtonState state, bool drawMark);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseDoubleClick(TMouseButton button, TShiftState shift, int x, int y) override;
    /// Runs OnDblClick.
    void DblClick() override;
    /// The release: ends the press, works out Down in a group, and Clicks when released inside.
    void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    /// The button became hot / stopped being hot: OnMouseEnter / OnMouseLeave.
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    /// Works out whether the mouse is over the button from the pointer's position.
    void UpdateTracking();
    /// Tells the group that this button went down.
    void UpdateExclusive();
    /// The auto-repeat timer's handler: Clicks while the button is held down under the mouse. An exception
    /// from the Click stops the timer and passes on.
    virtual void TimerExpired();
    /// Where the drop-down menu opens, in the button's coordinates.
    TPoint GetDropDownMenuPos() const;
    /// Pops up the drop-down menu at `pos` and returns when it closed; false when there is no menu to show
    /// (or it does not pop up by itself and `manual` is off).
    bool CheckMenuDropDown(TPoint pos, bool manual);

    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void FontChanged() override;
    /// A press cut short ends as a release outside; the timer stops.
    void CancelMode() override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void GroupButtonDown(int groupIndex, TUiSpeedButton* sender);
    TUiSpeedButtonState StartingLook() const;
    void ApplyHint();
    void StopTimer();

    TUiButtonGlyph glyphPainter_;
    TPointerQuery pointer_;
    QString caption_;
    QString hint_;
    TFont font_;
    QPointer<TPopupMenu> dropDownMenu_;
    QTimer* repeatTimer_ = nullptr;
    int groupIndex_ = 0;
    int spacing_ = 1;
    int margin_ = -1;
    TModalResult modalResult_ = 0;
    std::uint16_t initPause_ = 500;
    std::uint16_t repeatInterval_ = 100;
    TButtonStyle style_ = TButtonStyle::bsAutoDetect;
    TButtonLayout layout_ = TButtonLayout::blGlyphTop;
    TUiDropDownMenuPos menuPosition_ = TUiDropDownMenuPos::dmpBottom;
    TUiSpeedButtonState state_ = TUiSpeedButtonState::sbsUp;
    bool down_ = false;
    bool pressed_ = false;
    bool flat_ = false;
    bool mouseInside_ = false;
    bool allowAllUp_ = false;
    bool transparent_ = false;
    bool markDropDown_ = true;
    bool grayedInactive_ = true;
    bool menuShowing_ = false;
    bool allowTimer_ = false;
    bool parentFont_ = true;
    bool showHint_ = true;
    bool parentShowHint_ = false;
};

} // namespace carlume
