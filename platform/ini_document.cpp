#include "platform/ini_document.h"

#include "platform/sysutils.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace carlume {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view TrimView(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20)
        s.remove_suffix(1);
    return s;
}

// Calls `line(begin, end)` for each line [begin, end) of `text[from, to)`. Lines end at CR LF, LF or a lone
// CR.
template <class F> void ForEachLine(std::string_view text, std::size_t from, std::size_t to, F&& line)
{
    while (from < to) {
        std::size_t end = from;
        while (end < to && text[end] != '\r' && text[end] != '\n')
            ++end;
        std::size_t next = end + 1;
        if (end < to && text[end] == '\r' && next < to && text[next] == '\n')
            ++next;
        line(from, end);
        from = next;
    }
}

enum class Kind : std::uint8_t { Other, Section, Key };

// What a line is, and its name: a section's name or a key's name.
struct Classified {
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
};

Classified Classify(std::string_view raw)
{
    const std::string_view text = TrimView(raw);
    if (text.empty() || text.front() == ';')
        return {};
    // What follows the "]" (a comment, say) is no part of the header, as the profile functions read it.
    // The last "]" closes it, so that a name holding "]" reads back as written.
    const auto close = text.front() == '[' ? text.rfind(']') : npos;
    if (close != npos)
        return {Kind::Section, TrimView(text.substr(1, close - 1)), {}};
    const auto equals = text.find('=');
    if (equals != npos)
        return {Kind::Key, TrimView(text.substr(0, equals)), TrimView(text.substr(equals + 1))};
    return {};
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::size_t HashName(std::string_view name, std::size_t seed)
{
    std::uint64_t hash = 14695981039346656037ull ^ seed;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    return std::size_t(hash);
}

struct KeyProbe {
    std::uint32_t header;
    std::string_view name;
};

} // namespace

// The lines live in `text` (as read) and `added` (written since); `items` holds, in file order through
// `prev` and `next`, one item per section header and key line and one per run of other lines between
// them. `sections` maps a section name to its headers, `keys` a header and key name to its key lines.
struct TIniDocument::Store {
    // Places are 32-bit: a file of 4 GB does not fit in memory here anyway.
    struct Item {
        std::uint32_t begin = 0;
        std::uint32_t size = 0;
        std::uint32_t prev = kNone;
        std::uint32_t next = kNone;
        // A key's header; a header's last key (itself while it has none).
        std::uint32_t link = kNone;
        Kind kind = Kind::Other;
        bool added = false;
    };

    struct SectionHash {
        using is_transparent = void;
        const Store* store;
        std::size_t operator()(std::uint32_t id) const { return (*this)(store->Name(id)); }
        std::size_t operator()(std::string_view name) const { return HashName(name, 0); }
    };
    struct SectionEqual {
        using is_transparent = void;
        const Store* store;
        bool operator()(std::uint32_t a, std::uint32_t b) const
        {
            return a == b || SameText(store->Name(a), store->Name(b));
        }
        bool operator()(std::string_view a, std::uint32_t b) const { return SameText(a, store->Name(b)); }
        bool operator()(std::uint32_t a, std::string_view b) const { return SameText(store->Name(a), b); }
    };
    struct KeyHash {
        using is_transparent = void;
        const Store* store;
        std::size_t operator()(std::uint32_t id) const
        {
            return (*this)(KeyProbe{store->items[id].link, store->Name(id)});
        }
        std::size_t operator()(const KeyProbe& probe) const { return HashName(probe.name, probe.header); }
    };
    struct KeyEqual {
        using is_transparent = void;
        const Store* store;
        bool operator()(std::uint32_t a, std::uint32_t b) const
        {
            return a == b ||
                   (store->items[a].link == store->items[b].link && SameText(store->Name(a), store->Name(b)));
        }
        bool operator()(const KeyProbe& a, std::uint32_t b) const
        {
            return a.header == store->items[b].link && SameText(a.name, store->Name(b));
        }
        bool operator()(std::uint32_t a, const KeyProbe& b) const { return (*this)(b, a); }
    };

    Store()
        : sections(8, SectionHash{this}, SectionEqual{this})
        , keys(8, KeyHash{this}, KeyEqual{this})
    {
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    std::string_view Raw(std::uint32_t id) const
    {
        const Item& item = items[id];
        return std::string_view(item.added ? added : text).substr(item.begin, item.size);
    }
    std::string_view Name(std::uint32_t id) const { return Classify(Raw(id)).name; }

    // The first header of a section name, or kNone.
    std::uint32_t FirstHeader(std::string_view name) const
    {
        const auto it = sections.find(name);
        return it == sections.end() ? kNone : it->first;
    }
    // The first line of a key in the section of `header`, or kNone. Lines read from the file have ids in
    // file order, and a key is only ever added to a section that lacks it.
    std::uint32_t FirstKey(std::uint32_t header, std::string_view name) const
    {
        std::uint32_t first = kNone;
        const auto [begin, end] = keys.equal_range(KeyProbe{header, name});
        for (auto it = begin; it != end; ++it)
            first = std::min(first, *it);
        return first;
    }

    std::uint32_t NewItem(Item item)
    {
        if (!free.empty()) {
            const std::uint32_t id = free.back();
            free.pop_back();
            items[id] = item;
            return id;
        }
        if (items.size() >= kNone)
            throw std::bad_alloc();
        items.push_back(item);
        return std::uint32_t(items.size() - 1);
    }
    // Puts a new item after `at` (kNone: at the end).
    std::uint32_t Insert(Item item, std::uint32_t at)
    {
        const std::uint32_t id = NewItem(item);
        Item& placed = items[id];
        placed.prev = at == kNone ? tail : at;
        placed.next = placed.prev == kNone ? head : items[placed.prev].next;
        (placed.prev == kNone ? head : items[placed.prev].next) = id;
        (placed.next == kNone ? tail : items[placed.next].prev) = id;
        return id;
    }
    void Unlink(std::uint32_t id)
    {
        const Item& item = items[id];
        (item.prev == kNone ? head : items[item.prev].next) = item.next;
        (item.next == kNone ? tail : items[item.next].prev) = item.prev;
        free.push_back(id);
    }
    // An item for a line written now.
    Item AddedLine(const std::string& line, Kind kind)
    {
        Item item;
        if (added.size() + line.size() > kNone)
            throw std::bad_alloc();
        item.begin = std::uint32_t(added.size());
        item.size = std::uint32_t(line.size());
        item.kind = kind;
        item.added = true;
        added += line;
        return item;
    }
    void AddHeader(std::uint32_t id)
    {
        items[id].link = id;
        const auto it = sections.find(id);
        if (it == sections.end())
            sections.emplace(id, std::vector<std::uint32_t>{id});
        else
            it->second.push_back(id);
    }
    void AddKey(std::uint32_t id, std::uint32_t header)
    {
        items[id].link = header;
        items[header].link = id;
        keys.insert(id);
    }
    void RemoveKey(std::uint32_t id)
    {
        const auto [begin, end] = keys.equal_range(id);
        for (auto it = begin; it != end; ++it)
            if (*it == id) {
                keys.erase(it);
                break;
            }
        Item& header = items[items[id].link];
        if (header.link == id) {
            std::uint32_t last = items[id].prev;
            while (items[last].kind == Kind::Other)
                last = items[last].prev;
            header.link = last;
        }
        Unlink(id);
    }

    std::string text;
    std::string added;
    std::size_t start = 0; // past the byte-order mark
    bool byteOrderMark = false;
    bool utf16 = false;
    std::vector<Item> items;
    std::vector<std::uint32_t> free;
    std::uint32_t head = kNone;
    std::uint32_t tail = kNone;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>, SectionHash, SectionEqual> sections;
    std::unordered_multiset<std::uint32_t, KeyHash, KeyEqual> keys;
};

TIniDocument::TIniDocument()
    : store_(std::make_unique<Store>())
{
}

TIniDocument::~TIniDocument() = default;
TIniDocument::TIniDocument(TIniDocument&& other) noexcept = default;
TIniDocument& TIniDocument::operator=(TIniDocument&& other) noexcept = default;

TIniDocument TIniDocument::Parse(std::string_view bytes)
{
    return FromBytes(std::string(bytes));
}

TIniDocument TIniDocument::FromBytes(std::string bytes)
{
    TIniDocument document;
    Store& store = *document.store_;
    if (bytes.size() >= kNone)
        throw std::bad_alloc();
    store.text = std::move(bytes);
    const std::string_view text = store.text;
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
        store.utf16 = true;
        return document;
    }
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        store.byteOrderMark = true;
        store.start = kByteOrderMark.size();
    }
    std::uint32_t header = kNone;
    std::size_t run = npos; // start of the run of other lines being read
    auto endRun = [&](std::size_t end) {
        if (run != npos) {
            Store::Item item;
            item.begin = std::uint32_t(run);
            item.size = std::uint32_t(end - run);
            store.Insert(item, kNone);
        }
        run = npos;
    };
    ForEachLine(text, store.start, text.size(), [&](std::size_t begin, std::size_t end) {
        const Kind kind = Classify(text.substr(begin, end - begin)).kind;
        if (kind == Kind::Other || (kind == Kind::Key && header == kNone)) {
            if (run == npos)
                run = begin;
            return;
        }
        endRun(begin);
        Store::Item item;
        item.begin = std::uint32_t(begin);
        item.size = std::uint32_t(end - begin);
        item.kind = kind;
        const std::uint32_t id = store.Insert(item, kNone);
        if (kind == Kind::Section) {
            header = id;
            store.AddHeader(id);
        } else {
            store.AddKey(id, header);
        }
    });
    endRun(text.size());
    return document;
}

std::string TIniDocument::Serialize() const
{
    const Store& store = *store_;
    if (store.utf16)
        return store.text;
    // Every line as it is written, in order; measured first so that the text is built in one piece.
    auto forEachLine = [&](auto&& out) {
        for (std::uint32_t id = store.head; id != kNone; id = store.items[id].next) {
            const Store::Item& item = store.items[id];
            if (item.kind != Kind::Other) {
                out(store.Raw(id));
                continue;
            }
            const std::string_view text = store.text;
            ForEachLine(text, item.begin, item.begin + item.size,
                        [&](std::size_t begin, std::size_t end) { out(text.substr(begin, end - begin)); });
        }
    };
    std::size_t size = store.byteOrderMark ? kByteOrderMark.size() : 0;
    forEachLine([&](std::string_view line) { size += line.size() + 2; });
    std::string out;
    out.reserve(size);
    if (store.byteOrderMark)
        out += kByteOrderMark;
    forEachLine([&](std::string_view line) {
        out += line;
        out += "\r\n";
    });
    return out;
}

bool TIniDocument::Rewritable() const
{
    return !store_->utf16;
}

bool TIniDocument::SectionExists(std::string_view section) const
{
    return store_->FirstHeader(TrimView(section)) != kNone;
}

std::optional<std::string> TIniDocument::Find(std::string_view section, std::string_view key) const
{
    const Store& store = *store_;
    const std::uint32_t header = store.FirstHeader(TrimView(section));
    if (header == kNone)
        return std::nullopt;
    const std::uint32_t id = store.FirstKey(header, TrimView(key));
    if (id == kNone)
        return std::nullopt;
    return std::string(Classify(store.Raw(id)).value);
}

std::vector<std::string> TIniDocument::SectionNames() const
{
    const Store& store = *store_;
    std::vector<std::string> names;
    for (std::uint32_t id = store.head; id != kNone; id = store.items[id].next) {
        if (store.items[id].kind != Kind::Section)
            continue;
        const std::string_view name = store.Name(id);
        if (store.FirstHeader(name) == id)
            names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const
{
    const Store& store = *store_;
    std::vector<std::string> names;
    const std::uint32_t header = store.FirstHeader(TrimView(section));
    if (header == kNone)
        return names;
    for (std::uint32_t id = store.items[header].next; id != kNone && store.items[id].kind != Kind::Section;
         id = store.items[id].next) {
        if (store.items[id].kind != Kind::Key)
            continue;
        const std::string_view name = store.Name(id);
        if (store.FirstKey(header, name) == id)
            names.emplace_back(name);
    }
    return names;
}

std::string TIniDocument::CheckSection(std::string_view section)
{
    if (HoldsLineBreak(section))
        return "A section name cannot hold a line break or a NUL byte.";
    return {};
}

std::string TIniDocument::CheckKey(std::string_view key)
{
    const std::string_view name = TrimView(key);
    if (HoldsLineBreak(key))
        return "A key name cannot hold a line break or a NUL byte.";
    if (name.empty())
        return "A key name cannot be empty.";
    if (name.find('=') != npos)
        return "A key name cannot hold \"=\".";
    if (name.front() == ';' || name.front() == '[')
        return "A key name cannot start with \";\" or \"[\".";
    return {};
}

std::string TIniDocument::CheckValue(std::string_view value)
{
    if (HoldsLineBreak(value))
        return "A value cannot hold a line break or a NUL byte.";
    return {};
}

void TIniDocument::Write(std::string_view section, std::string_view key, std::string_view value)
{
    Store& store = *store_;
    if (store.utf16 || !CheckSection(section).empty() || !CheckKey(key).empty() || !CheckValue(value).empty())
        return;
    const std::string_view sectionName = TrimView(section);
    const std::string_view name = TrimView(key);
    const std::string line = std::string(name) + "=" + std::string(value);
    std::uint32_t header = store.FirstHeader(sectionName);
    if (header == kNone) {
        header = store.Insert(store.AddedLine("[" + std::string(sectionName) + "]", Kind::Section), kNone);
        store.AddHeader(header);
    }
    const std::uint32_t id = store.FirstKey(header, name);
    if (id != kNone) {
        // The same name in another spelling: its place in the index stays right.
        const Store::Item item = store.AddedLine(line, Kind::Key);
        store.items[id].begin = item.begin;
        store.items[id].size = item.size;
        store.items[id].added = true;
        return;
    }
    store.AddKey(store.Insert(store.AddedLine(line, Kind::Key), store.items[header].link), header);
}

void TIniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    Store& store = *store_;
    const auto it = store.sections.find(TrimView(section));
    if (it == store.sections.end())
        return;
    const std::string_view name = TrimView(key);
    for (const std::uint32_t header : it->second) {
        std::vector<std::uint32_t> lines;
        const auto [begin, end] = store.keys.equal_range(KeyProbe{header, name});
        for (auto line = begin; line != end; ++line)
            lines.push_back(*line);
        for (const std::uint32_t line : lines)
            store.RemoveKey(line);
    }
}

void TIniDocument::EraseSection(std::string_view section)
{
    Store& store = *store_;
    const auto it = store.sections.find(TrimView(section));
    if (it == store.sections.end())
        return;
    const std::vector<std::uint32_t> headers = std::move(it->second);
    store.sections.erase(it);
    for (const std::uint32_t header : headers) {
        std::uint32_t id = store.items[header].next;
        while (id != kNone && store.items[id].kind != Kind::Section) {
            const std::uint32_t next = store.items[id].next;
            if (store.items[id].kind == Kind::Key)
                store.RemoveKey(id);
            else
                store.Unlink(id);
            id = next;
        }
        store.Unlink(header);
    }
}

void TIniDocument::Clear()
{
    const bool byteOrderMark = store_->byteOrderMark;
    store_ = std::make_unique<Store>();
    store_->byteOrderMark = byteOrderMark;
}

} // namespace carlume
