#pragma once

// Settings in an XML file. A section is a slash path of elements below the root (its first segment may
// name the root, in any letter case); an item is a child element of the section, its value the element's
// text, read trimmed; attributes sit on the section's element; an "id" attribute names an entry for
// `FindNameByID`; top-level processing instructions are offered as "target=<data>". Elements this class
// adds are laid out one TAB per level. The file is read on the first call that needs it.

#include "settings/data_storage_access.h"
#include "settings/xml_document.h"

namespace carlume {

/// Settings storage over one XML file.
class TtscXMLDataStorageAccess : public TtscDataStorageAccess {
public:
    /// Nothing is read yet.
    explicit TtscXMLDataStorageAccess(const std::string& fileName);

    /// Saves only when the file was read.
    void UpdateFile() override;
    void Reload() override;
    bool SectionExists(const std::string& section) override;
    bool ValueExists(const std::string& section, const std::string& item) override;
    void DeleteKey(const std::string& section, const std::string& item) override;
    void ReadData(const std::string& section, const std::string& item, std::string& value) override;
    /// A text value keeps the item's place; a CDATA value moves it to the end of its section.
    void WriteData(const std::string& section, const std::string& item, const std::string& value,
                   bool asCDATA) override;
    void ReadAttribute(const std::string& section, const std::string& name, std::string& value) override;
    /// Nothing happens when the section is missing.
    void WriteAttribute(const std::string& section, const std::string& name,
                        const std::string& value) override;
    /// The listings add to `strings` (they do not clear it).
    void ReadSection(const std::string& section, TStringList& strings) override;
    void ReadSectionValues(const std::string& section, TStringList& strings) override;
    void ReadSectionTexts(const std::string& section, TStringList& strings) override;
    void ReadSectionTree(const std::string& section, TtscValuesList& list) override;
    /// Removes the element and the indentation before it; the root itself is never removed.
    void EraseSection(const std::string& section) override;
    void FindNameByIntID(const std::string& section, std::int32_t id, std::string& name) override;
    void FindNameByID(const std::string& section, const std::string& id, std::string& name) override;
    const TStringList& ProcessingInstructions() override;

    /// The document (for its save's wait).
    TtscXMLDocument& Document() { return document_; }

private:
    void Load();
    enum class Listing { Names, Values, Texts };
    void List(const std::string& section, TStringList& strings, Listing what);

    bool loaded_ = false;
    TtscXMLDocument document_;
    TStringList processingInstructions_;
};

} // namespace carlume
