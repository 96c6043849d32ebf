#include "platform/gui/form.h"

#include "platform/gui/error_guard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcutEvent>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace carlume {

namespace {

constexpr char kBoundProperty[] = "carlumeModalResultBound";

// Plain Qt buttons act on Esc and Enter the class library's way: Esc clicks a Cancel button, Enter a
// default one, and only when no shift key is held and the button can take the focus.
bool PlainButtonTakesKey(QAbstractButton& button, const QWidget& form, TVirtualKey key, TShiftState shift)
{
    if (shift != 0 || !button.isEnabled() || !button.isVisibleTo(&form)) {
        return false;
    }
    bool takes = false;
    if (key == VK_ESCAPE) {
        takes = button.property(kCancelProperty).toBool();
    } else if (key == VK_RETURN) {
        auto* push = qobject_cast<QPushButton*>(&button);
        takes = push != nullptr && push->isDefault();
    }
    if (takes) {
        button.click();
    }
    return takes;
}

template <class Offer> bool OfferToChildren(QWidget& parent, const Offer& offer)
{
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow()) {
            continue;
        }
        if (offer(*widget) || OfferToChildren(*widget, offer)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool IFormControl::DialogKey(TVirtualKey, TShiftState)
{
    return false;
}

bool IFormControl::DialogChar(QChar)
{
    return false;
}

void IFormControl::DoEnter() {}

void IFormControl::DoExit() {}

TForm::TForm(QWidget* owner)
    : QDialog(owner)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Button, ToQColor(clBtnFace));
    setPalette(palette);
    SetColor(clBtnFace);
    SetFont(font_);
    qApp->installEventFilter(this);
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this, &TForm::FocusChanged);
}

TForm::~TForm()
{
    // The widgets die after this destructor and move the focus as they go; this form must not hear of it.
    disconnect(focusConnection_);
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

// --- modal show ---------------------------------------------------------------------------------------

int TForm::ShowModal()
{
    modalResult_ = mrNone;
    showingModal_ = true;
    // The modal loop runs one level deeper than the caller; handlers nested deeper still (a message box
    // opened by a handler) must finish before the form may end.
    modalLoopLevel_ = QThread::currentThread()->loopLevel() + 1;
    // Handlers already running (the one that shows this form) are outside it and must not hold it open.
    handlersOutside_ = RunningHandlers();
    QDialog::exec();
    showingModal_ = false;
    endQueued_ = false;
    return modalResult_;
}

int TForm::exec()
{
    return ShowModal();
}

void TForm::SetModalResult(TModalResult result)
{
    modalResult_ = result;
    if (result != mrNone && showingModal_ && !endQueued_) {
        endQueued_ = true;
        QMetaObject::invokeMethod(this, &TForm::TryEndModal, Qt::QueuedConnection);
    }
}

bool TForm::WaitingForUser() const
{
    return showingModal_ && QThread::currentThread()->loopLevel() == modalLoopLevel_;
}

void TForm::TryEndModal()
{
    endQueued_ = false;
    if (!showingModal_ || modalResult_ == mrNone) {
        return;
    }
    // Only once no handler runs any more, also none that pumps events or shows a box of its own.
    if (RunningHandlers() > handlersOutside_ || QThread::currentThread()->loopLevel() > modalLoopLevel_) {
        endQueued_ = true;
        QTimer::singleShot(10, this, &TForm::TryEndModal);
        return;
    }
    bool canClose = false;
    if (!RunGuarded([&] { canClose = CloseQuery(); }) || !canClose) {
        modalResult_ = mrNone;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (!RunGuarded([&] { DoClose(action); }) || action == TCloseAction::caNone) {
        modalResult_ = mrNone;
        return;
    }
    // A modal form is only hidden here; whoever showed it decides when it goes.
    ending_ = true;
    QDialog::done(modalResult_);
    ending_ = false;
}

void TForm::Close()
{
    if (showingModal_) {
        SetModalResult(mrCancel);
        return;
    }
    bool canClose = false;
    if (!RunGuarded([&] { canClose = CloseQuery(); }) || !canClose) {
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (!RunGuarded([&] { DoClose(action); })) {
        return;
    }
    switch (action) {
    case TCloseAction::caNone:
        break;
    case TCloseAction::caHide:
        hide();
        break;
    case TCloseAction::caFree:
        hide();
        deleteLater();
        break;
    case TCloseAction::caMinimize:
        showMinimized();
        break;
    }
}

void TForm::done(int result)
{
    if (ending_ || !showingModal_) {
        QDialog::done(result);
        return;
    }
    SetModalResult(result == QDialog::Rejected ? mrCancel : result);
}

void TForm::accept()
{
    if (showingModal_) {
        SetModalResult(mrOk);
    } else {
        QDialog::accept();
    }
}

void TForm::reject()
{
    if (showingModal_) {
        SetModalResult(mrCancel);
    } else {
        QDialog::reject();
    }
}

void TForm::closeEvent(QCloseEvent* event)
{
    // The close box, or close() from code: the class library's Close decides what happens.
    event->ignore();
    Close();
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(canClose);
    }
    return canClose;
}

void TForm::DoClose(TCloseAction& action)
{
    if (OnClose) {
        OnClose(action);
    }
}

void TForm::DoShow()
{
    if (OnShow) {
        OnShow();
    }
}

void TForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    BindButtons();
    frameChecked_ = false;
    FitIntoScreen();
    ApplyPosition();
    if (pendingActiveControl_ != nullptr) {
        pendingActiveControl_->setFocus(Qt::OtherFocusReason);
        pendingActiveControl_ = nullptr;
    }
    RunGuarded([this] { DoShow(); });
    // What the form and its handlers have laid out is the size the user keeps (or cannot go below).
    if (FitIntoScreen())
        ApplyPosition();
    PinSize();
}

void TForm::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    // The frame is known only once the window manager has placed the window; a form sized before that
    // may stand out of the screen by its frame. Checked once per show: later moves are the user's.
    if (frameChecked_ || !isVisible() || windowHandle() == nullptr || windowHandle()->frameMargins().isNull())
        return;
    frameChecked_ = true;
    if (FitIntoScreen())
        ApplyPosition();
}

void TForm::BindButtons()
{
    const auto buttons = findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        const QVariant result = button->property(kModalResultProperty);
        if (result.isValid() && !button->property(kBoundProperty).toBool()) {
            BindModalResult(button, result.toInt());
        }
    }
}

void TForm::BindModalResult(QAbstractButton* button, TModalResult result)
{
    if (button == nullptr) {
        return;
    }
    button->setProperty(kBoundProperty, true);
    connect(button, &QAbstractButton::clicked, this, [this, result] { SetModalResult(result); });
}

void TForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Some window managers offer to minimise any window, also when asked not to. A modal dialog that goes
    // would take the whole program out of sight with it, so it comes straight back.
    if (event->type() == QEvent::WindowStateChange && showingModal_ && HasFixedBorder() && isMinimized()) {
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~Qt::WindowMinimized); }, Qt::QueuedConnection);
    }
}

// --- geometry and look --------------------------------------------------------------------------------

void TForm::ApplyPosition()
{
    switch (position_) {
    case TPosition::poDesigned:
    case TPosition::poDefault:
        break;
    case TPosition::poScreenCenter:
        CenterForm(*this);
        break;
    case TPosition::poOwnerFormCenter: {
        QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
        if (owner == nullptr || !owner->isVisible()) {
            CenterForm(*this);
            break;
        }
        const QRect area = owner->frameGeometry();
        const QSize size = frameGeometry().size();
        move(area.left() + (area.width() - size.width()) / 2,
             area.top() + (area.height() - size.height()) / 2);
        break;
    }
    }
}

QMenuBar* TForm::MenuBar() const
{
    if (layout() != nullptr) {
        if (auto* bar = qobject_cast<QMenuBar*>(layout()->menuBar())) {
            return bar;
        }
    }
    return findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

int TForm::MenuBarHeight() const
{
    QMenuBar* bar = MenuBar();
    if (bar == nullptr || bar->isHidden()) {
        return 0;
    }
    return bar->height() > 0 && bar->testAttribute(Qt::WA_Resized) ? bar->height() : bar->sizeHint().height();
}

int TForm::ClientWidth() const
{
    return width();
}

int TForm::ClientHeight() const
{
    return height() - MenuBarHeight();
}

void TForm::SetClientWidth(int width)
{
    ResizeForm(QSize(width, height()));
}

void TForm::SetClientHeight(int height)
{
    ResizeForm(QSize(width(), height + MenuBarHeight()));
}

QSize TForm::LargestSize() const
{
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    return screen->availableGeometry().size().shrunkBy(FrameMargins(*this)).expandedTo(QSize(1, 1));
}

bool TForm::FitIntoScreen()
{
    const QSize fitted = size().boundedTo(LargestSize());
    if (fitted == size())
        return false;
    ResizeForm(fitted);
    return true;
}

void TForm::ResizeForm(QSize size)
{
    // The program may resize a form that the user cannot, but never beyond the screen.
    const bool pinned = sizePinned_;
    if (pinned)
        UnpinSize();
    resize(size.boundedTo(LargestSize()));
    if (pinned)
        PinSize();
}

void TForm::PinSize()
{
    sizePinned_ = true;
    if (HasFixedBorder())
        setFixedSize(size());
    else
        setMinimumSize(size());
}

void TForm::UnpinSize()
{
    sizePinned_ = false;
    setMinimumSize(0, 0);
    if (HasFixedBorder())
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void TForm::SetColor(TColor color)
{
    color_ = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    setPalette(palette);
    setAutoFillBackground(true);
}

void TForm::SetFont(const TFont& font)
{
    if (&font != &font_) {
        font_.Assign(font);
    }
    SetControlFont(*this, font_);
}

void SetControlFont(QWidget& control, const TFont& font)
{
    control.setFont(font.ToQFont());
    QPalette palette = control.palette();
    const QColor text = ToQColor(font.Color());
    // The disabled group keeps the style's greyed text, or disabled controls would look enabled.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Text, text);
    }
    control.setPalette(palette);
}

bool TForm::HasFixedBorder() const
{
    return borderStyle_ == TFormBorderStyle::bsSingle || borderStyle_ == TFormBorderStyle::bsDialog ||
           borderStyle_ == TFormBorderStyle::bsToolWindow;
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    borderStyle_ = style;
    Qt::WindowFlags flags = Qt::Dialog;
    switch (style) {
    case TFormBorderStyle::bsNone:
        flags |= Qt::FramelessWindowHint;
        break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsDialog:
        flags |= Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case TFormBorderStyle::bsToolWindow:
        flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case TFormBorderStyle::bsSizeable:
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    }
    setWindowFlags(flags);
    setSizeGripEnabled(style == TFormBorderStyle::bsSizeable || style == TFormBorderStyle::bsSizeToolWin);
}

// --- focus --------------------------------------------------------------------------------------------

QWidget* TForm::ActiveControl() const
{
    if (activeControl_ != nullptr) {
        return activeControl_;
    }
    return focusWidget();
}

void TForm::SetActiveControl(QWidget* control)
{
    if (control == nullptr) {
        return;
    }
    if (isVisible()) {
        control->setFocus(Qt::OtherFocusReason);
    } else {
        pendingActiveControl_ = control;
    }
}

void TForm::SetOnEnter(QWidget* control, std::function<void()> handler)
{
    onEnter_.insert(control, std::move(handler));
}

void TForm::SetOnExit(QWidget* control, std::function<void()> handler)
{
    onExit_.insert(control, std::move(handler));
}

void TForm::FocusChanged(QWidget*, QWidget* current)
{
    // The active control changes only when the focus moves to another control of this form; losing the
    // focus to another window and getting it back is no change.
    if (current == nullptr || current->window() != this || current == activeControl_) {
        return;
    }
    QPointer<QWidget> previous = activeControl_;
    activeControl_ = current;
    if (previous != nullptr) {
        const bool exited = RunGuarded([&] {
            if (auto* control = dynamic_cast<IFormControl*>(previous.data())) {
                control->DoExit();
            }
            if (auto handler = onExit_.value(previous.data())) {
                handler();
            }
        });
        if (!exited) {
            // As in the class library, a failed exit keeps the focus where it was.
            activeControl_ = previous;
            QTimer::singleShot(0, previous, [previous] {
                if (previous != nullptr) {
                    previous->setFocus(Qt::OtherFocusReason);
                }
            });
            return;
        }
    }
    RunGuarded([&] {
        if (auto* control = dynamic_cast<IFormControl*>(current)) {
            control->DoEnter();
        }
        if (auto handler = onEnter_.value(current)) {
            handler();
        }
    });
}

// --- keys ---------------------------------------------------------------------------------------------

void TForm::KeyDown(TVirtualKey& key, TShiftState shift)
{
    if (OnKeyDown) {
        OnKeyDown(key, shift);
    }
}

void TForm::KeyPress(QChar& key)
{
    if (OnKeyPress) {
        OnKeyPress(key);
    }
}

bool TForm::PreviewKey(QKeyEvent& event)
{
    TKeyInfo info = ToClassKey(event);
    bool consumed = false;
    RunGuarded([&] {
        consumed = DispatchKeyDownAndPress(
            info, [this](TVirtualKey& key, TShiftState shift) { KeyDown(key, shift); },
            [this](QChar& key) { KeyPress(key); });
    });
    return consumed;
}

bool TForm::eventFilter(QObject* watched, QEvent* event)
{
    // An accelerator that several buttons share clicks the first of them in the window's order; Qt would
    // only move the focus between them.
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button != nullptr && button->window() == this) {
            const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
            QAbstractButton* first = nullptr;
            OfferToChildren(*this, [&](QWidget& widget) {
                auto* candidate = qobject_cast<QAbstractButton*>(&widget);
                if (candidate != nullptr && candidate->shortcut() == key && candidate->isVisible() &&
                    candidate->isEnabled())
                    first = candidate;
                return first != nullptr;
            });
            if (first != nullptr)
                first->click();
            return first != nullptr;
        }
    }
    // Key preview: the key goes to the form before the focused control. Only the first receiver (the focus
    // widget) is previewed; the same event passed on to the parents is not.
    if (keyPreview_ && event->type() == QEvent::KeyPress && watched != this) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this && widget == QApplication::focusWidget()) {
            return PreviewKey(*static_cast<QKeyEvent*>(event));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm::keyPressEvent(QKeyEvent* event)
{
    const QWidget* focus = QApplication::focusWidget();
    const bool passedOn = focus != nullptr && focus != this && isAncestorOf(focus);
    if (keyPreview_ && !passedOn && PreviewKey(*event)) {
        event->accept();
        return;
    }
    const TKeyInfo info = ToClassKey(*event);
    // A focused push button takes Enter itself, whichever button is the default (our own buttons take it in
    // their key handlers and never pass it on).
    auto* focusedButton = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (info.Key == VK_RETURN && info.Shift == 0 && focusedButton != nullptr && passedOn &&
        focusedButton->isEnabled()) {
        focusedButton->click();
        event->accept();
        return;
    }
    if (info.Key == VK_ESCAPE || info.Key == VK_RETURN) {
        // Never QDialog's own handling: Esc would reject the form even without a Cancel control.
        BroadcastDialogKey(info.Key, info.Shift);
        event->accept();
        return;
    }
    if (info.Shift == ssAlt && !info.Char.isNull() && BroadcastDialogChar(info.Char)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TForm::BroadcastDialogKey(TVirtualKey key, TShiftState shift)
{
    return OfferToChildren(*this, [&](QWidget& widget) {
        if (auto* control = dynamic_cast<IFormControl*>(&widget)) {
            bool taken = false;
            RunGuarded([&] { taken = control->DialogKey(key, shift); });
            return taken;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
            return PlainButtonTakesKey(*button, *this, key, shift);
        }
        return false;
    });
}

bool TForm::BroadcastDialogChar(QChar character)
{
    return OfferToChildren(*this, [&](QWidget& widget) {
        if (auto* control = dynamic_cast<IFormControl*>(&widget)) {
            bool taken = false;
            RunGuarded([&] { taken = control->DialogChar(character); });
            return taken;
        }
        return false;
    });
}

// --- free functions -----------------------------------------------------------------------------------

QMargins FrameMargins(const QWidget& window)
{
    const auto known = [](const QWidget* widget) {
        return widget != nullptr && widget->isVisible() && widget->windowHandle() != nullptr
                   ? widget->windowHandle()->frameMargins()
                   : QMargins();
    };
    QMargins margins = known(&window);
    if (margins.isNull() && window.parentWidget() != nullptr)
        margins = known(window.parentWidget()->window());
    if (margins.isNull())
        margins = known(QApplication::activeWindow());
    return margins;
}

TForm* ParentForm(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* form = qobject_cast<TForm*>(const_cast<QWidget*>(w))) {
            return form;
        }
    }
    return nullptr;
}

void CenterForm(QWidget& form)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    const QSize size = form.isVisible() ? form.frameGeometry().size() : form.size();
    form.move(area.left() + (area.width() - size.width()) / 2,
              area.top() + (area.height() - size.height()) / 2);
}

namespace {

void FitScrollArea(QScrollArea& area);

// The right and bottom edges of the visible direct children of `container` (children hidden by their own
// flag do not count), leaving out `skip` and measuring heights from `top`. Scroll areas among them are
// fitted to their own controls first.
QSize ControlsExtent(QWidget& container, const QWidget* skip, int top)
{
    int right = 0;
    int bottom = 0;
    for (QObject* child : container.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || widget == skip || widget->isHidden()) {
            continue;
        }
        if (auto* area = qobject_cast<QScrollArea*>(widget)) {
            FitScrollArea(*area);
        }
        right = std::max(right, widget->x() + widget->width());
        bottom = std::max(bottom, widget->y() - top + widget->height());
    }
    return {right, bottom};
}

// A scroll area takes the place of the class library's scroll box: its controls sit on its content widget,
// and its viewport is the client area that is made to hold them.
void FitScrollArea(QScrollArea& area)
{
    QWidget* content = area.widget();
    if (content == nullptr) {
        return;
    }
    const QSize extent = ControlsExtent(*content, nullptr, 0);
    const QSize client(extent.width() + 3, extent.height() + 3);
    content->resize(client);
    const QMargins margins = area.contentsMargins();
    area.resize(client.width() + margins.left() + margins.right(),
                client.height() + margins.top() + margins.bottom());
}

} // namespace

void FitFormToControls(QWidget& form)
{
    auto* asForm = qobject_cast<TForm*>(&form);
    QMenuBar* bar = asForm != nullptr ? asForm->MenuBar()
                                      : form.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int top = asForm != nullptr ? asForm->MenuBarHeight() : 0;
    const QSize extent = ControlsExtent(form, bar, top);
    if (asForm != nullptr) {
        asForm->SetClientWidth(extent.width() + 3);
        asForm->SetClientHeight(extent.height() + 3);
    } else {
        form.resize(extent.width() + 3, extent.height() + 3);
    }
}

} // namespace carlume
