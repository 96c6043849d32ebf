#pragma once

// The combo edit: a masked edit with a small button at its right edge that drops a popup window down
// below (or above) itself. The popup never takes the focus: the edit keeps the keyboard and hands keys on
// to it, and the popup's value comes back to the edit when it closes accepting.

#include "components/speed_button.h"
#include "platform/date_time.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/control.h"
#include "platform/gui/mask_edit.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <string>

namespace carlume {

/// The value handed between a combo edit and its popup: nothing yet, none, a text or a date.
class TPopupValue {
public:
    enum class TKind { Empty, Null, Text, Date };

    /// Empty.
    TPopupValue() = default;
    static TPopupValue Null() { return TPopupValue(TKind::Null, {}, 0); }
    static TPopupValue FromText(std::string text) { return TPopupValue(TKind::Text, std::move(text), 0); }
    static TPopupValue FromDate(TDateTime date) { return TPopupValue(TKind::Date, {}, date); }

    TKind Kind() const { return kind_; }
    bool IsEmpty() const { return kind_ == TKind::Empty; }
    bool IsNull() const { return kind_ == TKind::Null; }
    bool IsDate() const { return kind_ == TKind::Date; }
    /// The text; a date as the short date and, unless it is midnight, the time; "" for Empty and Null.
    std::string ToText() const;
    /// The date; a text read with the locale's settings. Raises `EConvertError` for Empty, Null and a
    /// text that is no date.
    TDateTime ToDateTime() const;

private:
    TPopupValue(TKind kind, std::string text, TDateTime date)
        : kind_(kind)
        , text_(std::move(text))
        , date_(date)
    {
    }
    TKind kind_ = TKind::Empty;
    std::string text_;
    TDateTime date_ = 0;
};

/// Horizontal alignment of a popup against its edit.
enum class TPopupAlign { epaRight, epaLeft };

/// Where a popup of `popupSize` opens for an edit at `edit` (screen coordinates), on a screen whose
/// available area is `screen`: below the edit, or above when it does not fit below; right edges aligned
/// (`epaRight`) or left edges (`epaLeft`), switching sides when that leaves the screen; always inside it.
QPoint ComputePopupOrigin(const QRect& edit, QSize popupSize, const QRect& screen, TPopupAlign align);

/// A borderless popup window that is shown without activation and never takes the focus.
class TPopupWindow : public TCustomControl {
    Q_OBJECT
public:
    /// A hidden popup owned by `editor`.
    explicit TPopupWindow(QWidget* editor);

    /// The edit that owns the popup.
    QWidget* Editor() const { return editor_; }
    /// The value shown in the popup.
    virtual TPopupValue GetValue() = 0;
    virtual void SetValue(const TPopupValue& value) = 0;
    /// Fires `OnCloseUp`.
    virtual void CloseUp(bool accept);
    /// The popup's text; empty here.
    virtual std::string GetPopupText() { return {}; }
    /// Shows the popup with its top-left at `origin` (screen coordinates), on top, not activated.
    void Show(QPoint origin);
    void Hide();

    /// Keys the edit hands on while the popup is open.
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;

    /// The popup asks to close, accepting its value or not.
    std::function<void(TPopupWindow* sender, bool accept)> OnCloseUp;

protected:
    /// The popup's content: inside its one-pixel border.
    virtual QRect ClientRect() const { return rect().adjusted(1, 1, -1, -1); }
    /// A left press on the content starts a click; the border takes none.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    /// A left release after a press on the content closes the popup, accepting when it lies inside.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    QWidget* editor_;
    bool contentPressed_ = false;
};

/// Pictures the combo edit's button can show.
enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

class TCustomComboEdit;

/// The combo edit's button. A press that closes the open popup takes its value, and the click that ends
/// the same press does nothing, so that the popup does not open again at once.
class TEditButton : public TUiSpeedButton {
    Q_OBJECT
public:
    TEditButton(TCustomComboEdit& edit, QWidget* holder);

    void Click() override;

protected:
    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TCustomComboEdit& edit_;
    bool noAction_ = false;
};

/// The three-dot picture for a button `buttonWidth` wide.
TBitmap EllipsisBitmap(int buttonWidth);

class TCustomComboEdit : public TCustomMaskEdit {
    Q_OBJECT
public:
    /// Height 21, the button holder 21 x 17 at the right edge; `ClickKey` Alt+Down.
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    /// The key that clicks the button (a shortcut: virtual key plus scShift, scCtrl, scAlt).
    TShortCut ClickKey() const { return clickKey_; }
    void SetClickKey(TShortCut key) { clickKey_ = key; }
    /// Whether the user may type into the text (the button still works without).
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool value);
    /// The combo edit's own read-only setting: the button and `ClickKey` do nothing while it is set.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    /// Lets the button work while `ReadOnly` is set.
    bool AlwaysEnable() const { return alwaysEnable_; }
    void SetAlwaysEnable(bool value) { alwaysEnable_ = value; }
    TPopupAlign PopupAlign() const { return popupAlign_; }
    void SetPopupAlign(TPopupAlign align) { popupAlign_ = align; }
    /// Width of the button; the holder shows only for widths above 1.
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int width);
    /// The button holder (the button's parent window).
    QWidget& ButtonHolder() { return *holder_; }
    TEditButton& Button() { return *button_; }
    /// The button's tooltip.
    const QString& ButtonHint() const;
    void SetButtonHint(const QString& hint);
    /// The button's picture; setting one makes the glyph kind `gkCustom`.
    const TBitmap& Glyph() const;
    void SetGlyph(const TBitmap& glyph);
    /// Images in the glyph; the drop-down and ellipsis kinds have 1, the default kind the default count.
    int NumGlyphs() const;
    void SetNumGlyphs(int count);
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind kind);
    /// Text alignment.
    void SetAlignment(Qt::Alignment alignment) { setAlignment(alignment); }

    /// True while the popup is open.
    bool GetPopupVisible() const { return popup_ != nullptr && popupVisible_; }
    /// The popup, or null.
    TPopupWindow* Popup() const { return popup_; }

    /// Closes the popup (when open), accepting its value or not.
    void PopupCloseUp(TPopupWindow* sender, bool accept);
    /// The button's click: nothing while read-only (unless `AlwaysEnable`), else `ButtonClick`.
    void DoClick();
    /// Selects the whole text, only with `DirectInput`.
    void SelectAllIfDirect();

    /// The button was pressed: closes an open popup accepting it, or takes the focus. True when it closed.
    bool ButtonPressed();

    /// Fired first in every button click.
    std::function<void()> OnButtonClick;

protected:
    /// The default glyph and whether the caller frees it; none here.
    virtual TBitmap* GetDefaultBitmap(bool& destroyNeeded);
    /// Images in the descendant's default glyph.
    void SetDefaultNumGlyphs(int count) { defNumGlyphs_ = count; }
    /// Sets the popup; the descendant owns it.
    void SetPopup(TPopupWindow* popup);
    /// Opens the popup below (or above) the edit, with the edit read-only while it is open when
    /// `disableEdit` is set.
    virtual void PopupDropDown(bool disableEdit);
    virtual void ShowPopup(QPoint origin);
    virtual void HidePopup();
    /// Whether a value the popup hands back is taken (it may be changed).
    virtual bool AcceptPopup(TPopupValue& value);
    virtual void AcceptValue(const TPopupValue& value);
    virtual void SetPopupValue(const TPopupValue& value);
    virtual TPopupValue GetPopupValue();
    /// Called instead of the change notification while the popup is open.
    virtual void PopupChange();
    virtual bool GetReadOnly() const { return readOnly_; }
    /// Opens or closes the popup, after `OnButtonClick`.
    virtual void ButtonClick();
    /// The popup-visible flag from the popup's window.
    void UpdatePopupVisible();
    /// The smallest height that shows a line of text.
    int GetMinHeight() const;
    bool Focused() const { return focused_; }

    bool EditCanModify() override;
    void Change() override;
    void KeyDown(TVirtualKey& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void SelectOnEnter() override;

    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceButton();
    void RecreateGlyph();
    void SetEditRect();
    void WatchOutside(bool on);
    bool IsOwnWidget(const QWidget* widget) const;

    QWidget* holder_ = nullptr;
    TEditButton* button_ = nullptr;
    TGlyphKind glyphKind_ = TGlyphKind::gkCustom;
    int defNumGlyphs_ = 1;
    TPopupWindow* popup_ = nullptr;
    TShortCut clickKey_ = scAlt | VK_DOWN;
    bool readOnly_ = false;
    bool directInput_ = true;
    bool alwaysEnable_ = false;
    bool popupVisible_ = false;
    bool focused_ = false;
    bool watching_ = false;
    TPopupAlign popupAlign_ = TPopupAlign::epaRight;
    int buttonWidth_ = 21;
};

} // namespace carlume
