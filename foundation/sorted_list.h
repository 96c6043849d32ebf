#pragma once

// An ordered list of object pointers that `AddItem` keeps in the order of a comparison function. The list
// does not own its items.

#include "platform/exceptions.h"
#include "platform/sysutils.h"

#include <functional>
#include <vector>

namespace carlume {

/// An error of `TSortedList`, with its code.
class ESortedListError : public Exception {
public:
    /// The error of `code`: 0 no comparison, 1 index out of bounds, 2 refused duplicate; any other code
    /// gives the general text.
    explicit ESortedListError(int code);
    /// The code the error was raised with.
    int Code() const noexcept { return code_; }
    /// The message of `code`.
    static std::string MessageOf(int code);

private:
    int code_;
};

/// Order of two items: negative, zero or positive.
using TSortedListCompare = std::function<int(const TObject* item1, const TObject* item2)>;

/// A list of object pointers kept in order by `AddItem`.
class TSortedList {
public:
    /// An empty list without comparison; duplicates refused; `LastIndex` -1.
    TSortedList() = default;
    virtual ~TSortedList() = default;
    TSortedList(const TSortedList&) = delete;
    TSortedList& operator=(const TSortedList&) = delete;

    /// Inserts `item` after the last item not greater than it (by `Compare(item, listItem)`); `LastIndex`
    /// becomes the index before it (-1 at the front). Raises error 0 without `Compare` and error 2 for an
    /// item equal to one already listed unless `AllowDuplicates`.
    virtual void AddItem(TObject* item);

    /// Number of items.
    int Count() const { return int(items_.size()); }
    /// Item `index`; raises error 1 for an index outside the list.
    TObject* Items(int index) const;
    /// Appends `item` at the end without looking at the order; returns its index.
    int Add(TObject* item);
    /// Inserts `item` before `index` (0..Count) without looking at the order; raises error 1 otherwise.
    void Insert(int index, TObject* item);
    /// Removes item `index` (the object stays alive); raises error 1 for an index outside the list.
    void Delete(int index);
    /// Index of `item`, or -1.
    int IndexOf(const TObject* item) const;
    /// Removes `item` when listed; returns the index it had, or -1.
    int Remove(const TObject* item);
    /// Removes every item (the objects stay alive).
    void Clear() { items_.clear(); }

    /// The index `AddItem` inserted after.
    int LastIndex = -1;
    /// The order of the items.
    TSortedListCompare Compare;
    /// True when `AddItem` accepts items equal to listed ones.
    bool AllowDuplicates = false;

private:
    bool Search(const TObject* item, int& position) const;
    void CheckIndex(int index, int limit) const;

    std::vector<TObject*> items_;
};

} // namespace carlume
