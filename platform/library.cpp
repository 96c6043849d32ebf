#include "platform/library.h"

#include "platform/folders.h"
#include "platform/library_check.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <dlfcn.h>

#include <utility>

namespace carlume {

struct TModule {
    void* handle = nullptr;
    std::string path;
};

namespace {

thread_local std::string lastError;

void NoteError(const std::string& path, const char* fallback)
{
    lastError = LoaderReason(path, dlerror(), fallback);
}

} // namespace

std::string LibraryFileName(std::string_view windowsName)
{
    const std::string name = ExtractFileName(windowsName);
    const std::string extension = ExtractFileExt(name);
    if (extension.empty() && !name.empty() && name.back() != '.')
        return "lib" + LowerCase(name) + ".so";
    if (SameText(extension, ".dll"))
        return "lib" + LowerCase(name.substr(0, name.size() - extension.size())) + ".so";
    return name;
}

std::string LibraryPath(std::string_view windowsPath)
{
    std::string folder = ExtractFilePath(windowsPath);
    if (folder.empty())
        folder = ProgramFolder();
    return folder + LibraryFileName(windowsPath);
}

HMODULE LoadLibrary(std::string_view windowsPath)
{
    const std::string path = LibraryPath(windowsPath);
    // The check and the load each open the file by name: a file cut short between the two, or while it is
    // loaded, still faults.
    if (std::string reason = DamagedLibraryReason(path); !reason.empty()) {
        lastError = std::move(reason);
        return nullptr;
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        NoteError(path, "cannot load library");
        return nullptr;
    }
    return new TModule{handle, path};
}

void* GetProcAddress(HMODULE module, const char* name)
{
    if (module == nullptr || name == nullptr) {
        lastError = "no library or no name";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(module->handle, name);
    if (address == nullptr)
        NoteError(module->path, "symbol not found");
    return address;
}

bool FreeLibrary(HMODULE module)
{
    if (module == nullptr) {
        lastError = "no library";
        return false;
    }
    dlerror();
    const bool ok = dlclose(module->handle) == 0;
    if (!ok)
        NoteError(module->path, "cannot unload library");
    delete module;
    return ok;
}

std::string ModuleFileName(HMODULE module)
{
    return module != nullptr ? module->path : std::string();
}

std::string LibraryError()
{
    return lastError;
}

} // namespace carlume
