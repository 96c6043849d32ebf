#pragma once

// The class library's popup menu, as far as a button's drop-down menu needs it.

#include <QMenu>
#include <QPointer>

#include <cstdint>

namespace carlume {

/// Which edge of the menu the popup point gives.
enum class TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    /// A left-aligned menu that pops up automatically. The press that closes it is not replayed to the
    /// widget under the pointer.
    explicit TPopupMenu(QWidget* parent = nullptr);

    /// Which edge of the menu the popup point gives.
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment alignment) { alignment_ = alignment; }
    /// Whether the owning control pops the menu up by itself.
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }
    /// The control that popped the menu up last.
    QObject* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(QObject* component) { popupComponent_ = component; }

    /// Shows the menu at the screen point, placed by `Alignment`, and returns when it has closed.
    virtual void Popup(int x, int y);

private:
    TPopupAlignment alignment_ = TPopupAlignment::paLeft;
    bool autoPopup_ = true;
    QPointer<QObject> popupComponent_;
};

} // namespace carlume
