#pragma once

// The XML settings storage (over Xerces-C and the many libraries it brings) and the logo decoder (over
// libjpeg) live in modules of their own in the program folder, libcarlume_xml.so and libcarlume_jpeg.so,
// loaded on first use: a window that keeps no XML settings and shows no logo loads neither. The INI storage
// needs neither and stays with its callers. Each module exports one entry (platform/module_entry.h) that
// hands out its interface below, which lives as long as the process.

#include "platform/exceptions.h"
#include "platform/module_entry.h"
#include "settings/data_storage_access.h"
#include "settings/jpeg_picture.h"

#include <memory>
#include <string>
#include <string_view>

namespace carlume {

/// The XML settings storage module's Windows name (the file is "libcarlume_xml.so") and entry.
inline constexpr std::string_view XmlStorageModuleName = "CARLUME_XML.DLL";
inline constexpr const char* XmlStorageModuleEntry = "CarlumeXmlStorageModule";
/// The picture decoder module's Windows name (the file is "libcarlume_jpeg.so") and entry.
inline constexpr std::string_view JpegDecoderModuleName = "CARLUME_JPEG.DLL";
inline constexpr const char* JpegDecoderModuleEntry = "CarlumeJpegDecoderModule";
/// Version of both interfaces below; a module refuses any other.
inline constexpr unsigned SettingsModuleInterfaceVersion = 2;
/// Statuses of the entries.
inline constexpr int settingsModuleOk = 0;
inline constexpr int settingsModuleWrongVersion = 2;

/// What the XML settings storage module offers.
class IXmlStorageModule {
public:
    virtual ~IXmlStorageModule() = default;
    /// A storage over the XML file `fileName`; nothing is read yet.
    virtual std::unique_ptr<TtscDataStorageAccess> CreateStorage(const std::string& fileName) = 0;
};

/// What the picture decoder module offers.
class IJpegDecoderModule {
public:
    virtual ~IJpegDecoderModule() = default;
    /// Decodes JPEG data held in memory; raises as `DecodeJpeg`.
    virtual TJpegPicture Decode(const std::string& bytes) = 0;
};

/// A module that is missing, cannot be loaded or refuses the program: the installation's fault, not the
/// data's. The message names the module's path.
class ESettingsModuleError : public Exception {
public:
    using Exception::Exception;
};

/// The module at `windowsPath` (a Windows name or a path, see platform/library.h), loaded on the first call
/// that succeeds for that path. Raises `ESettingsModuleError` naming the path when the file is missing or
/// cannot be loaded (a library it needs is missing, say), is no such module or was built for another version.
IXmlStorageModule& LoadXmlStorageModule(std::string_view windowsPath);
/// As `LoadXmlStorageModule`, for the picture decoder.
IJpegDecoderModule& LoadJpegDecoderModule(std::string_view windowsPath);

/// The module in the program folder.
IXmlStorageModule& XmlStorageModule();
/// The module in the program folder.
IJpegDecoderModule& JpegDecoderModule();

/// For a module's entry: hands out `instance` for `interfaceVersion`, or refuses another version.
template <class Interface>
int HandOutSettingsModule(Interface& instance, unsigned interfaceVersion, Interface** result, char* reason,
                          std::size_t reasonSize) noexcept
{
    if (result != nullptr)
        *result = nullptr;
    if (interfaceVersion != SettingsModuleInterfaceVersion || result == nullptr) {
        CopyModuleReason("the module was built for another version of the program", reason, reasonSize);
        return settingsModuleWrongVersion;
    }
    *result = &instance;
    return settingsModuleOk;
}

} // namespace carlume
