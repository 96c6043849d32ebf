#include "settings/ini_data_storage.h"

#include "foundation/shared_values.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/sysutils.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace carlume;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

// The input is an INI file. Its sections are listed, the first ones read as trees; then the first line, split
// as "section|key|value", is written, saved and read back, or refused.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const std::string path = FuzzScratchFolder() + "settings.ini";
    // Scratch files: nothing to wait for the disk for.
    WriteFileAtomically(path, bytes, TWriteMode::Unsynced);
    TtscINIDataStorageAccess storage(path, TWriteMode::Unsynced);
    TStringList sections;
    storage.ReadSection("", sections);
    // A few trees: each may be as big as the storage allows.
    for (int i = 0; i < sections.Count() && i < 3; ++i) {
        TtscValuesList tree;
        try {
            storage.ReadSectionTree(sections[i], tree);
        } catch (const EtscDataStorageError&) {
        }
    }
    if (sections.Count() > 0) {
        std::string name;
        storage.FindNameByID("", sections[0], name);
    }
    storage.ProcessingInstructions();

    const std::string_view first = bytes.substr(0, bytes.find('\n'));
    const auto bar1 = first.find('|');
    const auto bar2 = bar1 == std::string_view::npos ? bar1 : first.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos)
        return 0;
    const std::string section(first.substr(0, bar1));
    const std::string key(first.substr(bar1 + 1, bar2 - bar1 - 1));
    const std::string value(first.substr(bar2 + 1));
    try {
        storage.WriteData(section, key, value, false);
    } catch (const EtscDataStorageError&) {
        return 0;
    }
    storage.UpdateFile();
    TtscINIDataStorageAccess reread(path, TWriteMode::Unsynced);
    std::string readBack;
    reread.ReadData(section, key, readBack);
    Check(readBack == Trim(value));
    reread.DeleteKey(section, key);
    Check(!reread.ValueExists(section, key));
    return 0;
}
