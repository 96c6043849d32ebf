#pragma once

// The list of screen cursors the application information object keeps, seeded with the cursor current at
// start-up. Errors are shown as warning boxes through the dialog service, not raised.

#include "platform/services.h"

#include <cstdint>
#include <vector>

namespace carlume {

/// One saved screen cursor.
class TContained {
public:
    /// Holds `cursor`.
    explicit TContained(TCursor cursor)
        : Cursor(std::int16_t(cursor))
    {
    }
    /// The cursor identifier (16 bits, as the class library keeps it).
    std::int16_t Cursor;
};

/// A stack of saved cursors.
class TCursorStack {
public:
    /// An empty stack; `dialogs` (may be null) shows its warnings.
    explicit TCursorStack(IDialogService* dialogs);

    /// Appends `cursor`; a failure shows the warning "Attempt to add cursor to a Non-Existant List".
    void Push(TCursor cursor);
    /// Number of entries.
    int Count() const { return int(entries_.size()); }
    /// Entry `index` (0 is the oldest); the caller checks the index.
    const TContained& Item(int index) const { return entries_[std::size_t(index)]; }
    /// Removes entry `index`; an index outside the stack shows the warning "Cannot remove cursor item from
    /// empty list" and changes nothing.
    void Delete(int index);

private:
    void Warn(const char* text) const;

    IDialogService* dialogs_;
    std::vector<TContained> entries_;
};

/// Owns one cursor stack, seeded with a cursor.
class TCursorList {
public:
    /// A list whose stack holds `cursor`; `dialogs` (may be null) shows the stack's warnings.
    TCursorList(IDialogService* dialogs, TCursor cursor);
    /// The stack.
    TCursorStack& Stack() { return stack_; }
    /// The stack.
    const TCursorStack& Stack() const { return stack_; }

private:
    TCursorStack stack_;
};

} // namespace carlume
