#include "components/popup_menu.h"

namespace carlume {

TPopupMenu::TPopupMenu(QWidget* parent)
    : QMenu(parent)
{
    setAttribute(Qt::WA_NoMouseReplay);
}

void TPopupMenu::Popup(int x, int y)
{
    const int width = sizeHint().width();
    int left = x;
    if (alignment_ == TPopupAlignment::paRight)
        left = x - width;
    else if (alignment_ == TPopupAlignment::paCenter)
        left = x - width / 2;
    exec(QPoint(left, y));
}

} // namespace carlume
