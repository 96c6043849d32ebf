#include "settings/xml_document.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <algorithm>
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

const std::string& ScratchFile()
{
    static const std::string path = FuzzScratchFolder() + "settings.xml";
    return path;
}

} // namespace

// The input is a settings file. What loads is edited along paths taken from its own text, saved and loaded
// again: the second load must succeed and read back what was written.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = ScratchFile();
    // Scratch files: nothing to wait for the disk for.
    WriteFileAtomically(path, bytes, TWriteMode::Unsynced);
    TtscXMLDocument document;
    document.WriteMode = TWriteMode::Unsynced;
    try {
        document.Load(path);
    } catch (const EParserException&) {
        return 0;
    }
    const std::string_view item = bytes.substr(0, std::min<std::size_t>(size, 12));
    const std::string value(bytes.substr(size / 2, 20));
    try {
        document.WriteText(std::string("Fuzz/") + std::string(item), value);
        document.GetDocumentElement().CreatePath("Fuzz/CData").AppendCDATA(value);
    } catch (const EXmlCharacterError&) {
        return 0;
    } catch (const EtscXMLDocException&) {
        return 0;
    }
    try {
        document.Save();
    } catch (const EWriteError&) {
        // Refused as too big for the loader: the file it had must still load.
        TtscXMLDocument().Load(path);
        return 0;
    }
    TtscXMLDocument reread;
    reread.Load(path);
    Check(reread.ReadText(std::string("Fuzz/") + std::string(item)) ==
          document.ReadText(std::string("Fuzz/") + std::string(item)));
    return 0;
}
