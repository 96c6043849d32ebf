#include "platform/library.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace carlume {

struct TModule {
    void* handle = nullptr;
    std::string path;
};

namespace {

thread_local std::string lastError;

void NoteError(const char* fallback)
{
    const char* reason = dlerror();
    lastError = reason != nullptr ? reason : fallback;
}

constexpr const char* STruncated = "the file is truncated";
constexpr const char* SDamaged = "the file's headers are damaged";

class TFileHandle {
public:
    explicit TFileHandle(int fd)
        : fd_(fd)
    {
    }
    ~TFileHandle()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads `size` bytes at `offset`: "" when done, else why not.
std::string ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset)
{
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(fd, bytes, size, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SysErrorMessage(errno);
        if (got == 0)
            return STruncated;
        bytes += got;
        size -= std::size_t(got);
        offset += std::uint64_t(got);
    }
    return {};
}

// The system's loader maps a library's segments as its headers declare them, whether the file holds them
// or not, and the first touch of a page past the end of the file kills the process (SIGBUS) inside the
// loader. A file cut short by an interrupted copy or a full disk is therefore refused here. "" when the
// file holds every loadable segment, and also for what the loader refuses by itself without mapping
// anything: a missing file, a file that is no ELF file, one of another class or byte order.
std::string DamagedLibraryReason(const std::string& path)
{
    // O_NONBLOCK: looking at a FIFO of that name must not wait for a writer.
    const TFileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    const auto size = std::uint64_t(status.st_size);
    ElfW(Ehdr) header{};
    const std::size_t headerBytes = std::size_t(std::min<std::uint64_t>(size, sizeof header));
    if (std::string failure = ReadAt(file.Get(), &header, headerBytes, 0); !failure.empty())
        return failure;
    if (headerBytes < SELFMAG || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return {};
    if (headerBytes < EI_NIDENT)
        return STruncated;
    const bool nativeClass = header.e_ident[EI_CLASS] == (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32);
    const bool nativeOrder =
        header.e_ident[EI_DATA] == (__BYTE_ORDER == __LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB);
    if (!nativeClass || !nativeOrder)
        return {};
    if (headerBytes < sizeof header)
        return STruncated;
    if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum == PN_XNUM)
        return SDamaged;
    const std::uint64_t tableBytes = std::uint64_t(header.e_phnum) * sizeof(ElfW(Phdr));
    if (header.e_phoff > size || tableBytes > size - header.e_phoff)
        return STruncated;
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (std::string failure = ReadAt(file.Get(), segments.data(), std::size_t(tableBytes), header.e_phoff);
        !failure.empty())
        return failure;
    for (const auto& segment : segments) {
        if (segment.p_type != PT_LOAD)
            continue;
        if (segment.p_offset > UINT64_MAX - segment.p_filesz)
            return SDamaged;
        if (segment.p_offset + segment.p_filesz > size)
            return STruncated;
    }
    return {};
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
        NoteError("cannot load library");
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
        NoteError("symbol not found");
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
        NoteError("cannot unload library");
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
