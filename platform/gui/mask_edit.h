#pragma once

// The class library's masked edit on a QLineEdit. Its edit masks ("!99/99/9999;1; ") have three fields
// and their own digit codes, so they are translated for Qt; its text keeps every position of the mask,
// where QLineEdit::text() drops the unfilled ones. Keys reach KeyDown and KeyPress first, the class
// library's way, and every handler runs inside the error guard.

#include "platform/gui/keys.h"

#include <QLineEdit>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace carlume {

/// The Qt input mask of a class-library edit mask: "9" is an optional digit, "0" a required one, "/" the
/// locale's date separator and ":" its time separator, "!" is dropped; the part after the last ";" is the
/// blank character. Other characters stand for themselves. An empty mask gives an empty string.
QString QtInputMask(std::string_view editMask, char dateSeparator, char timeSeparator);

/// The blank character of a class-library edit mask (" " when it names none).
char MaskBlank(std::string_view editMask);

class TCustomMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomMaskEdit(QWidget* parent = nullptr);

    /// The class-library mask as set; empty for none.
    const std::string& EditMask() const { return editMask_; }
    /// Sets the mask, translated with the locale's separators at this moment; the text is kept as far as it
    /// fits the new mask.
    void SetEditMask(const std::string& mask);
    /// True while a mask is set.
    bool IsMasked() const { return !editMask_.empty(); }

    /// The text with every position of the mask, unfilled ones as blanks; without a mask the plain text.
    std::string Text() const;
    /// Puts `text` into the mask's places, as typing it would.
    void SetText(const std::string& text);
    /// The text as shown, the blank character in unfilled places.
    std::string EditText() const;

    /// Whether the user changed the text since it was last set.
    bool Modified() const { return isModified(); }
    void SetModified(bool modified) { setModified(modified); }

    /// Select the whole text when the focus comes by keyboard (default on).
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    /// Fired on every change of the text, by the user or by the program.
    std::function<void()> OnChange;

protected:
    /// Whether a key may change the text now; asked before typing, deleting and pasting.
    virtual bool EditCanModify();
    /// Key down; set the key to 0 to consume it.
    virtual void KeyDown(TVirtualKey& key, TShiftState shift);
    /// Character typed; set it to a null character to consume it.
    virtual void KeyPress(QChar& key);
    /// A text change; fires `OnChange` through `DoChange`.
    virtual void Change();
    /// Fires `OnChange`.
    void DoChange();
    /// Back to the text the edit had when it got the focus (Esc).
    void Reset();
    /// The focus came by keyboard or program with `AutoSelect` on; selects the whole text.
    virtual void SelectOnEnter();

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    std::string editMask_;
    QString focusText_;
    bool autoSelect_ = true;
};

} // namespace carlume
