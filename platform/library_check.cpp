#include "platform/library_check.h"

#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>
#include <vector>

namespace carlume {

namespace {

constexpr const char* STruncated = "the file is truncated";
constexpr const char* SDamaged = "the file's headers are damaged";
constexpr const char* SDynamicDamaged = "the file's dynamic section is damaged";
constexpr const char* SOtherMachine = "the file is for another kind of machine";

#if defined(__x86_64__)
constexpr ElfW(Half) NativeMachine = EM_X86_64;
#elif defined(__i386__)
constexpr ElfW(Half) NativeMachine = EM_386;
#elif defined(__aarch64__)
constexpr ElfW(Half) NativeMachine = EM_AARCH64;
#elif defined(__arm__)
constexpr ElfW(Half) NativeMachine = EM_ARM;
#elif defined(__powerpc64__)
constexpr ElfW(Half) NativeMachine = EM_PPC64;
#elif defined(__powerpc__)
constexpr ElfW(Half) NativeMachine = EM_PPC;
#elif defined(__riscv)
constexpr ElfW(Half) NativeMachine = EM_RISCV;
#elif defined(__s390__)
constexpr ElfW(Half) NativeMachine = EM_S390;
#elif defined(__mips__)
constexpr ElfW(Half) NativeMachine = EM_MIPS;
#else
#error "the ELF machine of this processor is not known here"
#endif

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
            return std::system_category().message(errno);
        if (got == 0)
            return STruncated;
        bytes += got;
        size -= std::size_t(got);
        offset += std::uint64_t(got);
    }
    return {};
}

// Why what `mode` describes is no library file: opening a named pipe would wait for a writer for good, and
// opening a device may act on it.
const char* NotAFileReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder, not a library file";
    if (S_ISFIFO(mode))
        return "it is a named pipe, not a library file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a library file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a library file";
    return "it is not a regular file";
}

bool InFilePart(const ElfW(Phdr) & segment, std::uint64_t address)
{
    return address >= segment.p_vaddr && address - segment.p_vaddr < segment.p_filesz;
}

// The loader reads the dynamic section from memory at its address: that must be the very bytes the file
// holds at its offset, inside one loadable segment's file part.
bool DynamicInFilePart(const ElfW(Phdr) & dynamic, const std::vector<ElfW(Phdr)>& segments)
{
    if (dynamic.p_offset > UINT64_MAX - dynamic.p_filesz)
        return false;
    const std::uint64_t end = std::uint64_t(dynamic.p_offset) + dynamic.p_filesz;
    for (const auto& segment : segments) {
        if (segment.p_type != PT_LOAD || dynamic.p_offset < segment.p_offset ||
            end > std::uint64_t(segment.p_offset) + segment.p_filesz)
            continue;
        if (dynamic.p_vaddr >= segment.p_vaddr &&
            dynamic.p_vaddr - segment.p_vaddr == dynamic.p_offset - segment.p_offset)
            return true;
    }
    return false;
}

bool InAnyFilePart(std::uint64_t address, const std::vector<ElfW(Phdr)>& segments)
{
    return std::any_of(segments.begin(), segments.end(), [address](const ElfW(Phdr) & segment) {
        return segment.p_type == PT_LOAD && InFilePart(segment, address);
    });
}

// The loader walks the dynamic section up to its end mark and reads names through its string and symbol
// tables before any code of the library runs: a section zero-filled or cut has no such tables.
std::string DynamicSectionReason(int fd, const ElfW(Phdr) & dynamic, const std::vector<ElfW(Phdr)>& segments)
{
    const std::uint64_t count = dynamic.p_filesz / sizeof(ElfW(Dyn));
    std::optional<std::uint64_t> strings;
    std::optional<std::uint64_t> symbols;
    std::array<ElfW(Dyn), 256> entries{};
    for (std::uint64_t first = 0; first < count; first += entries.size()) {
        const std::size_t chunk = std::size_t(std::min<std::uint64_t>(count - first, entries.size()));
        if (std::string failure = ReadAt(fd, entries.data(), chunk * sizeof(ElfW(Dyn)),
                                         dynamic.p_offset + first * sizeof(ElfW(Dyn)));
            !failure.empty())
            return failure;
        for (std::size_t i = 0; i < chunk; ++i) {
            const ElfW(Dyn)& entry = entries[i];
            if (entry.d_tag == DT_NULL) {
                const bool tablesInFile = strings && symbols && InAnyFilePart(*strings, segments) &&
                                          InAnyFilePart(*symbols, segments);
                return tablesInFile ? std::string() : SDynamicDamaged;
            }
            if (entry.d_tag == DT_STRTAB)
                strings = entry.d_un.d_ptr;
            else if (entry.d_tag == DT_SYMTAB)
                symbols = entry.d_un.d_ptr;
        }
    }
    return SDynamicDamaged;
}

} // namespace

// The system's loader maps a library's segments as its headers declare them, whether the file holds them
// or not, and the first touch of a page past the end of the file kills the process (SIGBUS) inside the
// loader; so does a dynamic section it reads from where nothing was mapped. A file cut short by an
// interrupted copy or a full disk, or damaged in its headers, is therefore refused here. A file changed
// while the loader maps it can still fault.
std::string DamagedLibraryReason(const std::string& path)
{
    // Looked at by name before it is opened, as opening is what waits or acts on what is no file.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    if (!S_ISREG(status.st_mode))
        return NotAFileReason(status.st_mode);
    // O_NONBLOCK: a named pipe put in its place since must not wait for a writer either.
    const TFileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0)
        return {};
    if (!S_ISREG(status.st_mode))
        return NotAFileReason(status.st_mode);
    const auto size = std::uint64_t(status.st_size);
    ElfW(Ehdr) header{};
    const std::size_t headerBytes = std::size_t(std::min<std::uint64_t>(size, sizeof header));
    if (std::string failure = ReadAt(file.Get(), &header, headerBytes, 0); !failure.empty())
        return failure;
    if (headerBytes < SELFMAG || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return {};
    if (headerBytes < EI_NIDENT)
        return STruncated;
    const unsigned char fileClass = header.e_ident[EI_CLASS];
    const unsigned char fileOrder = header.e_ident[EI_DATA];
    if ((fileClass != ELFCLASS32 && fileClass != ELFCLASS64) ||
        (fileOrder != ELFDATA2LSB && fileOrder != ELFDATA2MSB))
        return SDamaged;
    const bool nativeClass = fileClass == (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32);
    const bool nativeOrder = fileOrder == (__BYTE_ORDER == __LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB);
    if (!nativeClass || !nativeOrder)
        return SOtherMachine;
    if (headerBytes < sizeof header)
        return STruncated;
    // The loader would say the file was not there at all.
    if (header.e_machine != NativeMachine)
        return SOtherMachine;
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
        if (segment.p_offset > UINT64_MAX - segment.p_filesz || segment.p_memsz < segment.p_filesz)
            return SDamaged;
        if (std::uint64_t(segment.p_offset) + segment.p_filesz > size)
            return STruncated;
    }
    for (const auto& segment : segments) {
        if (segment.p_type != PT_DYNAMIC)
            continue;
        if (!DynamicInFilePart(segment, segments))
            return SDamaged;
        if (std::string reason = DynamicSectionReason(file.Get(), segment, segments); !reason.empty())
            return reason;
    }
    return {};
}

std::string LoaderReason(const std::string& path, const char* loaderText, const char* fallback)
{
    if (loaderText == nullptr)
        return fallback;
    std::string reason(loaderText);
    const std::string prefix = path + ": ";
    if (reason.size() > prefix.size() && reason.compare(0, prefix.size(), prefix) == 0)
        reason.erase(0, prefix.size());
    return reason;
}

} // namespace carlume
