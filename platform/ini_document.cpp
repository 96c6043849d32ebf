#include "platform/ini_document.h"

#include "platform/sysutils.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace carlume {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

// A line: its place in the file's bytes, or, from kAdded on, the number of a line written since.
using Ref = std::uint32_t;
constexpr Ref kNone = std::numeric_limits<Ref>::max();
constexpr Ref kAdded = Ref(1) << 31;
static_assert(kIniFileSizeLimit == kAdded, "every place in a file that is held must be below kAdded");
// Look-ups read the lines until they have read this many times the document's bytes; then the index is
// built. A file read for a few values is never indexed, one read for many values soon is.
constexpr std::size_t kReadsBeforeIndex = 4;

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

// A blank inside a line: what trimming takes, short of a line break.
bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20 && c != '\r' && c != '\n';
}

// Where the line that starts at `begin` ends: its CR or LF, or the end of the text. Searched in growing
// steps, so that it costs what the line is long, however the other lines end.
std::size_t LineEnd(std::string_view text, std::size_t begin)
{
    // Most lines are short: their bytes are looked at one by one, which is quicker than a call.
    const std::size_t quick = std::min(text.size(), begin + 32);
    for (std::size_t at = begin; at < quick; ++at)
        if (text[at] == '\n' || text[at] == '\r')
            return at;
    for (std::size_t at = quick, step = 64; at < text.size(); at += step, step *= 2) {
        const std::size_t n = std::min(step, text.size() - at);
        const char* bytes = text.data() + at;
        const auto* lf = static_cast<const char*>(std::memchr(bytes, '\n', n));
        const std::size_t upTo = lf != nullptr ? std::size_t(lf - bytes) : n;
        if (const auto* cr = static_cast<const char*>(std::memchr(bytes, '\r', upTo)))
            return at + std::size_t(cr - bytes);
        if (lf != nullptr)
            return at + upTo;
    }
    return text.size();
}

// Where the next line starts after a line that ends at `end`: past CR LF, LF or a lone CR.
std::size_t NextLine(std::string_view text, std::size_t end)
{
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
        return end + 2;
    return std::min(end + 1, text.size());
}

// The file's lines [begin, end) with each ended by CR LF, as the document writes them: their size, and with
// `Write` the text put at `out`.
template <bool Write>
std::size_t EndLinesWithCrLf(std::string_view text, std::size_t begin, std::size_t end, char* out)
{
    std::size_t size = 0;
    for (std::size_t at = begin; at < end;) {
        const std::size_t lineEnd = LineEnd(text, at);
        if constexpr (Write) {
            std::memcpy(out + size, text.data() + at, lineEnd - at);
            out[size + lineEnd - at] = '\r';
            out[size + lineEnd - at + 1] = '\n';
        }
        size += lineEnd - at + 2;
        at = NextLine(text, lineEnd);
    }
    return size;
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

std::string LowerName(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    return lower;
}

std::uint64_t HashName(std::string_view name, std::uint64_t seed)
{
    std::uint64_t hash = 14695981039346656037ull ^ seed;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    return hash;
}

// Open addressing with linear probing over small entries that hold no hash: `hashOf` gives an entry's
// when the table grows or an entry moves.
template <class Entry> class ProbeTable {
public:
    template <class Match> Entry* Find(std::uint64_t hash, Match&& matches)
    {
        if (slots_.empty())
            return nullptr;
        for (std::size_t i = Home(hash);; i = (i + 1) & Mask()) {
            if (slots_[i].Free())
                return nullptr;
            if (matches(slots_[i]))
                return &slots_[i];
        }
    }

    // Adds an entry that is not in the table.
    template <class HashOf> void Add(Entry entry, std::uint64_t hash, HashOf&& hashOf)
    {
        if ((count_ + 1) * 4 > slots_.size() * 3)
            Grow(hashOf);
        Place(entry, hash);
        ++count_;
    }

    // Removes an entry that `Find` gave, moving back those that probed past it.
    template <class HashOf> void Remove(Entry* slot, HashOf&& hashOf)
    {
        std::size_t hole = std::size_t(slot - slots_.data());
        slots_[hole] = Entry{};
        --count_;
        for (std::size_t i = (hole + 1) & Mask(); !slots_[i].Free(); i = (i + 1) & Mask()) {
            const std::size_t home = Home(hashOf(slots_[i]));
            if (((i - home) & Mask()) >= ((i - hole) & Mask())) {
                slots_[hole] = slots_[i];
                slots_[i] = Entry{};
                hole = i;
            }
        }
    }

private:
    std::size_t Mask() const { return slots_.size() - 1; }
    std::size_t Home(std::uint64_t hash) const
    {
        return std::size_t((hash * 0x9E3779B97F4A7C15ull) >> shift_);
    }
    void Place(Entry entry, std::uint64_t hash)
    {
        std::size_t i = Home(hash);
        while (!slots_[i].Free())
            i = (i + 1) & Mask();
        slots_[i] = entry;
    }
    template <class HashOf> void Grow(HashOf& hashOf)
    {
        std::vector<Entry> old(std::max<std::size_t>(16, slots_.size() * 2));
        old.swap(slots_);
        shift_ = 64;
        for (std::size_t size = slots_.size(); size > 1; size /= 2)
            --shift_;
        for (const Entry& entry : old)
            if (!entry.Free())
                Place(entry, hashOf(entry));
    }

    std::vector<Entry> slots_;
    std::size_t count_ = 0;
    unsigned shift_ = 64;
};

struct SectionEntry {
    Ref header = kNone;
    bool Free() const { return header == kNone; }
};

struct KeyEntry {
    Ref header = kNone;
    Ref key = kNone;
    bool Free() const { return key == kNone; }
};

} // namespace

// The lines are the file's (`text`, from `start` on) in their order, less the ranges in `removed`, with
// the lines in `added` put in: a chain of them after a line of the file (`chains`, by its place; the
// text's size for after the last). A changed line of the file is removed and its new text put right
// after it.
struct TIniDocument::Store {
    struct Added {
        std::string line;
        std::size_t anchor; // the place of the file's line it follows
        Ref next = kNone;   // the next added line after the same one
        bool removed = false;
    };
    struct Index {
        ProbeTable<SectionEntry> sections;      // the first header of each name
        ProbeTable<KeyEntry> keys;              // the first line of each key name under each header
        std::unordered_set<Ref> sharedSections; // first headers whose name later headers have too
        std::unordered_set<Ref> sharedKeys;     // first lines of keys that later lines repeat
        std::unordered_map<Ref, Ref> lastKeys;  // where a header's next new key goes, once looked for
    };

    std::string_view Line(Ref ref) const
    {
        if (ref >= kAdded)
            return added[ref - kAdded].line;
        return std::string_view(text).substr(ref, LineEnd(text, ref) - ref);
    }
    std::string_view SectionName(Ref header) const { return Classify(Line(header)).name; }
    // A key's name, read only up to its "=".
    std::string_view KeyName(Ref key) const
    {
        const std::string_view rest =
            key >= kAdded ? std::string_view(added[key - kAdded].line) : std::string_view(text).substr(key);
        return TrimView(rest.substr(0, rest.find('=')));
    }

    auto SectionNamed(std::string_view name) const
    {
        return [this, name](const SectionEntry& e) { return SameText(SectionName(e.header), name); };
    }
    auto KeyNamed(Ref header, std::string_view name) const
    {
        return [this, header, name](const KeyEntry& e) {
            return e.header == header && SameText(KeyName(e.key), name);
        };
    }
    auto SectionHash() const
    {
        return [this](const SectionEntry& e) { return HashName(SectionName(e.header), 0); };
    }
    auto KeyHash() const
    {
        return [this](const KeyEntry& e) { return HashName(KeyName(e.key), e.header); };
    }

    template <class F> bool VisitChain(Ref id, F& visit) const
    {
        for (; id != kNone; id = added[id].next)
            if (!added[id].removed && !visit(kAdded + id, std::string_view(added[id].line)))
                return false;
        return true;
    }
    // Visits the document from the file's line at `at` on: runs of the file's lines as `onText(begin, end)`
    // (whole lines) and added lines as `onAdded(ref, line)`, in order, until one returns false.
    template <class T, class A> void RunsFrom(std::size_t at, T& onText, A& onAdded) const
    {
        auto gone = removed.upper_bound(at);
        if (gone != removed.begin() && std::prev(gone)->second > at)
            --gone;
        auto chain = chains.lower_bound(at);
        while (at < text.size()) {
            if (gone != removed.end() && gone->first <= at) {
                // Of lines taken out, only what was added after them is left.
                for (; chain != chains.end() && chain->first < gone->second; ++chain)
                    if (!VisitChain(chain->second, onAdded))
                        return;
                at = gone->second;
                ++gone;
                continue;
            }
            std::size_t end = gone != removed.end() ? gone->first : text.size();
            const bool chained = chain != chains.end() && chain->first < end;
            if (chained)
                end = NextLine(text, LineEnd(text, chain->first));
            if (!onText(at, end) || (chained && !VisitChain((chain++)->second, onAdded)))
                return;
            at = end;
        }
        if (chain != chains.end() && chain->first == text.size())
            VisitChain(chain->second, onAdded);
    }
    // The same for the lines after `from` (kNone: all of them).
    template <class T, class A> void Runs(Ref from, T&& onText, A&& onAdded) const
    {
        if (from == kNone)
            return RunsFrom(start, onText, onAdded);
        std::size_t anchor = from;
        Ref next = kNone;
        if (from >= kAdded) {
            anchor = added[from - kAdded].anchor;
            next = added[from - kAdded].next;
        } else if (const auto it = chains.find(from); it != chains.end()) {
            next = it->second;
        }
        if (VisitChain(next, onAdded) && anchor < text.size())
            RunsFrom(NextLine(text, LineEnd(text, anchor)), onText, onAdded);
    }
    // Visits the lines after `from` (kNone: all of them) one by one, as `visit(ref, line)`.
    template <class F> void Visit(Ref from, F&& visit) const
    {
        Runs(
            from,
            [&](std::size_t begin, std::size_t end) {
                for (std::size_t at = begin; at < end;) {
                    const std::size_t lineEnd = LineEnd(text, at);
                    if (!visit(Ref(at), std::string_view(text).substr(at, lineEnd - at)))
                        return false;
                    at = NextLine(text, lineEnd);
                }
                return true;
            },
            visit);
    }
    // Visits the lines that may be section headers (those of the file whose first byte other than a blank
    // is "[", found without reading the others line by line, and every added line), counting what it reads.
    template <class F> void ScanHeaders(F&& visit) const
    {
        const char* bytes = text.data();
        Runs(
            kNone,
            [&](std::size_t begin, std::size_t end) {
                for (std::size_t at = begin; at < end;) {
                    const auto* bracket = static_cast<const char*>(std::memchr(bytes + at, '[', end - at));
                    if (bracket == nullptr) {
                        read += end - at;
                        return true;
                    }
                    std::size_t lineStart = std::size_t(bracket - bytes);
                    while (lineStart > at && IsBlank(bytes[lineStart - 1]))
                        --lineStart;
                    const bool first =
                        lineStart == at || bytes[lineStart - 1] == '\n' || bytes[lineStart - 1] == '\r';
                    const std::size_t lineEnd = LineEnd(text, std::size_t(bracket - bytes));
                    read += lineEnd + 1 - at;
                    if (first &&
                        !visit(Ref(lineStart), std::string_view(text).substr(lineStart, lineEnd - lineStart)))
                        return false;
                    at = NextLine(text, lineEnd);
                }
                return true;
            },
            [&](Ref ref, std::string_view line) {
                read += line.size() + 1;
                return visit(ref, line);
            });
    }
    // `Visit` for a look-up without the index: what it reads counts towards building one.
    template <class F> void Scan(Ref from, F&& visit) const
    {
        Visit(from, [&](Ref ref, std::string_view line) {
            read += line.size() + 1;
            return visit(ref, line);
        });
    }
    // Visits the lines of the section of `header` that `Classify` finds keys.
    template <class F> void VisitKeys(Ref header, F&& visit) const
    {
        Scan(header, [&](Ref ref, std::string_view line) {
            const Classified c = Classify(line);
            if (c.kind == Kind::Section)
                return false;
            return c.kind != Kind::Key || visit(ref, c.name);
        });
    }

    bool Indexed() const
    {
        if (!index && read > kReadsBeforeIndex * (text.size() + addedBytes))
            BuildIndex();
        return index != nullptr;
    }
    void BuildIndex() const
    {
        auto built = std::make_unique<Index>();
        Ref header = kNone;
        Visit(kNone, [&](Ref ref, std::string_view line) {
            const Classified c = Classify(line);
            if (c.kind == Kind::Section) {
                header = ref;
                const auto hash = HashName(c.name, 0);
                if (const auto* first = built->sections.Find(hash, SectionNamed(c.name)))
                    built->sharedSections.insert(first->header);
                else
                    built->sections.Add({ref}, hash, SectionHash());
            } else if (c.kind == Kind::Key && header != kNone) {
                const auto hash = HashName(c.name, header);
                if (const auto* first = built->keys.Find(hash, KeyNamed(header, c.name)))
                    built->sharedKeys.insert(first->key);
                else
                    built->keys.Add({header, ref}, hash, KeyHash());
            }
            return true;
        });
        index = std::move(built);
    }
    // The first header of a section name, or kNone.
    Ref FirstHeader(std::string_view name) const
    {
        if (Indexed()) {
            const auto* found = index->sections.Find(HashName(name, 0), SectionNamed(name));
            return found != nullptr ? found->header : kNone;
        }
        // Without the index a name's first header is remembered: the same section is often looked up
        // again, and headers only come at the end or go with all of their name.
        const auto known = foundHeaders.find(LowerName(name));
        if (known != foundHeaders.end())
            return known->second;
        Ref found = kNone;
        ScanHeaders([&](Ref ref, std::string_view line) {
            const Classified c = Classify(line);
            if (c.kind == Kind::Section && SameText(c.name, name))
                found = ref;
            return found == kNone;
        });
        foundHeaders.emplace(LowerName(name), found);
        return found;
    }
    // The first line of a key in the section of `header`, or kNone.
    Ref FirstKey(Ref header, std::string_view name) const
    {
        if (Indexed()) {
            const auto* found = index->keys.Find(HashName(name, header), KeyNamed(header, name));
            return found != nullptr ? found->key : kNone;
        }
        Ref found = kNone;
        VisitKeys(header, [&](Ref ref, std::string_view key) {
            if (SameText(key, name))
                found = ref;
            return found == kNone;
        });
        return found;
    }
    // Every header of a section name, in order.
    std::vector<Ref> HeadersOf(std::string_view name) const
    {
        if (Indexed()) {
            const Ref first = FirstHeader(name);
            if (first == kNone || !index->sharedSections.count(first))
                return first == kNone ? std::vector<Ref>{} : std::vector<Ref>{first};
        }
        std::vector<Ref> headers;
        ScanHeaders([&](Ref ref, std::string_view line) {
            const Classified c = Classify(line);
            if (c.kind == Kind::Section && SameText(c.name, name))
                headers.push_back(ref);
            return true;
        });
        return headers;
    }
    // Every line of a key in the section of `header`, in order.
    std::vector<Ref> KeysOf(Ref header, std::string_view name) const
    {
        if (Indexed()) {
            const Ref first = FirstKey(header, name);
            if (first == kNone || !index->sharedKeys.count(first))
                return first == kNone ? std::vector<Ref>{} : std::vector<Ref>{first};
        }
        std::vector<Ref> keys;
        VisitKeys(header, [&](Ref ref, std::string_view key) {
            if (SameText(key, name))
                keys.push_back(ref);
            return true;
        });
        return keys;
    }
    // The line after which a new key of the section of `header` goes: its last key, or the header.
    Ref LastKey(Ref header)
    {
        if (Indexed())
            if (const auto it = index->lastKeys.find(header); it != index->lastKeys.end())
                return it->second;
        Ref last = header;
        VisitKeys(header, [&](Ref ref, std::string_view) {
            last = ref;
            return true;
        });
        if (index)
            index->lastKeys[header] = last;
        return last;
    }

    Ref NewLine(std::string line, std::size_t anchor, Ref next)
    {
        if (added.size() >= kNone - kAdded)
            throw std::bad_alloc();
        addedBytes += line.size() + 1;
        added.push_back({std::move(line), anchor, next, false});
        return kAdded + Ref(added.size() - 1);
    }
    // Puts a new line right after the line `after`.
    Ref InsertAfter(Ref after, std::string line)
    {
        if (after >= kAdded) {
            const Ref id = NewLine(std::move(line), added[after - kAdded].anchor, added[after - kAdded].next);
            added[after - kAdded].next = id - kAdded;
            if (endTail == after)
                endTail = id;
            return id;
        }
        const auto chain = chains.find(after);
        const Ref id = NewLine(std::move(line), after, chain == chains.end() ? kNone : chain->second);
        chains[after] = id - kAdded;
        return id;
    }
    // Puts a new line at the end.
    Ref Append(std::string line)
    {
        if (endTail != kNone)
            return InsertAfter(endTail, std::move(line));
        const Ref id = NewLine(std::move(line), text.size(), kNone);
        chains[text.size()] = id - kAdded;
        endTail = id;
        return id;
    }
    // Takes the file's bytes [begin, end) (whole lines) out of the document.
    void RemoveText(std::size_t begin, std::size_t end)
    {
        auto it = removed.lower_bound(begin);
        if (it != removed.begin() && std::prev(it)->second == begin) {
            --it;
            begin = it->first;
        }
        while (it != removed.end() && it->first <= end) {
            end = std::max(end, it->second);
            it = removed.erase(it);
        }
        removed.emplace(begin, end);
    }
    void RemoveLine(Ref ref)
    {
        if (ref >= kAdded)
            added[ref - kAdded].removed = true;
        else
            RemoveText(ref, NextLine(text, LineEnd(text, ref)));
    }

    std::string text;
    std::size_t start = 0; // past the byte-order mark
    bool byteOrderMark = false;
    bool utf16 = false;
    std::vector<Added> added;
    std::size_t addedBytes = 0;
    std::map<std::size_t, std::size_t> removed;
    std::map<std::size_t, Ref> chains;
    Ref endTail = kNone;
    mutable std::unique_ptr<Index> index;
    mutable std::unordered_map<std::string, Ref> foundHeaders;
    mutable std::size_t read = 0;
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
    if (bytes.size() >= kAdded)
        throw std::bad_alloc();
    store.text = std::move(bytes);
    const std::string_view text = store.text;
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
        store.utf16 = true;
    } else if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        store.byteOrderMark = true;
        store.start = kByteOrderMark.size();
    }
    return document;
}

std::string TIniDocument::Serialize() const
{
    return *SerializeUnder(std::numeric_limits<std::uint64_t>::max());
}

std::optional<std::string> TIniDocument::SerializeUnder(std::uint64_t limit) const
{
    const Store& store = *store_;
    if (store.utf16)
        return store.text.size() < limit ? std::optional<std::string>(store.text) : std::nullopt;
    // Measured first, so that the text is built in one piece; runs of the file's lines are copied whole.
    std::size_t size = store.byteOrderMark ? kByteOrderMark.size() : 0;
    store.Runs(
        kNone,
        [&](std::size_t begin, std::size_t end) {
            size += EndLinesWithCrLf<false>(store.text, begin, end, nullptr);
            return true;
        },
        [&](Ref, std::string_view line) {
            size += line.size() + 2;
            return true;
        });
    if (size >= limit)
        return std::nullopt;
    std::string out(size, '\0');
    char* at = out.data();
    if (store.byteOrderMark)
        at = std::copy(kByteOrderMark.begin(), kByteOrderMark.end(), at);
    store.Runs(
        kNone,
        [&](std::size_t begin, std::size_t end) {
            at += EndLinesWithCrLf<true>(store.text, begin, end, at);
            return true;
        },
        [&](Ref, std::string_view line) {
            at = std::copy(line.begin(), line.end(), at);
            *at++ = '\r';
            *at++ = '\n';
            return true;
        });
    return out;
}

bool TIniDocument::Rewritable() const
{
    return !store_->utf16;
}

bool TIniDocument::SectionExists(std::string_view section) const
{
    return !store_->utf16 && store_->FirstHeader(TrimView(section)) != kNone;
}

std::optional<std::string_view> TIniDocument::FindView(std::string_view section, std::string_view key) const
{
    const Store& store = *store_;
    if (store.utf16)
        return std::nullopt;
    const Ref header = store.FirstHeader(TrimView(section));
    if (header == kNone)
        return std::nullopt;
    const Ref line = store.FirstKey(header, TrimView(key));
    if (line == kNone)
        return std::nullopt;
    return Classify(store.Line(line)).value;
}

std::vector<std::string> TIniDocument::SectionNames() const
{
    const Store& store = *store_;
    std::vector<std::string> names;
    if (store.utf16)
        return names;
    // A listing looks every name up: worth the index at once.
    if (!store.index)
        store.BuildIndex();
    store.Visit(kNone, [&](Ref ref, std::string_view line) {
        const Classified c = Classify(line);
        if (c.kind == Kind::Section && store.FirstHeader(c.name) == ref)
            names.emplace_back(c.name);
        return true;
    });
    return names;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const
{
    const Store& store = *store_;
    std::vector<std::string> names;
    if (store.utf16)
        return names;
    if (!store.index)
        store.BuildIndex();
    const Ref header = store.FirstHeader(TrimView(section));
    if (header == kNone)
        return names;
    store.VisitKeys(header, [&](Ref ref, std::string_view name) {
        if (store.FirstKey(header, name) == ref)
            names.emplace_back(name);
        return true;
    });
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
    std::string line = std::string(name) + "=" + std::string(value);
    Ref header = store.FirstHeader(sectionName);
    if (header == kNone) {
        header = store.Append("[" + std::string(sectionName) + "]");
        store.foundHeaders[LowerName(sectionName)] = header;
        if (store.index) {
            store.index->sections.Add({header}, HashName(sectionName, 0), store.SectionHash());
            store.index->lastKeys[header] = header;
        }
    }
    const Ref old = store.FirstKey(header, name);
    if (old >= kAdded && old != kNone) {
        // The same name in another spelling: its place in the index stays right.
        Store::Added& changed = store.added[old - kAdded];
        store.addedBytes += line.size() + 1;
        changed.line = std::move(line);
        return;
    }
    if (old != kNone) {
        // A line of the file: taken out, with its new text right after it.
        store.RemoveLine(old);
        const Ref id = store.InsertAfter(old, std::move(line));
        if (store.index) {
            store.index->keys.Find(HashName(name, header), store.KeyNamed(header, name))->key = id;
            if (store.index->sharedKeys.erase(old))
                store.index->sharedKeys.insert(id);
            if (const auto last = store.index->lastKeys.find(header);
                last != store.index->lastKeys.end() && last->second == old)
                last->second = id;
        }
        return;
    }
    const Ref id = store.InsertAfter(store.LastKey(header), std::move(line));
    if (store.index) {
        store.index->keys.Add({header, id}, HashName(name, header), store.KeyHash());
        store.index->lastKeys[header] = id;
    }
}

void TIniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    Store& store = *store_;
    if (store.utf16)
        return;
    const std::string_view name = TrimView(key);
    for (const Ref header : store.HeadersOf(TrimView(section))) {
        const std::vector<Ref> lines = store.KeysOf(header, name);
        if (lines.empty())
            continue;
        if (store.index) {
            auto& index = *store.index;
            index.keys.Remove(index.keys.Find(HashName(name, header), store.KeyNamed(header, name)),
                              store.KeyHash());
            index.sharedKeys.erase(lines.front());
            if (const auto last = index.lastKeys.find(header);
                last != index.lastKeys.end() && std::count(lines.begin(), lines.end(), last->second) > 0)
                index.lastKeys.erase(last);
        }
        for (const Ref line : lines)
            store.RemoveLine(line);
    }
}

void TIniDocument::EraseSection(std::string_view section)
{
    Store& store = *store_;
    if (store.utf16)
        return;
    const std::string_view name = TrimView(section);
    const std::vector<Ref> headers = store.HeadersOf(name);
    if (headers.empty())
        return;
    store.foundHeaders[LowerName(name)] = kNone;
    if (store.index) {
        auto& index = *store.index;
        index.sections.Remove(index.sections.Find(HashName(name, 0), store.SectionNamed(name)),
                              store.SectionHash());
        index.sharedSections.erase(headers.front());
    }
    for (const Ref header : headers) {
        // The section's lines up to the next header; those of the file go as one piece.
        std::vector<Ref> addedLines;
        std::size_t end = store.text.size();
        if (header >= kAdded)
            addedLines.push_back(header);
        store.Visit(header, [&](Ref ref, std::string_view line) {
            const Classified c = Classify(line);
            if (c.kind == Kind::Section) {
                if (ref < kAdded)
                    end = ref;
                return false;
            }
            if (ref >= kAdded)
                addedLines.push_back(ref);
            if (store.index && c.kind == Kind::Key) {
                auto& keys = store.index->keys;
                auto* entry = keys.Find(HashName(c.name, header), store.KeyNamed(header, c.name));
                if (entry != nullptr && entry->key == ref) {
                    store.index->sharedKeys.erase(ref);
                    keys.Remove(entry, store.KeyHash());
                }
            }
            return true;
        });
        if (store.index)
            store.index->lastKeys.erase(header);
        if (header < kAdded)
            store.RemoveText(header, end);
        for (const Ref line : addedLines)
            store.RemoveLine(line);
    }
}

void TIniDocument::Clear()
{
    const bool byteOrderMark = store_->byteOrderMark;
    store_ = std::make_unique<Store>();
    store_->byteOrderMark = byteOrderMark;
}

} // namespace carlume
