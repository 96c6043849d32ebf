#include "settings/settings_modules.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/sysutils.h"

#include <map>
#include <mutex>

namespace carlume {

namespace {

// Loads the module at `windowsPath` once it works; a failure is tried again on the next use, as the user
// may have mended the installation in between.
template <class Interface>
Interface& LoadSettingsModule(std::string_view windowsPath, const char* entryName, const TModuleKind& kind)
{
    static std::mutex lock;
    static auto* loaded = new std::map<std::string, Interface*>(); // never destroyed, like the modules
    const std::string path = LibraryPath(windowsPath);
    const std::scoped_lock guard(lock);
    if (const auto found = loaded->find(path); found != loaded->end())
        return *found->second;
    std::string failure;
    void* entry = LoadModuleEntry(path, entryName, kind, failure);
    if (entry == nullptr)
        throw ESettingsModuleError(failure);
    Interface* module = nullptr;
    std::string reason;
    if (CallModuleEntry(entry, SettingsModuleInterfaceVersion, module, reason) != settingsModuleOk ||
        module == nullptr)
        throw ESettingsModuleError(
            VisibleControls(path) + ": " +
            (reason.empty() ? std::string("the module refused to start") : VisibleControls(reason)));
    loaded->emplace(path, module);
    return *module;
}

} // namespace

IXmlStorageModule& LoadXmlStorageModule(std::string_view windowsPath)
{
    return LoadSettingsModule<IXmlStorageModule>(windowsPath, XmlStorageModuleEntry,
                                                 {"XML settings storage", "an"});
}

IJpegDecoderModule& LoadJpegDecoderModule(std::string_view windowsPath)
{
    return LoadSettingsModule<IJpegDecoderModule>(windowsPath, JpegDecoderModuleEntry,
                                                  {"picture decoder", "a"});
}

IXmlStorageModule& XmlStorageModule()
{
    return LoadXmlStorageModule(XmlStorageModuleName);
}

IJpegDecoderModule& JpegDecoderModule()
{
    return LoadJpegDecoderModule(JpegDecoderModuleName);
}

// The decoder's functions for the windows: the work is done in the module.

TJpegPicture DecodeJpeg(const std::string& bytes)
{
    return JpegDecoderModule().Decode(bytes);
}

TJpegPicture DecodeJpegFile(const std::string& path)
{
    return DecodeJpeg(ReadFileBytes(path));
}

} // namespace carlume
