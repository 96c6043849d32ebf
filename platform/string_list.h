#pragma once

// `TStringList`: an ordered list of texts, each with an optional attached object. Comparisons ignore
// letter case unless `CaseSensitive` is set (UTF-8 aware, see `AnsiCompareText`). A sorted list keeps
// its order on `Add` and refuses `Insert`; `Duplicates` says what a sorted list does with an equal text.
// "Name=Value" lines are read through `Names`, `Values` and `ValueFromIndex`.

#include "platform/files.h"
#include "platform/sysutils.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {

/// What a sorted list does when a text equal to one it holds is added.
enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;

/// Order of two lines for `CustomSort`: < 0, 0 or > 0.
using TStringListSortCompare = std::function<int(const TStringList& list, int index1, int index2)>;

/// An ordered list of texts with optional attached objects.
class TStringList {
public:
    /// An empty list; with `ownsObjects` it frees the attached objects when lines go away.
    explicit TStringList(bool ownsObjects = false);
    /// Frees owned objects.
    ~TStringList();
    TStringList(const TStringList&) = delete;
    TStringList& operator=(const TStringList&) = delete;

    /// Number of lines.
    int Count() const { return int(items_.size()); }
    /// Line `index`; raises `EStringListError` for a bad index.
    const std::string& operator[](int index) const { return Strings(index); }
    /// Line `index`; raises `EStringListError` for a bad index.
    const std::string& Strings(int index) const;
    /// Replaces line `index` (not allowed in a sorted list); its object stays.
    void Put(int index, const std::string& text);
    /// Object attached to line `index` (nullptr when none).
    TObject* Objects(int index) const;
    /// Attaches `object` to line `index`; an owned object it replaces is freed.
    void PutObject(int index, TObject* object);

    /// Appends a line (a sorted list inserts it in order); returns its index, or for an ignored duplicate
    /// the index of the equal line. Raises `EStringListError` for a duplicate under `dupError`.
    int Add(const std::string& text);
    /// `Add` with an attached object. An owning list takes the object in every case: it frees it at once
    /// when the line is ignored or refused as a duplicate.
    int AddObject(const std::string& text, TObject* object);
    /// Appends every line of `other` with its object; an owning list takes the texts only, so that no object
    /// is ever owned twice.
    void AddStrings(const TStringList& other);
    /// Inserts a line before `index` (0..Count); raises `EStringListError` in a sorted list.
    void Insert(int index, const std::string& text);
    /// `Insert` with an attached object.
    void InsertObject(int index, const std::string& text, TObject* object);
    /// Removes line `index` (freeing its owned object).
    void Delete(int index);
    /// Removes every line (freeing owned objects).
    void Clear();
    /// Swaps two lines with their objects.
    void Exchange(int index1, int index2);
    /// Replaces the contents and settings with those of `other`; objects as for `AddStrings`.
    void Assign(const TStringList& other);

    /// Index of the first line equal to `text`, or -1.
    int IndexOf(std::string_view text) const;
    /// Index of the first line whose name (the text before "=") equals `name`, or -1.
    int IndexOfName(std::string_view name) const;
    /// Index of the first line carrying `object`, or -1.
    int IndexOfObject(const TObject* object) const;
    /// Where `text` is or would go: true with the index of the first equal line, or false with the index
    /// at which it would be inserted. Binary search in a sorted list, a linear search otherwise.
    bool Find(std::string_view text, int& index) const;

    /// Sorts the lines (stable) by the list's comparison.
    void Sort();
    /// Sorts the lines (stable) by `compare`.
    void CustomSort(const TStringListSortCompare& compare);
    /// True when the list keeps its lines sorted.
    bool Sorted() const { return sorted_; }
    /// Turns sorting on (sorting the lines at once) or off.
    void SetSorted(bool sorted);
    /// What a sorted list does with an equal text (dupIgnore after construction).
    TDuplicates Duplicates() const { return duplicates_; }
    /// Sets what a sorted list does with an equal text.
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    /// True when texts compare with letter case (false after construction).
    bool CaseSensitive() const { return caseSensitive_; }
    /// Changes how texts compare (a sorted list sorts again).
    void SetCaseSensitive(bool caseSensitive);
    /// True when the list frees the objects of lines that go away.
    bool OwnsObjects() const { return ownsObjects_; }
    /// Sets whether the list frees the objects of lines that go away.
    void SetOwnsObjects(bool ownsObjects) { ownsObjects_ = ownsObjects; }

    /// Name part of line `index`: the text before its first "=" ("" when it has none).
    std::string Names(int index) const;
    /// Value of the first line named `name`: the text after its first "="; "" when there is none.
    std::string Values(std::string_view name) const;
    /// Sets the value of the first line named `name`, adding "name=value" when there is none; an empty
    /// value removes the line.
    void SetValues(std::string_view name, std::string_view value);
    /// Value part of line `index` (the text after its first "=").
    std::string ValueFromIndex(int index) const;
    /// Replaces the value part of line `index`; an empty value removes the line.
    void SetValueFromIndex(int index, std::string_view value);

    /// Every line followed by CR LF.
    std::string Text() const;
    /// Replaces the lines with those of `text`, split at CR LF, LF or CR; a final line break adds no line.
    void SetText(std::string_view text);
    /// The lines as a vector.
    std::vector<std::string> ToVector() const;
    /// Reads the lines of a file (CR LF, LF or CR; bytes as they are); raises `EFOpenError`.
    void LoadFromFile(const std::string& fileName);
    /// Writes every line followed by CR LF, bytes as they are, replacing the file atomically the `mode`
    /// way; raises `EFCreateError` (or `EWriteError`) and leaves any old file intact on failure.
    void SaveToFile(const std::string& fileName, TWriteMode mode) const;

    /// Compares two texts the way this list does.
    int CompareStrings(std::string_view a, std::string_view b) const;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };

    void CheckIndex(int index) const;
    void FreeObject(TObject* object) const;
    void SortItems();
    int InsertItem(int index, const std::string& text, TObject* object);

    std::vector<Item> items_;
    bool ownsObjects_ = false;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

} // namespace carlume
