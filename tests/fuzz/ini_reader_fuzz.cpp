#include "platform/ini_document.h"
#include "platform/sysutils.h"

#include "tests/fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using carlume::TIniDocument;

namespace {

// Both documents hold the same sections, keys and values.
void CheckSameContents(const TIniDocument& a, const TIniDocument& b)
{
    const auto sections = a.SectionNames();
    Check(sections == b.SectionNames());
    for (const auto& section : sections) {
        const auto keys = a.KeyNames(section);
        Check(keys == b.KeyNames(section));
        for (const auto& key : keys)
            Check(a.FindView(section, key) == b.FindView(section, key));
    }
}

} // namespace

// The input is a file; its first line, when it splits into "section|key|value", is also written into it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TIniDocument document = TIniDocument::Parse(bytes);
    const std::string written = document.Serialize();
    const TIniDocument reread = TIniDocument::Parse(written);
    CheckSameContents(document, reread);
    Check(reread.Serialize() == written);

    const auto end = bytes.find('\n');
    const std::string_view first = bytes.substr(0, end);
    const auto bar1 = first.find('|');
    const auto bar2 = bar1 == std::string_view::npos ? bar1 : first.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos || !document.Rewritable())
        return 0;
    const std::string_view section = first.substr(0, bar1);
    const std::string_view key = first.substr(bar1 + 1, bar2 - bar1 - 1);
    const std::string_view value = first.substr(bar2 + 1);
    if (!TIniDocument::CheckSection(section).empty() || !TIniDocument::CheckKey(key).empty() ||
        !TIniDocument::CheckValue(value).empty())
        return 0;
    const auto sectionsBefore = document.SectionNames();
    // After each change the document's own index answers as one built afresh from its text; one changed the
    // same way but never indexed (its one look-up reads its lines) writes the same text.
    TIniDocument scanned = TIniDocument::Parse(bytes);
    document.Write(section, key, value);
    scanned.Write(section, key, value);
    Check(scanned.FindView(section, key) == carlume::Trim(value));
    const TIniDocument after = TIniDocument::Parse(document.Serialize());
    CheckSameContents(document, after);
    Check(scanned.Serialize() == document.Serialize());
    Check(after.FindView(section, key) == carlume::Trim(value));
    for (const auto& name : sectionsBefore)
        Check(after.SectionExists(name));
    document.DeleteKey(section, key);
    scanned.DeleteKey(section, key);
    Check(scanned.Serialize() == document.Serialize());
    CheckSameContents(document, TIniDocument::Parse(document.Serialize()));
    Check(!TIniDocument::Parse(document.Serialize()).FindView(section, key).has_value());
    document.EraseSection(section);
    scanned.EraseSection(section);
    Check(scanned.Serialize() == document.Serialize());
    CheckSameContents(document, TIniDocument::Parse(document.Serialize()));
    Check(!TIniDocument::Parse(document.Serialize()).SectionExists(section));
    return 0;
}
