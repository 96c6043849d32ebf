#include "platform/library_check.h"

#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <vector>

namespace carlume {

namespace {

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
            return std::system_category().message(errno);
        if (got == 0)
            return STruncated;
        bytes += got;
        size -= std::size_t(got);
        offset += std::uint64_t(got);
    }
    return {};
}

} // namespace

// The system's loader maps a library's segments as its headers declare them, whether the file holds them
// or not, and the first touch of a page past the end of the file kills the process (SIGBUS) inside the
// loader. A file cut short by an interrupted copy or a full disk is therefore refused here.
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
