#include "platform/string_list.h"

#include "platform/exceptions.h"
#include "platform/files.h"

#include <algorithm>
#include <utility>

namespace carlume {
namespace {

std::string_view NameOf(std::string_view line)
{
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
}

} // namespace

TStringList::TStringList(bool ownsObjects)
    : ownsObjects_(ownsObjects)
{
}

TStringList::~TStringList()
{
    Clear();
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw CreateFmt<EStringListError>(SListIndexError, index);
}

void TStringList::FreeObject(TObject* object) const
{
    if (ownsObjects_)
        delete object;
}

const std::string& TStringList::Strings(int index) const
{
    CheckIndex(index);
    return items_[std::size_t(index)].text;
}

void TStringList::Put(int index, const std::string& text)
{
    if (sorted_)
        throw EStringListError(std::string(SSortedListError));
    CheckIndex(index);
    items_[std::size_t(index)].text = text;
}

TObject* TStringList::Objects(int index) const
{
    CheckIndex(index);
    return items_[std::size_t(index)].object;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    TObject*& slot = items_[std::size_t(index)].object;
    if (slot != object)
        FreeObject(slot);
    slot = object;
}

int TStringList::InsertItem(int index, const std::string& text, TObject* object)
{
    items_.insert(items_.begin() + index, Item{text, object});
    return index;
}

int TStringList::Add(const std::string& text)
{
    return AddObject(text, nullptr);
}

int TStringList::AddObject(const std::string& text, TObject* object)
{
    if (!sorted_)
        return InsertItem(Count(), text, object);
    int index = 0;
    if (Find(text, index)) {
        if (duplicates_ == TDuplicates::dupIgnore) {
            if (object != items_[std::size_t(index)].object)
                FreeObject(object);
            return index;
        }
        if (duplicates_ == TDuplicates::dupError) {
            FreeObject(object);
            throw EStringListError(std::string(SDuplicateString));
        }
        // Equal texts keep the order they were added in.
        while (index < Count() && CompareStrings(items_[std::size_t(index)].text, text) == 0)
            ++index;
    }
    return InsertItem(index, text, object);
}

void TStringList::AddStrings(const TStringList& other)
{
    // Copy first: `other` may be this list.
    const std::vector<Item> items = other.items_;
    for (const auto& item : items)
        AddObject(item.text, ownsObjects_ ? nullptr : item.object);
}

void TStringList::Insert(int index, const std::string& text)
{
    InsertObject(index, text, nullptr);
}

void TStringList::InsertObject(int index, const std::string& text, TObject* object)
{
    if (sorted_)
        throw EStringListError(std::string(SSortedListError));
    if (index < 0 || index > Count())
        throw CreateFmt<EStringListError>(SListIndexError, index);
    InsertItem(index, text, object);
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    TObject* object = items_[std::size_t(index)].object;
    items_.erase(items_.begin() + index);
    FreeObject(object);
}

void TStringList::Clear()
{
    std::vector<Item> items;
    items.swap(items_);
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        FreeObject(it->object);
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[std::size_t(index1)], items_[std::size_t(index2)]);
}

void TStringList::Assign(const TStringList& other)
{
    if (&other == this)
        return;
    Clear();
    items_ = other.items_;
    if (ownsObjects_) {
        for (auto& item : items_)
            item.object = nullptr;
    }
    sorted_ = other.sorted_;
    duplicates_ = other.duplicates_;
    caseSensitive_ = other.caseSensitive_;
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const
{
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(std::string_view text) const
{
    if (sorted_) {
        int index = 0;
        return Find(text, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i) {
        if (CompareStrings(items_[std::size_t(i)].text, text) == 0)
            return i;
    }
    return -1;
}

int TStringList::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = items_[std::size_t(i)].text;
        if (line.find('=') != std::string::npos && CompareStrings(NameOf(line), name) == 0)
            return i;
    }
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < Count(); ++i) {
        if (items_[std::size_t(i)].object == object)
            return i;
    }
    return -1;
}

bool TStringList::Find(std::string_view text, int& index) const
{
    if (!sorted_) {
        for (int i = 0; i < Count(); ++i) {
            if (CompareStrings(items_[std::size_t(i)].text, text) == 0) {
                index = i;
                return true;
            }
        }
        index = Count();
        return false;
    }
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareStrings(items_[std::size_t(middle)].text, text) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    index = low;
    return low < Count() && CompareStrings(items_[std::size_t(low)].text, text) == 0;
}

void TStringList::SortItems()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
}

void TStringList::Sort()
{
    SortItems();
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    // Sort positions, then apply: the comparison looks at the list while it works.
    std::vector<int> order(items_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (const int i : order)
        sorted.push_back(std::move(items_[std::size_t(i)]));
    items_ = std::move(sorted);
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !sorted_)
        SortItems();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    caseSensitive_ = caseSensitive;
    if (sorted_)
        SortItems();
}

std::string TStringList::Names(int index) const
{
    return std::string(NameOf(Strings(index)));
}

std::string TStringList::Values(std::string_view name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValues(std::string_view name, std::string_view value)
{
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
        return;
    }
    if (index < 0)
        Add(std::string(name) + "=" + std::string(value));
    else
        SetValueFromIndex(index, value);
}

std::string TStringList::ValueFromIndex(int index) const
{
    const std::string& line = Strings(index);
    const auto equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

void TStringList::SetValueFromIndex(int index, std::string_view value)
{
    CheckIndex(index);
    if (value.empty()) {
        Delete(index);
        return;
    }
    const std::string line = Names(index) + "=" + std::string(value);
    if (sorted_) {
        TObject* object = items_[std::size_t(index)].object;
        items_.erase(items_.begin() + index);
        AddObject(line, object);
    } else {
        items_[std::size_t(index)].text = line;
    }
}

std::string TStringList::Text() const
{
    std::string text;
    for (const auto& item : items_) {
        text += item.text;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text)
{
    Clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        Add(std::string(text.substr(start, end - start)));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

std::vector<std::string> TStringList::ToVector() const
{
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const auto& item : items_)
        out.push_back(item.text);
    return out;
}

void TStringList::LoadFromFile(const std::string& fileName)
{
    SetText(ReadFileBytes(fileName));
}

void TStringList::SaveToFile(const std::string& fileName, TWriteMode mode) const
{
    WriteFileAtomically(fileName, Text(), mode);
}

} // namespace carlume
