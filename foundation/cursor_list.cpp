#include "foundation/cursor_list.h"

#include <exception>

namespace carlume {

TCursorStack::TCursorStack(IDialogService* dialogs)
    : dialogs_(dialogs)
{
}

void TCursorStack::Push(TCursor cursor)
{
    try {
        entries_.emplace_back(cursor);
    } catch (const std::exception&) {
        Warn("Attempt to add cursor to a Non-Existant List");
    }
}

void TCursorStack::Delete(int index)
{
    if (index < 0 || index >= Count()) {
        Warn("Cannot remove cursor item from empty list");
        return;
    }
    entries_.erase(entries_.begin() + index);
}

void TCursorStack::Warn(const char* text) const
{
    // Shown as they are, without touching the cursor: these boxes report on the cursor list itself.
    if (dialogs_ != nullptr)
        dialogs_->ShowMessage(TMsgDlgType::mtWarning, text);
}

TCursorList::TCursorList(IDialogService* dialogs, TCursor cursor)
    : stack_(dialogs)
{
    stack_.Push(cursor);
}

} // namespace carlume
