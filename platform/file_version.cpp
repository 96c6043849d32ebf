#include "file_version.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <link.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace carlume {

namespace {

constexpr std::uint32_t kPackageNoteType = 0xcafe1a7eU;
constexpr const char kPackageNoteOwner[] = "FDO";

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Version keys are looked up without regard to case, as version resources are; an exact match wins.
std::optional<std::string> ValueFromPayload(const char* desc, std::size_t size, std::string_view key)
{
    // The payload is NUL-terminated JSON padded with NULs; parse only up to the first NUL.
    const void* nul = std::memchr(desc, '\0', size);
    const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - desc) : size;
    const auto json = nlohmann::json::parse(desc, desc + length, nullptr, false);
    if (json.is_discarded() || !json.is_object())
        return std::nullopt;
    if (auto it = json.find(std::string(key)); it != json.end() && it->is_string())
        return it->get<std::string>();
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (EqualNoCase(it.key(), key) && it->is_string())
            return it->get<std::string>();
    }
    return std::nullopt;
}

// libelf is loaded on first use: a run that reads only its own version (the silent lookup) takes it from
// its own mapped image and never pays for loading libelf and the libraries it needs.
struct TLibelf {
    decltype(&elf_version) Version = nullptr;
    decltype(&elf_begin) Begin = nullptr;
    decltype(&elf_memory) Memory = nullptr;
    decltype(&elf_end) End = nullptr;
    decltype(&elf_kind) Kind = nullptr;
    decltype(&elf_getphdrnum) GetPhdrNum = nullptr;
    decltype(&gelf_getphdr) GetPhdr = nullptr;
    decltype(&elf_getdata_rawchunk) GetDataRawChunk = nullptr;
    decltype(&gelf_getnote) GetNote = nullptr;
    decltype(&elf_nextscn) NextScn = nullptr;
    decltype(&gelf_getshdr) GetShdr = nullptr;
    decltype(&elf_getdata) GetData = nullptr;
};

template <class Function> bool Resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// The library stays loaded for the rest of the process; null when it or an entry is missing (every file
// then has no version, as a file without the note has).
const TLibelf* Libelf()
{
    static const TLibelf* const loaded = []() -> const TLibelf* {
        void* library = ::dlopen("libelf.so.1", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return nullptr;
        static TLibelf elf;
        const bool resolved =
            Resolve(library, "elf_version", elf.Version) && Resolve(library, "elf_begin", elf.Begin) &&
            Resolve(library, "elf_memory", elf.Memory) && Resolve(library, "elf_end", elf.End) &&
            Resolve(library, "elf_kind", elf.Kind) && Resolve(library, "elf_getphdrnum", elf.GetPhdrNum) &&
            Resolve(library, "gelf_getphdr", elf.GetPhdr) &&
            Resolve(library, "elf_getdata_rawchunk", elf.GetDataRawChunk) &&
            Resolve(library, "gelf_getnote", elf.GetNote) && Resolve(library, "elf_nextscn", elf.NextScn) &&
            Resolve(library, "gelf_getshdr", elf.GetShdr) && Resolve(library, "elf_getdata", elf.GetData);
        if (!resolved || elf.Version(EV_CURRENT) == EV_NONE) {
            ::dlclose(library);
            return nullptr;
        }
        return &elf;
    }();
    return loaded;
}

std::optional<std::string> ValueFromNotes(const TLibelf& libelf, Elf_Data* data, std::string_view key)
{
    if (!data || !data->d_buf)
        return std::nullopt;
    std::size_t offset = 0;
    GElf_Nhdr header;
    std::size_t nameOffset = 0;
    std::size_t descOffset = 0;
    while (offset < data->d_size) {
        const std::size_t next = libelf.GetNote(data, offset, &header, &nameOffset, &descOffset);
        if (next == 0 || next <= offset)
            break;
        const auto* bytes = static_cast<const char*>(data->d_buf);
        if (header.n_type == kPackageNoteType && header.n_namesz == sizeof(kPackageNoteOwner) &&
            std::memcmp(bytes + nameOffset, kPackageNoteOwner, sizeof(kPackageNoteOwner)) == 0) {
            if (auto value = ValueFromPayload(bytes + descOffset, header.n_descsz, key))
                return value;
        }
        offset = next;
    }
    return std::nullopt;
}

std::string ValueFromElf(const TLibelf& libelf, Elf* elf, std::string_view key)
{
    if (!elf || libelf.Kind(elf) != ELF_K_ELF)
        return {};

    // Program headers first: they survive stripping of the section table.
    std::size_t phCount = 0;
    if (libelf.GetPhdrNum(elf, &phCount) == 0) {
        for (std::size_t i = 0; i < phCount; ++i) {
            GElf_Phdr ph;
            if (!libelf.GetPhdr(elf, int(i), &ph) || ph.p_type != PT_NOTE)
                continue;
            Elf_Data* data = libelf.GetDataRawChunk(elf, ph.p_offset, ph.p_filesz, ELF_T_NHDR);
            if (auto value = ValueFromNotes(libelf, data, key))
                return *value;
        }
    }
    for (Elf_Scn* section = libelf.NextScn(elf, nullptr); section; section = libelf.NextScn(elf, section)) {
        GElf_Shdr sh;
        if (!libelf.GetShdr(section, &sh) || sh.sh_type != SHT_NOTE)
            continue;
        if (auto value = ValueFromNotes(libelf, libelf.GetData(section, nullptr), key))
            return *value;
    }
    return {};
}

// The note segments of the running program's own image, as the loader mapped them.
struct TNoteSegment {
    const char* Data;
    std::size_t Size;
    std::size_t Align;
};

std::vector<TNoteSegment> OwnNoteSegments()
{
    std::vector<TNoteSegment> segments;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) {
            // The first object is the program itself.
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                if (ph.p_type == PT_NOTE)
                    static_cast<std::vector<TNoteSegment>*>(out)->push_back(
                        {reinterpret_cast<const char*>(info->dlpi_addr + ph.p_vaddr), std::size_t(ph.p_memsz),
                         ph.p_align == 8 ? 8u : 4u});
            }
            return 1;
        },
        &segments);
    return segments;
}

std::string ValueFromOwnImage(std::string_view key)
{
    for (const TNoteSegment& segment : OwnNoteSegments()) {
        auto padded = [&](std::size_t n) { return (n + segment.Align - 1) / segment.Align * segment.Align; };
        std::size_t offset = 0;
        while (segment.Size - offset >= sizeof(ElfW(Nhdr))) {
            ElfW(Nhdr) header;
            std::memcpy(&header, segment.Data + offset, sizeof header);
            const std::size_t name = offset + sizeof header;
            if (padded(header.n_namesz) > segment.Size - name)
                break;
            const std::size_t desc = name + padded(header.n_namesz);
            if (header.n_descsz > segment.Size - desc)
                break;
            if (header.n_type == kPackageNoteType && header.n_namesz == sizeof(kPackageNoteOwner) &&
                std::memcmp(segment.Data + name, kPackageNoteOwner, sizeof(kPackageNoteOwner)) == 0) {
                if (auto value = ValueFromPayload(segment.Data + desc, header.n_descsz, key))
                    return *value;
            }
            offset = desc + std::min(padded(header.n_descsz), segment.Size - desc);
        }
    }
    return {};
}

// True when `path` is the file this process runs from (the same file, by device and inode).
bool IsRunningProgram(const std::string& path)
{
    struct stat file {
    }, self{};
    return ::stat(path.c_str(), &file) == 0 && ::stat("/proc/self/exe", &self) == 0 &&
           file.st_dev == self.st_dev && file.st_ino == self.st_ino;
}

} // namespace

std::string ReadFileVersionKey(const std::string& path, std::string_view key)
{
    if (key.empty())
        return {};
    if (IsRunningProgram(path))
        return ValueFromOwnImage(key);
    const TLibelf* libelf = Libelf();
    if (libelf == nullptr)
        return {};
    // O_NONBLOCK and the check after it: a named pipe or a device of that name is no program file, and
    // opening one must not wait.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {};
    }
    // ELF_C_READ reads through the descriptor instead of mapping it, so a file cut short while we read it
    // gives an error rather than a bus fault.
    Elf* elf = libelf->Begin(fd, ELF_C_READ, nullptr);
    std::string result = ValueFromElf(*libelf, elf, key);
    if (elf)
        libelf->End(elf);
    ::close(fd);
    return result;
}

std::string ReadFileVersionKeyFromMemory(const void* data, std::size_t size, std::string_view key)
{
    const TLibelf* libelf = Libelf();
    if (key.empty() || !data || size == 0 || libelf == nullptr)
        return {};
    // elf_memory wants a writable buffer and may convert byte order in place; give it a copy.
    std::string image(static_cast<const char*>(data), size);
    Elf* elf = libelf->Memory(image.data(), image.size());
    std::string result = ValueFromElf(*libelf, elf, key);
    if (elf)
        libelf->End(elf);
    return result;
}

} // namespace carlume
