#include "platform/module_entry.h"

#include "platform/library.h"
#include "platform/sysutils.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace carlume {

namespace {

// A module once loaded stays loaded: Qt does not take being unloaded while the process runs, objects a
// module made may outlive any one user, and a module that refused may have started its libraries all the
// same.
std::vector<HMODULE>& KeptModules()
{
    static auto* modules = new std::vector<HMODULE>(); // never destroyed, like the modules
    return *modules;
}

} // namespace

void CopyModuleReason(std::string_view text, char* reason, std::size_t reasonSize) noexcept
{
    if (reason == nullptr || reasonSize == 0)
        return;
    const std::size_t length = std::min(text.size(), reasonSize - 1);
    std::memcpy(reason, text.data(), length);
    reason[length] = '\0';
}

void* LoadModuleEntry(std::string_view windowsPath, const char* entryName, const TModuleKind& kind,
                      std::string& failure)
{
    const std::string path = LibraryPath(windowsPath);
    HMODULE module = LoadLibrary(windowsPath);
    if (module == nullptr) {
        failure = "Unable to load the " + std::string(kind.Name) + " " + VisibleControls(path) + ": " +
                  VisibleControls(LibraryError());
        return nullptr;
    }
    KeptModules().push_back(module);
    void* entry = GetProcAddress(module, entryName);
    if (entry == nullptr)
        failure = VisibleControls(path) + " is not " + std::string(kind.Article) + " " +
                  std::string(kind.Name) + " module of this program";
    return entry;
}

} // namespace carlume
