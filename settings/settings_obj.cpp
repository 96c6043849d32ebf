#include "settings/settings_obj.h"

#include "foundation/string_helpers.h"
#include "platform/date_time.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/sysutils.h"
#include "settings/data_storage.h"

#include <algorithm>
#include <cctype>

namespace carlume {

namespace {

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

} // namespace

TSettingsObj::TSettingsObj()
    : WinDir(ExcludeTrailingPathDelimiter(WindowsFolder()))
{
    SetFileName(ProgramFileName());
}

TSettingsObj::~TSettingsObj() = default;

void TSettingsObj::SetFileName(const std::string& name)
{
    std::string folder = ExtractFilePath(name);
    if (folder.empty())
        folder = ProgramFolder();
    if (folder.rfind("./", 0) == 0)
        folder = ProgramFolder() + folder.substr(2);
    const std::string file = ExtractFileName(name);
    std::string base = file.substr(0, file.size() - ExtractFileExt(file).size());
    if (base.size() > 7)
        base.resize(7);
    AddBackslash(folder);
    BasePath = folder + base;
    defaultStorage_.reset();
    allUsersStorage_.reset();
    userStorage_.reset();
}

std::string TSettingsObj::ScopeFileName(TSettingsScope scope) const
{
    static constexpr const char* kLetters = " dau";
    const std::string tail = std::string(1, kLetters[scope]) + (StorageType == 1 ? ".ini" : ".xml");
    if (scope != ssUser)
        return BasePath + tail;
    std::string folder = WinDir;
    AddBackslash(folder);
    return folder + ExtractFileName(BasePath) + tail;
}

std::unique_ptr<TtscDataStorage>& TSettingsObj::Storage(TSettingsScope scope)
{
    return scope == ssDefault ? defaultStorage_ : scope == ssAllUsers ? allUsersStorage_ : userStorage_;
}

TtscDataStorage* TSettingsObj::InLevel(TSettingsScope scope)
{
    return SettingsLevel.count(scope) ? Storage(scope).get() : nullptr;
}

void TSettingsObj::OpenStorages()
{
    if (StorageType == 0)
        StorageType = 2;
    try {
        for (TSettingsScope scope : {ssDefault, ssAllUsers, ssUser}) {
            auto& storage = Storage(scope);
            if (!SettingsLevel.count(scope) || storage)
                continue;
            storage = std::make_unique<TtscDataStorage>();
            storage->SetStorageType(StorageType);
            storage->SetFileName(ScopeFileName(scope));
            if (scope != ssDefault)
                EnsureFile(*storage, ScopeFileName(scope));
        }
    } catch (...) {
        allUsersStorage_.reset();
        userStorage_.reset();
        throw;
    }
}

void TSettingsObj::EnsureFile(TtscDataStorage& storage, const std::string& fileName)
{
    bool replaced = false;
    if (FileExists(fileName)) {
        try {
            storage.Reload();
            return;
        } catch (const std::exception& e) {
            // Only a file that cannot be parsed is rescued; any other failure (running out of memory
            // among them) leaves the file alone. A parse error's message starts with the words: looked
            // for further on, they could come from the file's own name.
            if (Upper(e.what()).rfind("PARSER ERROR", 0) != 0)
                throw;
        }
        const TDateTime now = Now();
        const std::string aside =
            fileName + "CannotParse" + FormatDateTime("yyyymmdd", now) + FormatDateTime("hhnnsszzz", now);
        std::string reason;
        if (!RenameFile(fileName, aside, &reason))
            throw ESettingsObj(Format("The setting file %s could not be moved aside to %s: %s",
                                      VisibleControls(fileName), VisibleControls(aside), reason));
        replaced = true;
    }
    std::string content;
    if (StorageType != 1) {
        const std::string root = RootName.empty() ? std::string("TSCSettings") : RootName;
        content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<" + root + ">\r\n</" + root + ">\r\n";
    }
    CreateNewFile(fileName, content, TWriteMode::Durable);
    if (replaced)
        throw ESettingsObj(Format("The setting file %s was unreadable and had to be replaced with a new file",
                                  VisibleControls(fileName)));
}

std::string TSettingsObj::DoReadString(const std::string& section, const std::string& item)
{
    std::string result;
    if (auto* d = InLevel(ssDefault)) {
        d->ReadAttribute(section, item, result);
        const std::string value = d->ReadValue(section, item);
        if (!value.empty())
            result = value;
    }
    for (TSettingsScope scope : {ssAllUsers, ssUser})
        if (auto* s = InLevel(scope); s && s->ValueExists(section, item))
            result = s->ReadValue(section, item);
    return result;
}

std::string TSettingsObj::ReadString(const std::string& section, const std::string& item,
                                     const std::string& defaultValue)
{
    OpenStorages();
    const std::string value = DoReadString(section, item);
    return value.empty() ? defaultValue : value;
}

bool TSettingsObj::ReadBool(const std::string& section, const std::string& item, bool defaultValue)
{
    OpenStorages();
    const std::string value = DoReadString(section, item);
    return value.empty() ? defaultValue : value == "1";
}

std::int32_t TSettingsObj::ReadInteger(const std::string& section, const std::string& item,
                                       std::int32_t defaultValue)
{
    OpenStorages();
    const std::string value = Trim(DoReadString(section, item));
    std::int32_t number = defaultValue;
    if (!value.empty() && !TryStrToInt(value, number))
        number = defaultValue;
    return number;
}

void TSettingsObj::WriteBool(const std::string& section, const std::string& item, bool value,
                             TSettingsScope scope)
{
    OpenStorages();
    DoWriteString(section, item, value ? "1" : "0", scope, false);
}

void TSettingsObj::WriteInteger(const std::string& section, const std::string& item, std::int32_t value,
                                TSettingsScope scope)
{
    OpenStorages();
    DoWriteString(section, item, std::to_string(value), scope, false);
}

void TSettingsObj::DoWriteString(const std::string& section, const std::string& item,
                                 const std::string& value, TSettingsScope scope, bool asCData)
{
    auto* d = InLevel(ssDefault);
    auto* a = InLevel(ssAllUsers);
    auto* u = InLevel(ssUser);
    bool aExists = a && a->ValueExists(section, item);
    bool uExists = u && u->ValueExists(section, item);
    const std::string dValue = d ? d->ReadValue(section, item) : std::string();
    std::string aValue = a ? a->ReadValue(section, item) : std::string();
    std::string uValue = u ? u->ReadValue(section, item) : std::string();
    switch (scope) {
    case ssNone:
        throw ESettingsObj(Format("No scope specified in %s\r\nSection: %s\r\nItem: %s\r\nValue: %s",
                                  "DoWriteString", VisibleControls(section), VisibleControls(item),
                                  VisibleControls(value)));
    case ssDefault:
        aExists = uExists = false;
        break;
    case ssAllUsers:
        aValue = value;
        aExists = true;
        break;
    case ssUser:
        uValue = value;
        uExists = true;
        break;
    }
    const auto store = [&](TtscDataStorage& storage, const std::string& text) {
        if (asCData)
            storage.WriteCDATA(section, item, text);
        else
            storage.WriteValue(section, item, text);
    };
    if (a) {
        if (aExists && aValue != dValue) {
            store(*a, aValue);
        } else {
            a->DeleteKey(section, item);
            aExists = a->ValueExists(section, item);
        }
    }
    if (u) {
        if (uExists && uValue != (aExists ? aValue : dValue))
            store(*u, uValue);
        else
            u->DeleteKey(section, item);
    }
}

void TSettingsObj::EraseSectionByScope(const std::string& section, TSettingsScope scope)
{
    OpenStorages();
    if (scope != ssNone && !SettingsLevel.count(scope))
        throw ESettingsObj(Format("Scope not valid for SettingsLevel in %s", "EraseSectionByScope"));
    DoEraseSection(section, scope);
}

void TSettingsObj::DoEraseSection(const std::string& section, TSettingsScope scope)
{
    if (scope == ssNone)
        throw ESettingsObj(
            Format("No scope specified in %s\r\nSection: %s", "DoEraseSection", VisibleControls(section)));
    if (scope == ssDefault)
        throw ESettingsObj(Format("Delete default not allowed in %s\r\nSection: %s", "DoEraseSection",
                                  VisibleControls(section)));
    if (auto* storage = Storage(scope).get())
        storage->EraseSection(section);
}

void TSettingsObj::Save()
{
    OpenStorages();
    for (auto* storage : {allUsersStorage_.get(), userStorage_.get()})
        if (storage)
            storage->UpdateFile();
}

} // namespace carlume
