// The picture decoder module's one export (see settings/settings_modules.h).

#include "settings/jpeg_picture.h"
#include "settings/settings_modules.h"

#include <type_traits>

namespace {

class TJpegDecoderModule final : public carlume::IJpegDecoderModule {
public:
    carlume::TJpegPicture Decode(const std::string& bytes) override { return carlume::DecodeJpeg(bytes); }
};

} // namespace

extern "C" __attribute__((visibility("default"))) int
CarlumeJpegDecoderModule(unsigned interfaceVersion, carlume::IJpegDecoderModule** module, char* reason,
                         std::size_t reasonSize) noexcept
{
    static TJpegDecoderModule instance;
    return carlume::HandOutSettingsModule<carlume::IJpegDecoderModule>(instance, interfaceVersion, module,
                                                                       reason, reasonSize);
}

static_assert(
    std::is_same_v<decltype(&CarlumeJpegDecoderModule), carlume::TModuleEntry<carlume::IJpegDecoderModule>>);
