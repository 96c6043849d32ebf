#include "platform/ini_files.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

namespace carlume {
namespace {

// The document of a file; a missing file is empty. Raises `EFOpenError` when an existing file cannot be read,
// also when it does not fit in memory or is `sizeLimit` bytes or more (then unread).
TIniDocument LoadDocument(const std::string& fileName, std::uint64_t sizeLimit)
{
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec) && !ec)
        return {};
    std::string bytes = ReadFileBytes(fileName, sizeLimit);
    try {
        return TIniDocument::FromBytes(std::move(bytes));
    } catch (const std::bad_alloc&) {
        throw EFOpenError(Format(SFOpenError, VisibleControls(fileName), STooLargeForMemory),
                          std::string(STooLargeForMemory));
    }
}

// The bytes to write for a document; raises `EFCreateError` when they do not fit in memory, or would be
// `sizeLimit` bytes or more: a file that no later read would take.
std::string SerializeDocument(const std::string& fileName, const TIniDocument& document,
                              std::uint64_t sizeLimit)
{
    std::optional<std::string> bytes;
    try {
        bytes = document.SerializeUnder(sizeLimit);
    } catch (const std::bad_alloc&) {
        throw EFCreateError(Format(SFCreateError, VisibleControls(fileName), STooLargeForMemory),
                            std::string(STooLargeForMemory));
    }
    if (!bytes)
        throw EFCreateError(Format(SFCreateError, VisibleControls(fileName), STooLargeToReadBack),
                            std::string(STooLargeToReadBack));
    return std::move(*bytes);
}

} // namespace

EIniFileException IniFileWriteError(const std::string& fileName, const Exception& cause)
{
    std::string message = Format(SIniFileWriteError, VisibleControls(fileName));
    const auto* fileError = dynamic_cast<const EStreamError*>(&cause);
    if (fileError != nullptr && !fileError->Reason().empty())
        message += ". " + fileError->Reason();
    return EIniFileException(message);
}

TCustomIniFile::TCustomIniFile(std::string fileName, TWriteMode mode, std::uint64_t sizeLimit)
    : fileName_(std::move(fileName))
    , mode_(mode)
    , sizeLimit_(std::min(sizeLimit, kIniFileSizeLimit))
{
}

TIniDocument TCustomIniFile::Load() const
{
    return LoadDocument(fileName_, sizeLimit_);
}

void TCustomIniFile::Save(const TIniDocument& document) const
{
    WriteFileAtomically(fileName_, SerializeDocument(fileName_, document, sizeLimit_), mode_);
}

void TCustomIniFile::Check(std::string_view section, std::string_view ident, std::string_view value) const
{
    std::string reason = TIniDocument::CheckSection(section);
    if (reason.empty())
        reason = TIniDocument::CheckKey(ident);
    if (reason.empty())
        reason = TIniDocument::CheckValue(value);
    if (reason.empty() && !Document().Rewritable())
        reason = "The file is UTF-16 text, which this program does not rewrite.";
    if (!reason.empty())
        throw EIniFileException(Format(SIniFileWriteError, VisibleControls(fileName_)) + ". " + reason);
}

std::string TCustomIniFile::ReadString(std::string_view section, std::string_view ident,
                                       std::string_view defaultValue) const
{
    const auto value = Document().FindView(section, ident);
    return std::string(value ? *value : defaultValue);
}

std::string TCustomIniFile::ReadStringPrefix(std::string_view section, std::string_view ident,
                                             std::size_t characters) const
{
    const auto value = Document().FindView(section, ident);
    return value ? std::string(Utf8Prefix(*value, characters)) : std::string();
}

std::int32_t TCustomIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                         std::int32_t defaultValue) const
{
    const auto value = Document().FindView(section, ident);
    return value ? StrToIntDef(*value, defaultValue) : defaultValue;
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value)
{
    Check(section, ident, value);
    Change([&](TIniDocument& document) { document.Write(section, ident, value); });
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view ident, std::int32_t value)
{
    WriteString(section, ident, IntToStr(value));
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

bool TCustomIniFile::SectionExists(std::string_view section) const
{
    return Document().SectionExists(section);
}

bool TCustomIniFile::ValueExists(std::string_view section, std::string_view ident) const
{
    return Document().FindView(section, ident).has_value();
}

void TCustomIniFile::ReadSection(std::string_view section, TStringList& strings) const
{
    strings.Clear();
    for (const auto& name : Document().KeyNames(section))
        strings.Add(name);
}

void TCustomIniFile::ReadSections(TStringList& strings) const
{
    strings.Clear();
    for (const auto& name : Document().SectionNames())
        strings.Add(name);
}

void TCustomIniFile::ReadSectionValues(std::string_view section, TStringList& strings) const
{
    strings.Clear();
    const TIniDocument& document = Document();
    for (const auto& name : document.KeyNames(section))
        strings.Add(name + "=" + std::string(document.FindView(section, name).value_or("")));
}

void TCustomIniFile::EraseSection(std::string_view section)
{
    Change([&](TIniDocument& document) { document.EraseSection(section); });
}

void TCustomIniFile::DeleteKey(std::string_view section, std::string_view ident)
{
    Change([&](TIniDocument& document) { document.DeleteKey(section, ident); });
}

TIniFile::TIniFile(std::string fileName, TWriteMode mode, std::uint64_t sizeLimit)
    : TCustomIniFile(std::move(fileName), mode, sizeLimit)
{
}

const TIniDocument& TIniFile::Document() const
{
    // Reads never fail: what cannot be read counts as empty, as with the profile functions.
    try {
        cache_ = Load();
    } catch (const Exception&) {
        cache_ = TIniDocument();
    }
    return cache_;
}

void TIniFile::Change(const std::function<void(TIniDocument&)>& change)
{
    try {
        TIniDocument document = Load();
        change(document);
        Save(document);
    } catch (const Exception& error) {
        throw IniFileWriteError(FileName(), error);
    }
}

TMemIniFile::TMemIniFile(std::string fileName, TWriteMode mode, std::uint64_t sizeLimit)
    : TCustomIniFile(std::move(fileName), mode, sizeLimit)
    , document_(Load())
{
}

void TMemIniFile::UpdateFile()
{
    Save(document_);
}

void TMemIniFile::Rename(std::string fileName, bool reload)
{
    SetFileName(std::move(fileName));
    if (reload)
        document_ = Load();
}

void TMemIniFile::Clear()
{
    document_.Clear();
}

} // namespace carlume
