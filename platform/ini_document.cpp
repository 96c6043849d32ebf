#include "platform/ini_document.h"

#include "platform/sysutils.h"

#include <algorithm>

namespace carlume {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool Contains(const std::vector<std::string>& names, std::string_view name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); });
}

} // namespace

TIniDocument::Line TIniDocument::Classify(std::string raw)
{
    Line line;
    const std::string text = Trim(raw);
    line.raw = std::move(raw);
    if (text.empty() || text.front() == ';')
        return line;
    // What follows the "]" (a comment, say) is no part of the header, as the profile functions read it.
    // The last "]" closes it, so that a name holding "]" reads back as written.
    const auto close = text.front() == '[' ? text.rfind(']') : npos;
    if (close != npos) {
        line.kind = Kind::Section;
        line.name = Trim(std::string_view(text).substr(1, close - 1));
        return line;
    }
    const auto equals = text.find('=');
    if (equals != npos) {
        line.kind = Kind::Key;
        line.name = Trim(std::string_view(text).substr(0, equals));
        line.value = Trim(std::string_view(text).substr(equals + 1));
    }
    return line;
}

TIniDocument TIniDocument::Parse(std::string_view bytes)
{
    TIniDocument document;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        document.utf16_ = true;
        document.utf16Bytes_ = std::string(bytes);
        return document;
    }
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        document.byteOrderMark_ = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == npos)
            end = bytes.size();
        document.lines_.push_back(Classify(std::string(bytes.substr(start, end - start))));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return document;
}

std::string TIniDocument::Serialize() const
{
    if (utf16_)
        return utf16Bytes_;
    std::string out = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
    for (const auto& line : lines_) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

std::size_t TIniDocument::FindSection(std::string_view section) const
{
    const std::string wanted = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && SameText(lines_[i].name, wanted))
            return i;
    }
    return npos;
}

std::size_t TIniDocument::SectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

bool TIniDocument::SectionExists(std::string_view section) const
{
    return FindSection(section) != npos;
}

std::optional<std::string> TIniDocument::Find(std::string_view section, std::string_view key) const
{
    const std::size_t header = FindSection(section);
    if (header == npos)
        return std::nullopt;
    const std::string wanted = Trim(key);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && SameText(lines_[i].name, wanted))
            return lines_[i].value;
    }
    return std::nullopt;
}

std::vector<std::string> TIniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        if (line.kind == Kind::Section && !Contains(names, line.name))
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::string> TIniDocument::KeyNames(std::string_view section) const
{
    std::vector<std::string> names;
    const std::size_t header = FindSection(section);
    if (header == npos)
        return names;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && !Contains(names, lines_[i].name))
            names.push_back(lines_[i].name);
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
    const std::string name = Trim(key);
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
    if (utf16_)
        return;
    const std::string name = Trim(key);
    Line line = Classify(name + "=" + std::string(value));
    std::size_t header = FindSection(section);
    if (header == npos) {
        lines_.push_back(Classify("[" + Trim(section) + "]"));
        lines_.push_back(std::move(line));
        return;
    }
    const std::size_t end = SectionEnd(header);
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind != Kind::Key)
            continue;
        if (SameText(lines_[i].name, name)) {
            lines_[i] = std::move(line);
            return;
        }
        insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + std::ptrdiff_t(insertAt), std::move(line));
}

void TIniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    const std::string wantedSection = Trim(section);
    const std::string wantedKey = Trim(key);
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (auto& line : lines_) {
        if (line.kind == Kind::Section)
            inSection = SameText(line.name, wantedSection);
        else if (inSection && line.kind == Kind::Key && SameText(line.name, wantedKey))
            continue;
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
}

void TIniDocument::EraseSection(std::string_view section)
{
    const std::string wanted = Trim(section);
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (auto& line : lines_) {
        if (line.kind == Kind::Section)
            inSection = SameText(line.name, wanted);
        if (!inSection)
            kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
}

void TIniDocument::Clear()
{
    lines_.clear();
    utf16_ = false;
    utf16Bytes_.clear();
}

} // namespace carlume
