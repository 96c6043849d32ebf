#pragma once

// Settings in an INI file, held in memory by the platform's INI class: sections are INI sections, items
// and attributes are keys. A key "ID" names a section for `FindNameByID`; the section
// "ProcessingInstructions" holds the lines `ProcessingInstructions` offers. Names and values that an INI
// line cannot hold are refused with `EtscDataStorageError` naming the operation, and nothing changes.

#include "platform/ini_files.h"
#include "settings/data_storage_access.h"

namespace carlume {

/// Settings storage over one INI file.
class TtscINIDataStorageAccess : public TtscDataStorageAccess {
public:
    /// Reads the file (a missing one is empty); raises `EFOpenError` when it cannot be read. Settings and
    /// version files are the user's data: by default `UpdateFile` syncs them, and only when they changed.
    explicit TtscINIDataStorageAccess(const std::string& fileName,
                                      TWriteMode mode = TWriteMode::DurableIfChanged);

    void UpdateFile() override;
    /// Reads the file again; the processing instructions stay as they were.
    void Reload() override;
    bool SectionExists(const std::string& section) override;
    bool ValueExists(const std::string& section, const std::string& item) override;
    /// Removes every entry of the key in the section.
    void DeleteKey(const std::string& section, const std::string& item) override;
    void ReadData(const std::string& section, const std::string& item, std::string& value) override;
    void ReadDataPrefix(const std::string& section, const std::string& item, std::size_t characters,
                        std::string& value) override;
    /// The CDATA flag means nothing in INI.
    void WriteData(const std::string& section, const std::string& item, const std::string& value,
                   bool asCDATA) override;
    void ReadAttribute(const std::string& section, const std::string& name, std::string& value) override;
    void WriteAttribute(const std::string& section, const std::string& name,
                        const std::string& value) override;
    /// The listings clear `strings` first. An empty section lists every section's name.
    void ReadSection(const std::string& section, TStringList& strings) override;
    void ReadSectionValues(const std::string& section, TStringList& strings) override;
    /// Not available in INI: raises `EAbstractError`.
    void ReadSectionTexts(const std::string& section, TStringList& strings) override;
    /// Each key's value names the section that becomes its subtree; a value naming a section already on the
    /// way down stays a leaf. Raises `EtscDataStorageError` when the tree would exceed `kMaxTreeNodes`.
    void ReadSectionTree(const std::string& section, TtscValuesList& list) override;
    /// Removes every section of that name.
    void EraseSection(const std::string& section) override;
    void FindNameByIntID(const std::string& section, std::int32_t id, std::string& name) override;
    /// The first section whose "ID" equals `id` exactly; the section argument is not used.
    void FindNameByID(const std::string& section, const std::string& id, std::string& name) override;
    /// Built once, on the first call.
    const TStringList& ProcessingInstructions() override;

    /// The most nodes `ReadSectionTree` builds: sections that name each other more than once can make
    /// the tree grow exponentially with the file.
    static constexpr int kMaxTreeNodes = 100000;

private:
    bool instructionsBuilt_ = false;
    TMemIniFile iniFile_;
    TStringList processingInstructions_;
};

} // namespace carlume
