// The entries of both settings modules as a module of another build has them: its interface version is one
// ahead of the program's, so it refuses the program. Also built needing a library that is not there, as the
// XML module on a machine without Xerces.

#include "settings/settings_modules.h"

namespace {

class TOtherXmlStorage final : public carlume::IXmlStorageModule {
public:
    std::unique_ptr<carlume::TtscDataStorageAccess> CreateStorage(const std::string&) override { return {}; }
};

class TOtherJpegDecoder final : public carlume::IJpegDecoderModule {
public:
    carlume::TJpegPicture Decode(const std::string&) override { return {}; }
};

} // namespace

extern "C" __attribute__((visibility("default"))) int
CarlumeXmlStorageModule(unsigned interfaceVersion, carlume::IXmlStorageModule** module, char* reason,
                        std::size_t reasonSize) noexcept
{
    static TOtherXmlStorage instance;
    return carlume::HandOutSettingsModule<carlume::IXmlStorageModule>(instance, interfaceVersion + 1, module,
                                                                      reason, reasonSize);
}

extern "C" __attribute__((visibility("default"))) int
CarlumeJpegDecoderModule(unsigned interfaceVersion, carlume::IJpegDecoderModule** module, char* reason,
                         std::size_t reasonSize) noexcept
{
    static TOtherJpegDecoder instance;
    return carlume::HandOutSettingsModule<carlume::IJpegDecoderModule>(instance, interfaceVersion + 1, module,
                                                                       reason, reasonSize);
}
