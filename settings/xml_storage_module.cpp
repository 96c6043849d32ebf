// The XML settings storage module's one export (see settings/settings_modules.h).

#include "settings/settings_modules.h"
#include "settings/xml_data_storage.h"

#include <type_traits>

namespace {

class TXmlStorageModule final : public carlume::IXmlStorageModule {
public:
    std::unique_ptr<carlume::TtscDataStorageAccess> CreateStorage(const std::string& fileName) override
    {
        return std::make_unique<carlume::TtscXMLDataStorageAccess>(fileName);
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) int
CarlumeXmlStorageModule(unsigned interfaceVersion, carlume::IXmlStorageModule** module, char* reason,
                        std::size_t reasonSize) noexcept
{
    static TXmlStorageModule instance;
    return carlume::HandOutSettingsModule<carlume::IXmlStorageModule>(instance, interfaceVersion, module,
                                                                      reason, reasonSize);
}

static_assert(
    std::is_same_v<decltype(&CarlumeXmlStorageModule), carlume::TModuleEntry<carlume::IXmlStorageModule>>);
