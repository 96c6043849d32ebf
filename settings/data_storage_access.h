#pragma once

// The operations every kind of settings storage offers, over one file: sections (element paths in XML,
// section names in INI), items in them (elements or keys) and attributes. Changes stay in memory until
// `UpdateFile`.

#include "platform/exceptions.h"
#include "platform/string_list.h"
#include "platform/sysutils.h"

#include <cstdint>
#include <string>

namespace carlume {

class TtscValuesList;

/// A refused call of the storage front or an INI storage (its message names the operation).
class EtscDataStorageError : public Exception {
public:
    using Exception::Exception;
};

/// One storage file held in memory.
class TtscDataStorageAccess {
public:
    virtual ~TtscDataStorageAccess() = default;

    /// Writes what memory holds back to the file.
    virtual void UpdateFile() = 0;
    /// Reads the file again, dropping unsaved changes.
    virtual void Reload() = 0;
    virtual bool SectionExists(const std::string& section) = 0;
    virtual bool ValueExists(const std::string& section, const std::string& item) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& item) = 0;
    /// The item's value; "" when it is missing.
    virtual void ReadData(const std::string& section, const std::string& item, std::string& value) = 0;
    /// `ReadData` cut to the value's first `characters` UTF-8 characters. A storage that holds the file's
    /// text copies no more of the value than that.
    virtual void ReadDataPrefix(const std::string& section, const std::string& item, std::size_t characters,
                                std::string& value);
    virtual void WriteData(const std::string& section, const std::string& item, const std::string& value,
                           bool asCDATA) = 0;
    virtual void ReadAttribute(const std::string& section, const std::string& name, std::string& value) = 0;
    virtual void WriteAttribute(const std::string& section, const std::string& name,
                                const std::string& value) = 0;
    /// The item names of a section.
    virtual void ReadSection(const std::string& section, TStringList& strings) = 0;
    /// "name=value" lines of a section.
    virtual void ReadSectionValues(const std::string& section, TStringList& strings) = 0;
    /// The values of a section.
    virtual void ReadSectionTexts(const std::string& section, TStringList& strings) = 0;
    /// A section as a name/value tree, added to `list`.
    virtual void ReadSectionTree(const std::string& section, TtscValuesList& list) = 0;
    virtual void EraseSection(const std::string& section) = 0;
    /// `FindNameByID` with the decimal text of `id`.
    virtual void FindNameByIntID(const std::string& section, std::int32_t id, std::string& name) = 0;
    /// The name of the entry whose ID is `id`; "" when none is.
    virtual void FindNameByID(const std::string& section, const std::string& id, std::string& name) = 0;
    /// The file's processing instructions as "target=<data>" lines.
    virtual const TStringList& ProcessingInstructions() = 0;

protected:
    TtscDataStorageAccess() = default;
};

inline void TtscDataStorageAccess::ReadDataPrefix(const std::string& section, const std::string& item,
                                                  std::size_t characters, std::string& value)
{
    ReadData(section, item, value);
    value.resize(Utf8Prefix(value, characters).size());
}

} // namespace carlume
