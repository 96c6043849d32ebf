#include "foundation/sorted_list.h"

#include <algorithm>

namespace carlume {
namespace {

// From this many items on, `AddItem` bisects instead of walking.
constexpr int kBisectFrom = 128;

} // namespace

ESortedListError::ESortedListError(int code)
    : Exception(MessageOf(code))
    , code_(code)
{
}

std::string ESortedListError::MessageOf(int code)
{
    switch (code) {
    case 0:
        return "Compare function not assigned for sorted list.";
    case 1:
        return "Sorted list index is out of bounds.";
    case 2:
        return "Inserting item that already exists in sorted list.";
    default:
        return "An unknown sort list error has occurred";
    }
}

bool TSortedList::Search(const TObject* item, int& position) const
{
    const int count = Count();
    position = -1;
    if (count < kBisectFrom) {
        // The first equal item, else the last smaller one.
        for (int i = 0; i < count; ++i) {
            const int order = Compare(item, items_[std::size_t(i)]);
            if (order == 0) {
                position = i;
                return true;
            }
            if (order < 0)
                return false;
            position = i;
        }
        return false;
    }
    // The last item not greater than `item`.
    if (Compare(item, items_.front()) < 0)
        return false;
    int lo = 0;
    int hi = count - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (Compare(item, items_[std::size_t(mid)]) < 0)
            hi = mid - 1;
        else
            lo = mid;
    }
    position = lo;
    return Compare(item, items_[std::size_t(lo)]) == 0;
}

void TSortedList::AddItem(TObject* item)
{
    if (!Compare)
        throw ESortedListError(0);
    int position = -1;
    if (Search(item, position) && !AllowDuplicates)
        throw ESortedListError(2);
    items_.insert(items_.begin() + (position + 1), item);
    LastIndex = position;
}

void TSortedList::CheckIndex(int index, int limit) const
{
    if (index < 0 || index > limit)
        throw ESortedListError(1);
}

TObject* TSortedList::Items(int index) const
{
    CheckIndex(index, Count() - 1);
    return items_[std::size_t(index)];
}

int TSortedList::Add(TObject* item)
{
    items_.push_back(item);
    return Count() - 1;
}

void TSortedList::Insert(int index, TObject* item)
{
    CheckIndex(index, Count());
    items_.insert(items_.begin() + index, item);
}

void TSortedList::Delete(int index)
{
    CheckIndex(index, Count() - 1);
    items_.erase(items_.begin() + index);
}

int TSortedList::IndexOf(const TObject* item) const
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

int TSortedList::Remove(const TObject* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        items_.erase(items_.begin() + index);
    return index;
}

} // namespace carlume
