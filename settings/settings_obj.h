#pragma once

// One logical set of settings kept in up to three files: the default file that ships with a tool (only
// read), the all-users file beside it and the user's own file in the Windows folder. A read takes the most
// specific value; a write goes to one scope and keeps there only what differs from what that scope would
// inherit. Nothing reaches the disk before `Save`, but the override files are created on first use.

#include "platform/exceptions.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>

namespace carlume {

class TtscDataStorage;

/// Errors of the settings object itself.
class ESettingsObj : public Exception {
public:
    using Exception::Exception;
};

/// Scopes, from the least to the most specific.
enum TSettingsScope : std::uint8_t { ssNone = 0, ssDefault = 1, ssAllUsers = 2, ssUser = 3 };
using TSettingsLevel = std::set<TSettingsScope>;

class TSettingsObj {
public:
    /// Settings named after the running program, in all three scopes; the storage type is chosen later.
    TSettingsObj();
    ~TSettingsObj();
    TSettingsObj(const TSettingsObj&) = delete;
    TSettingsObj& operator=(const TSettingsObj&) = delete;

    /// Folder and base name of the scope files (the base cut to seven characters); closes open files.
    void SetFileName(const std::string& name);

    std::string ReadString(const std::string& section, const std::string& item,
                           const std::string& defaultValue);
    /// Only "1" is true; an empty value gives the default.
    bool ReadBool(const std::string& section, const std::string& item, bool defaultValue);
    /// A value that is not a number gives the default.
    std::int32_t ReadInteger(const std::string& section, const std::string& item, std::int32_t defaultValue);
    void WriteBool(const std::string& section, const std::string& item, bool value, TSettingsScope scope);
    void WriteInteger(const std::string& section, const std::string& item, std::int32_t value,
                      TSettingsScope scope);
    void EraseSectionByScope(const std::string& section, TSettingsScope scope);
    /// Writes the all-users and the user file; the default file is never written.
    void Save();

    /// The file of one scope (the user scope's lies in the Windows folder).
    std::string ScopeFileName(TSettingsScope scope) const;

    std::string WinDir;
    std::string BasePath;
    /// 0 = not chosen yet (XML once the files are opened), 1 = INI, 2 = XML.
    std::uint8_t StorageType = 0;
    TSettingsLevel SettingsLevel{ssDefault, ssAllUsers, ssUser};
    /// Root element of new XML files; "TSCSettings" when empty.
    std::string RootName;

private:
    void OpenStorages();
    void EnsureFile(TtscDataStorage& storage, const std::string& fileName);
    std::unique_ptr<TtscDataStorage>& Storage(TSettingsScope scope);
    TtscDataStorage* InLevel(TSettingsScope scope);
    std::string DoReadString(const std::string& section, const std::string& item);
    void DoWriteString(const std::string& section, const std::string& item, const std::string& value,
                       TSettingsScope scope, bool asCData);
    void DoEraseSection(const std::string& section, TSettingsScope scope);

    std::unique_ptr<TtscDataStorage> defaultStorage_, allUsersStorage_, userStorage_;
};

} // namespace carlume
