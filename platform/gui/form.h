#pragma once

// The base of every window: a QDialog that behaves as the class library's form. A non-zero ModalResult
// ends a modal show once the handler that set it has returned; Enter and Esc that the focused control
// leaves alone are offered to the controls (Esc closes only through a Cancel control; a focused button
// takes Enter itself, so the default buttons see it only when no button has the focus); OnEnter and OnExit
// follow real changes of the form's active control; the form can be centred on the screen or its owner.
// When shown, a form is never larger than its screen's free area; the user cannot resize a form with a
// fixed border, nor make a sizeable one smaller than the size it was shown with, nor minimise a modal form
// with a fixed border.
//
// Windows load their layouts from Qt Designer files and call `ui.setupUi(this)` in their constructor.
// Plain Qt buttons get the class library's roles from dynamic properties, which a .ui file can set:
// "modalResult" (int) sets the form's ModalResult when the button is clicked, "cancel" (bool) makes the
// button take Esc; the QPushButton "default" property makes it take Enter.

#include "platform/gui/color.h"
#include "platform/gui/font.h"
#include "platform/gui/keys.h"
#include "platform/modal_result.h"

#include <QDialog>
#include <QHash>
#include <QMargins>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QMenuBar;

namespace carlume {

/// What closing a form does.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
/// Where a form appears when it is shown.
enum class TPosition { poDesigned, poDefault, poScreenCenter, poOwnerFormCenter };
/// The frame of a form.
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

/// Dynamic property: the ModalResult a plain Qt button hands to its form when clicked.
inline constexpr char kModalResultProperty[] = "modalResult";
/// Dynamic property: a plain Qt button that is clicked by Esc.
inline constexpr char kCancelProperty[] = "cancel";

/// Implemented by our own controls to take part in the form's key and focus notifications.
class IFormControl {
public:
    /// Controls are deleted through their widget; this is for completeness.
    virtual ~IFormControl() = default;
    /// Enter or Esc that the focused control did not take, offered to each control in child order, depth
    /// first; returning true ends the offer.
    virtual bool DialogKey(TVirtualKey key, TShiftState shift);
    /// An Alt+character accelerator, offered the same way.
    virtual bool DialogChar(QChar character);
    /// The control became the form's active control.
    virtual void DoEnter();
    /// The control stops being the form's active control.
    virtual void DoExit();
};

class TForm : public QDialog {
    Q_OBJECT
public:
    /// A form owned by `owner` (may be null): colour clBtnFace, font "MS Sans Serif" 8 points.
    explicit TForm(QWidget* owner = nullptr);
    /// Stops listening to focus changes before the controls go.
    ~TForm() override;

    /// Shows the form modally and returns its ModalResult when it closes.
    int ShowModal();
    /// The same as `ShowModal`, so that code written for QDialog gets the form's behaviour.
    int exec() override;
    /// True while a modal show runs.
    bool ShowingModal() const { return showingModal_; }
    /// True while the form shows modally and waits for the user: none of its handlers is still running
    /// (for example one whose own modal window has closed but has not returned yet).
    bool WaitingForUser() const;

    /// The result of the modal show (mrNone while it runs).
    TModalResult ModalResult() const { return modalResult_; }
    /// Stores the result; during a modal show a non-zero value ends it once the current handler has returned
    /// (handlers run inside the error guard; the last value set wins, and clearing it keeps the form open).
    void SetModalResult(TModalResult result);
    /// The class library's Close: a modal form gets mrCancel; any other form asks CloseQuery and OnClose
    /// and then hides, is deleted or is minimised as the close action says.
    void Close();

    /// The title of the window.
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    /// The client area: the form without its menu bar.
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    /// Height of the form's menu bar, 0 without one.
    int MenuBarHeight() const;
    /// The form's menu bar (a direct child or the layout's menu bar), or null.
    QMenuBar* MenuBar() const;

    /// Background colour (clBtnFace unless set).
    TColor Color() const { return color_; }
    /// Fills the form's background with the colour.
    void SetColor(TColor color);
    /// The form's font.
    const TFont& Font() const { return font_; }
    /// Sets the form's font and text colour, which the controls inherit unless they have their own.
    void SetFont(const TFont& font);

    /// Where the form appears when shown; applied on every show.
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    /// The frame of the window.
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    /// Sets the frame; call it before the form is shown (changing window flags hides a shown window).
    void SetBorderStyle(TFormBorderStyle style);
    /// True for the frames the user cannot drag: single, dialog and tool window.
    bool HasFixedBorder() const;
    /// With KeyPreview the form's KeyDown and KeyPress see every key before the focused control.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool preview) { keyPreview_ = preview; }

    /// The control that has (or last had) the focus in this form.
    QWidget* ActiveControl() const;
    /// Focuses the control now, or when the form is shown.
    void SetActiveControl(QWidget* control);

    /// Makes a plain button set the form's ModalResult when clicked. Buttons with the "modalResult"
    /// property are bound this way when the form is first shown; bind earlier to run before other handlers.
    void BindModalResult(QAbstractButton* button, TModalResult result);
    /// A handler run (inside the guard) when the control becomes the active control.
    void SetOnEnter(QWidget* control, std::function<void()> handler);
    /// A handler run (inside the guard) when the control stops being the active control. When it raises,
    /// the focus goes back to the control.
    void SetOnExit(QWidget* control, std::function<void()> handler);

    /// Offers a dialog key to the controls as Enter and Esc are offered; true when one took it.
    bool BroadcastDialogKey(TVirtualKey key, TShiftState shift);
    /// Offers an accelerator character to the controls; true when one took it.
    bool BroadcastDialogChar(QChar character);

    /// Run each time the form is shown.
    std::function<void()> OnShow;
    /// Asked before the form closes; clear the flag to keep it open.
    std::function<void(bool& canClose)> OnCloseQuery;
    /// Run when the form closes; the action may be changed (caNone keeps it open).
    std::function<void(TCloseAction& action)> OnClose;
    /// With KeyPreview: every key first; set the key to 0 to consume it.
    std::function<void(TVirtualKey& key, TShiftState shift)> OnKeyDown;
    /// With KeyPreview: every character first; set it to a null character to consume it.
    std::function<void(QChar& key)> OnKeyPress;

    /// Qt's way to end a dialog: during a modal show it sets the ModalResult (Rejected is mrCancel).
    void done(int result) override;
    /// Sets mrOk during a modal show.
    void accept() override;
    /// Sets mrCancel during a modal show (Esc no longer calls it).
    void reject() override;

protected:
    /// Runs OnShow.
    virtual void DoShow();
    /// Runs OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();
    /// Runs OnClose.
    virtual void DoClose(TCloseAction& action);
    /// Runs OnKeyDown (KeyPreview).
    virtual void KeyDown(TVirtualKey& key, TShiftState shift);
    /// Runs OnKeyPress (KeyPreview).
    virtual void KeyPress(QChar& key);

    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TryEndModal();
    void BindButtons();
    void ApplyPosition();
    QSize LargestSize() const;
    bool FitIntoScreen();
    void ResizeForm(QSize size);
    void PinSize();
    void UnpinSize();
    bool PreviewKey(QKeyEvent& event);
    void FocusChanged(QWidget* previous, QWidget* current);

    TModalResult modalResult_ = mrNone;
    bool showingModal_ = false;
    bool endQueued_ = false;
    bool ending_ = false;
    int modalLoopLevel_ = 0;
    int handlersOutside_ = 0;
    TColor color_ = clBtnFace;
    TFont font_;
    TPosition position_ = TPosition::poDesigned;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    bool sizePinned_ = false;
    bool frameChecked_ = false;
    bool keyPreview_ = false;
    QPointer<QWidget> activeControl_;
    QPointer<QWidget> pendingActiveControl_;
    QHash<QWidget*, std::function<void()>> onEnter_;
    QHash<QWidget*, std::function<void()>> onExit_;
    QMetaObject::Connection focusConnection_;
};

/// The frame the window manager puts round `window`: its own once it is on the screen, else that of the
/// window it belongs to or of the active one (the program's windows get the same frame), else none.
QMargins FrameMargins(const QWidget& window);

/// The nearest form holding the widget (the widget itself when it is a form), or null.
TForm* ParentForm(const QWidget* widget);

/// Centres the window on the primary screen: left = (screen width - window width) / 2, top likewise,
/// divisions truncating toward zero, the window's frame included when it has one.
void CenterForm(QWidget& form);

/// Sizes the client area to the visible direct children plus a 3-pixel margin right and below. Children
/// hidden by their own flag do not count; a form's menu bar stays outside the client area. A scroll area
/// among the children is fitted first the same way: its viewport to the controls of its content widget.
void FitFormToControls(QWidget& form);

/// Gives a control the class library's font: the Qt font and the text colour (greyed text kept for the
/// disabled state).
void SetControlFont(QWidget& control, const TFont& font);

} // namespace carlume
