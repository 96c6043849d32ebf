#include "settings/ini_data_storage.h"

#include "foundation/shared_values.h"
#include "platform/format.h"
#include "platform/sysutils.h"

#include <vector>

namespace carlume {
namespace {

// Runs a change; the INI class's refusal becomes ours, naming the operation.
template <class F> void Refusable(std::string_view operation, F&& change)
{
    try {
        change();
    } catch (const EIniFileException& e) {
        throw EtscDataStorageError(
            Format("Data cannot be stored in an INI file on %s (%s)", operation, e.Message()));
    }
}

} // namespace

TtscINIDataStorageAccess::TtscINIDataStorageAccess(const std::string& fileName, TWriteMode mode)
    : iniFile_(fileName, mode)
{
}

void TtscINIDataStorageAccess::UpdateFile()
{
    iniFile_.UpdateFile();
}

void TtscINIDataStorageAccess::Reload()
{
    iniFile_.Rename(iniFile_.FileName(), true);
}

bool TtscINIDataStorageAccess::SectionExists(const std::string& section)
{
    return iniFile_.SectionExists(section);
}

bool TtscINIDataStorageAccess::ValueExists(const std::string& section, const std::string& item)
{
    return iniFile_.ValueExists(section, item);
}

void TtscINIDataStorageAccess::DeleteKey(const std::string& section, const std::string& item)
{
    Refusable("DeleteKey", [&] { iniFile_.DeleteKey(section, item); });
}

void TtscINIDataStorageAccess::ReadData(const std::string& section, const std::string& item,
                                        std::string& value)
{
    value = iniFile_.ReadString(section, item, "");
}

void TtscINIDataStorageAccess::ReadDataPrefix(const std::string& section, const std::string& item,
                                              std::size_t characters, std::string& value)
{
    value = iniFile_.ReadStringPrefix(section, item, characters);
}

void TtscINIDataStorageAccess::WriteData(const std::string& section, const std::string& item,
                                         const std::string& value, bool /*asCDATA*/)
{
    Refusable("WriteData", [&] { iniFile_.WriteString(section, item, value); });
}

void TtscINIDataStorageAccess::ReadAttribute(const std::string& section, const std::string& name,
                                             std::string& value)
{
    value = iniFile_.ReadString(section, name, "");
}

void TtscINIDataStorageAccess::WriteAttribute(const std::string& section, const std::string& name,
                                              const std::string& value)
{
    Refusable("WriteAttribute", [&] { iniFile_.WriteString(section, name, value); });
}

void TtscINIDataStorageAccess::ReadSection(const std::string& section, TStringList& strings)
{
    if (section.empty())
        iniFile_.ReadSections(strings);
    else
        iniFile_.ReadSection(section, strings);
}

void TtscINIDataStorageAccess::ReadSectionValues(const std::string& section, TStringList& strings)
{
    iniFile_.ReadSectionValues(section, strings);
}

void TtscINIDataStorageAccess::ReadSectionTexts(const std::string& /*section*/, TStringList& /*strings*/)
{
    throw EAbstractError();
}

void TtscINIDataStorageAccess::ReadSectionTree(const std::string& section, TtscValuesList& list)
{
    // Depth first without recursion: a chain of sections as long as the file cannot exhaust the stack.
    struct Level {
        TtscValuesList* node;
        std::string section;
        std::vector<std::string> keys;
        std::size_t next = 0;
    };
    auto keysOf = [&](const std::string& name) {
        TStringList keys;
        iniFile_.ReadSection(name, keys);
        return keys.ToVector();
    };
    auto onPath = [](const std::vector<Level>& path, const std::string& name) {
        for (const auto& level : path)
            if (SameText(level.section, name))
                return true;
        return false;
    };
    list.Name = section;
    std::vector<Level> path;
    path.push_back({&list, section, keysOf(section)});
    int nodes = 0;
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next == level.keys.size()) {
            path.pop_back();
            continue;
        }
        const std::string& key = level.keys[level.next++];
        const std::string value = iniFile_.ReadString(level.section, key, "");
        if (++nodes > kMaxTreeNodes)
            throw EtscDataStorageError(Format("Section tree too large on %s", "ReadSectionTree"));
        TtscValuesList& child = level.node->Add(key, value);
        child.Name = value;
        if (!onPath(path, value))
            path.push_back({&child, value, keysOf(value)});
    }
}

void TtscINIDataStorageAccess::EraseSection(const std::string& section)
{
    Refusable("EraseSection", [&] { iniFile_.EraseSection(section); });
}

void TtscINIDataStorageAccess::FindNameByIntID(const std::string& section, std::int32_t id, std::string& name)
{
    FindNameByID(section, IntToStr(id), name);
}

void TtscINIDataStorageAccess::FindNameByID(const std::string& /*section*/, const std::string& id,
                                            std::string& name)
{
    name.clear();
    TStringList sections;
    iniFile_.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i)
        if (iniFile_.ReadString(sections[i], "ID", "") == id) {
            name = sections[i];
            return;
        }
}

const TStringList& TtscINIDataStorageAccess::ProcessingInstructions()
{
    if (!instructionsBuilt_) {
        processingInstructions_.Clear();
        TStringList keys;
        iniFile_.ReadSection("ProcessingInstructions", keys);
        for (int i = 0; i < keys.Count(); ++i)
            processingInstructions_.Add(keys[i] + "=<" +
                                        iniFile_.ReadString("ProcessingInstructions", keys[i], "") + ">");
        instructionsBuilt_ = true;
    }
    return processingInstructions_;
}

} // namespace carlume
