#pragma once

// The process-wide database handle: an engine opened at start-up with the settings the program works
// with, closed when the program exits. Its item list is ordered by each item's key.

#include "foundation/codebase.h"
#include "foundation/sorted_list.h"
#include "platform/sysutils.h"

#include <cstdint>

namespace carlume {

/// An object the database keeps in its item list.
class TCBItem : public TObject {
public:
    /// The key the item list is ordered by.
    virtual std::int32_t Key() const = 0;
};

/// The database handle; owns the items of its list.
class TCBDatabase : public TObject {
public:
    /// An empty item list ordered by key, then `Init`.
    TCBDatabase();
    /// Frees every item of the list, then closes the engine when it was opened.
    ~TCBDatabase() override;
    TCBDatabase(const TCBDatabase&) = delete;
    TCBDatabase& operator=(const TCBDatabase&) = delete;

    /// Runs after `Init` has opened the engine; nothing here. The base constructor calls this version (C++
    /// does not reach a derived class from there): a derived class does such work in its own constructor.
    virtual void AfterInit() {}

    /// The engine handle.
    CODE4* Handle() const { return handle_; }
    /// True once the engine is open and set up.
    bool Initialised() const { return initialised_; }
    /// The items, in ascending key order when added with `AddItem`; objects without a key come first.
    TSortedList& ItemList() { return itemList_; }
    /// The items.
    const TSortedList& ItemList() const { return itemList_; }

    /// Orders two items by key with `<` (no subtraction, which could overflow).
    static int CompareKeys(const TObject* item1, const TObject* item2);

protected:
    /// Opens the engine: single-open mode 0, five lock attempts; then `AfterInit`. Results of the engine
    /// calls are not looked at.
    void Init();

private:
    CODE4* handle_ = nullptr;
    bool initialised_ = false;
    TSortedList itemList_;
};

/// The process-wide database handle, created on the first call; it lives until the program exits (or
/// `ReleaseCBDatabase`).
TCBDatabase& GetCBDatabase();
/// Frees the process-wide handle now, closing its engine; the next `GetCBDatabase` opens a new one. For
/// tests and for an orderly end; it happens by itself at exit.
void ReleaseCBDatabase();

} // namespace carlume
