#include "file_version.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <cstring>
#include <optional>

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

std::optional<std::string> ValueFromNotes(Elf_Data* data, std::string_view key)
{
    if (!data || !data->d_buf)
        return std::nullopt;
    std::size_t offset = 0;
    GElf_Nhdr header;
    std::size_t nameOffset = 0;
    std::size_t descOffset = 0;
    while (offset < data->d_size) {
        const std::size_t next = gelf_getnote(data, offset, &header, &nameOffset, &descOffset);
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

std::string ValueFromElf(Elf* elf, std::string_view key)
{
    if (!elf || elf_kind(elf) != ELF_K_ELF)
        return {};

    // Program headers first: they survive stripping of the section table.
    std::size_t phCount = 0;
    if (elf_getphdrnum(elf, &phCount) == 0) {
        for (std::size_t i = 0; i < phCount; ++i) {
            GElf_Phdr ph;
            if (!gelf_getphdr(elf, int(i), &ph) || ph.p_type != PT_NOTE)
                continue;
            Elf_Data* data = elf_getdata_rawchunk(elf, ph.p_offset, ph.p_filesz, ELF_T_NHDR);
            if (auto value = ValueFromNotes(data, key))
                return *value;
        }
    }
    for (Elf_Scn* section = elf_nextscn(elf, nullptr); section; section = elf_nextscn(elf, section)) {
        GElf_Shdr sh;
        if (!gelf_getshdr(section, &sh) || sh.sh_type != SHT_NOTE)
            continue;
        if (auto value = ValueFromNotes(elf_getdata(section, nullptr), key))
            return *value;
    }
    return {};
}

bool InitLibelf()
{
    static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
    return ready;
}

} // namespace

std::string ReadFileVersionKey(const std::string& path, std::string_view key)
{
    if (key.empty() || !InitLibelf())
        return {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    // ELF_C_READ reads through the descriptor instead of mapping it, so a file cut short while we read it
    // gives an error rather than a bus fault.
    Elf* elf = elf_begin(fd, ELF_C_READ, nullptr);
    std::string result = ValueFromElf(elf, key);
    if (elf)
        elf_end(elf);
    ::close(fd);
    return result;
}

std::string ReadFileVersionKeyFromMemory(const void* data, std::size_t size, std::string_view key)
{
    if (key.empty() || !data || size == 0 || !InitLibelf())
        return {};
    // elf_memory wants a writable buffer and may convert byte order in place; give it a copy.
    std::string image(static_cast<const char*>(data), size);
    Elf* elf = elf_memory(image.data(), image.size());
    std::string result = ValueFromElf(elf, key);
    if (elf)
        elf_end(elf);
    return result;
}

} // namespace carlume
