#pragma once

// The one way the program keeps named values in a settings file, XML or INI: the front holds a file
// name and a storage type, checks every call's arguments and opens the file on first need.

#include "settings/data_storage_access.h"

#include <cstdint>
#include <memory>
#include <string>

namespace carlume {

/// Front over one XML (type 2, the default) or INI (type 1) settings file.
class TtscDataStorage {
public:
    TtscDataStorage();
    /// Drops the file's unsaved changes.
    ~TtscDataStorage();
    TtscDataStorage(const TtscDataStorage&) = delete;
    TtscDataStorage& operator=(const TtscDataStorage&) = delete;

    const std::string& FileName() const { return fileName_; }
    /// Another file (names compare exactly): the open one is dropped without saving.
    void SetFileName(const std::string& fileName);
    std::uint8_t StorageType() const { return storageType_; }
    /// Another type: the open file is dropped without saving. Any value is taken; the next call that needs
    /// the file refuses one other than 1 or 2.
    void SetStorageType(std::uint8_t storageType);

    void UpdateFile();
    void Reload();
    void EraseSection(const std::string& section);
    bool ValueExists(const std::string& section, const std::string& item);
    void DeleteKey(const std::string& section, const std::string& item);
    void ReadData(const std::string& section, const std::string& item, std::string& value);
    std::string ReadValue(const std::string& section, const std::string& item);
    /// `ReadValue` cut to its first `characters` UTF-8 characters, without copying the rest of a long value.
    std::string ReadValuePrefix(const std::string& section, const std::string& item, std::size_t characters);
    void WriteData(const std::string& section, const std::string& item, const std::string& value,
                   bool asCDATA);
    void WriteValue(const std::string& section, const std::string& item, const std::string& value);
    void WriteCDATA(const std::string& section, const std::string& item, const std::string& value);
    void ReadAttribute(const std::string& section, const std::string& name, std::string& value);

private:
    TtscDataStorageAccess& Access();

    std::unique_ptr<TtscDataStorageAccess> access_;
    std::string fileName_;
    std::uint8_t storageType_ = 2;
};

} // namespace carlume
